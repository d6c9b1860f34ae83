// Speed of the analysis commands as the user meets them: the Semi dy/dt menu command on a full store
// column of 5001 points (the O(L^2) semi-derivative, then the redraw that fixes the plot limits), the
// exact inverse of I1toC0 for a sweep, Find Peak over the column, and the theoretical square-wave
// peak, whose Osteryoung series sums the whole staircase history.
//
// Measured on the 2-core development machine (RelWithDebInfo, shared with other builds):
//   semiDifferentiateCommand5001   4.6 ms wall, 2.3 ms CPU   (instant for an interactive command)
//   i1toC0Sweep5001               11.3 ms wall, 7.2 ms CPU
//   findPeaks5001                  22 us
//   theoreticalSquareWave           2.1 ms (701 treads)

#include "analysis/Conversions.h"
#include "analysis/PeakFinder.h"
#include "analysis/TheoreticalPeaks.h"
#include "support/RecordingUserPort.h"
#include "workbench/CommandTable.h"
#include "workbench/Commands.h"
#include "workbench/Workbench.h"

#include <benchmark/benchmark.h>
#include <cmath>

namespace {

constexpr int kPoints = 5001;

// A 5001-point sweep from 0.3 V in 0.2 mV steps carrying a reduction peak on a sloping baseline, A.
void fillStore(tessaly::CurveStore& s) {
    for (int i = 0; i < kPoints; ++i) {
        s.E[i] = 0.3 - 0.0002 * i;
        s.XAxis[i] = s.E[i];
        s.Curve(i, 1) = 1e-7 * i / kPoints + 1e-5 * std::exp(-0.5 * std::pow((i - 2500.0) / 300.0, 2));
    }
    s.NPoints = kPoints;
    s.LastIndex = kPoints - 1;
    s.FirstPoint = 1;
    s.LastPoint = kPoints - 2;
    s.NForward = kPoints;
    s.NCurves = 1;
    s.CurveNo = 1;
}

void semiDifferentiateCommand5001(benchmark::State& state) {
    tessaly::RecordingUserPort port;
    tessaly::Workbench wb(port);
    wb.enableCurveMenus();
    wb.params.td = "0.002";
    for (auto _ : state) {
        state.PauseTiming();
        fillStore(wb.store);
        state.ResumeTiming();
        if (tessaly::runCommand(wb, "Semi") != tessaly::CommandStatus::Ran)
            state.SkipWithError("Semi dy/dt did not run");
        benchmark::DoNotOptimize(wb.store.Curve.data().data());
    }
}
BENCHMARK(semiDifferentiateCommand5001)->Unit(benchmark::kMillisecond);

void i1toC0Sweep5001(benchmark::State& state) {
    tessaly::RecordingUserPort port;
    tessaly::Workbench wb(port);
    tessaly::Notices notices;
    tessaly::commitSpecies(wb.params, notices);
    wb.params.committed.DropTime = 0.002;
    for (auto _ : state) {
        state.PauseTiming();
        fillStore(wb.store);
        state.ResumeTiming();
        tessaly::I1toC0(wb.store, wb.params, tessaly::kind::Mechanism::SimpleCharge);
        benchmark::DoNotOptimize(wb.store.Curve.data().data());
    }
}
BENCHMARK(i1toC0Sweep5001)->Unit(benchmark::kMillisecond);

void findPeaks5001(benchmark::State& state) {
    tessaly::CurveStore store;
    fillStore(store);
    tessaly::PeakTable table;
    for (auto _ : state) {
        auto report = tessaly::FindPeaks(store, 3, kPoints - 4, {0.5, 1}, table);
        benchmark::DoNotOptimize(report.data());
    }
}
BENCHMARK(findPeaks5001)->Unit(benchmark::kMicrosecond);

void theoreticalSquareWave(benchmark::State& state) {
    tessaly::RecordingUserPort port;
    tessaly::Workbench wb(port);
    wb.params.optTech = 5;
    wb.params.Estep = "0.001";
    tessaly::Notices notices;
    tessaly::commitSpecies(wb.params, notices);
    for (auto _ : state) {
        auto report = tessaly::TheoreticalPeaks(wb.params);
        benchmark::DoNotOptimize(report.data());
    }
}
BENCHMARK(theoreticalSquareWave)->Unit(benchmark::kMillisecond);

} // namespace
