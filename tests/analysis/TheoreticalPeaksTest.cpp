// Theoretical peaks: the report's labels and masks, and its values against independent solutions of
// the same physics (the reversible sweep by convolution, the sampled step current by its closed form).

#include "analysis/TheoreticalPeaks.h"

#include "analysis/PeakFinder.h"
#include "analysis/VoltammogramTheory.h"
#include "base/NumberText.h"
#include "model/Commits.h"
#include "simulation/AnalyticalKernels.h"

#include <cfenv>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <string>
#include <vector>

namespace tessaly {
namespace {

constexpr double kNf = 96484.6 / (8.31441 * 298.14); // F/RT at 25 C, 1/V
constexpr double kArea = 0.0785;                     // cm2
constexpr double kBulk = 1e-3;                       // mol/L
constexpr double kD = 1e-5;                          // cm2/s
constexpr double kFaradayArea = 0.001 * 96484.6 * kArea;

ExperimentParams experiment(int technique, int electrode, int mechanism, double cycles = 0.5) {
    ExperimentParams p;
    p.optTech = technique;
    p.mech = mechanism;
    Notices notices;
    buildMechanism(p, notices);
    p.Electrode = electrode;
    p.fRT = kNf;
    p.radius = "0.001";
    p.thickness = "1e-4";
    CommittedValues& c = p.committed;
    c.ElectrodeArea = kArea;
    c.ScanRate = 0.1;
    c.DropTime = 0.01;
    c.SampleFrac1 = 1;
    c.PulseTime = 0.05;
    c.PulsePotential = -0.01;
    c.CycleCount = cycles;
    c.Viscosity = 0.01;
    for (int j = 1; j <= kMaxCharge; ++j) {
        c.Alpha[j] = 0.5;
        c.FormalPotential[j] = 0.0;
        c.RateKs[j] = 1e-3;
    }
    for (int s = 1; s <= kMaxSpecies; ++s) {
        c.DiffCoef[s] = kD;
        c.AdsorbCoef[s] = 1e4;
        c.MaxAdsorb[s] = 1e-8;
    }
    c.InitConc[1] = kBulk;
    return p;
}

std::vector<std::string> lines(const std::string& report) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < report.size()) {
        const auto end = report.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "line without CR LF";
            break;
        }
        out.push_back(report.substr(start, end - start));
        start = end + 2;
    }
    return out;
}

double valueAfter(const std::string& line, const std::string& label, int occurrence = 0) {
    std::size_t at = std::string::npos;
    for (int k = 0; k <= occurrence; ++k) {
        at = line.find(label, at == std::string::npos ? 0 : at + 1);
        if (at == std::string::npos) {
            ADD_FAILURE() << "no '" << label << "' in: " << line;
            return NAN;
        }
    }
    return leadingNumber(line.substr(at + label.size()));
}

TEST(TheoreticalPeaks, HeaderAndOneReversibleAndOneIrreversibleLinePerReaction) {
    const auto out = lines(TheoreticalPeaks(experiment(1, 1, 4)));
    ASSERT_EQ(out.size(), 7u);
    EXPECT_EQ(out[0],
              "Theoretical upper and lower limiting currents of technique 1, electrode 1, mechanism 4 :");
    for (int j = 1; j <= 3; ++j) {
        EXPECT_EQ(out[2 * j - 1].rfind("Reversible Peak  " + std::to_string(j) + ": Ep= ", 0), 0u);
        EXPECT_EQ(out[2 * j].rfind("Irreversible Peak " + std::to_string(j) + ": Ep= ", 0), 0u);
    }
}

TEST(TheoreticalPeaks, PlanarSweepWidthsAndTheReversePeakOnlyForACycle) {
    // n = 1, 25 C: Ep/2 - Ep = 2.2 RT/F = 56.5 mV and |Epc - Epa| = 2.22 RT/F = 57.0 mV, both "0.057".
    const auto single = lines(TheoreticalPeaks(experiment(1, 1, 1)));
    ASSERT_EQ(single.size(), 3u);
    EXPECT_NE(single[1].find("Ep/2 - Ep= 0.057 V, "), std::string::npos) << single[1];
    // Irreversible, alpha = 0.5: Ep - Ep/2 = 1.857 RT/(alpha F) = 95.4 mV.
    EXPECT_NE(single[2].find("Ep/2 - Ep= 0.095 V, "), std::string::npos) << single[2];

    const auto cycle = lines(TheoreticalPeaks(experiment(1, 1, 1, 1.0)));
    ASSERT_EQ(cycle.size(), 5u);
    EXPECT_EQ(cycle[2].rfind("reverse peak :        Ep= ", 0), 0u) << cycle[2];
    EXPECT_NE(cycle[2].find("|Epc-Epa|= 0.057 V, "), std::string::npos) << cycle[2];
    EXPECT_NEAR(valueAfter(cycle[2], "Ip= "), -valueAfter(cycle[1], "Ip= "), 1e-12);
    EXPECT_EQ(cycle[4].rfind("reverse peak :        Ep= ", 0), 0u) << cycle[4];
}

