// Auto Fit of a 500-point voltammogram: analytical (E', ks and alpha fitted) and digital (E' and ks);
// a global fit of three scan rates with E', ks and alpha shared, digital. Reported per fit: wall and CPU
// time, objective evaluations and damping trials; the goals are 20 ms CPU for the single curve and
// 100 ms for the three curves (the "goal_ratio" counter is time/goal).

#include "base/NumberText.h"
#include "fitting/AutoFit.h"
#include "model/Commits.h"
#include "simulation/SimulationDriver.h"
#include "support/RecordingUserPort.h"
#include "support/SimulateIntoStore.h"
#include "workbench/Commands.h"
#include "workbench/Workbench.h"

#include "workbench/FormCommands.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>

namespace {

using namespace tessaly;

// A quasi-reversible wave, 0.55 V to -0.45 V in 2 mV steps (500 points) at 0.1 V/s; the measured
// curve is the simulation of the true values, the fit starts 30 mV, a factor 5 and 0.1 away.
void prepare(Workbench& wb, bool digital) {
    ExperimentParams& p = wb.params;
    p.Estart = "0.55";
    p.Eend = "-0.45";
    p.Estep = "0.002";
    p.V = "0.1";
    p.td = "0.02";
    p.TextTimeGrid = "0.02";
    p.CheckDigital = digital;
    p.ks[1] = "0.01";
    p.alph[1] = "0.5";
    p.Eze[1] = "0.05";
    wb.activateMainWindow();
    simulateCommand(wb);
    p.Eze[1] = "0.08";
    p.ks[1] = "0.05";
    p.alph[1] = digital ? "0.5" : "0.6";
    p.TextEzeromin[1] = "-0.05";
    p.TextEzeromax[1] = "0.15";
    p.TextKsmin[1] = "1e-4";
    p.TextKsmax[1] = "1";
    p.CheckFitted[31] = p.CheckFitted[11] = true;
    p.CheckFitted[21] = !digital;
}

double cpuSeconds();

int reportValue(const std::string& log, const std::string& label) {
    const auto at = log.rfind(label);
    return at == std::string::npos ? -1 : std::stoi(log.substr(at + label.size()));
}

void BM_AutoFit(benchmark::State& state, bool digital) {
    int evaluations = 0, trials = 0, iterations = 0;
    double cpu = 0;
    for (auto _ : state) {
        state.PauseTiming();
        RecordingUserPort port;
        Workbench wb(port);
        prepare(wb, digital);
        wb.log.clear();
        state.ResumeTiming();
        const double started = cpuSeconds();
        autoFitCommand(wb);
        cpu = cpuSeconds() - started;
        evaluations = reportValue(wb.log.text(), "No. of object fun. = ");
        trials = reportValue(wb.log.text(), "No. of MARQUARDS = ");
        iterations = reportValue(wb.log.text(), "No. of iteration = ");
        if (!port.messages.empty()) {
            state.SkipWithError(port.messages.front().text.c_str());
            break;
        }
    }
    state.counters["objective_evaluations"] = evaluations;
    state.counters["damping_trials"] = trials;
    state.counters["iterations"] = iterations;
    state.counters["cpu_ms"] = 1e3 * cpu;
    state.counters["goal_ratio"] = cpu / 0.020;
}

BENCHMARK_CAPTURE(BM_AutoFit, analytical_3_parameters, false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_AutoFit, digital_2_parameters, true)->Unit(benchmark::kMillisecond)->UseRealTime();

// The derivative probes serially and on two worker threads, for a digital fit whose simulations take
// a few milliseconds (1000 points, four sub-steps each).
void BM_AutoFitProbes(benchmark::State& state) {
    const int workers = static_cast<int>(state.range(0));
    int evaluations = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ExperimentParams p;
        p.Estart = "0.55";
        p.Eend = "-0.45";
        p.Estep = "0.001";
        p.V = "0.1";
        p.td = "0.01";
        p.TextTimeGrid = "0.0025";
        p.CheckDigital = true;
        p.ks[1] = "0.01";
        p.Eze[1] = "0.05";
        Notices notices;
        commitSpecies(p, notices);
        CurveStore store;
        simulateIntoStore(p, store);
        p.ks[1] = "0.05";
        p.Eze[1] = "0.08";
        p.TextEzeromin[1] = "-0.05";
        p.TextEzeromax[1] = "0.15";
        p.TextKsmin[1] = "1e-4";
        p.TextKsmax[1] = "1";
        p.CheckFitted[11] = p.CheckFitted[31] = true;
        commitSpecies(p, notices);
        AutoFitIo io;
        io.append = [](std::string_view) {};
        io.clock = [] { return 0.0; };
        io.probeWorkers = workers;
        store.FitMode = true;
        state.ResumeTiming();
        const AutoFitResult result = runAutoFit(p, store, false, io);
        evaluations = result.state.objectiveCount;
    }
    state.counters["objective_evaluations"] = evaluations;
    state.counters["workers"] = workers;
}
BENCHMARK(BM_AutoFitProbes)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

double cpuSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

// Three scan rates (0.05, 0.5, 5 V/s) of the quasi-reversible wave, 0.35 to -0.25 V in 2 mV steps, saved
// as current files; the fit starts 30 mV, a factor 5 and 0.1 away, E', ks and alpha shared.
void BM_GlobalFitDigital3Curves(benchmark::State& state) {
    const auto dir = std::filesystem::temp_directory_path();
    std::vector<std::string> files;
    int evaluations = 0;
    double cpu = 0;
    for (auto _ : state) {
        state.PauseTiming();
        RecordingUserPort port;
        Workbench wb(port);
        ExperimentParams& p = wb.params;
        setCheck(wb, "CheckDigital", true);
        p.Eend = "-0.25";
        p.Estep = "0.002";
        p.ks[1] = "0.01";
        p.alph[1] = "0.5";
        p.Eze[1] = "0.05";
        files.clear();
        for (const char* v : {"0.05", "0.5", "5"}) {
            p.Estart = "0.35";
            setField(wb, "V", v);
            setField(wb, "TextTimeGrid", generalForm(0.002 / leadingNumber(v)));
            simulateCommand(wb);
            files.push_back((dir / ("tessaly-bench-global-" + std::string(v) + ".csv")).string());
            port.fileAnswers.push_back(files.back());
            exportCurrentCommand(wb);
            wb.fitSetup.dataSets.push_back({files.back(), {{"V", v}, {"TextTimeGrid", generalForm(0.002 / leadingNumber(v))}}});
        }
        p.Eze[1] = "0.08";
        p.ks[1] = "0.05";
        p.alph[1] = "0.6";
        p.TextEzeromin[1] = "-0.05";
        p.TextEzeromax[1] = "0.15";
        p.TextKsmin[1] = "1e-4";
        p.TextKsmax[1] = "1";
        p.TextAlphaMin[1] = "0.2";
        p.TextAlphamax[1] = "0.8";
        p.CheckFitted[11] = p.CheckFitted[21] = p.CheckFitted[31] = true;
        wb.log.clear();
        state.ResumeTiming();
        const double started = cpuSeconds();
        autoFitCommand(wb);
        cpu = cpuSeconds() - started;
        evaluations = reportValue(wb.log.text(), "No. of object fun. = ");
        if (!port.messages.empty()) {
            state.SkipWithError(port.messages.front().text.c_str());
            break;
        }
    }
    for (const std::string& f : files)
        std::remove(f.c_str());
    state.counters["objective_evaluations"] = evaluations;
    state.counters["cpu_ms"] = 1e3 * cpu;
    state.counters["goal_ratio"] = cpu / 0.100;
}
BENCHMARK(BM_GlobalFitDigital3Curves)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace
