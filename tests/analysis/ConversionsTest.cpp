// Current <-> surface concentration conversions: the Cottrell, semi-integral and catalytic relations
// of the special conversions, the Butler-Volmer rate law of the general ones, and that each inverse
// returns its input.

#include "analysis/Conversions.h"

#include "model/Commits.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <vector>

namespace tessaly {
namespace {

using kind::Mechanism;

constexpr double kNf = 96484.6 / (8.31441 * 298.14); // F/RT at 25 C, 1/V
constexpr double kBulk = 1e-3;                       // mol/L
constexpr double kD = 1e-5;                          // cm2/s
constexpr double kArea = 0.0785;                     // cm2
constexpr double kE0 = 0.1;                          // V

// An experiment with the given technique and mechanism, its committed values written directly.
ExperimentParams experiment(int technique, int mechanism) {
    ExperimentParams p;
    p.optTech = technique;
    p.mech = mechanism;
    Notices notices;
    buildMechanism(p, notices);
    p.fRT = kNf;
    CommittedValues& c = p.committed;
    c.ElectrodeArea = kArea;
    c.DropTime = 0.01;
    c.PulseTime = 0.05;
    c.SampleFrac1 = 0.8; // DC and normal pulse sample at 0.8 of the drop or pulse
    c.ScanRate = 0.1;
    c.StepPotential = 0.001;
    for (int j = 1; j <= kMaxCharge; ++j) {
        c.Alpha[j] = 0.5;
        c.FormalPotential[j] = kE0;
        c.RateKs[j] = 1e-3;
    }
    c.RateKf[1] = 1e3;
    c.RateKb[1] = 1;
    for (int s = 1; s <= kMaxSpecies; ++s) {
        c.DiffCoef[s] = kD;
        c.InitConc[s] = 0;
    }
    c.InitConc[1] = kBulk;
    if (mechanism == 8)
        c.InitConc[3] = 0.1; // the catalyst's co-reactant Z
    return p;
}

// Surface concentrations of a Nernstian couple with equal diffusion coefficients (C_O + C_R = C*) on a
// 1 mV grid from 0.8 V, far positive of E0 where the surface keeps its bulk composition, to -0.4 V.
void writeNernstianSurface(CurveStore& store, int n = 1201, double step = 0.001) {
    store.reservePoints(n);
    for (int k = 0; k < n; ++k) {
        store.E[k] = 0.8 - step * k;
        const double theta = std::exp(kNf * (store.E[k] - kE0));
        store.Curve(k, 1) = kBulk * theta / (1 + theta);
        store.Curve(k, 2) = kBulk / (1 + theta);
    }
    store.NPoints = n;
    store.LastIndex = n - 1;
    store.FirstPoint = 1;
    store.LastPoint = n - 2;
    store.NCurves = 2;
    store.CurveNo = 1;
}

std::vector<double> column(const CurveStore& store, int c) {
    std::vector<double> out;
    for (int i = store.FirstPoint; i <= store.LastPoint; ++i)
        out.push_back(store.Curve(i, c));
    return out;
}

double largestDifference(const std::vector<double>& a, const std::vector<double>& b) {
    double d = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        d = std::max(d, std::fabs(a[i] - b[i]));
    return d;
}

double largest(const std::vector<double>& a) {
    double m = 0;
    for (const double v : a)
        m = std::max(m, std::fabs(v));
    return m;
}

TEST(Co0toI1, SampledTechniquesGiveTheCottrellCurrentOfTheNernstianSurface) {
    // i = nFA sqrt(D/(pi t)) (C* - C_O(0)) with t the sampling instant t s1 of the drop (DC) or of the
    // pulse (normal pulse), where the simulation samples the current.
    struct Case {
        int technique;
        double t; // s
    };
    for (const Case tc : {Case{2, 0.8 * 0.01}, Case{3, 0.8 * 0.05}}) {
        const ExperimentParams p = experiment(tc.technique, 1);
        for (const int species : {kOxidisedSpecies, kReducedSpecies}) {
            CurveStore store;
            writeNernstianSurface(store);
            Co0toI1(store, p, Mechanism::SimpleCharge, species);
            EXPECT_EQ(store.YTitle, "i /A");
            EXPECT_EQ(store.NCurves, 1);
            const double cottrell =
                96484.6 * 0.001 * kArea * kBulk * std::sqrt(kD / (std::numbers::pi * tc.t));
            for (const int k : {200, 700, 1000}) {
                const double theta = std::exp(kNf * (store.E[k] - kE0));
                // The reduced form, counted with the opposite sign, gives the same reduction current.
                EXPECT_NEAR(store.Curve(k, 1), cottrell / (1 + theta), cottrell * 1e-12)
                    << "technique " << tc.technique << " species " << species << " point " << k;
            }
        }
    }
}

TEST(Co0toI1, ReducedFormCarriesTheOppositeSign) {
    // With both bulk concentrations 0, the same surface concentrations read as the oxidised or as the
    // reduced form give currents of opposite sign.
    ExperimentParams p = experiment(2, 1);
    p.committed.InitConc[1] = 0;
    CurveStore a;
    writeNernstianSurface(a);
    for (int k = 0; k < a.NPoints; ++k)
        a.Curve(k, 2) = a.Curve(k, 1);
    CurveStore b = a;
    Co0toI1(a, p, Mechanism::SimpleCharge, kOxidisedSpecies);
    Co0toI1(b, p, Mechanism::SimpleCharge, kReducedSpecies);
    for (const int k : {100, 600, 1100})
        EXPECT_DOUBLE_EQ(a.Curve(k, 1), -b.Curve(k, 1));
}

TEST(Co0toI1, SweepSemiDerivativeGivesTheRandlesSevcikPeak) {
    const ExperimentParams p = experiment(1, 1);
    CurveStore store;
    writeNernstianSurface(store);
    Co0toI1(store, p, Mechanism::SimpleCharge, kOxidisedSpecies);
    int peak = store.FirstPoint;
    for (int i = store.FirstPoint; i <= store.LastPoint; ++i)
        if (store.Curve(i, 1) > store.Curve(peak, 1))
            peak = i;
    const double nFAC = 96484.6 * 0.001 * kArea * kBulk;
    const double randlesSevcik = 0.4463 * nFAC * std::sqrt(kNf * 0.1 * kD);
    EXPECT_NEAR(store.Curve(peak, 1) / randlesSevcik, 1.0, 0.01);
    EXPECT_NEAR(store.E[peak], kE0 - 1.109 / kNf, 0.0015);
}

// A sweep of 60,001 points (20 uV steps) goes through the transform forms of the semi-difference sum
// and of its inverse: the peak is the Randles-Sevcik current, and each inverse returns the surface.
TEST(SpecialConversions, LongSweepGivesThePeakAndComesBack) {
    for (const int technique : {1, 4, 7}) {
        ExperimentParams p = experiment(technique, 1);
        p.committed.StepPotential = 2e-5;                   // V
        p.committed.DropTime = 2e-5 / p.committed.ScanRate; // s
        CurveStore store;
        writeNernstianSurface(store, 60001, 2e-5);
        const auto ox = column(store, 1);
        const auto red = column(store, 2);
        Co0toI1(store, p, Mechanism::SimpleCharge, kOxidisedSpecies);
        if (technique != 4) {
            double peak = 0.0;
            for (int i = store.FirstPoint; i <= store.LastPoint; ++i)
                peak = std::max(peak, store.Curve(i, 1));
            const double nFAC = 96484.6 * 0.001 * kArea * kBulk;
            EXPECT_NEAR(peak / (0.4463 * nFAC * std::sqrt(kNf * 0.1 * kD)), 1.0, 0.005) << technique;
        }
        I1toC0(store, p, Mechanism::SimpleCharge);
        EXPECT_LE(largestDifference(column(store, 1), ox), 1e-8 * kBulk) << technique;
        EXPECT_LE(largestDifference(column(store, 2), red), 1e-8 * kBulk) << technique;
    }
}

TEST(Co0toI1, CatalyticPlateauIsTheSaveantVianelloCurrent) {
    for (const int technique : {1, 2, 3}) {
        const ExperimentParams p = experiment(technique, 8);
        CurveStore store;
        writeNernstianSurface(store);
        Co0toI1(store, p, Mechanism::Catalytic, kOxidisedSpecies);
        const double k = 1e3 + 1;
        const double plateau = 96484.6 * 0.001 * kArea * kBulk * std::sqrt(kD * k * 0.1);
        const double theta = std::exp(kNf * (store.E[1150] - kE0));
        EXPECT_NEAR(store.Curve(1150, 1), plateau / (1 + theta), plateau * 1e-12) << technique;
    }
}

TEST(SpecialConversions, EachInverseReturnsTheSurfaceConcentrations) {
    for (const int technique : {1, 2, 3, 4, 5, 7}) {
        for (const Mechanism mechanism : {Mechanism::SimpleCharge, Mechanism::Catalytic}) {
            for (const int species : {kOxidisedSpecies, kReducedSpecies}) {
                const ExperimentParams p = experiment(technique, kind::code(mechanism));
                CurveStore store;
                writeNernstianSurface(store);
                const auto ox = column(store, 1);
                const auto red = column(store, 2);
                Co0toI1(store, p, mechanism, species);
                I1toC0(store, p, mechanism);
                EXPECT_EQ(store.YTitle, "C0 /M  ");
                EXPECT_EQ(store.XTitle, "E /V  ");
                EXPECT_LE(largestDifference(column(store, 1), ox), 1e-9 * kBulk)
                    << "technique " << technique << " mechanism " << kind::code(mechanism) << " species "
                    << species;
                EXPECT_LE(largestDifference(column(store, 2), red), 1e-9 * kBulk)
                    << "technique " << technique << " mechanism " << kind::code(mechanism) << " species "
                    << species;
            }
        }
    }
}

TEST(SpecialConversions, PulseCurrentsComeBackFromTheirConcentrations) {
    for (const int technique : {2, 3}) {
        const ExperimentParams p = experiment(technique, 1);
        CurveStore store;
        writeNernstianSurface(store);
        for (int k = 0; k < store.NPoints; ++k)
            store.Curve(k, 1) = 1e-6 * std::exp(-std::pow((store.E[k] + 0.1) / 0.05, 2)); // any current
        const auto current = column(store, 1);
        I1toC0(store, p, Mechanism::SimpleCharge);
        Co0toI1(store, p, Mechanism::SimpleCharge, kOxidisedSpecies);
        EXPECT_LE(largestDifference(column(store, 1), current), 1e-9 * largest(current)) << technique;
    }
}

TEST(GeneralCurrentScale, NonPlanarElectrodesNeedANonPlanarDigitalSimulation) {
    ExperimentParams p = experiment(1, 1);
    const double planar = 96.4846 * kArea;
    for (const int electrode : {1, 8, 9, 11}) {
        p.Electrode = electrode;
        ASSERT_TRUE(generalCurrentScale(p, 0).has_value());
        EXPECT_DOUBLE_EQ(*generalCurrentScale(p, 0), planar);
    }
    for (const int electrode : {2, 3, 4, 5, 6, 7, 10}) {
        p.Electrode = electrode;
        EXPECT_FALSE(generalCurrentScale(p, 0).has_value()) << electrode;
        EXPECT_FALSE(generalCurrentScale(p, 1).has_value()) << electrode;
        ASSERT_TRUE(generalCurrentScale(p, 1.5).has_value());
        EXPECT_DOUBLE_EQ(*generalCurrentScale(p, 1.5), planar * 1.5);
    }
}

TEST(ConcentrationToCurrent, NernstianSurfaceCarriesNoNetCurrent) {
    // At equilibrium C_O / C_R = exp(nf (E - E0)): kf C_O = kb C_R for any ks and alpha.
    for (const double ks : {1e-5, 1e-2, 10.0}) {
        ExperimentParams p = experiment(1, 1);
        p.committed.RateKs[1] = ks;
        p.committed.Alpha[1] = 0.3;
        CurveStore store;
        writeNernstianSurface(store);
        const double scale = 96.4846 * kArea;
        ConcentrationToCurrent(store, p, scale);
        for (const int k : {200, 700, 1000}) {
            const double kf = ks * std::exp(-0.3 * kNf * (store.E[k] - kE0));
            const double oneWay = scale * kf * kBulk; // the cathodic partial current with bulk O, A
            EXPECT_LE(std::fabs(store.Curve(k, 1)), 1e-12 * oneWay) << ks << " " << k;
        }
        EXPECT_EQ(store.NCurves, 1);
        EXPECT_EQ(store.CurveNo, 1);
    }
}

// Concentrations that obey the flux balance of a couple (sqrt(D_O)(C*_O - C_O)/nuO = sqrt(D_R)(C_R -
// C*_R)/nuR) but not Nernst: a slow couple's surface during a sweep.
void writeKineticSurface(CurveStore& store, const ExperimentParams& p, int j) {
    const CommittedValues& c = p.committed;
    const ChargeReactionRow& r = p.tables.charge[j];
    const double rho = std::sqrt(c.DiffCoef[r.ox]) * r.nuRed / (std::sqrt(c.DiffCoef[r.red]) * r.nuOx);
    for (int k = 0; k < store.NPoints; ++k) {
        const double depleted = c.InitConc[r.ox] / (1 + std::exp(0.5 * kNf * (store.E[k] + 0.15 * j)));
        store.Curve(k, r.ox) = c.InitConc[r.ox] - depleted;
        store.Curve(k, r.red) = c.InitConc[r.red] + rho * depleted;
    }
}

TEST(GeneralConversions, EachInverseReturnsItsInput) {
    struct Case {
        int mechanism;
        double ks, alpha, dRed;
        int n;
        double nuOx, nuRed;
    };
    const Case cases[] = {
        {1, 1e-3, 0.5, 1e-5, 1, 1, 1}, {1, 1e-5, 0.3, 2e-5, 2, 1, 1}, {11, 1e-1, 0.7, 5e-6, 1, 2, 1},
        {1, 1e-2, 0.5, 1e-5, 1, 1, 2}, {4, 1e-3, 0.4, 1e-5, 1, 1, 1},
    };
    // The classic store size and a curve of 120,001 points, beyond it.
    for (const int points : {1201, 120001}) {
        for (const Case& tc : cases) {
            ExperimentParams p = experiment(1, tc.mechanism);
            CommittedValues& c = p.committed;
            for (int j = 1; j <= p.NumCharge; ++j) {
                c.RateKs[j] = tc.ks;
                c.Alpha[j] = tc.alpha;
                c.FormalPotential[j] = kE0 - 0.15 * j;
                p.tables.charge[j].n = tc.n;
                p.tables.charge[j].nuOx = tc.nuOx;
                p.tables.charge[j].nuRed = tc.nuRed;
                c.InitConc[p.tables.charge[j].ox] = kBulk;
                c.DiffCoef[p.tables.charge[j].red] = tc.dRed;
            }
            CurveStore store;
            writeNernstianSurface(store, points, 1.2 / (points - 1));
            store.NCurves = p.NumSpecies;
            for (int j = 1; j <= p.NumCharge; ++j)
                writeKineticSurface(store, p, j);
            std::vector<std::vector<double>> surface;
            for (int s = 1; s <= p.NumSpecies; ++s)
                surface.push_back(column(store, s));
            const double scale = 96.4846 * kArea;

            ConcentrationToCurrent(store, p, scale);
            const int columns = p.NumCharge > 1 ? p.NumCharge + 1 : 1;
            EXPECT_EQ(store.NCurves, columns);
            std::vector<std::vector<double>> currents;
            for (int j = 1; j <= p.NumCharge; ++j)
                currents.push_back(column(store, j));
            if (p.NumCharge > 1) { // the total follows the reactions
                const auto total = column(store, columns);
                std::vector<double> sum(total.size(), 0.0);
                for (const auto& cur : currents)
                    for (std::size_t i = 0; i < sum.size(); ++i)
                        sum[i] += cur[i];
                EXPECT_LE(largestDifference(total, sum), 1e-12 * largest(total));
            }

            CurrentToConcentration(store, p, scale);
            EXPECT_EQ(store.NCurves, p.NumSpecies);
            for (int s = 1; s <= p.NumSpecies; ++s)
                EXPECT_LE(largestDifference(column(store, s), surface[s - 1]), 1e-9 * kBulk)
                    << "mechanism " << tc.mechanism << " ks " << tc.ks << " species " << s;

            ConcentrationToCurrent(store, p, scale);
            for (int j = 1; j <= p.NumCharge; ++j)
                EXPECT_LE(largestDifference(column(store, j), currents[j - 1]),
                          1e-9 * largest(currents[j - 1]))
                    << "mechanism " << tc.mechanism << " ks " << tc.ks << " reaction " << j;
        }
    }
}

TEST(Conversions, ArithmeticFailuresStopTheCommand) {
    ExperimentParams p = experiment(1, 1);
    p.committed.DiffCoef[2] = 0; // no flux balance without a diffusing product
    CurveStore store;
    writeNernstianSurface(store);
    EXPECT_THROW(CurrentToConcentration(store, p, 96.4846 * kArea), Failure);
    p = experiment(2, 1);
    p.committed.DropTime = 0;
    EXPECT_THROW(Co0toI1(store, p, Mechanism::SimpleCharge, kOxidisedSpecies), Failure);
}

} // namespace
} // namespace tessaly

