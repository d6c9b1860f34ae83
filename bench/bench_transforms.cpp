// Speed of the curve transforms on a full store column (5001 points). Semi-differentiation is the one
// O(L^2) transform: about 12.5 million multiply-adds at 5001 points. It runs once per charge reaction
// after each analytical sweep simulation, so it also sets part of the cost of every fit iteration.

#include "curves/ColumnRef.h"
#include "curves/Transforms.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <vector>

namespace {

constexpr int kPoints = 5001;
constexpr int kColumns = 17; // curve columns 0..16 of a point-major table

// A reduction peak on a sloping baseline, A.
double current(int i) {
    return 1e-7 * i / kPoints + 1e-5 * std::exp(-0.5 * std::pow((i - 2500.0) / 300.0, 2));
}

void semiDifferentiateArray(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    std::vector<double> y(kPoints);
    std::vector<double> work(tessaly::transformWorkSize(kPoints));
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < kPoints; ++i)
            y[static_cast<std::size_t>(i)] = current(i);
        state.ResumeTiming();
        tessaly::semiDifferentiate(y, 1, n - 1, 0.01, work);
        benchmark::DoNotOptimize(y.data());
    }
    state.counters["multiply-adds"] =
        benchmark::Counter(0.5 * n * n, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(semiDifferentiateArray)->Arg(1001)->Arg(kPoints)->Unit(benchmark::kMillisecond);

// The same on column 3 of a 5001 x 17 table, as the simulation after-pass uses it.
void semiDifferentiateTableColumn(benchmark::State& state) {
    std::vector<double> table(static_cast<std::size_t>(kPoints) * kColumns);
    std::vector<double> work(tessaly::transformWorkSize(kPoints));
    const auto column = tessaly::ColumnRef::inTable(table, kColumns, 3);
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < kPoints; ++i)
            column[i] = current(i);
        state.ResumeTiming();
        tessaly::semiDifferentiate(column, 1, kPoints - 1, 0.01, work);
        benchmark::DoNotOptimize(table.data());
    }
}
BENCHMARK(semiDifferentiateTableColumn)->Unit(benchmark::kMillisecond);

// Without a caller's work buffer: one vector per call.
void semiDifferentiateOwnWork(benchmark::State& state) {
    std::vector<double> y(kPoints);
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < kPoints; ++i)
            y[static_cast<std::size_t>(i)] = current(i);
        state.ResumeTiming();
        tessaly::semiDifferentiate(y, 1, kPoints - 1, 0.01);
        benchmark::DoNotOptimize(y.data());
    }
}
BENCHMARK(semiDifferentiateOwnWork)->Unit(benchmark::kMillisecond);

void smoothArray(benchmark::State& state) {
    std::vector<double> y(kPoints);
    std::vector<double> work(tessaly::transformWorkSize(kPoints));
    for (int i = 0; i < kPoints; ++i)
        y[static_cast<std::size_t>(i)] = current(i);
    for (auto _ : state) {
        tessaly::smooth(y, kPoints - 1, kPoints, work);
        benchmark::DoNotOptimize(y.data());
    }
}
BENCHMARK(smoothArray)->Unit(benchmark::kMicrosecond);

} // namespace
