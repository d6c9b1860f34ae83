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

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
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

// One cycle 0.5 -> -0.5 -> 0.5 V in 1 uV steps, a reduction peak and an oxidation peak, written
// anodic positive in mA as instrument software does.
const std::string& millionPointFile() {
    static const std::string text = [] {
        std::string t = "Time (s)\tPotential applied (V)\tWE(1).Current (A)\tScan\n";
        t.reserve(static_cast<std::size_t>(kPoints) * 40);
        char line[96];
        const int half = kPoints / 2;
        for (int k = 0; k < kPoints; ++k) {
            const bool forward = k < half;
            const int j = forward ? k : kPoints - 1 - k;
            const double E = 0.5 - 1.0 * j / (half - 1);
            const double x = (E + (forward ? 0.03 : -0.03)) / 0.03;
            const double i = (forward ? -1e-6 : 0.8e-6) / (std::cosh(x) * std::cosh(x));
            std::snprintf(line, sizeof line, "%.6f\t%.7f\t%.6e\t1\n", 0.01 * k, E, i);
            t += line;
        }
        return t;
    }();
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
