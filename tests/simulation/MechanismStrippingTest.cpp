// Stripping voltammetry at a thin film after a preconcentration step, against theory: the deposit of a
// stirred (Levich) or still (Cottrell) solution with bulk exhaustion, the plating current that continues
// at the deposition potential, and the de Vries–van Dalen stripping peak, reversible and irreversible.

#include "MechanismTestSupport.h"

namespace tessaly::testing {
namespace {

constexpr double kThickness = 1e-4; // cm
constexpr double kViscosity = 0.01; // cm²/s, the default kinematic viscosity
constexpr double kRate = 1.0;       // V/s

struct Deposition {
    double rpm = 1000;
    double time = 600;     // s
    double exhaust = 1e-3; // 1/s
};

// Anodic scan from the deposition potential −0.6 V to +0.4 V at 1 V/s in 1 mV steps, E0 = 0 V.
std::unique_ptr<ExperimentParams> strippingExperiment(int mechanism, double n, const Deposition& d) {
    auto p = sweepExperiment(mechanism, n);
    p->Electrode = 9;
    p->thickness = "1e-4";
    p->Estart = "-0.6";
    p->Eend = "0.4";
    p->V = "1";
    p->td = "0.001";
    p->tp = "0.001";
    p->CheckPreCon = true;
    p->txtEPre = "-0.6";
    p->txtTPre = std::to_string(d.time);
    p->txtRStir = std::to_string(d.rpm);
    p->txtTpreconst = std::to_string(d.exhaust);
    return p;
}

// Levich mass-transfer coefficient D/δ of the stirred solution, cm/s (Bard & Faulkner 9.3.22).
double levichTransfer(double rpm) {
    return 0.62 * std::pow(kD, 2.0 / 3.0) * std::sqrt(rpm * kPi / 30) * std::pow(kViscosity, -1.0 / 6.0);
}

// Reduced form collected in the film at a potential far negative of E0, mol/L: a solution exhausted at
// the bulk-electrolysis rate p gives up C0·(m/p)·(1 − exp(−p·t)) per area (Bard & Faulkner 11.3.4).
double filmConcentration(double m, const Deposition& d) {
    const double perArea =
        d.exhaust > 0 ? kC * m / d.exhaust * -std::expm1(-d.exhaust * d.time) : kC * m * d.time; // mol/L·cm
    return perArea / kThickness;
}

double charge(const CurveStore& store, double dt) {
    double q = 0;
    for (int k = 1; k <= store.LastPoint; ++k)
        q += current(store, k) * dt;
    return q;
}

// de Vries & van Dalen, J. Electroanal. Chem. 14 (1967) 315: a Nernstian film strips along u·exp(−u),
// peak n²F²·A·v·l·C′/(e·RT) at E0 + (RT/nF)·ln(nF·v·l·δ/(RT·D)); the plating current before the peak is
// the Levich current of what the deposition left in solution.
TEST(MechanismStripping, NernstianFilmMeetsDeVriesAndVanDalen) {
    struct Row {
        int mechanism;
        double n;
        int technique;
    };
    const Deposition d;
    for (const Row row : {Row{11, 1, 1}, Row{11, 2, 1}, Row{1, 1, 1}, Row{11, 1, 7}}) {
        auto p = strippingExperiment(row.mechanism, row.n, d);
        p->optTech = row.technique;
        p->tsa1 = "0.5"; // the staircase sampled half-way through each step follows the sweep
        if (row.mechanism == 1)
            p->ks[1] = "1e4";
        CurveStore store;
        simulate(*p, store);
        SCOPED_TRACE("mechanism " + std::to_string(row.mechanism) + ", n = " + std::to_string(row.n) +
                     ", technique " + std::to_string(row.technique));

        const double area = p->committed.ElectrodeArea;
        const double m = levichTransfer(d.rpm);
        const double film = filmConcentration(m, d);
        const double nf = row.n * kFRT;
        const double ip = row.n * kF * area * kThickness * film * 1e-3 * nf * kRate / std::exp(1.0);
        const double ep = std::log(nf * kRate * kThickness / m) / nf;
        const Peak peak = findPeak(store, 2, store.LastPoint, -1.0);
        EXPECT_NEAR(-peak.height, ip, 0.01 * ip);
        EXPECT_NEAR(peak.potential * 1e3, ep * 1e3, 1.0);

        // The film's whole deposit comes back out: n·F·A·l·C′, less the little plated during the scan.
        const double deposit = row.n * kF * area * kThickness * film * 1e-3;
        EXPECT_NEAR(-charge(store, 0.001), deposit, 0.01 * deposit);

        const double plating = row.n * kF * area * m * kC * 1e-3 * std::exp(-d.exhaust * d.time);
        EXPECT_NEAR(current(store, 2), plating, 0.01 * plating);
    }
}

// Deposition conditions: a still solution collects the Cottrell amount 2C·√(D·t/π); without bulk
// exhaustion a stirred one collects m·C·t; the deposit, recovered as the stripping charge, follows.
TEST(MechanismStripping, DepositFollowsTransportAndExhaustion) {
    struct Row {
        Deposition d;
        double perArea; // mol/L·cm expected in the film
    };
    const double m = levichTransfer(2000);
    const Row rows[] = {
        {{0, 120, 0}, 2 * kC * std::sqrt(kD * 120 / kPi)},
        {{2000, 120, 0}, kC * m * 120},
        {{2000, 120, 1e-2}, kC * m / 1e-2 * -std::expm1(-1e-2 * 120)},
    };
    for (const Row& row : rows) {
        auto p = strippingExperiment(11, 1, row.d);
        CurveStore store;
        simulate(*p, store);
        SCOPED_TRACE("rpm " + std::to_string(row.d.rpm) + ", p " + std::to_string(row.d.exhaust));
        const double deposit = kF * p->committed.ElectrodeArea * row.perArea * 1e-3;
        EXPECT_NEAR(-charge(store, 0.001), deposit, 0.01 * deposit);
    }
}

// A totally irreversible oxidation strips the film at the first-order rate kb/l: the peak
// (1 − α)·n²F²·A·v·l·C′/(e·RT) at E0 + ln((1 − α)·nF·v·l/(RT·ks))/((1 − α)·nf), width 2.446·RT/((1 − α)nF).
TEST(MechanismStripping, IrreversibleFilmStripsAtItsOwnRate) {
    const Deposition d;
    for (const char* text : {"1e-6", "1e-7"}) {
        const double ks = std::stod(text);
        auto p = strippingExperiment(1, 1, d);
        p->ks[1] = text;
        p->txtEPre = "-0.9"; // deep enough that the slow reduction still deposits at the Levich rate
        p->Estart = "-0.9";
        p->Eend = "1.0";
        CurveStore store;
        simulate(*p, store);
        SCOPED_TRACE(std::string("ks = ") + text);
        const double beta = 0.5;
        const double bnf = beta * kFRT;
        const double film = filmConcentration(levichTransfer(d.rpm), d);
        const double ip =
            beta * kF * p->committed.ElectrodeArea * kThickness * film * 1e-3 * kFRT * kRate / std::exp(1.0);
        const double ep = std::log(bnf * kRate * kThickness / ks) / bnf;
        const Peak peak = findPeak(store, 2, store.LastPoint, -1.0);
        EXPECT_NEAR(-peak.height, ip, 0.02 * ip);
        EXPECT_NEAR(peak.potential * 1e3, ep * 1e3, 2.0);
        const double left = crossing(store, peak.index, 2, 0.5 * ip, -1.0);
        const double right = crossing(store, peak.index, store.LastPoint, 0.5 * ip, -1.0);
        EXPECT_NEAR((right - left) * 1e3, 2.446e3 / bnf, 3.0);
    }
}

// Combinations without a thin-film kernel (mechanism 2 under a sweep, mechanism 1 under a staircase) give
// the same currents with and without the deposition step.
TEST(MechanismStripping, OnlyTheThinFilmKernelsStrip) {
    struct Row {
        int mechanism, technique;
    };
    for (const Row row : {Row{2, 1}, Row{1, 7}}) {
        SCOPED_TRACE("mechanism " + std::to_string(row.mechanism));
        auto ticked = strippingExperiment(row.mechanism, 1, Deposition{});
        ticked->optTech = row.technique;
        auto unticked = strippingExperiment(row.mechanism, 1, Deposition{});
        unticked->optTech = row.technique;
        unticked->CheckPreCon = false;
        CurveStore store, expected;
        simulate(*ticked, store);
        simulate(*unticked, expected);
        ASSERT_EQ(store.LastPoint, expected.LastPoint);
        for (int k = 1; k <= store.LastPoint; ++k)
            ASSERT_EQ(current(store, k), current(expected, k)) << "point " << k;
    }
}

} // namespace
} // namespace tessaly::testing