TEST(TheoreticalPeaks, ReversibleSweepAgreesWithTheConvolutionSolution) {
    for (const int n : {1, 2}) {
        ExperimentParams p = experiment(1, 1, 11);
        p.tables.charge[1].n = n;
        const auto out = lines(TheoreticalPeaks(p));

        CurveStore store;
        testing::SweepSetup sweep;
        sweep.start = 0.3;
        sweep.step = 0.0005;
        sweep.forward = 1001;
        sweep.nf = n * kNf;
        sweep.nFACsqrtD = n * kFaradayArea * kBulk * std::sqrt(kD);
        sweep.substeps = 4;
        testing::writeReversibleSweep(store, sweep);
        PeakTable table;
        FindPeaks(store, 3, store.LastPoint - 2, {0.5, 1}, table);
        ASSERT_EQ(table.PeakCount, 1);
        EXPECT_NEAR(valueAfter(out[1], "Ip= ") / table.PeakI[1][1], 1.0, 0.01) << n;
        EXPECT_NEAR(valueAfter(out[1], "Ep= "), table.PeakE[1][1], 0.0015) << n;
    }
}

TEST(TheoreticalPeaks, SampledStepWaveMatchesTheButlerVolmerStepCurrent) {
    // DC (technique 2, sampled at tsa1 of the drop time) and normal pulse (technique 3, at tsa1 of the
    // pulse time): the limiting current is Cottrell's at the sampling time t, and at the printed
    // irreversible E1/2 the Butler-Volmer step current sqrt(pi) lambda erfcx(lambda), lambda = kf sqrt(t/D),
    // is half of it.
    struct Row {
        int technique;
        double fraction;
    };
    for (const Row row : {Row{2, 1.0}, Row{3, 1.0}, Row{2, 0.5}, Row{3, 0.88}}) {
        const int technique = row.technique;
        ExperimentParams p = experiment(technique, 1, 1);
        p.committed.SampleFrac1 = row.fraction;
        const double t = row.fraction * (technique == 2 ? 0.01 : 0.05);
        const auto out = lines(TheoreticalPeaks(p));
        ASSERT_EQ(out.size(), 3u);
        const double cottrell = kFaradayArea * kBulk * std::sqrt(kD / (std::numbers::pi * t));
        EXPECT_NEAR(valueAfter(out[1], "Id,r= ") / cottrell, 1.0, 1e-4);
        // The normal pulse current is plotted against the base potential, a pulse (-10 mV) before it.
        const double shift = technique == 3 ? 0.01 : 0.0;
        EXPECT_NEAR(valueAfter(out[1], "E1/2= "), shift, 0.0005);
        EXPECT_EQ(out[2].rfind("Irreversible Peak 1: E1/2,r=  ", 0), 0u) << out[2];
        const double e = valueAfter(out[2], "E1/2,r=  ") - shift;
        const double lambda = 1e-3 * std::exp(-0.5 * kNf * e) * std::sqrt(t / kD);
        EXPECT_NEAR(std::sqrt(std::numbers::pi) * lambda * ErfcScaled(lambda), 0.5, 0.01) << technique;
    }
}

TEST(TheoreticalPeaks, SteadyStateElectrodes) {
    // Microdisk of radius r: 4 n F D C r (Saito 1968).
    const auto disk = lines(TheoreticalPeaks(experiment(1, 4, 1)));
    EXPECT_NEAR(valueAfter(disk[1], "Id,r= ") / (4 * 96484.6 * kD * kBulk * 0.001 * 0.001), 1.0, 1e-4);
    // Rotating disk at 1000 rpm: Levich 0.62 n F A D^2/3 omega^1/2 nu^-1/6 C, E1/2 = E0 for equal D.
    ExperimentParams p = experiment(1, 1, 1);
    p.committed.RotationRate = 1000 * std::numbers::pi / 30;
    const auto rde = lines(TheoreticalPeaks(p));
    const double levich = 0.62 * kFaradayArea * kBulk * std::pow(kD, 2.0 / 3.0) *
                          std::sqrt(p.committed.RotationRate) * std::pow(0.01, -1.0 / 6.0);
    EXPECT_NEAR(valueAfter(rde[1], "Id,r= ") / levich, 1.0, 1e-4);
    EXPECT_EQ(rde[1].rfind("Reversible Peak  1: E1/2= 0.000 V, Id,r= ", 0), 0u) << rde[1];
}