namespace tessaly {
namespace {

// A species in two reactions (B of A + e <-> B, B + e <-> C): surface concentrations built from two
// arbitrary depletions d1, d2 under the planar flux balance (C_A = C*_A - d1, C_B = rho1 d1 - d2,
// C_C = rho2 d2) go to currents and back unchanged, for every species.
TEST(GeneralConversions, SpeciesInTwoReactionsComeBack) {
    for (const int mechanism : {2, 3}) {
        SCOPED_TRACE(mechanism);
        ExperimentParams p = experiment(1, mechanism);
        CommittedValues& c = p.committed;
        for (int j = 1; j <= p.NumCharge; ++j) {
            c.FormalPotential[j] = kE0 - 0.2 * j;
            c.RateKs[j] = 1e-3 * j;
        }
        for (int s = 1; s <= p.NumSpecies; ++s)
            c.DiffCoef[s] = kD * (1 + 0.5 * s);
        CurveStore store;
        writeNernstianSurface(store);
        store.NCurves = p.NumSpecies;
        std::vector<double> rho(static_cast<std::size_t>(p.NumCharge) + 1);
        for (int j = 1; j <= p.NumCharge; ++j) {
            const ChargeReactionRow& row = p.tables.charge[static_cast<std::size_t>(j)];
            rho[static_cast<std::size_t>(j)] = std::sqrt(c.DiffCoef[static_cast<std::size_t>(row.ox)] /
                                                         c.DiffCoef[static_cast<std::size_t>(row.red)]);
        }
        for (int i = store.FirstPoint; i <= store.LastPoint; ++i) {
            for (int s = 1; s <= p.NumSpecies; ++s)
                store.Curve(i, s) = c.InitConc[static_cast<std::size_t>(s)];
            for (int j = 1; j <= p.NumCharge; ++j) { // depletions rising along the scan, below the bulk
                const double d = 0.3 * kBulk / j * (1 + std::tanh(40 * (kE0 - 0.2 * j - store.E[i]))) / 2;
                const ChargeReactionRow& row = p.tables.charge[static_cast<std::size_t>(j)];
                store.Curve(i, row.ox) -= d;
                store.Curve(i, row.red) += rho[static_cast<std::size_t>(j)] * d;
            }
        }
        std::vector<std::vector<double>> surface;
        for (int s = 1; s <= p.NumSpecies; ++s)
            surface.push_back(column(store, s));
        const double scale = 96.4846 * kArea;
        ConcentrationToCurrent(store, p, scale);
        CurrentToConcentration(store, p, scale);
        for (int s = 1; s <= p.NumSpecies; ++s)
            EXPECT_LE(largestDifference(column(store, s), surface[static_cast<std::size_t>(s - 1)]),
                      1e-9 * kBulk)
                << "species " << s;
    }
}

} // namespace
} // namespace tessaly
