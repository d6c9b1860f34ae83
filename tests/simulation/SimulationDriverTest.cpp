// The simulation driver: potential programmes, clearing, charging current, baseline, noise and the
// failure report. The faradaic currents of the mechanisms are tested with the mechanisms.

#include "simulation/SimulationDriver.h"

#include "model/Commits.h"
#include "simulation/NoiseGenerator.h"
#include "support/SimulateIntoStore.h"

#include <cmath>
#include <gtest/gtest.h>

namespace tessaly {
namespace {

// With no species in solution the faradaic current is exactly zero, so what the driver adds (charging,
// baseline, noise) is seen alone.
struct SimRun {
    ExperimentParams p;
    CurveStore store;
    void withoutFaradaicCurrent() { p.C[1] = "0"; }

    SimulationOutcome simulate(bool overlap = false) {
        Notices notices;
        commitSpecies(p, notices);
        return simulateIntoStore(p, store, overlap);
    }
    double total(int k) const { return store.Curve(k, store.CurveNo); }
};

TEST(PotentialProgramme, SweepEndsAtTheFirstPointThatReachesTheEndPotential) {
    struct Case {
        const char* start;
        const char* end;
        const char* step;
        int scan;
        int nPoints, nForward;
        double last; // E[NForward - 1]
    };
    const Case cases[] = {
        {"0.2", "-0.4", "0.005", 0, 121, 121, -0.4},
        {"0.2", "-0.4025", "0.005", 0, 122, 122, -0.405}, // passes the end by less than a step
        {"-0.5", "0.5", "0.01", 0, 101, 101, 0.5},
        {"0.2", "-0.4", "0.005", 1, 242, 121, -0.4},
        {"0.2", "-0.4", "0.005", 2, 484, 121, -0.4},
        {"0.2", "-0.4", "0.005", 3, 726, 121, -0.4},
    };
    for (const Case& c : cases) {
        SimRun run;
        run.p.Estart = c.start;
        run.p.Eend = c.end;
        run.p.Estep = c.step;
        run.p.ComboScan = c.scan;
        ASSERT_FALSE(run.simulate().failure);
        const CurveStore& s = run.store;
        EXPECT_EQ(s.NPoints, c.nPoints) << c.end << " scan " << c.scan;
        EXPECT_EQ(s.NForward, c.nForward) << c.end;
        EXPECT_NEAR(s.E[s.NForward - 1], c.last, 1e-12) << c.end;
        EXPECT_EQ(s.FirstPoint, 1);
        EXPECT_EQ(s.LastPoint, c.nPoints - 2);
        EXPECT_EQ(s.LastIndex, c.nPoints - 1);
        // The reverse sweep mirrors the forward one; later cycles repeat the first.
        const int period = 2 * s.NForward;
        for (int k = 0; k < s.NPoints; ++k) {
            const int inCycle = k % period;
            const int mirror = inCycle < s.NForward ? inCycle : period - 1 - inCycle;
            ASSERT_EQ(s.E[k], s.E[mirror]) << "point " << k;
            ASSERT_EQ(s.EApplied[k], s.E[k]);
            ASSERT_EQ(s.XAxis[k], s.E[k]);
        }
    }
}

TEST(PotentialProgramme, StepTechniqueHoldsTheStartThenCyclesBetweenStartAndEnd) {
    SimRun run;
    run.p.optTech = 8;
    run.p.TextTexp = "1";
    run.p.td = "0.01";
    ASSERT_FALSE(run.simulate().failure);
    EXPECT_EQ(run.store.NPoints, 101);
    for (int k = 0; k <= 100; ++k)
        ASSERT_DOUBLE_EQ(run.store.E[k], 0.3);

    // Leave a stale value where the programme's remainder point lies: it must be overwritten.
    run.store.E[100] = 99;
    run.p.ComboScan = 1;
    ASSERT_FALSE(run.simulate().failure);
    EXPECT_EQ(run.store.NForward, 50);
    for (int k = 0; k < 50; ++k)
        ASSERT_DOUBLE_EQ(run.store.E[k], 0.3) << k;
    for (int k = 50; k < 100; ++k)
        ASSERT_DOUBLE_EQ(run.store.E[k], -0.4) << k;
    EXPECT_DOUBLE_EQ(run.store.E[100], 0.3); // continues with the start of the next block

    run.p.ComboScan = 3; // 101 points: three blocks of 2 x 17 cover them all
    ASSERT_FALSE(run.simulate().failure);
    EXPECT_EQ(run.store.NForward, 17);
    EXPECT_DOUBLE_EQ(run.store.E[34 + 16], 0.3);
    EXPECT_DOUBLE_EQ(run.store.E[34 + 17], -0.4);
    EXPECT_DOUBLE_EQ(run.store.E[100], -0.4); // the last point lies in the third block's back step
}

TEST(PotentialProgramme, WaveformTechniquesKeepTheirPotentials) {
    for (const int technique : {9, 10}) {
        SimRun run;
        run.p.optTech = technique;
        run.store.NPoints = 7;
        for (int k = 0; k < 7; ++k)
            run.store.E[k] = 0.1 * k;
        ASSERT_FALSE(run.simulate().failure);
        EXPECT_EQ(run.store.NPoints, 7);
        for (int k = 0; k < 7; ++k)
            EXPECT_DOUBLE_EQ(run.store.E[k], 0.1 * k);
    }
}

TEST(PotentialProgramme, FitModeKeepsTheMeasuredPotentials) {
    SimRun run;
    run.store.NPoints = 9;
    for (int k = 0; k < 9; ++k)
        run.store.E[k] = -0.02 * k;
    run.store.FitMode = true;
    run.store.CurveNo = 1;
    ASSERT_FALSE(run.simulate().failure);
    EXPECT_EQ(run.store.NForward, 4); // 9 / 2 rounded to even
    EXPECT_DOUBLE_EQ(run.store.E[8], -0.16);
}

// The store grows to a long programme: a cyclic sweep of 14,002 points, beyond the classic 5001, by
// the analytical path and by the digital model.
TEST(SimulationDriver, LongSweepFillsTheGrownStore) {
    for (const bool digital : {false, true}) {
        SCOPED_TRACE(digital ? "digital" : "analytical");
        SimRun run;
        run.p.Estep = "0.0001"; // 7001 points each way
        run.p.ComboScan = 1;
        run.p.CheckDigital = digital;
        run.p.DigitalFlag = digital;
        ASSERT_FALSE(run.simulate().failure);
        const CurveStore& s = run.store;
        ASSERT_EQ(s.NPoints, 14002);
        EXPECT_EQ(s.NForward, 7001);
        EXPECT_EQ(s.LastPoint, 14000);
        EXPECT_GE(s.maxPoint(), 14002);
        EXPECT_NEAR(s.E[7000], -0.4, 1e-12);
        EXPECT_EQ(s.E[14001], s.E[0]);
        EXPECT_GE(s.ComponentCurrent.points(), 14003);
        for (int k = s.FirstPoint; k <= s.LastPoint; ++k)
            ASSERT_TRUE(std::isfinite(run.total(k))) << k;
    }
}

// A programme of more points than the store holds is refused, naming the limit, and leaves the store.
TEST(SimulationDriver, SweepBeyondTheStoreLimitIsRefusedNamingIt) {
    SimRun run;
    ASSERT_FALSE(run.simulate().failure);
    const int before = run.store.NPoints;
    run.p.Estep = "0.0000005"; // 1,400,001 points
    const SimulationOutcome outcome = run.simulate();
    ASSERT_TRUE(outcome.failure);
    EXPECT_EQ(*outcome.failure,
              "More than 1000000 data points: the curve store holds at most 1000000 points");
    EXPECT_EQ(run.store.NPoints, before);
    run.p.optTech = 8; // a step experiment of 1,400,001 drop times
    run.p.TextTexp = "700";
    run.p.td = "0.0005";
    const SimulationOutcome step = run.simulate();
    ASSERT_TRUE(step.failure);
    EXPECT_EQ(*step.failure, "More than 1000000 data points: the curve store holds at most 1000000 points");
}

TEST(SimulationDriver, ZeroDropTimeOfAStepIsADivisionByZero) {
    SimRun run;
    run.p.optTech = 8;
    run.p.td = "0";
    const SimulationOutcome outcome = run.simulate();
    ASSERT_TRUE(outcome.failure);
    EXPECT_EQ(*outcome.failure, "Division by zero");
}

TEST(SimulationDriver, BaselineRunsLinearlyInPotentialToTheEndPotential) {
    SimRun run;
    run.withoutFaradaicCurrent();
    run.p.TxtI0 = "1e-6";
    run.p.TxtI1 = "0";
    run.p.ComboScan = 1;
    ASSERT_FALSE(run.simulate().failure);
    const CurveStore& s = run.store;
    const double e0 = s.E[0];
    const double end = -0.4;
    for (int k = s.FirstPoint; k <= s.LastPoint; ++k)
        ASSERT_NEAR(run.total(k), 1e-6 * (1 - (s.E[k] - e0) / (end - e0)), 1e-18) << k;
    EXPECT_NEAR(run.total(s.NForward - 1), 0, 1e-18); // at the end potential
    EXPECT_NEAR(run.total(s.NForward), 0, 1e-18);     // and back up on the reverse sweep
    EXPECT_NEAR(run.total(s.LastPoint), 1e-6 * (1 - (s.E[s.LastPoint] - e0) / (end - e0)), 1e-18);
    EXPECT_EQ(run.total(0), 0); // outside the active range
}

TEST(SimulationDriver, BaselineWithTheEndAtTheStartPotentialIsADivisionByZero) {
    SimRun run;
    run.p.TxtI0 = "1e-6";
    run.p.Eend = "0.3000"; // a different text with the start's value
    const SimulationOutcome outcome = run.simulate();
    ASSERT_TRUE(outcome.failure);
    EXPECT_EQ(*outcome.failure, "Division by zero");
}

// The generator written out independently of NoiseGenerator: x -> (24298 x + 99991) mod 199017 + 1,
// seeded with 2 N; per point R = sqrt(2 ln(199017/x1)), noise = level R cos(2 pi x2 / 199017).
double referenceNoise(int nPoints, int pointsBefore, double level) {
    double x = 2.0 * nPoints;
    auto next = [&x] {
        x = std::fmod(24298.0 * x + 99991.0, 199017.0) + 1.0;
        return x;
    };
    for (int i = 0; i < 2 * pointsBefore; ++i)
        next();
    const double r = std::sqrt(2.0 * std::log(199017.0 / next()));
    return level * r * std::cos(6.28318530717958 * next() / 199017.0);
}

TEST(SimulationDriver, NoiseIsTheDeterministicGaussianOfTheGenerator) {
    SimRun first, second;
    first.withoutFaradaicCurrent();
    second.withoutFaradaicCurrent();
    first.p.Noise = second.p.Noise = "1e-6";
    ASSERT_FALSE(first.simulate().failure);
    ASSERT_FALSE(second.simulate().failure);
    const CurveStore& s = first.store;
    double sum = 0, sumSquares = 0;
    for (int k = s.FirstPoint; k <= s.LastPoint; ++k) {
        ASSERT_EQ(first.total(k), second.total(k));
        ASSERT_NEAR(first.total(k), referenceNoise(s.NPoints, k - s.FirstPoint, 1e-6), 1e-20) << k;
        sum += first.total(k);
        sumSquares += first.total(k) * first.total(k);
    }
    const int n = s.LastPoint - s.FirstPoint + 1;
    EXPECT_NEAR(sum / n, 0, 3e-7);                        // mean within ~3 standard errors
    EXPECT_NEAR(std::sqrt(sumSquares / n), 1e-6, 2.5e-7); // rms near the level
    EXPECT_EQ(first.total(0), 0);
    EXPECT_EQ(first.total(s.NPoints - 1), 0);
}

TEST(SimulationDriver, NoNoiseWhenTheLevelIsZeroOrWhileFitting) {
    SimRun quiet;
    quiet.withoutFaradaicCurrent();
    ASSERT_FALSE(quiet.simulate().failure);
    for (int k = 0; k < quiet.store.NPoints; ++k)
        ASSERT_EQ(quiet.total(k), 0);
    SimRun fitting;
    fitting.withoutFaradaicCurrent();
    fitting.p.Noise = "1e-6";
    fitting.store.NPoints = 50;
    for (int k = 0; k < 50; ++k)
        fitting.store.E[k] = 0.3 - 0.01 * k;
    fitting.store.FitMode = true;
    fitting.store.CurveNo = 1;
    ASSERT_FALSE(fitting.simulate().failure);
    for (int k = 0; k < 50; ++k)
        ASSERT_EQ(fitting.total(k), 0);
}

TEST(SimulationDriver, ChargingCurrentOfASweepRelaxesWithTheCellTimeConstant) {
    // Cdl v flows while the potential sweeps; with Ru the current approaches it with the time
    // constant Ru Cdl: i(k) = (Cdl v + r i(k-1)) / (1 + r), r = Ru Cdl / dt, from i = 0.
    SimRun run;
    run.withoutFaradaicCurrent();
    run.p.Cdl = "2e-5";
    run.p.txtRu = "500";
    run.p.Estep = "0.005";
    run.p.V = "0.05";
    run.p.td = "0.1";
    ASSERT_FALSE(run.simulate().failure);
    const double cv = 2e-5 * 0.05; // A, cathodic sweep: positive
    const double r = 2e-5 * 500 / 0.1;
    double expected = 0;
    for (int k = 2; k <= run.store.LastPoint; ++k) {
        expected = (cv + r * expected) / (1 + r);
        ASSERT_NEAR(run.total(k), expected, 1e-15) << k;
    }
    EXPECT_NEAR(run.total(run.store.LastPoint), cv, 1e-3 * cv); // settled after many time constants
    EXPECT_EQ(run.total(1), 0);                                 // points 0 and 1 carry no computed current
}

TEST(NoiseGenerator, StatesStayInsideTheModulus) {
    NoiseGenerator g(5001);
    for (int i = 0; i < 100000; ++i) {
        const double x = g.draw();
        ASSERT_GE(x, 1);
        ASSERT_LE(x, 199017);
        ASSERT_EQ(x, std::floor(x));
    }
}

} // namespace
} // namespace tessaly