TEST(TheoreticalPeaks, AdsorbedCoupleGivesTheSurfaceBell) {
    // Reversible: n^2 F^2 A v Gamma / (4RT) at E0, width 3.53 RT/nF = 90.6 mV (Laviron 1979).
    const ExperimentParams p = experiment(1, 1, 15);
    const auto out = lines(TheoreticalPeaks(p));
    const double gamma = 1e-8 * 1e4 * kBulk / (1 + 1e4 * kBulk); // mol/cm2
    const double bell = kNf * 96484.6 * kArea * 0.1 * gamma / 4;
    EXPECT_NEAR(valueAfter(out[1], "Ip= ") / bell, 1.0, 1e-4);
    EXPECT_NE(out[1].find("Ep= 0.000 V, "), std::string::npos) << out[1];
    EXPECT_NE(out[1].find("W1/2= 0.091 V, "), std::string::npos) << out[1];
    ASSERT_EQ(out.size(), 2u) << "a Nernstian layer has no irreversible line";
    // The same layer with slow transfer (mechanism 17): alpha n^2 F^2 A v Gamma / (2.718 RT), width
    // 2.44 RT/(alpha n F) = 125 mV.
    const auto slow = lines(TheoreticalPeaks(experiment(1, 1, 17)));
    ASSERT_EQ(slow.size(), 3u);
    EXPECT_NEAR(valueAfter(slow[2], "Ip= ") / (bell * 0.5 * 4 / 2.718), 1.0, 1e-4);
    EXPECT_NE(slow[2].find("W1/2= 0.125 V, "), std::string::npos) << slow[2];
}

TEST(TheoreticalPeaks, PreconcentratedThinFilmStripsAlongDeVriesAndVanDalen) {
    // 600 s at -0.6 V stirred at 1000 rpm: the film collects C m (1 - exp(-p t))/(p l) (Levich m,
    // bulk exhaustion p = 1e-3/s); the Nernstian stripping peak is -n F A l C' nf v/2.7 at
    // E0 + ln(nf v l/m)/nf, the irreversible one (1 - alpha) n F A l C' nf v/e at
    // E0 + ln((1 - alpha) nf v l/ks)/((1 - alpha) nf).
    auto preconcentrated = [](int mechanism) {
        ExperimentParams p = experiment(1, 9, mechanism);
        p.CheckPreCon = true;
        p.txtEPre = "-0.6";
        p.txtTPre = "600";
        p.txtRStir = "1000";
        p.txtTpreconst = "1e-3";
        return p;
    };
    ExperimentParams p = preconcentrated(11);
    const auto nernstian = lines(TheoreticalPeaks(p));
    ASSERT_EQ(nernstian.size(), 2u) << "a Nernstian couple has no irreversible line";
    auto out = lines(TheoreticalPeaks(preconcentrated(1))); // the same film, with both limits
    ASSERT_EQ(out.size(), 3u);
    out[1] = nernstian[1];
    const double m =
        0.62 * std::pow(kD, 2.0 / 3.0) * std::sqrt(1000 * std::numbers::pi / 30) * std::pow(0.01, -1.0 / 6.0);
    const double film = kBulk * m / 1e-3 * -std::expm1(-0.6) / 1e-4;
    const double charge = kFaradayArea * 1e-4 * film; // C
    EXPECT_NEAR(valueAfter(out[1], "Ip= ") / (-charge * kNf * 0.1 / 2.7), 1.0, 1e-4) << out[1];
    EXPECT_NEAR(valueAfter(out[1], "Ep= "), std::log(kNf * 0.1 * 1e-4 / m) / kNf, 0.0005) << out[1];
    EXPECT_NE(out[1].find("W1/2= 0.063 V, "), std::string::npos) << out[1];
    EXPECT_NEAR(valueAfter(out[2], "Ip= ") / (-0.5 * charge * kNf * 0.1 / std::exp(1.0)), 1.0, 2e-3)
        << out[2];
    EXPECT_NEAR(valueAfter(out[2], "Ep= "), std::log(0.5 * kNf * 0.1 * 1e-4 / 1e-3) / (0.5 * kNf), 0.0005)
        << out[2];

    p.CheckPreCon = false; // the closed layer again: its bell at E0
    EXPECT_NE(lines(TheoreticalPeaks(p))[1].find("Ep= 0.000 V, "), std::string::npos);
}

