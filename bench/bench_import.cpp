// A measured curve of 1,000,000 points (a slow cyclic scan exported as a tab table with a header,
// mA currents, time and cycle columns): import (recognition, parsing, sign, cycle selection and the
// store), export in the program's own format, and Find Peak over the whole curve. The store's point
// arrays grow to the data: the curve table holds 17 columns per point, so 1,000,000 points take
// 136 MB there and 32 MB in the four potential/time arrays.
//
// Measured (g++ 12, -O2, shared 2-core machine; CPU time per run, wall time in brackets):
//   import of the 38 MB file   482 ms (1.2 s)   peak resident memory of the process 265 MB
//   export (own format)        356 ms (0.9 s)
//   Find Peak                   51 ms           2 peaks

#include "analysis/PeakFinder.h"
#include "curves/CurrentFile.h"
#include "curves/MeasuredImport.h"

#include "MeasuredCycleText.h"

#include <benchmark/benchmark.h>
#include <string>
#include <sys/resource.h>

namespace {

using namespace tessaly;

constexpr int kPoints = 1000000;

double peakResidentMB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // ru_maxrss is in kB on Linux
}

// The cycle in 1 uV steps, as text.
const std::string& millionPointFile() {
    static const std::string text = bench::measuredCycleText(kPoints, 0.01, 0.0);
    return text;
}

void BM_ImportMillionPoints(benchmark::State& state) {
    const std::string& text = millionPointFile();
    CurveStore store;
    store.CurveNo = 1;
    for (auto _ : state) {
        const ImportedCurve curve = importMeasuredFile(text, {});
        storeMeasuredCurve(store, curve);
        benchmark::DoNotOptimize(store.Curve(kPoints - 1, 1));
    }
    state.counters["points"] = store.NPoints;
    state.counters["file_MB"] = static_cast<double>(text.size()) / 1e6;
    state.counters["peak_RSS_MB"] = peakResidentMB();
}
BENCHMARK(BM_ImportMillionPoints)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ExportMillionPoints(benchmark::State& state) {
    CurveStore store;
    store.CurveNo = 1;
    storeMeasuredCurve(store, importMeasuredFile(millionPointFile(), {}));
    for (auto _ : state) {
        const std::string out = currentFileText(store, store.FirstPoint, store.LastPoint, 1);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_ExportMillionPoints)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_FindPeakMillionPoints(benchmark::State& state) {
    CurveStore store;
    store.CurveNo = 1;
    store.NCurves = 1;
    storeMeasuredCurve(store, importMeasuredFile(millionPointFile(), {}));
    for (auto _ : state) {
        PeakTable table;
        const std::string report = FindPeaks(store, store.FirstPoint + 2, store.LastPoint - 2, {1, 1}, table);
        benchmark::DoNotOptimize(report.data());
        state.counters["peaks"] = table.PeakCount;
    }
}
BENCHMARK(BM_FindPeakMillionPoints)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
