// The simulation driver's own work on a full store: a 5001-point programme, clearing, noise and
// copy-out. An adsorbed couple under a potential step has no faradaic formula, so the run measures
// the driver alone.

#include "model/Commits.h"
#include "simulation/SimulationDriver.h"

#include <benchmark/benchmark.h>

namespace {

void BM_Driver5001PointsWithNoise(benchmark::State& state) {
    tessaly::ExperimentParams p;
    p.optTech = 8;
    p.mech = 15;
    p.TextTexp = "50";
    p.td = "0.01";
    p.Noise = "1e-6";
    tessaly::Notices notices;
    tessaly::commitSpecies(p, notices);
    tessaly::CurveStore store;
    for (auto _ : state) {
        const auto outcome = tessaly::Simulate(p, store, false);
        benchmark::DoNotOptimize(outcome.failure);
        benchmark::DoNotOptimize(store.Curve(2500, 1));
    }
    state.counters["points"] = store.NPoints;
}
BENCHMARK(BM_Driver5001PointsWithNoise)->Unit(benchmark::kMicrosecond);

} // namespace
