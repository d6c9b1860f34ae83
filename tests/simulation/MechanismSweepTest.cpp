// Sweeps and steps of a single couple against electrochemical theory: Cottrell, Randles–Ševčík and the
// reversible peak shape, the cyclic peak separation, and the history path of the Nernstian superpositions
// against the direct sums. Slow couples: KineticTheoryTest.cpp.

#include "MechanismTestSupport.h"

namespace tessaly::testing {
namespace {

// Randles–Ševčík, reversible: ip = 0.4463·nFAC·√(nFvD/RT), A.
double randlesSevcik(double n, double v = 0.1) {
    return 0.4463 * nFAC(n) * std::sqrt(n * kFRT * v * kD);
}

TEST(MechanismSweep, CottrellAfterALargeStep) {
    for (double n : {1.0, 2.0}) {
        auto p = sweepExperiment(1, n);
        p->optTech = 8;
        p->Estart = "-0.3"; // 0.3 V beyond E0
        p->Eend = "0.3";
        p->TextTexp = "1";
        CurveStore store;
        simulate(*p, store);
        ASSERT_EQ(store.NPoints, 101);
        for (int k = store.FirstPoint + 5; k <= store.LastPoint; ++k) {
            const double t = k * 0.01; // point k lies k·td after the step
            const double cottrell = nFAC(n) * std::sqrt(kD / (kPi * t));
            EXPECT_NEAR(current(store, k), cottrell, 0.005 * cottrell) << "n = " << n << ", k = " << k;
        }
    }
}

// The reversible sweep from the semi-integral and the after-pass (mechanism 11), and from the sweep
// superposition of a fast Butler–Volmer couple (mechanism 1, ks = 1e4 cm/s).
TEST(MechanismSweep, ReversibleRandlesSevcikAndPeakShape) {
    for (int mechanism : {11, 1})
        for (double n : {1.0, 2.0}) {
            auto p = sweepExperiment(mechanism, n);
            CurveStore store;
            simulate(*p, store);
            const Peak peak = findPeak(store, store.FirstPoint + 1, store.LastPoint);
            const double halfPeak = crossing(store, peak.index, store.FirstPoint + 1, peak.height / 2);
            SCOPED_TRACE("mechanism " + std::to_string(mechanism) + ", n = " + std::to_string(n));
            EXPECT_NEAR(peak.height, randlesSevcik(n), 0.02 * randlesSevcik(n));
            EXPECT_NEAR(peak.potential * 1e3, -28.5 / n, 1.5); // E1/2 = E0 = 0 with equal D
            EXPECT_NEAR((halfPeak - peak.potential) * 1e3, 56.5 / n, 1.5);
        }
}

// A sweep of 20,001 points (30 uV steps), four times the classic store: the same theory, closer on the
// finer grid, through the after-pass by transform (mechanism 11) and the kinetic solver (mechanism 1).
TEST(MechanismSweep, LongSweepBeyondTheClassicStore) {
    for (int mechanism : {11, 1}) {
        auto p = sweepExperiment(mechanism);
        p->Estep = "0.00003"; // V
        p->td = "0.0003";     // s, at 0.1 V/s
        CurveStore store;
        simulate(*p, store);
        ASSERT_EQ(store.NPoints, 20001);
        const Peak peak = findPeak(store, store.FirstPoint + 1, store.LastPoint);
        SCOPED_TRACE("mechanism " + std::to_string(mechanism));
        EXPECT_NEAR(peak.height, randlesSevcik(1), 0.005 * randlesSevcik(1));
        EXPECT_NEAR(peak.potential * 1e3, -28.5, 0.3);
    }
}

TEST(MechanismSweep, ReversibleCyclicPeakSeparation) {
    for (int mechanism : {11, 1})
        for (double n : {1.0, 2.0}) {
            auto p = sweepExperiment(mechanism, n);
            p->Eend = "-0.2"; // switched 0.2 V past E0
            p->ComboScan = 1;
            CurveStore store;
            simulate(*p, store);
            const int turn = store.NForward;
            const Peak cathodic = findPeak(store, 2, turn - 1);
            const Peak anodic = findPeak(store, turn + 1, store.LastPoint - 1, -1.0);
            const double separation = (anodic.potential - cathodic.potential) * 1e3;
            SCOPED_TRACE("mechanism " + std::to_string(mechanism) + ", n = " + std::to_string(n));
            EXPECT_GE(separation, 57.0 / n);
            EXPECT_LE(separation, 60.0 / n);
        }
}

// The O(N²) sums of a Nernstian couple from the per-run history equal the direct superposition to the
// last bit (the sweep at the ring, electrode 8, which has no semi-differentiation after-pass).
TEST(MechanismSweep, HistoryPathEqualsDirectSum) {
    for (int technique : {1, 7, 4, 5}) {
        auto p = sweepExperiment(11);
        p->optTech = technique;
        p->Electrode = technique == 1 ? 8 : 1;
        p->Epulse = "0.025";
        p->Eend = "-0.1";
        p->td = "0.1"; // the differential pulse holds its base for td − tp
        Notices notices;
        commitSpecies(*p, notices);
        const SimulationInput input = simulationInputOf(*p);
        SimulationResult store = Simulate(input);
        ASSERT_TRUE(store.finished());
        const RunConstants run = computeRunConstants(input);
        const SimulationContext ctx{input, store, run};
        std::vector<double> history(kPointCapacity);
        AnalyticalCurrents(ctx, SuperpositionPath::History);
        for (int k = 0; k <= store.NPoints; ++k)
            history[k] = store.currents(k, run.TotalCurrentColumn);
        AnalyticalCurrents(ctx, SuperpositionPath::Direct);
        for (int k = store.FirstPoint + 1; k <= store.LastPoint; ++k)
            ASSERT_EQ(store.currents(k, run.TotalCurrentColumn), history[k]) << "technique " << technique;
    }
}

// Beyond 5001 points the history sums are formed once by transform: they agree with the direct
// superposition to rounding (1e-11 of the largest current) for the sweep at the ring and the two-level
// programmes (5201 points, 0.52 V in 100 uV steps).
TEST(MechanismSweep, LongHistoryPathAgreesWithTheDirectSum) {
    for (int technique : {1, 4, 5}) {
        auto p = sweepExperiment(11);
        p->optTech = technique;
        p->Electrode = technique == 1 ? 8 : 1;
        p->Epulse = "0.025";
        p->Estart = "0.3";
        p->Eend = "-0.22";
        p->Estep = "0.0001";
        p->td = "0.1";
        Notices notices;
        commitSpecies(*p, notices);
        const SimulationInput input = simulationInputOf(*p);
        SimulationResult store = Simulate(input);
        ASSERT_TRUE(store.finished());
        ASSERT_EQ(store.NPoints, 5201);
        const RunConstants run = computeRunConstants(input);
        const SimulationContext ctx{input, store, run};
        std::vector<double> history(static_cast<std::size_t>(store.NPoints) + 1);
        AnalyticalCurrents(ctx, SuperpositionPath::History);
        double largest = 0.0;
        for (int k = 0; k <= store.NPoints; ++k) {
            history[k] = store.currents(k, run.TotalCurrentColumn);
            largest = std::max(largest, std::fabs(history[k]));
        }
        AnalyticalCurrents(ctx, SuperpositionPath::Direct);
        for (int k = store.FirstPoint + 1; k <= store.LastPoint; ++k)
            ASSERT_NEAR(store.currents(k, run.TotalCurrentColumn), history[k], 1e-11 * largest)
                << "technique " << technique << " point " << k;
    }
}

} // namespace
} // namespace tessaly::testing
