// A run watched from another thread: its progress only rises and ends at the whole run, and a stop
// request ends an analytical or a digital run at its next point, as a cancelled, unfinished result.

#include "simulation/SimulationDriver.h"

#include "digital/DigitalSimulationTestSupport.h"
#include "model/Commits.h"
#include "simulation/SimulationAdapter.h"

#include <atomic>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

namespace tessaly {
namespace {

// The committed input of p, with its programme built by the run.
SimulationInput committedInput(ExperimentParams p) {
    Notices notices;
    commitSpecies(p, notices);
    return simulationInputOf(p);
}

ExperimentParams analyticalSweep() {
    ExperimentParams p;
    p.Estep = "0.001"; // 601 points from 0.3 V to -0.3 V
    return p;
}

// The reversible couple on a typed grid: the run makes its pass and the automatic model's comparison.
ExperimentParams typedDigitalSweep() {
    ExperimentParams p = digital_test::reversibleCouple();
    digital_test::sweep(p, digital_test::Sweep{.step = 0.005, .subSteps = 4});
    return p;
}

ExperimentParams automaticDigitalSweep() {
    ExperimentParams p = digital_test::reversibleCouple();
    digital_test::sweep(p, digital_test::Sweep{.step = 0.005});
    return p;
}

struct Case {
    const char* name;
    ExperimentParams (*experiment)();
    bool digital;
};

const Case kCases[] = {
    {"analytical", analyticalSweep, false},
    {"digital on a typed grid", typedDigitalSweep, true},
    {"digital on the automatic grid", automaticDigitalSweep, true},
};

TEST(RunControl, AStopRequestedBeforeTheRunEndsItAtTheFirstPoint) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        RunControl control;
        control.requestCancel();
        SimulationInput in = committedInput(c.experiment());
        in.control = &control;
        const SimulationResult r = Simulate(in);
        EXPECT_TRUE(r.cancelled);
        EXPECT_FALSE(r.finished());
        ASSERT_TRUE(r.failure);
        EXPECT_EQ(*r.failure, kRunCancelledText);
        EXPECT_FALSE(r.digital.failure); // a stop is not the digital model's failure
        EXPECT_GT(control.total(), 1);
        EXPECT_LE(control.done(), 1); // at most the point before the first computed one
    }
}

TEST(RunControl, AStopFromAnotherThreadEndsALongDigitalRun) {
    // 6001 points of 40 time steps each on a typed grid, and the automatic comparison pass after them:
    // long enough that a loaded machine cannot finish it before this thread asks it to stop.
    ExperimentParams p = digital_test::reversibleCouple();
    digital_test::sweep(p, digital_test::Sweep{.step = 0.0001, .subSteps = 40});
    SimulationInput in = committedInput(p);
    RunControl control;
    in.control = &control;
    SimulationResult r;
    std::thread worker([&] { Simulate(in, r); });
    while (control.done() < 5)
        std::this_thread::yield();
    control.requestCancel();
    worker.join();
    EXPECT_TRUE(r.cancelled);
    EXPECT_FALSE(r.finished());
    EXPECT_LT(control.done(), control.total());
}

TEST(RunControl, ProgressRisesToTheWholeRunWithoutTurningBack) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        SimulationInput in = committedInput(c.experiment());
        ASSERT_EQ(in.digital, c.digital);
        RunControl control;
        in.control = &control;
        SimulationResult r;
        std::atomic<bool> done{false};
        std::thread worker([&] {
            Simulate(in, r);
            done = true;
        });
        std::vector<int> seen;
        while (!done)
            seen.push_back(control.done());
        worker.join();
        seen.push_back(control.done());
        for (std::size_t i = 1; i < seen.size(); ++i)
            ASSERT_LE(seen[i - 1], seen[i]) << "at sample " << i;
        ASSERT_TRUE(r.finished());
        EXPECT_FALSE(r.cancelled);
        EXPECT_EQ(r.digital.timeSteps > 0, c.digital);
        // The whole run: every computed point, twice on a typed grid (its run and the comparison).
        const int passes = std::string(c.name) == "digital on a typed grid" ? 2 : 1;
        EXPECT_EQ(control.total(), passes * r.LastPoint);
        EXPECT_EQ(seen.back(), control.total());
    }
}

TEST(RunControl, ARunWithoutControlIsUnchanged) {
    // The same experiment with and without a control gives the same currents.
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        SimulationInput plain = committedInput(c.experiment());
        SimulationInput watched = plain;
        RunControl control;
        watched.control = &control;
        const SimulationResult a = Simulate(plain);
        const SimulationResult b = Simulate(watched);
        ASSERT_TRUE(a.finished());
        ASSERT_TRUE(b.finished());
        ASSERT_EQ(a.NPoints, b.NPoints);
        for (int k = a.FirstPoint; k <= a.LastPoint; ++k)
            ASSERT_EQ(a.total(k), b.total(k)) << "point " << k;
    }
}

} // namespace
} // namespace tessaly
