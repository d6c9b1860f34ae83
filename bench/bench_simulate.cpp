// One simulation as the commands run it, for two experiments:
//
//   analytical  the standard cycle: +0.3 V to -0.3 V and back in 1 mV steps at 0.1 V/s (1202 points),
//               mechanism 1 with ks = 0.01 cm/s at the planar disk
//   digital     a reversible couple swept from +0.3 V to -0.1 V and back in 1 mV steps at 0.1 V/s
//               (802 points), the finite-difference model with one time step per point
//
// at three levels:
//   Command     the Simulate command on a workbench: commits, run, store, display
//   Driver      one run into the curve store (column, programme, currents, copy into the store)
//   Function    one run of the simulation function into a reused result (no curve store)
//   FitTrial    one evaluation of a fit's objective over the measured potentials (the simulated curve
//               of a trial parameter vector)
//
// The run as a function of its input against the run that wrote the curve store in place: both
// builds measured in one session, three interleaved rounds of three repetitions, median CPU time
// (g++ 12, -O2, shared 2-core machine at a load of about 12), ratio after/before:
//   Command   analytical 1.08   digital 1.05
//   Driver    analytical 0.99   digital 1.01
//   FitTrial  analytical 0.92   digital 0.94
// The store copy that the function adds is paid at the command; a fit's trials no longer pay it.

#include "fitting/FitObjective.h"
#include "model/Commits.h"
#include "simulation/SimulationAdapter.h"
#include "simulation/SimulationDriver.h"
#include "support/RecordingUserPort.h"
#include "support/SimulateIntoStore.h"
#include "workbench/Commands.h"
#include "workbench/Workbench.h"

#include <benchmark/benchmark.h>
#include <vector>

namespace {

using namespace tessaly;

void describe(ExperimentParams& p, bool digital) {
    p.Estart = "0.3";
    p.Eend = digital ? "-0.1" : "-0.3";
    p.Estep = "0.001";
    p.V = "0.1";
    p.td = "0.01";
    p.TextTimeGrid = "0.01";
    p.ComboScan = 1;
    p.CheckDigital = digital;
    p.ks[1] = digital ? "1e4" : "0.01";
    p.Eze[1] = "0";
}

void BM_Command(benchmark::State& state, bool digital) {
    RecordingUserPort port;
    Workbench wb(port);
    describe(wb.params, digital);
    wb.activateMainWindow();
    for (auto _ : state) {
        simulateCommand(wb);
        benchmark::DoNotOptimize(wb.store.Curve(100, 1));
    }
    if (!port.messages.empty())
        state.SkipWithError(port.messages.front().text.c_str());
    state.counters["points"] = wb.store.NPoints;
}
BENCHMARK_CAPTURE(BM_Command, analytical, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Command, digital, true)->Unit(benchmark::kMicrosecond);

void BM_Driver(benchmark::State& state, bool digital) {
    ExperimentParams p;
    describe(p, digital);
    Notices notices;
    commitSpecies(p, notices);
    CurveStore store;
    SimulationResult run; // reused from run to run, as the workbench's last run is
    for (auto _ : state) {
        const SimulationOutcome outcome = simulateIntoStore(p, store, run);
        if (outcome.failure) {
            state.SkipWithError(outcome.failure->c_str());
            break;
        }
        benchmark::DoNotOptimize(store.Curve(100, 1));
    }
    state.counters["points"] = store.NPoints;
}
BENCHMARK_CAPTURE(BM_Driver, analytical, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Driver, digital, true)->Unit(benchmark::kMicrosecond);

void BM_Function(benchmark::State& state, bool digital) {
    ExperimentParams p;
    describe(p, digital);
    Notices notices;
    commitSpecies(p, notices);
    const SimulationInput input = simulationInputOf(p);
    SimulationResult result;
    for (auto _ : state) {
        Simulate(input, result);
        if (result.failure) {
            state.SkipWithError(result.failure->c_str());
            break;
        }
        benchmark::DoNotOptimize(result.total(100));
    }
    state.counters["points"] = result.NPoints;
}
BENCHMARK_CAPTURE(BM_Function, analytical, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Function, digital, true)->Unit(benchmark::kMicrosecond);

void BM_FitTrial(benchmark::State& state, bool digital) {
    ExperimentParams p;
    describe(p, digital);
    Notices notices;
    commitSpecies(p, notices);
    CurveStore store;
    simulateIntoStore(p, store); // the measured curve
    store.FitMode = true;
    const int first = 1, last = store.NPoints - 2;
    FitObjective objective(makeSimulationInput(p, store, true), {31}, first, last, heldColumn(store, 2));
    std::vector<double> model(static_cast<std::size_t>(last - first + 1));
    const double trial[] = {0.002};
    for (auto _ : state) {
        objective(trial, model);
        benchmark::DoNotOptimize(model.data());
    }
    if (objective.firstFailure())
        state.SkipWithError(objective.firstFailure()->c_str());
    state.counters["points"] = store.NPoints;
}
BENCHMARK_CAPTURE(BM_FitTrial, analytical, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_FitTrial, digital, true)->Unit(benchmark::kMicrosecond);

} // namespace
