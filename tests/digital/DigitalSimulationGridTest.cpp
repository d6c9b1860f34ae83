// The expanding grid, its coefficients and the time steps of a point.

#include "DigitalSimulationTestSupport.h"
#include "digital/DigitalGrid.h"
#include "digital/SubStepProgramme.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace tessaly {
namespace {

using namespace digital_test;

GridInputs planarInputs(double beta) {
    GridInputs in;
    in.electrode = 1;
    in.timeStep = 0.01;
    in.expansion = beta;
    in.maxDiffusion = in.minDiffusion = 1e-5;
    in.points = 400;
    return in;
}

TEST(DigitalSimulationGrid, ExpansionFactorSetsCellGrowth) {
    const DigitalGrid uniform = buildDigitalGrid(planarInputs(1e-6));
    for (int i = 1; i < uniform.cells; ++i)
        EXPECT_NEAR(uniform.face[i + 1] - uniform.face[i], 1.0, 1e-4);
    const DigitalGrid steep = buildDigitalGrid(planarInputs(1.0));
    for (int i = 1; i + 2 <= steep.cells; ++i)
        EXPECT_NEAR((steep.face[i + 2] - steep.face[i + 1]) / (steep.face[i + 1] - steep.face[i]),
                    std::exp(1.0), 1e-12);
    EXPECT_DOUBLE_EQ(steep.face[1], 0.0);
    EXPECT_DOUBLE_EQ(steep.face[2], 1.0);
}

TEST(DigitalSimulationGrid, PlanarGridReachesSixDiffusionLengths) {
    for (const double beta : {0.1, 0.5, 1.0}) {
        const GridInputs in = planarInputs(beta);
        const DigitalGrid grid = buildDigitalGrid(in);
        EXPECT_DOUBLE_EQ(modelDiffusionCoefficient(in), 0.45);
        EXPECT_DOUBLE_EQ(grid.firstCell, std::sqrt(1e-5 * 0.01 / 0.45));
        const double reach = 6 * std::sqrt(1e-5 * 400 * 0.01) / grid.firstCell;
        // Face F_n is the face nearest to the required reach; the outer cell lies beyond it.
        EXPECT_GE(grid.face[grid.cells + 1], reach) << beta;
        EXPECT_LE(grid.face[grid.cells - 1], reach) << beta;
        EXPECT_DOUBLE_EQ(grid.lower[1], 1 / grid.centre[1]);
        EXPECT_DOUBLE_EQ(grid.surfaceAreaFactor, 1.0);
    }
}

// The shell conductances carry the steady radial profiles exactly: C = 1 - rho/r at a sphere and
// C = ln(r/rho) at a cylinder make every cell's net exchange vanish.
TEST(DigitalSimulationGrid, CurvedGridsHoldSteadyProfiles) {
    for (const int electrode : {2, 5}) {
        GridInputs in = planarInputs(0.5);
        in.electrode = electrode;
        in.radius = 1e-3;
        const DigitalGrid grid = buildDigitalGrid(in);
        const auto profile = [&](int j) {
            const double r = grid.rho + (j == 0 ? 0.0 : grid.centre[j]);
            return electrode == 2 ? 1 - grid.rho / r : std::log(r / grid.rho);
        };
        for (int j = 1; j <= grid.cells; ++j) {
            const double exchange =
                grid.lower[j] * (profile(j - 1) - profile(j)) + grid.upper[j] * (profile(j + 1) - profile(j));
            EXPECT_NEAR(exchange, 0.0, 1e-12 * grid.lower[j]) << electrode << " cell " << j;
        }
        EXPECT_LT(grid.surfaceAreaFactor, 1.0);
        // A radius of ten first cells at least.
        EXPECT_GE(grid.rho, 10.0 - 1e-9);
    }
}

TEST(DigitalSimulationGrid, ThinFilmEndsAtItsThickness) {
    GridInputs in = planarInputs(0.5);
    in.electrode = 9;
    in.thickness = 1e-4;
    const DigitalGrid grid = buildDigitalGrid(in);
    EXPECT_NEAR(grid.face[grid.cells + 1] * grid.firstCell, 1e-4, 1e-16);
    EXPECT_GE(grid.cells, 3);
}

TEST(DigitalSimulationGrid, TooLongGridStopsTheRun) {
    GridInputs in = planarInputs(0.01);
    in.points = 5000;
    in.subSteps = 100;
    EXPECT_THROW(buildDigitalGrid(in), Failure);

    ExperimentParams p = reversibleCouple();
    chronoamperometry(p, -0.5, 0.1, 0.001, 2001);
    p.TextExpanding = "0.01";
    const DigitalRunResult r = runDigital(p);
    ASSERT_TRUE(r.outcome.failure);
    EXPECT_NE(r.outcome.failure->find("199"), std::string::npos) << *r.outcome.failure;
    EXPECT_EQ(r.current(5), 0.0);
}

// A space grid factor so large that the cells' growth overflows names the field and its range instead
// of a cell count it could not compute.
TEST(DigitalSimulationGrid, HugeSpaceGridFactorNamesTheField) {
    const std::pair<const char*, const char*> cases[] = {{"1e10", "10000000000"}, {"1000", "1000"}};
    for (const auto& [factor, shown] : cases) {
        SCOPED_TRACE(factor);
        ExperimentParams p = reversibleCouple();
        chronoamperometry(p, -0.5, 0.1, 0.001, 21);
        p.TextExpanding = factor;
        const DigitalRunResult r = runDigital(p);
        ASSERT_TRUE(r.outcome.failure);
        EXPECT_EQ(*r.outcome.failure, "The Space grid factor " + std::string(shown) +
                                          " is too large: the grid's cells would grow past any finite size; "
                                          "use a factor from 0.01 to 1");
    }
}

// The step count of a point is no longer a 16-bit number: 40000 steps of a typed grid run. A grid that
// would take more than 1e8 steps in the run is refused before it starts, with the cause named.
TEST(DigitalSimulationGrid, StepCountBeyondSixteenBitsRunsAndAnEndlessGridIsRefused) {
    ExperimentParams p = reversibleCouple();
    chronoamperometry(p, -0.5, 0.4, 1e-5, 3);
    const DigitalRunResult r = runDigital(p);
    ASSERT_FALSE(r.outcome.failure) << *r.outcome.failure;
    EXPECT_EQ(r.outcome.subSteps, 40000);
    EXPECT_NEAR(r.current(1) / cottrell(1, r.area, 1e-3, 1e-5, 0.4), 1.0, 0.01);

    chronoamperometry(p, -0.5, 10, 1e-7, 101); // 1e8 steps per point
    const DigitalRunResult refused = runDigital(p);
    ASSERT_TRUE(refused.outcome.failure);
    EXPECT_EQ(*refused.outcome.failure, "The time grid gives more than 100000000 time steps in one run");
    EXPECT_EQ(refused.outcome.timeSteps, 0);
}

// The automatic model samples at the instants the technique names, on segments cut where the
// potential jumps: the differential pulse's base sample at 0.88 td ends the base segment, the pulse
// starts at td - tp; a new drop ends at its last sample; the square wave samples each half period.
TEST(DigitalSimulationGrid, AutomaticSegmentsEndAtTheSamplingInstants) {
    struct Expected {
        double end; // s from the point's start
        int level;
        int samples;
    };
    struct Case {
        int technique, electrode;
        double td, tp, tsa1, tsa2;
        std::vector<Expected> segments;
    };
    const Case cases[] = {
        {4, 1, 0.5, 0.05, 0.88, 1, {{0.44, 0, kFirstSample}, {0.45, 0, 0}, {0.5, 1, kSecondSample}}},
        {4, 7, 0.5, 0.05, 0.5, 0.95, {{0.25, 0, kFirstSample}, {0.45, 0, 0}, {0.475, 1, kSecondSample}}},
        {4, 1, 0.5, 0.05, 0.9, 1, {{0.45, 0, kFirstSample}, {0.5, 1, kSecondSample}}},
        {3, 1, 1, 0.05, 0.5, 1, {{0.95, 0, 0}, {0.975, 1, 3}, {1, 1, 0}}},
        {3, 7, 1, 0.05, 1, 1, {{0.95, 0, 0}, {1, 1, 3}}},
        {2, 1, 0.5, 0.05, 0.88, 1, {{0.44, 0, 3}}},
        {5, 1, 0.1, 0.05, 0.5, 1, {{0.025, 0, kFirstSample}, {0.05, 0, 0}, {0.1, 1, kSecondSample}}},
        {7, 1, 0.5, 0.05, 0.88, 1, {{0.44, 0, 3}, {0.5, 0, 0}}},
        {8, 1, 0.1, 0.05, 0.88, 1, {{0.1, 0, 3}}},
    };
    for (const Case& c : cases) {
        const PointSchedule s = sampledSchedule({c.technique, c.electrode, c.td, c.tp, c.tsa1, c.tsa2});
        ASSERT_EQ(s.count, static_cast<int>(c.segments.size())) << "technique " << c.technique;
        double end = 0;
        for (int i = 0; i < s.count; ++i) {
            end += s.segment[i].duration;
            EXPECT_NEAR(end, c.segments[i].end, 1e-12) << "technique " << c.technique << " segment " << i;
            EXPECT_EQ(s.segment[i].level, c.segments[i].level) << "technique " << c.technique << " segment " << i;
            EXPECT_EQ(s.segment[i].samples, c.segments[i].samples)
                << "technique " << c.technique << " segment " << i;
            EXPECT_EQ(s.segment[i].steps, 0);
        }
    }
}

TEST(DigitalSimulationGrid, DropTimeBelowTimeStepGivesOneStep) {
    SubStepTiming timing;
    timing.technique = 1;
    timing.timeStep = 0.01;
    timing.dropTime = 0.004;
    EXPECT_EQ(planSubSteps(timing).subSteps, 1);

    ExperimentParams p = reversibleCouple();
    chronoamperometry(p, -0.5, 0.01, 0.02, 21);
    const DigitalRunResult r = runDigital(p);
    ASSERT_FALSE(r.outcome.failure) << *r.outcome.failure;
    EXPECT_EQ(r.outcome.subSteps, 1);
    EXPECT_EQ(r.outcome.timeSteps, r.store->LastPoint - r.store->FirstPoint + 1);
    EXPECT_GT(r.current(1), 0.0);
}

TEST(DigitalSimulationGrid, SubStepPotentialsAndSamples) {
    struct Case {
        int technique;
        double sample1;                  // tsa1
        std::array<double, 6> potential; // steps 1..6 of a point at 0.1 V after 0.2 V, pulse -0.05 V
        int first;
        int second;
    };
    const Case cases[] = {
        {1, 1.0, {0.1833333333, 0.1666666667, 0.15, 0.1333333333, 0.1166666667, 0.1}, 6, 6},
        {3, 1.0, {0.3, 0.3, 0.3, 0.3, 0.05, 0.05}, 6, 6},
        {3, 0.5, {0.3, 0.3, 0.3, 0.3, 0.05, 0.05}, 5, 5}, // half-way into the pulse
        {4, 0.5, {0.1, 0.1, 0.1, 0.1, 0.05, 0.05}, 3, 6},
        {5, 1.0, {0.05, 0.05, 0.05, 0.15, 0.15, 0.15}, 3, 6}, // forward (cathodic) pulse first, Esw = 0.05
        {7, 1.0, {0.1, 0.1, 0.1, 0.1, 0.1, 0.1}, 6, 6},
    };
    for (const Case& c : cases) {
        SubStepTiming timing;
        timing.technique = c.technique;
        timing.timeStep = 0.01;
        timing.dropTime = 0.06;
        timing.pulseTime = 0.02;
        timing.sample1 = c.sample1;
        timing.sample2 = 1.0;
        const SubStepPlan plan = planSubSteps(timing);
        ASSERT_EQ(plan.subSteps, 6);
        for (int m = 1; m <= 6; ++m)
            EXPECT_NEAR(subStepPotential(plan, m, 0.1, 0.2, 0.3, -0.05, -1.0), c.potential[m - 1], 1e-9)
                << "technique " << c.technique << " step " << m;
        EXPECT_EQ(plan.firstSample, c.first) << c.technique;
        EXPECT_EQ(plan.secondSample, c.second) << c.technique;
    }
}

TEST(DigitalSimulationGrid, PulseSamplesCombineWithReductionSign) {
    SubStepPlan plan;
    plan.technique = 4; // pulse minus base
    EXPECT_DOUBLE_EQ(pointCurrent(plan, 1.0, 3.0), 2.0);
    plan.technique = 5; // forward minus reverse half period
    EXPECT_DOUBLE_EQ(pointCurrent(plan, 3.0, 1.0), 2.0);
    plan.technique = 2;
    EXPECT_DOUBLE_EQ(pointCurrent(plan, 1.0, 3.0), 3.0);
}

// The square-wave amplitude is |Epulse| and the forward pulse follows the scan whatever the sign typed.
TEST(DigitalSimulationGrid, SquareWaveForwardPulseFollowsTheScan) {
    SubStepTiming timing;
    timing.technique = 6;
    timing.timeStep = 0.01;
    timing.dropTime = 0.04;
    const SubStepPlan plan = planSubSteps(timing);
    ASSERT_EQ(plan.switchStep, 2);
    for (const double pulse : {-0.025, 0.025})
        for (const double direction : {-1.0, 1.0}) {
            EXPECT_NEAR(subStepPotential(plan, 1, 0.1, 0.1, 0.0, pulse, direction), 0.1 + 0.025 * direction,
                        1e-12);
            EXPECT_NEAR(subStepPotential(plan, 4, 0.1, 0.1, 0.0, pulse, direction), 0.1 - 0.025 * direction,
                        1e-12);
        }
}

} // namespace
} // namespace tessaly
