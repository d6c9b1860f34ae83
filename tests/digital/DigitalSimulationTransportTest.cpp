// Diffusion-limited currents of the digital model against closed forms: Cottrell at a plane, the
// sphere and the microdisk, two-electron chains, the rotating disk (Levich) and the charging current.

#include "DigitalSimulationTestSupport.h"

#include <gtest/gtest.h>

namespace tessaly {
namespace {

using namespace digital_test;

// A typed grid of twenty steps per point: the second-order steps leave the space grid's error, about
// 0.06 h^2/(D t) = 0.13 dt/t with the designed first cell h = 1.49 sqrt(D dt), 0.15 % at point 5.
TEST(DigitalSimulationTransport, PlanarStepFollowsCottrell) {
    ExperimentParams p = reversibleCouple();
    chronoamperometry(p, -0.5, 0.02, 0.001, 101);
    const DigitalRunResult r = runDigital(p);
    ASSERT_FALSE(r.outcome.failure) << *r.outcome.failure;
    EXPECT_EQ(r.outcome.subSteps, 20);
    for (int k = 5; k <= r.store->LastPoint; ++k)
        EXPECT_NEAR(r.current(k) / cottrell(1, r.area, 1e-3, 1e-5, k * 0.02), 1.0, 0.003) << "point " << k;
}

TEST(DigitalSimulationTransport, ConsecutiveCouplesTransferTwoElectrons) {
    ExperimentParams p = reversibleCouple();
    p.charge[22] = "B";
    p.charge[26] = "C";
    p.Eze[2] = "-0.2";
    p.ks[2] = "1e4";
    chronoamperometry(p, -0.7, 0.02, 0, 51);
    const DigitalRunResult r = runDigital(p);
    ASSERT_FALSE(r.outcome.failure) << *r.outcome.failure;
    ASSERT_EQ(r.total, 3);
    for (int k = 5; k <= r.store->LastPoint; ++k) {
        const double expected = cottrell(1, r.area, 1e-3, 1e-5, k * 0.02);
        EXPECT_NEAR(r.current(k) / (2 * expected), 1.0, 0.001) << "point " << k;
        // Every A reduced to B is reduced on to C: the two components carry equal currents.
        EXPECT_NEAR(r.store->ComponentCurrent(k, 1) / expected, 1.0, 0.001);
        EXPECT_NEAR(r.store->ComponentCurrent(k, 2) / expected, 1.0, 0.001);
        EXPECT_NEAR(r.store->SurfaceConc(k, 1), 0.0, 1e-9);
    }
}

// Sphere: i = nFAC (sqrt(D/(pi t)) + D/r).
TEST(DigitalSimulationTransport, SphereAddsRadialTerm) {
    ExperimentParams p = reversibleCouple();
    p.Electrode = 2;
    p.radius = "0.005";
    p.ARE = text(4 * std::numbers::pi * 0.005 * 0.005);
    chronoamperometry(p, -0.5, 0.02, 0, 101);
    const DigitalRunResult r = runDigital(p);
    ASSERT_FALSE(r.outcome.failure) << *r.outcome.failure;
    EXPECT_LT(r.outcome.surfaceAreaFactor, 1.0);
    for (int k = 5; k <= r.store->LastPoint; ++k) {
        const double t = k * 0.02;
        const double expected = cottrell(1, r.area, 1e-3, 1e-5, t) + kF * r.area * 1e-6 * 1e-5 / r.radius;
        EXPECT_NEAR(r.current(k) / expected, 1.0, 0.001) << "point " << k;
    }
}

// Microdisk of radius a as the hemisphere of radius 2a/pi: the long-time current is 4nFDCa, which the
// hemisphere's nFADC (1/sqrt(pi D t) + 1/r) approaches from above (0.11 % at 100 s).
TEST(DigitalSimulationTransport, MicrodiskReachesSteadyState) {
    ExperimentParams p = reversibleCouple();
    p.Electrode = 4;
    p.radius = "1e-4";
    chronoamperometry(p, -0.5, 0.1, 0, 1001);
    const DigitalRunResult r = runDigital(p);
    ASSERT_FALSE(r.outcome.failure) << *r.outcome.failure;
    const double steady = 4 * kF * 1e-5 * 1e-6 * 1e-4;
    const double hemisphere = 2 * 1e-4 / std::numbers::pi; // cm
    const double t = 100;                                 // s
    EXPECT_NEAR(r.current(r.store->LastPoint) / steady, 1.0 + hemisphere / std::sqrt(std::numbers::pi * 1e-5 * t),
                0.001);
}

// Rotating disk: i = 0.62046 nFA D^(2/3) omega^(1/2) nu^(-1/6) C for the velocity profile of the model.
// The exponentially fitted exchanges carry the steady profile exactly, so even the typed grid of the
// old default space factor 0.5 (12.6 % below Levich before) now holds it.
TEST(DigitalSimulationTransport, RotatingDiskGivesLevichCurrent) {
    for (const char* rpm : {"500", "2000"})
        for (const double timeGrid : {0.0, 0.005}) {
            ExperimentParams p = reversibleCouple();
            p.Rotation = rpm;
            p.TextVis = "0.01";
            chronoamperometry(p, -0.5, 0.05, timeGrid, 201);
            const DigitalRunResult r = runDigital(p);
            ASSERT_FALSE(r.outcome.failure) << *r.outcome.failure;
            const double omega = std::atof(rpm) * std::numbers::pi / 30;
            const double levich = 0.62046 * kF * r.area * std::pow(1e-5, 2.0 / 3) * std::sqrt(omega) *
                                  std::pow(0.01, -1.0 / 6) * 1e-6;
            EXPECT_NEAR(r.current(r.store->LastPoint) / levich, 1.0, 0.001) << rpm << " rpm, grid " << timeGrid;
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
    s.start = 0.1;
    s.end = -0.1;
    sweep(p, s);
    const DigitalRunResult r = runDigital(p);
    ASSERT_FALSE(r.outcome.failure) << *r.outcome.failure;
    const double plateau = 1e-5 * 1.0;
    for (int k : {1, 2, 3, 5}) {
        const double t = k * 1e-3;
        EXPECT_NEAR(r.current(k) / (plateau * (1 - std::exp(-t / 1e-3))), 1.0, 0.002) << "point " << k;
    }
    EXPECT_NEAR(r.current(r.store->LastPoint) / plateau, 1.0, 1e-6);
}

} // namespace
} // namespace tessaly
