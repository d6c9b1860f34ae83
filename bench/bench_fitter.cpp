// Cost of one Levenberg–Marquardt iteration outside the model: central differences, the normal equations
// (p²·n/2 multiply-adds) and the Gauss–Jordan trials (p³), on 5001 points with a model that costs one
// multiply per point, so the figures are the fitter's own overhead. In a real fit each of the 2p + trials
// objective evaluations is a whole simulation and dominates.
//
// Measured (g++ 12, -O2, shared 2-core machine, CPU time per iteration, one trial each):
// p = 10: 0.41 ms, p = 50: 4.8 ms, p = 140: 32 ms.

#include "curves/CurveStore.h"
#include "fitting/MarquardtFitter.h"

#include <array>
#include <benchmark/benchmark.h>
#include <cmath>
#include <vector>

namespace {

using namespace tessaly;

void BM_MarquardtIteration(benchmark::State& bench) {
    const int p = static_cast<int>(bench.range(0));
    const int n = kPointCapacity; // a full classic-size curve of 5001 points
    std::vector<double> x(n);
    std::vector<double> y(n);
    for (int i = 0; i < n; ++i) {
        x[i] = 1.0 + 0.001 * i;
        y[i] = (1.0 + 0.01 * (i % p)) * x[i];
    }
    // Point i follows parameter i mod p: every column of the Jacobian is non-zero.
    const FitObjectiveFunction objective = [&](std::span<const double> b, std::span<double> f) {
        for (int i = 0; i < n; ++i)
            f[i] = b[i % p] * x[i];
    };
    std::vector<double> lower(p, -10.0);
    std::vector<double> upper(p, 10.0);
    std::array<bool, kMaxFitParameters> free{};
    free.fill(true);
    const FitBounds bounds{lower, upper, std::span<const bool>(free.data(), p)};
    MarquardtWorkspace workspace;
    std::vector<double> params(p);
    for (auto _ : bench) {
        bench.PauseTiming();
        std::fill(params.begin(), params.end(), 0.5);
        MarquardtState state;
        bench.ResumeTiming();
        benchmark::DoNotOptimize(MarquardtFit(params, y, bounds, 1.0, objective, state, workspace));
    }
}

BENCHMARK(BM_MarquardtIteration)->Arg(10)->Arg(50)->Arg(140)->Unit(benchmark::kMillisecond);

} // namespace
