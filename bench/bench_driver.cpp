// The simulation driver's own work on a full store: a 5000-point programme (the run clears one
// point past its last, so 5000 is the longest programme the 5001-point store holds), clearing, noise and
// copy-out. An adsorbed couple under a potential step has no faradaic formula, so the run measures
// the driver alone.

#include "model/Commits.h"
#include "simulation/SimulationDriver.h"
#include "support/SimulateIntoStore.h"

#include <benchmark/benchmark.h>

namespace {

void BM_Driver5000PointsWithNoise(benchmark::State& state) {
    tessaly::ExperimentParams p;
    p.optTech = 8;
    p.mech = 15;
    p.TextTexp = "49.99";
    p.td = "0.01";
    p.Noise = "1e-6";
    tessaly::Notices notices;
    tessaly::commitSpecies(p, notices);
    tessaly::CurveStore store;
    tessaly::SimulationResult run;
    for (auto _ : state) {
        const auto outcome = tessaly::simulateIntoStore(p, store, run);
        if (outcome.failure) {
            state.SkipWithError(outcome.failure->c_str());
            break;
        }
        benchmark::DoNotOptimize(store.Curve(2500, 1));
    }
    state.counters["points"] = store.NPoints;
}
BENCHMARK(BM_Driver5000PointsWithNoise)->Unit(benchmark::kMicrosecond);

} // namespace
