// Diffusion-limited currents of the digital model against closed forms: Cottrell at a plane, the
// sphere and the microdisk, two-electron chains, the rotating disk (Levich) and the charging current.

#include "DigitalSimulationTestSupport.h"

#include <gtest/gtest.h>

namespace tessaly {
namespace {

using namespace digital_test;

// Backward Euler carries a relative error of about 3/(8m) in the current m steps after a potential
// step (the coefficients of (1 - z)^(-1/2)); twenty steps per point keep it below 1 % from point 5 on.
TEST(DigitalSimulationTransport, PlanarStepFollowsCottrell) {
    ExperimentParams p = reversibleCouple();
    chronoamperometry(p, -0.5, 0.02, 0.001, 101);
    const DigitalRunResult r = runDigital(p);
    ASSERT_FALSE(r.outcome.failure) << *r.outcome.failure;
    EXPECT_EQ(r.outcome.subSteps, 20);
    for (int k = 5; k <= r.store->LastPoint; ++k)
        EXPECT_NEAR(r.current(k) / cottrell(1, r.area, 1e-3, 1e-5, k * 0.02), 1.0, 0.01) << "point " << k;
}

TEST(DigitalSimulationTransport, ConsecutiveCouplesTransferTwoElectrons) {
    ExperimentParams p = reversibleCouple();
    p.charge[22] = "B";
    p.charge[26] = "C";
    p.Eze[2] = "-0.2";
    p.ks[2] = "1e4";
    chronoamperometry(p, -0.7, 0.02, 0.001, 51);
    const DigitalRunResult r = runDigital(p);
    ASSERT_FALSE(r.outcome.failure) << *r.outcome.failure;
    ASSERT_EQ(r.total, 3);
    for (int k = 5; k <= r.store->LastPoint; ++k) {
        const double expected = cottrell(1, r.area, 1e-3, 1e-5, k * 0.02);
        EXPECT_NEAR(r.current(k) / (2 * expected), 1.0, 0.01) << "point " << k;
        // Every A reduced to B is reduced on to C: the two components carry equal currents.
        EXPECT_NEAR(r.store->ComponentCurrent(k, 1) / expected, 1.0, 0.01);
        EXPECT_NEAR(r.store->ComponentCurrent(k, 2) / expected, 1.0, 0.01);
        EXPECT_NEAR(r.store->SurfaceConc(k, 1), 0.0, 1e-9);
    }
}

// Sphere: i = nFAC (sqrt(D/(pi t)) + D/r).
TEST(DigitalSimulationTransport, SphereAddsRadialTerm) {
    ExperimentParams p = reversibleCouple();
    p.Electrode = 2;
    p.radius = "0.005";
    p.ARE = text(4 * std::numbers::pi * 0.005 * 0.005);
    chronoamperometry(p, -0.5, 0.02, 0.001, 101);
    const DigitalRunResult r = runDigital(p);
    ASSERT_FALSE(r.outcome.failure) << *r.outcome.failure;
    EXPECT_LT(r.outcome.surfaceAreaFactor, 1.0);
    for (int k = 5; k <= r.store->LastPoint; ++k) {
        const double t = k * 0.02;
        const double expected = cottrell(1, r.area, 1e-3, 1e-5, t) + kF * r.area * 1e-6 * 1e-5 / r.radius;
        EXPECT_NEAR(r.current(k) / expected, 1.0, 0.01) << "point " << k;
    }
}

// Microdisk of radius a as the hemisphere of radius 2a/pi: the long-time current is 4nFDCa.
TEST(DigitalSimulationTransport, MicrodiskReachesSteadyState) {
    ExperimentParams p = reversibleCouple();
    p.Electrode = 4;
    p.radius = "1e-4";
    chronoamperometry(p, -0.5, 0.1, 0.1, 1001);
    const DigitalRunResult r = runDigital(p);
    ASSERT_FALSE(r.outcome.failure) << *r.outcome.failure;
    const double steady = 4 * kF * 1e-5 * 1e-6 * 1e-4;
    EXPECT_NEAR(r.current(r.store->LastPoint) / steady, 1.0, 0.01);
}

// Rotating disk: i = 0.620 nFA D^(2/3) omega^(1/2) nu^(-1/6) C.
TEST(DigitalSimulationTransport, RotatingDiskGivesLevichCurrent) {
    for (const char* rpm : {"500", "2000"}) {
        ExperimentParams p = reversibleCouple();
        p.Rotation = rpm;
        p.TextVis = "0.01";
        p.TextExpanding = "0.2";
        chronoamperometry(p, -0.5, 0.05, 0.005, 201);
        const DigitalRunResult r = runDigital(p);
        ASSERT_FALSE(r.outcome.failure) << *r.outcome.failure;
        const double omega = std::atof(rpm) * std::numbers::pi / 30;
        const double levich = 0.620 * kF * r.area * std::pow(1e-5, 2.0 / 3) * std::sqrt(omega) *
                              std::pow(0.01, -1.0 / 6) * 1e-6;
        EXPECT_NEAR(r.current(r.store->LastPoint) / levich, 1.0, 0.02) << rpm << " rpm";
    }
}

TEST(DigitalSimulationTransport, StillSolutionHasNoConvection) {
    ExperimentParams p = reversibleCouple();
    p.Rotation = "0";
    chronoamperometry(p, -0.5, 0.05, 0.05, 201);
    const DigitalRunResult r = runDigital(p);
    // Without convection the current keeps falling as t^-1/2: half of it four times later.
    EXPECT_NEAR(r.current(196) / r.current(49), 0.5, 0.005);
}

// Double layer behind the uncompensated resistance: a sweep draws Cdl v (1 - exp(-t/RuCdl)).
TEST(DigitalSimulationTransport, ChargingCurrentOfASweep) {
    ExperimentParams p = reversibleCouple();
    p.C[1] = "0";
    p.Cdl = "1e-5";
    p.txtRu = "100"; // tau = 1 ms
    Sweep s;
    s.rate = 1;
    s.subSteps = 10;
    s.start = 0.1;
    s.end = -0.1;
    sweep(p, s);
    const DigitalRunResult r = runDigital(p);
    ASSERT_FALSE(r.outcome.failure) << *r.outcome.failure;
    const double plateau = 1e-5 * 1.0;
    for (int k : {1, 2, 3, 5}) {
        const double t = k * 1e-3;
        EXPECT_NEAR(r.current(k) / (plateau * (1 - std::exp(-t / 1e-3))), 1.0, 0.06) << "point " << k;
    }
    EXPECT_NEAR(r.current(r.store->LastPoint) / plateau, 1.0, 1e-6);
}

} // namespace
} // namespace tessaly
