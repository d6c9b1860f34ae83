// Derivative probes on worker threads give exactly the fit that one-after-another probes give.

#include "fitting/AutoFit.h"
#include "model/Commits.h"
#include "support/SimulateIntoStore.h"

#include <gtest/gtest.h>
#include <string>

namespace tessaly {
namespace {

struct FitRun {
    ExperimentParams p;
    CurveStore store;
    std::string report;
    AutoFitResult result;

    // A quasi-reversible wave as the measured curve, fitted from E' 30 mV and ks a factor 5 away.
    FitRun() {
        p.Estart = "0.35";
        p.Eend = "-0.25";
        p.Estep = "0.004";
        p.V = "0.1";
        p.td = "0.04";
        p.ks[1] = "0.01";
        p.Eze[1] = "0.05";
        Notices notices;
        commitSpecies(p, notices);
        simulateIntoStore(p, store);
        p.ks[1] = "0.05";
        p.Eze[1] = "0.08";
        p.TextKsmin[1] = "1e-4";
        p.TextKsmax[1] = "1";
        p.TextEzeromin[1] = "-0.05";
        p.TextEzeromax[1] = "0.15";
        p.CheckFitted[11] = p.CheckFitted[31] = true;
        commitSpecies(p, notices);
    }

    void fit(int probeWorkers) {
        AutoFitIo io;
        io.append = [this](std::string_view text) { report += text; };
        io.clock = [] { return 0.0; };
        io.probeWorkers = probeWorkers;
        store.FitMode = true;
        result = runAutoFit(p, store, false, io);
        store.FitMode = false;
    }
};

TEST(ParallelProbes, WorkersGiveTheSerialFitBitForBit) {
    FitRun serial, parallel;
    serial.fit(0);
    parallel.fit(2);
    EXPECT_EQ(serial.report, parallel.report);
    EXPECT_EQ(serial.p.committed.RateKs[1], parallel.p.committed.RateKs[1]);
    EXPECT_EQ(serial.p.committed.FormalPotential[1], parallel.p.committed.FormalPotential[1]);
    EXPECT_EQ(serial.result.state.objectiveCount, parallel.result.state.objectiveCount);
    EXPECT_GT(serial.result.iterations, 1);
    EXPECT_NEAR(serial.p.committed.FormalPotential[1], 0.05, 1e-4); // noise-free data: found again
    for (int i = serial.store.FirstPoint; i <= serial.store.LastPoint; ++i)
        ASSERT_EQ(serial.store.Curve(i, 2), parallel.store.Curve(i, 2)) << i;
}

} // namespace
} // namespace tessaly
