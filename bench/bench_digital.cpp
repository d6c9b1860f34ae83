// Whole digital simulations through the simulation driver: a reversible CV (2 species, 400 points, one
// time step per point), an ECE whose chemical step is second order (the iterated solver), and five
// independent couples among ten species.
//
// Lower bound: the solve of one time step touches every species of every cell at least once on the way
// in (Thomas pivot, factor, reduced right-hand side: 7 flops) and once on the way out (2 flops), so a
// run costs at least cells x time steps x species x 9 flops; full blocks of S species need at least
// S^3 flops per cell for the inversion, and an iterated step repeats the solve. The bound converts
// flops to time at 4 flops/ns (two scalar fused multiply-adds per cycle at 2 GHz). `ratio` is the
// measured time over that bound.
//
// Figures (g++ -O2, one core of a shared 2-core machine under load; CPU time per simulation, the
// bound, and their ratio):
//   BM_ReversibleCv            0.11 ms   9 cells x 398 steps x 2 species     bound 0.016 ms   ratio 6.7
//   BM_EceSecondOrder          1.6  ms   9 cells x 398 steps x 5 species     bound 0.11 ms    ratio 14
//                                        (full 5 x 5 blocks, up to 2 iterations per step)
//   BM_FiveCouplesTenSpecies   0.46 ms   9 cells x 399 steps x 10 species    bound 0.081 ms   ratio 5.7
// The fixed part of a run (clearing the 1.6 MB block system and workspace, the grid) is most of the gap
// for the simple CV.

#include "curves/CurveStore.h"
#include "digital/DigitalSimulation.h"
#include "model/Commits.h"
#include "model/ExperimentParams.h"
#include "simulation/PotentialProgramme.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>
#include <string>

namespace {

using namespace tessaly;

constexpr double kFlopsPerNanosecond = 4.0;

ExperimentParams baseExperiment() {
    ExperimentParams p;
    p.CheckDigital = true;
    p.optTech = 1;
    p.Electrode = 1;
    p.Estart = "0.3";
    p.Eend = "-0.099";
    p.Estep = "0.001";
    p.V = "0.1";
    p.td = "0.01";
    p.TextTimeGrid = "0.01";
    p.TextExpanding = "0.5";
    p.ComboScan = 0;
    for (int s = 1; s <= kMaxSpecies; ++s) {
        p.D[s] = "1e-5";
        p.C[s] = "0";
        p.TextB[s] = "0";
    }
    p.C[1] = "1e-3";
    for (int i = 1; i <= kMaxCharge; ++i) {
        p.charge[10 * i + 2] = "";
        p.charge[10 * i + 6] = "";
    }
    p.charge[12] = "A";
    p.charge[16] = "B";
    p.Eze[1] = "0";
    return p;
}

// A + e = B, B + Z = C (second order, Z in excess), C + e = D.
ExperimentParams eceExperiment() {
    ExperimentParams p = baseExperiment();
    p.charge[22] = "C";
    p.charge[26] = "D";
    p.Eze[2] = "0.1";
    p.chem2[1] = "B";
    p.chem2[2] = "Z";
    p.chem2[3] = "C";
    p.kf[1] = "1000";
    p.kb[1] = "0";
    p.C[4] = "0.01"; // species order: A, B, C, D, Z
    return p;
}

// A1 + e = B1 ... A5 + e = B5 at formal potentials 0.2, 0.1, 0, -0.1, -0.2 V.
ExperimentParams fiveCoupleExperiment() {
    ExperimentParams p = baseExperiment();
    const char* potentials[] = {"0.2", "0.1", "0", "-0.1", "-0.2"};
    for (int i = 1; i <= kMaxCharge; ++i) {
        p.charge[10 * i + 2] = "A" + std::to_string(i);
        p.charge[10 * i + 6] = "B" + std::to_string(i);
        p.Eze[i] = potentials[i - 1];
        p.ks[i] = "1e4";
        p.C[2 * i - 1] = "1e-3";
    }
    p.Estart = "0.5";
    p.Eend = "-0.499";
    p.Estep = "0.0025";
    p.V = "0.25";
    return p;
}

void runSimulation(benchmark::State& state, ExperimentParams p, bool fullBlocks) {
    Notices notices;
    commitSpecies(p, notices);
    auto store = std::make_unique<CurveStore>();
    buildPotentialProgramme(p, *store, false);
    store->LastIndex = store->NPoints - 1;
    store->FirstPoint = 1;
    store->LastPoint = store->NPoints - 2;
    DigitalOutcome outcome;
    for (auto _ : state) {
        outcome = DigitalSimulate(p, *store);
        benchmark::DoNotOptimize(store->ComponentCurrent(2, 1));
    }
    if (outcome.failure) {
        state.SkipWithError(outcome.failure->c_str());
        return;
    }
    const double species = p.NumSpecies;
    const double perCell = fullBlocks ? species * species * species : 9 * species; // flops
    const double boundNs =
        outcome.cells * static_cast<double>(outcome.timeSteps) * perCell / kFlopsPerNanosecond;
    state.counters["cells"] = outcome.cells;
    state.counters["steps"] = static_cast<double>(outcome.timeSteps);
    state.counters["species"] = species;
    state.counters["maxIterations"] = outcome.maxIterations;
    state.counters["boundMs"] = boundNs * 1e-6;
    state.counters["ratio"] = benchmark::Counter(
        boundNs * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_ReversibleCv(benchmark::State& state) {
    runSimulation(state, baseExperiment(), false);
}
void BM_EceSecondOrder(benchmark::State& state) {
    runSimulation(state, eceExperiment(), true);
}
void BM_FiveCouplesTenSpecies(benchmark::State& state) {
    runSimulation(state, fiveCoupleExperiment(), false);
}

BENCHMARK(BM_ReversibleCv)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EceSecondOrder)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FiveCouplesTenSpecies)->Unit(benchmark::kMillisecond);

} // namespace