TEST(TheoreticalPeaks, DifferentialPulsePeakSitsHalfAPulseFromTheHalfWavePotential) {
    const auto out = lines(TheoreticalPeaks(experiment(4, 1, 1)));
    // Parry & Osteryoung: Ep = E1/2 - dE/2 with dE = -10 mV; W1/2 = 3.53 RT/nF.
    EXPECT_NEAR(valueAfter(out[1], "Ep= "), 0.005, 0.0005);
    EXPECT_NE(out[1].find("W1/2= 0.091 V, "), std::string::npos) << out[1];
    const double sigma = std::exp(-kNf * 0.01 / 2);
    const double expected =
        kFaradayArea * kBulk * std::sqrt(kD / (std::numbers::pi * 0.05)) * (1 - sigma) / (1 + sigma);
    EXPECT_NEAR(valueAfter(out[1], "Ip= ") / expected, 1.0, 1e-4);
}

TEST(TheoreticalPeaks, UndefinedValuesAreLeftOutAndTheLinesStillWritten) {
    ExperimentParams p = experiment(1, 1, 1);
    p.committed.RateKs[1] = 0; // ln(0) in the irreversible peak potential
    const auto out = lines(TheoreticalPeaks(p));
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[2].rfind("Irreversible Peak 1: Ip= ", 0), 0u) << out[2];

    // A zero radius at a sphere divides by zero; the next command must not inherit the flag.
    p = experiment(2, 2, 1);
    p.radius = "0";
    std::feclearexcept(FE_ALL_EXCEPT);
    const auto sphere = lines(TheoreticalPeaks(p));
    EXPECT_EQ(sphere.size(), 3u);
    EXPECT_EQ(std::fetestexcept(FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW), 0);
}

} // namespace
} // namespace tessaly

namespace tessaly {
namespace {

// Only the reduced form in solution: the first sweep oxidises it, so the peaks are the cathodic ones
// mirrored (Nicholson & Shain with O and R exchanged): Ip = -0.4463 nFAC_R sqrt(nf v D_R) at
// E1/2 + 1.109 RT/nF, and the irreversible -0.4958 sqrt(1 - alpha) nFAC_R sqrt(nf v D_R) at
// E0 + (0.78 + ln(sqrt(D_R (1 - alpha) nf v)/ks))/((1 - alpha) nf).
TEST(TheoreticalPeaks, ReducedFormAloneGivesTheAnodicPeaks) {
    ExperimentParams p = experiment(1, 1, 1);
    p.committed.InitConc[1] = 0;
    p.committed.InitConc[2] = kBulk;
    p.committed.DiffCoef[2] = 2 * kD;
    p.committed.Alpha[1] = 0.3;
    const auto out = lines(TheoreticalPeaks(p));
    ASSERT_EQ(out.size(), 3u);
    const double halfWave = std::log(std::sqrt(2.0)) / kNf;
    const double reversible = -0.4463 * kFaradayArea * kBulk * std::sqrt(kNf * 0.1 * 2 * kD);
    EXPECT_NEAR(valueAfter(out[1], "Ip= ") / reversible, 1.0, 1e-4) << out[1];
    EXPECT_NEAR(valueAfter(out[1], "Ep= "), halfWave + 1.109 / kNf, 0.0005) << out[1];
    EXPECT_NEAR(valueAfter(out[1], "Ep/2 - Ep= "), -2.2 / kNf, 0.0005) << out[1];
    const double bnf = 0.7 * kNf;
    const double irreversible = -0.4958 * std::sqrt(0.7) * kFaradayArea * kBulk * std::sqrt(kNf * 0.1 * 2 * kD);
    EXPECT_NEAR(valueAfter(out[2], "Ip= ") / irreversible, 1.0, 1e-4) << out[2];
    EXPECT_NEAR(valueAfter(out[2], "Ep= "), (0.78 + std::log(std::sqrt(2 * kD * bnf * 0.1) / 1e-3)) / bnf, 0.0005)
        << out[2];
    EXPECT_GT(valueAfter(out[2], "Ep= "), 0.0); // on the oxidation side of E0
}

// A Nernstian couple (mechanisms 11 to 16) has no irreversible limit to report.
TEST(TheoreticalPeaks, NernstianCouplesGetNoIrreversibleLine) {
    for (const int mechanism : {11, 12, 13, 15}) {
        SCOPED_TRACE(mechanism);
        for (const std::string& line : lines(TheoreticalPeaks(experiment(1, 1, mechanism))))
            EXPECT_EQ(line.find("Irreversible Peak"), std::string::npos) << line;
    }
    const auto quasi = lines(TheoreticalPeaks(experiment(1, 1, 1)));
    ASSERT_EQ(quasi.size(), 3u);
    EXPECT_EQ(quasi[2].rfind("Irreversible Peak 1: ", 0), 0u);
}

} // namespace
} // namespace tessaly
