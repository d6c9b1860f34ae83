// The analytical path of one simulation run (AnalyticalCurrents plus the after-pass, without the
// driver's programme and copy-out), planar disk, 1 mV steps at 0.1 V/s (TimeGrid 0.01 s):
//
//   KineticCycle        the standard cycle, 1202 points from +0.3 V to −0.3 V and back, mechanism 1
//                       with ks = 0.01 cm/s, by the integral-equation solver (O(N) with the exponential
//                       sum of the kernel)
//   SuperposedCycle     the same cycle by the step-response superposition that the solver replaced
//                       (SweepCurrentFromHistory over a history filled once per run, O(N²) multiply-adds):
//                       the time a cycle took before, and not a correct current for this couple
//   KineticSweep5001    a single sweep of 5001 points, mechanism 1 with ks = 0.01 cm/s
//   ReversibleSweep5001 the same sweep of the Nernstian mechanism 11: its semi-integral and the O(N²)
//                       semi-differentiation after-pass
//   KineticStaircase, KineticDifferentialPulse, KineticSquareWave
//                       121 points of 5 mV (staircase of 50 ms; pulses of 25 mV and 20 ms every 0.1 s;
//                       square wave at 25 Hz), mechanism 1 with ks = 0.01 cm/s, levels on graded meshes
//
// Goals: the standard cycle within 1 ms, a 5001-point sweep within 5 ms. Measured in one run (g++ 12,
// -O2, shared 2-core machine at a load of 6: CPU time per run, wall time about twice; ratios to the
// reversible 5001-point sweep):
//   KineticCycle              0.19 ms   0.05
//   SuperposedCycle           0.93 ms   0.24
//   KineticSweep5001          0.81 ms   0.21
//   ReversibleSweep5001       3.82 ms   1
//   KineticStaircase          0.86 ms
//   KineticDifferentialPulse  1.68 ms
//   KineticSquareWave         1.57 ms

#include "model/Commits.h"
#include "simulation/AnalyticalKernels.h"
#include "simulation/AnalyticalMechanisms.h"
#include "simulation/RunConstants.h"
#include "simulation/SimulationDriver.h"
#include "support/StepSuperposition.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <stdexcept>
#include <vector>

namespace {

using namespace tessaly;

struct AnalyticalRun {
    ExperimentParams p;
    SimulationInput input;
    SimulationResult store;
    RunConstants run;

    // Builds the programme through the driver once; the benchmark then times the analytical currents.
    AnalyticalRun(int mechanism, int technique, const char* end, const char* step, bool cycle, bool full) {
        p.mech = mechanism;
        p.optTech = technique;
        p.Electrode = 1;
        p.Estart = "0.3";
        p.Eend = end;
        p.Estep = step;
        p.V = "0.1";
        p.td = technique == 7 ? "0.05" : technique == 4 ? "0.1" : "0.01";
        p.tp = "0.02";
        p.TextF = "25";
        p.Epulse = technique == 4 || technique == 5 ? "0.025" : "0";
        p.tsa1 = technique == 4 ? "0.8" : "1";
        p.tsa2 = "1";
        p.ComboScan = cycle ? 1 : 0;
        p.ks[1] = "0.01";
        p.Eze[1] = "0";
        Notices notices;
        commitSpecies(p, notices);
        input = simulationInputOf(p);
        Simulate(input, store);
        if (!store.finished())
            throw std::runtime_error("the benchmark run failed");
        if (full) {
            // The run clears one point past the last, so a run it builds holds at most 5000 points;
            // the result is extended here to the store's full capacity of 5001.
            if (store.NPoints != kMaxPoint)
                throw std::runtime_error("the benchmark run did not build 5000 points");
            store.E.resize(kPointCapacity);
            store.E[kMaxPoint] = store.E[kMaxPoint - 1] - 0.001;
            store.NPoints = kPointCapacity;
            store.LastIndex = kMaxPoint;
            store.LastPoint = kMaxPoint - 1;
            store.currents.reset(kPointCapacity + 1);
            store.surface.reset(kPointCapacity + 1);
        }
        run = computeRunConstants(input);
    }
};

void analytical(benchmark::State& state, AnalyticalRun& r) {
    const SimulationContext ctx{r.input, r.store, r.run};
    for (auto _ : state) {
        AnalyticalCurrents(ctx);
        applyAnalyticalAfterPass(ctx);
        benchmark::DoNotOptimize(&r.store.currents(2, 1));
    }
    state.counters["points"] = r.store.NPoints;
}

void BM_KineticCycle(benchmark::State& state) {
    AnalyticalRun r(1, 1, "-0.3", "0.001", true, false);
    analytical(state, r);
}
BENCHMARK(BM_KineticCycle)->Unit(benchmark::kMillisecond);

// The superposition of planar Butler–Volmer step responses over the same cycle, as the analytical path
// computed it before (history filled once, then the O(N²) sums).
void BM_SuperposedCycle(benchmark::State& state) {
    AnalyticalRun r(1, 1, "-0.3", "0.001", true, false);
    const int last = r.store.LastPoint;
    std::vector<double> weights(kPointCapacity), history(kPointCapacity), current(kPointCapacity);
    buildSweepWeights(last, weights);
    const SuperpositionContext ctx{{r.p.fRT, 0.0}, r.store.E, weights};
    StepArgs a;
    a.ks = 0.01;
    a.Cox = 1e-3;
    a.sqrtDox = a.sqrtDred = std::sqrt(1e-5);
    a.t = 0.01;
    for (auto _ : state) {
        fillStepHistory(ctx, a, StepGeometry::Planar, 1, last, history);
        for (int m = 2; m <= last; ++m) {
            a.E = r.store.E[m];
            current[static_cast<std::size_t>(m)] = SweepCurrentFromHistory(ctx, a, m, history);
        }
        benchmark::DoNotOptimize(current.data());
    }
    state.counters["points"] = r.store.NPoints;
}
BENCHMARK(BM_SuperposedCycle)->Unit(benchmark::kMillisecond);

void BM_KineticSweep5001(benchmark::State& state) {
    AnalyticalRun r(1, 1, "-4.6985", "0.001", false, true); // -4.6985 V reached at point 4999
    analytical(state, r);
}
BENCHMARK(BM_KineticSweep5001)->Unit(benchmark::kMillisecond);

void BM_ReversibleSweep5001(benchmark::State& state) {
    AnalyticalRun r(11, 1, "-4.6985", "0.001", false, true);
    analytical(state, r);
}
BENCHMARK(BM_ReversibleSweep5001)->Unit(benchmark::kMillisecond);

void BM_KineticStaircase(benchmark::State& state) {
    AnalyticalRun r(1, 7, "-0.3", "0.005", false, false);
    analytical(state, r);
}
BENCHMARK(BM_KineticStaircase)->Unit(benchmark::kMillisecond);

void BM_KineticDifferentialPulse(benchmark::State& state) {
    AnalyticalRun r(1, 4, "-0.3", "0.005", false, false);
    analytical(state, r);
}
BENCHMARK(BM_KineticDifferentialPulse)->Unit(benchmark::kMillisecond);

void BM_KineticSquareWave(benchmark::State& state) {
    AnalyticalRun r(1, 5, "-0.3", "0.005", false, false);
    analytical(state, r);
}
BENCHMARK(BM_KineticSquareWave)->Unit(benchmark::kMillisecond);

} // namespace
