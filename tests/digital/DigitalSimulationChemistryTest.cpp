// Homogeneous chemistry coupled to the electrode reaction: the catalytic (EC') current, and the shift
// of the peak with the rate of a following first-order (EC) or dimerisation (EC2) step in the
// kinetic zone.

#include "DigitalSimulationTestSupport.h"

#include <gtest/gtest.h>

namespace tessaly {
namespace {

using namespace digital_test;

// B + Z -> A + Y with Z in large excess: after a step the current approaches the catalytic plateau as
//   i = nFAC sqrt(D k') (erf(sqrt(k't)) + exp(-k't)/sqrt(pi k't)),  k' = k C_Z
// (Delahay & Stiehl, J. Am. Chem. Soc. 74 (1952) 3500). The step is second order: the iterated solver.
// Z is consumed near the electrode by about (C_A/C_Z) sqrt(k't) of its bulk value, which lowers the
// current by half that: 0.1 % at the end with Z a thousandfold in excess.
TEST(DigitalSimulationChemistry, CatalyticCurrentReachesPlateau) {
    ExperimentParams p = reversibleCouple();
    p.chem2[1] = "B";
    p.chem2[2] = "Z";
    p.chem2[3] = "A";
    p.chem2[4] = "Y";
    p.kf[1] = "1";
    p.kb[1] = "0";
    p.C[3] = "1";
    chronoamperometry(p, -0.3, 0.05, 0, 101);
    const DigitalRunResult r = runDigital(p);
    ASSERT_FALSE(r.outcome.failure) << *r.outcome.failure;
    EXPECT_GT(r.outcome.maxIterations, 1);
    const double rate = 1 * 1.0; // k', 1/s
    const double plateau = kF * r.area * 1e-6 * std::sqrt(1e-5 * rate);
    for (int k = 5; k <= r.store->LastPoint; k += 5) {
        const double kt = rate * k * 0.05;
        const double theory =
            plateau * (std::erf(std::sqrt(kt)) + std::exp(-kt) / std::sqrt(std::numbers::pi * kt));
        EXPECT_NEAR(r.current(k) / theory, 1.0, 0.002) << "point " << k;
    }
    EXPECT_NEAR(r.current(r.store->LastPoint) / plateau, 1.0, 0.002);
}

// In the kinetic zone the peak moves positive by (RT/F) ln 10 / 2 = 29.6 mV per decade of k for a
// first-order follow-up (Nicholson & Shain 1964) and by (RT/F) ln 10 / 3 = 19.7 mV for dimerisation
// (Andrieux, Nadjo & Saveant, J. Electroanal. Chem. 26 (1970) 147).
TEST(DigitalSimulationChemistry, FollowUpReactionShiftsPeakPerDecade) {
    struct Case {
        bool dimerisation;
        double rate;  // k at the lower decade: 1/s or 1/(M s)
        double shift; // mV per decade
    };
    for (const Case c : {Case{false, 1e2, 29.6}, Case{true, 1e5, 19.7}}) {
        std::array<double, 2> peak{};
        for (int decade = 0; decade < 2; ++decade) {
            ExperimentParams p = reversibleCouple();
            p.chem2[1] = "B";
            if (c.dimerisation)
                p.chem2[2] = "B";
            p.chem2[3] = "C";
            p.kf[1] = text(c.rate * (decade ? 10 : 1));
            p.kb[1] = "0";
            Sweep s;
            s.start = 0.2;
            s.end = -0.3;
            s.step = 0.002;
            sweep(p, s);
            const DigitalRunResult r = runDigital(p);
            ASSERT_FALSE(r.outcome.failure) << *r.outcome.failure;
            EXPECT_EQ(r.outcome.negativeConcentrations, 0);
            peak[decade] = findPeak(r, 2, r.store->LastPoint - 1, true).potential;
        }
        EXPECT_NEAR((peak[1] - peak[0]) * 1e3, c.shift, 3.0) << (c.dimerisation ? "EC2" : "EC");
    }
}

// A fast first-order equilibrium A = C ahead of the couple keeps the bulk ratio at every point of the
// diffusion layer; with equal diffusion coefficients the limiting current is that of all A + C.
TEST(DigitalSimulationChemistry, FastPrecedingEquilibriumSuppliesBothForms) {
    ExperimentParams p = reversibleCouple();
    p.chem2[1] = "C";
    p.chem2[3] = "A";
    p.kf[1] = "1e4";
    p.kb[1] = "1e4";
    p.C[1] = "5e-4";
    p.C[3] = "5e-4";
    chronoamperometry(p, -0.5, 0.02, 0, 51);
    const DigitalRunResult r = runDigital(p);
    ASSERT_FALSE(r.outcome.failure) << *r.outcome.failure;
    EXPECT_EQ(r.outcome.maxIterations, 1);
    for (int k = 10; k <= r.store->LastPoint; k += 10)
        EXPECT_NEAR(r.current(k) / cottrell(1, r.area, 1e-3, 1e-5, k * 0.02), 1.0, 0.001) << "point " << k;
}

} // namespace
} // namespace tessaly
