// Cost of one implicit time step of the digital simulation on a grid of 60 cells: the written-out system
// solved from scratch (SolveBlockTridiagonal: eliminated at every call) for a simple couple without
// chemistry (diagonal blocks) and for ten species linked by first-order reactions (full 10 x 10
// blocks); the step as a run takes it (the rows eliminated once per step length, then one sweep in,
// the surface solve and one sweep out, two species side by side); one re-linearised step of a
// dimerisation; and the full-pivoting inversion of the largest block.
//
// Figures (g++ -O2, AMD EPYC 2.6 GHz, one core of a shared machine):
//   BM_StepDiagonalTwoSpecies      1.6  us per step (0.87 us when a run took this path at every step)
//   BM_FactorisedStepTwoSpecies    0.17 us per step
//   BM_StepFullTenSpecies         52-57 us per step (59 us; the diagonally dominant blocks are now
//                                  inverted without exchanges)
//   BM_StepIteratedDimerisation    4.8  us per step (the elimination repeated at each iteration)
//   BM_InvertFull16                3.9-4.9 us per inversion (2.9 us measured on a quieter machine)

#include "digital/BlockTridiagonalSolver.h"
#include "digital/DenseMatrix.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <random>

namespace {

using namespace tessaly;

// Uniform-grid diffusion (D*dt/h^2 = 0.45 for every species), bulk 1 mol/L, and a surface couple
// O + e <=> R between each pair of consecutive species (rate constants in cm/s).
std::unique_ptr<BlockSystem> makeSystem(int cells, int species, bool fullBlocks) {
    auto system = std::make_unique<BlockSystem>(species, cells);
    const double lambda = 0.45;
    for (int s = 1; s <= species; ++s) {
        for (int j = 1; j <= cells; ++j) {
            system->a[s][j] = j == 1 ? 2.0 * lambda : lambda;
            system->c[s][j] = lambda;
            system->b[s][j] = 1.0 + system->a[s][j] + system->c[s][j];
        }
        for (int j = 1; j <= cells + 1; ++j)
            system->conc[s][j] = 1.0;
        const double beta = 0.2; // cm/s
        system->surface.matrix(s, s) = beta;
        system->surface.supply[s] = beta;
    }
    for (int s = 1; s + 1 <= species; s += 2) {
        const double kf = 5.0; // cm/s
        const double kb = 0.1; // cm/s
        system->surface.matrix(s, s) += kf;
        system->surface.matrix(s + 1, s + 1) += kb;
        system->surface.matrix(s, s + 1) -= kb;
        system->surface.matrix(s + 1, s) -= kf;
    }
    if (fullBlocks) {
        // Every pair of species exchanged by a first-order reaction: dense blocks.
        system->coupled = true;
        std::mt19937 rng(1);
        std::uniform_real_distribution<double> rate(0.01, 0.5); // k*dt
        for (int s = 1; s <= species; ++s)
            for (int t = s + 1; t <= species; ++t) {
                const double kf = rate(rng);
                const double kb = rate(rng);
                DenseMatrix& block = system->reaction;
                block(s, s) += kf;
                block(t, t) += kb;
                block(s, t) -= kb;
                block(t, s) -= kf;
            }
    }
    return system;
}

void BM_StepDiagonalTwoSpecies(benchmark::State& state) {
    auto system = makeSystem(60, 2, false);
    auto work = std::make_unique<SolverWorkspace>();
    for (auto _ : state) {
        SolveBlockTridiagonal(*system, *work);
        benchmark::DoNotOptimize(system->conc[1][0]);
    }
}
BENCHMARK(BM_StepDiagonalTwoSpecies);

// The step as a run takes it: the cell rows eliminated once for the step length, then per step the
// BDF2 right-hand side swept in, the surface system factorised and solved, and the sweep out.
void BM_FactorisedStepTwoSpecies(benchmark::State& state) {
    auto system = makeSystem(60, 2, false);
    SpeciesProfile lower(2, 60), upper(2, 60), now(2, 60), before(2, 60);
    for (int s = 1; s <= 2; ++s) {
        for (int j = 1; j <= 60; ++j) {
            lower[s][j] = system->a[s][j];
            upper[s][j] = system->c[s][j];
        }
        for (int j = 1; j <= 61; ++j)
            now[s][j] = before[s][j] = 1.0;
    }
    StepMatrix matrix;
    matrix.eliminate(lower, upper, nullptr, 2, 60, 2.0 / 3, false);
    SurfaceSolver surface;
    for (auto _ : state) {
        surface.factorise(matrix, system->surface);
        matrix.sweepIn(now, before, 4.0 / 3, 1.0 / 3, before);
        surface.solve(system->surface, before);
        matrix.sweepOut(before);
        now.swap(before);
        benchmark::DoNotOptimize(now[1][0]);
    }
}
BENCHMARK(BM_FactorisedStepTwoSpecies);

void BM_StepFullTenSpecies(benchmark::State& state) {
    auto system = makeSystem(60, 10, true);
    auto work = std::make_unique<SolverWorkspace>();
    for (auto _ : state) {
        SolveBlockTridiagonal(*system, *work);
        benchmark::DoNotOptimize(system->conc[1][0]);
    }
}
BENCHMARK(BM_StepFullTenSpecies);

// 2A -> B, k*dt = 2 L/mol, re-linearised until converged (a few solves per step).
struct Dimerisation : ReactionLinearisation {
    void addTerms(int, std::span<const double> x, double tau, DenseMatrix& block,
                  std::span<double> rhs) const override {
        const double kdt = 2.0 * tau;
        block(1, 1) += 4.0 * kdt * x[1];
        block(2, 1) -= 2.0 * kdt * x[1];
        rhs[1] += 2.0 * kdt * x[1] * x[1];
        rhs[2] -= kdt * x[1] * x[1];
    }
};

void BM_StepIteratedDimerisation(benchmark::State& state) {
    auto system = makeSystem(60, 2, false);
    auto work = std::make_unique<SolverWorkspace>();
    std::int64_t negatives = 0;
    for (auto _ : state) {
        const IterationSummary summary =
            SolveBlockTridiagonalIterated(*system, *work, Dimerisation{}, 1.0, 10, negatives);
        benchmark::DoNotOptimize(summary.iterations);
    }
}
BENCHMARK(BM_StepIteratedDimerisation);

void BM_InvertFull16(benchmark::State& state) {
    DenseMatrix a;
    std::mt19937 rng(2);
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    for (int i = 1; i <= kMaxMatrixOrder; ++i)
        for (int k = 1; k <= kMaxMatrixOrder; ++k)
            a(i, k) = value(rng) + (i == k ? 16.0 : 0.0);
    for (auto _ : state) {
        DenseMatrix inverse = a;
        InvertMatrixFull(inverse, kMaxMatrixOrder);
        benchmark::DoNotOptimize(inverse(1, 1));
    }
}
BENCHMARK(BM_InvertFull16);

} // namespace
