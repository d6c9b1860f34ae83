// The digital model at the settings a user is given (Auto digital model ticked): against closed forms
// of theory (Cottrell, the sphere, Levich, Randles-Sevcik) and against converged runs (a typed grid
// far finer than the automatic one) for slow kinetics and coupled chemistry; and the distance from
// converged that a typed grid reports.

#include "DigitalSimulationTestSupport.h"

#include <gtest/gtest.h>

namespace tessaly {
namespace {

using namespace digital_test;

// Cottrell at a plane and nFADC (1/sqrt(pi D t) + 1/r) at a sphere of 50 um, within 0.1 % from the
// tenth point of a step sampled every 0.1 s.
TEST(DigitalAccuracy, StepCurrentsWithinATenthOfAPercentFromTheTenthPoint) {
    for (const int electrode : {1, 2}) {
        ExperimentParams p = reversibleCouple();
        if (electrode == 2) {
            p.Electrode = 2;
            p.radius = "0.005";
            p.ARE = text(4 * std::numbers::pi * 0.005 * 0.005);
        }
        chronoamperometry(p, -0.5, 0.1, 0, 201);
        const DigitalRunResult r = runDigital(p);
        ASSERT_FALSE(r.outcome.failure) << *r.outcome.failure;
        EXPECT_TRUE(r.outcome.automaticGrid);
        for (int k = 10; k <= r.store->LastPoint; ++k) {
            const double t = k * 0.1;
            double expected = cottrell(1, r.area, 1e-3, 1e-5, t);
            if (electrode == 2)
                expected += kF * r.area * 1e-6 * 1e-5 / r.radius;
            EXPECT_NEAR(r.current(k) / expected, 1.0, 0.001) << "electrode " << electrode << ", point " << k;
        }
    }
}

// The velocity profile v_z = -0.51023 w^1.5 nu^-0.5 z^2 gives the Levich current
// nFAC D^(2/3) w^(1/2) nu^(-1/6) (0.51023/3)^(1/3)/Gamma(4/3) = 0.62046 nFAC D^(2/3) w^(1/2) nu^(-1/6).
TEST(DigitalAccuracy, RotatingDiskReachesLevich) {
    const double levichConstant = std::cbrt(0.51023 / 3) / std::tgamma(4.0 / 3);
    EXPECT_NEAR(levichConstant, 0.62046, 0.00002);
    for (const char* rpm : {"100", "1000", "5000"})
        for (const double diffusion : {1e-5, 3e-6}) {
            ExperimentParams p = reversibleCouple();
            p.D[1] = p.D[2] = text(diffusion);
            p.Rotation = rpm;
            p.TextVis = "0.01";
            chronoamperometry(p, -0.5, 0.1, 0, 201);
            const DigitalRunResult r = runDigital(p);
            ASSERT_FALSE(r.outcome.failure) << *r.outcome.failure;
            const double omega = std::atof(rpm) * std::numbers::pi / 30;
            const double levich = levichConstant * kF * r.area * std::pow(diffusion, 2.0 / 3) * std::sqrt(omega) *
                                  std::pow(0.01, -1.0 / 6) * 1e-6;
            EXPECT_NEAR(r.current(r.store->LastPoint) / levich, 1.0, 0.002) << rpm << " rpm, D " << diffusion;
        }
}

// Nicholson & Shain: ip = 0.44629 nFAC sqrt(nFvD/RT) (the integral equation solved to five digits) for
// the standard reversible cycle, 0.3 V to -0.3 V and back in 1 mV steps at 0.1 V/s.
TEST(DigitalAccuracy, StandardCycleMeetsRandlesSevcikToATenThousandth) {
    for (const int electrons : {1, 2}) {
        ExperimentParams p = reversibleCouple();
        p.charge[14] = std::to_string(electrons);
        Sweep s;
        s.cycle = true;
        sweep(p, s);
        const DigitalRunResult r = runDigital(p);
        ASSERT_FALSE(r.outcome.failure) << *r.outcome.failure;
        const Peak peak = findPeak(r, 2, r.store->NPoints / 2 - 2, true);
        const double theory = randlesSevcik(electrons, r.area, 1e-3, 1e-5, 0.1) * 0.44629 / 0.4463;
        EXPECT_NEAR(peak.current / theory, 1.0, 1e-4) << "n = " << electrons;
        EXPECT_NEAR(peak.potential * 1e3, -1.1090 / (electrons * kf) * 1e3, 0.1) << "n = " << electrons;
    }
}

// Largest difference between two runs over points from..last, as a fraction of the reference's
// largest current.
double largestDifference(const DigitalRunResult& run, const DigitalRunResult& reference, int from) {
    double scale = 0;
    double difference = 0;
    for (int k = 1; k <= reference.store->LastPoint; ++k)
        scale = std::max(scale, std::fabs(reference.current(k)));
    for (int k = from; k <= reference.store->LastPoint; ++k)
        difference = std::max(difference, std::fabs(run.current(k) - reference.current(k)));
    return difference / scale;
}

struct KineticCase {
    const char* name;
    void (*set)(ExperimentParams&);
    double referenceStep; // s, the typed step of the converged run (its first cell sqrt(D dt/0.45))
};

// Slow electron transfer (psi = 0.29 and 0.003, Nicholson's quasi-reversible and irreversible
// ranges) and coupled chemistry (reaction layers down to 3 um) over one cycle at 1 V/s, the automatic
// grid against typed runs with steps of 1 % of a point and first cells below 0.2 um.
TEST(DigitalAccuracy, KineticsAndChemistryWithinATenthOfAPercentOfConverged) {
    const KineticCase cases[] = {
        {"quasi-reversible, ks 0.01 cm/s", [](ExperimentParams& p) { p.ks[1] = "0.01"; }, 2e-5},
        {"irreversible, ks 1e-4 cm/s, alpha 0.3",
         [](ExperimentParams& p) {
             p.ks[1] = "1e-4";
             p.alph[1] = "0.3";
         },
         2e-5},
        {"EC, k 10/s",
         [](ExperimentParams& p) {
             p.chem2[1] = "B";
             p.chem2[3] = "C";
             p.kf[1] = "10";
             p.kb[1] = "0";
         },
         2e-5},
        {"EC', B -> A, k' 10/s",
         [](ExperimentParams& p) {
             p.chem2[1] = "B";
             p.chem2[3] = "A";
             p.kf[1] = "10";
             p.kb[1] = "0";
         },
         2e-5},
        {"EC2, 2B -> C, k 1e5 /(M s)",
         [](ExperimentParams& p) {
             p.chem2[1] = "B";
             p.chem2[2] = "B";
             p.chem2[3] = "C";
             p.kf[1] = "1e5";
             p.kb[1] = "0";
         },
         2e-5},
    };
    for (const KineticCase& c : cases) {
        SCOPED_TRACE(c.name);
        ExperimentParams p = reversibleCouple();
        c.set(p);
        Sweep s;
        s.start = 0.25;
        s.end = -0.35;
        s.step = 0.002;
        s.rate = 1;
        s.cycle = true;
        sweep(p, s);
        const DigitalRunResult automatic = runDigital(p);
        ASSERT_FALSE(automatic.outcome.failure) << *automatic.outcome.failure;
        ExperimentParams fine = p;
        typedGrid(fine, c.referenceStep, 0.1);
        const DigitalRunResult reference = runDigital(fine);
        ASSERT_FALSE(reference.outcome.failure) << *reference.outcome.failure;
        EXPECT_LT(largestDifference(automatic, reference, 2), 0.001);
    }
}

// A typed grid keeps the user's time step and space grid factor; the run then says how far it lies
// from the automatic model's current: about as far as it lies from converged.
TEST(DigitalAccuracy, TypedGridReportsItsDistanceFromConverged) {
    ExperimentParams p = reversibleCouple();
    chronoamperometry(p, -0.5, 0.1, 0.1, 51); // one step per point
    const DigitalRunResult coarse = runDigital(p);
    ASSERT_FALSE(coarse.outcome.automaticGrid);
    ASSERT_TRUE(coarse.outcome.typedGridError);
    EXPECT_EQ(coarse.outcome.subSteps, 1);
    // Its real distance: the largest error against Cottrell over the points, over the largest current.
    double error = 0;
    for (int k = 1; k <= coarse.store->LastPoint; ++k)
        error = std::max(error, std::fabs(coarse.current(k) - cottrell(1, coarse.area, 1e-3, 1e-5, k * 0.1)));
    error /= cottrell(1, coarse.area, 1e-3, 1e-5, 0.1);
    EXPECT_GT(error, 0.1);
    EXPECT_NEAR(*coarse.outcome.typedGridError / error, 1.0, 0.05);

    typedGrid(p, 0.001, 0.1);
    const DigitalRunResult fine = runDigital(p);
    ASSERT_TRUE(fine.outcome.typedGridError);
    EXPECT_LT(*fine.outcome.typedGridError, 0.02);
    EXPECT_EQ(typedGridReport(0.42),
              "Digital model: the typed time grid and space grid factor leave the current about 42 % from "
              "converged (Auto digital model: within 0.1 %)");
    EXPECT_EQ(typedGridReport(0.0123),
              "Digital model: the typed time grid and space grid factor leave the current about 1.2 % from "
              "converged (Auto digital model: within 0.1 %)");
    EXPECT_EQ(typedGridReport(0.0004), "Digital model: the typed time grid and space grid factor keep the "
                                       "current within about 0.1 % of converged");
}

} // namespace
} // namespace tessaly
