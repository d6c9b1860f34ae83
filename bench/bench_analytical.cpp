// The analytical path of one simulation run on 5001 points (mechanism 1, ks = 0.01 cm/s, planar disk, 1 mV
// steps, TimeGrid 0.01 s): a single linear sweep (technique 1) and a staircase (technique 7), each with the
// step responses read from the per-run history and, as the baseline, with every earlier step response of
// the O(N²) superposition evaluated afresh. Both paths give identical currents.
//
// Measured (g++ 12, -O2, shared and busy 2-core machine, CPU time per run, one benchmark run):
//   sweep      history 8.7 ms   direct 370 ms   ratio 43
//   staircase  history 8.2 ms   direct 413 ms   ratio 50

#include "curves/CurveStore.h"
#include "model/Commits.h"
#include "simulation/AnalyticalMechanisms.h"
#include "simulation/RunConstants.h"
#include "simulation/SimulationDriver.h"

#include <benchmark/benchmark.h>
#include <stdexcept>

namespace {

using namespace tessaly;

struct AnalyticalRun {
    ExperimentParams p;
    CurveStore store;
    RunConstants run;

    explicit AnalyticalRun(int technique) {
        p.mech = 1;
        p.optTech = technique;
        p.Electrode = 1;
        p.Estart = "0.3";
        p.Eend = "-4.6985"; // reached at point 4999
        p.Estep = "0.001";
        p.V = "0.1";
        p.td = "0.01";
        p.tsa1 = "1";
        p.ks[1] = "0.01";
        p.Eze[1] = "0";
        Notices notices;
        commitSpecies(p, notices);
        // The driver clears one point past the last, so a run it builds holds at most 5000 points; the
        // store is extended here to its full capacity of 5001.
        if (Simulate(p, store, false).failure || store.NPoints != kMaxPoint)
            throw std::runtime_error("the benchmark run did not build 5000 points");
        store.E[kMaxPoint] = store.E[kMaxPoint - 1] - 0.001;
        store.NPoints = kPointCapacity;
        store.LastIndex = kMaxPoint;
        store.LastPoint = kMaxPoint - 1;
        run = computeRunConstants(p);
    }
};

void analytical(benchmark::State& state, int technique, SuperpositionPath path) {
    AnalyticalRun r(technique);
    const SimulationContext ctx{r.p, r.store, r.run};
    for (auto _ : state) {
        AnalyticalCurrents(ctx, path);
        benchmark::DoNotOptimize(r.store.ComponentCurrent.data().data());
    }
}

void BM_SweepHistory(benchmark::State& state) {
    analytical(state, 1, SuperpositionPath::History);
}
void BM_SweepDirect(benchmark::State& state) {
    analytical(state, 1, SuperpositionPath::Direct);
}
void BM_StaircaseHistory(benchmark::State& state) {
    analytical(state, 7, SuperpositionPath::History);
}
void BM_StaircaseDirect(benchmark::State& state) {
    analytical(state, 7, SuperpositionPath::Direct);
}

BENCHMARK(BM_SweepHistory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SweepDirect)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StaircaseHistory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StaircaseDirect)->Unit(benchmark::kMillisecond);

} // namespace
