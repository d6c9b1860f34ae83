#include "digital/BlockTridiagonalSolver.h"

#include "base/Failure.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <numbers>
#include <random>
#include <string>
#include <vector>

namespace tessaly {
namespace {

// The same step written as one dense linear system over cells 0..n, unknown (j, s) at j*S + s - 1.
struct DenseSystem {
    int size = 0;
    std::vector<double> matrix; // row-major size x size
    std::vector<double> rhs;
    double& at(int row, int column) { return matrix[static_cast<std::size_t>(row * size + column)]; }
};

int unknown(const BlockSystem& system, int cell, int species) {
    return cell * system.species + species - 1;
}

DenseSystem denseOf(const BlockSystem& system) {
    const int n = system.cells;
    const int order = system.species;
    DenseSystem dense;
    dense.size = (n + 1) * order;
    dense.matrix.assign(static_cast<std::size_t>(dense.size * dense.size), 0.0);
    dense.rhs.assign(static_cast<std::size_t>(dense.size), 0.0);
    for (int s = 1; s <= order; ++s) {
        const int row = unknown(system, 0, s);
        for (int t = 1; t <= order; ++t)
            dense.at(row, unknown(system, 0, t)) = system.surface.matrix(s, t);
        dense.at(row, unknown(system, 1, s)) -= system.surface.supply[s];
        dense.rhs[row] = system.surface.rhs[s];
    }
    for (int j = 1; j <= n; ++j)
        for (int s = 1; s <= order; ++s) {
            const int row = unknown(system, j, s);
            dense.at(row, unknown(system, j - 1, s)) -= system.a[s][j];
            dense.at(row, row) += system.b[s][j];
            if (system.coupled)
                for (int t = 1; t <= order; ++t)
                    dense.at(row, unknown(system, j, t)) += system.reaction(s, t);
            dense.rhs[row] = system.conc[s][j];
            if (j < n)
                dense.at(row, unknown(system, j + 1, s)) -= system.c[s][j];
            else
                dense.rhs[row] += system.c[s][j] * system.conc[s][n + 1];
        }
    return dense;
}

// Gaussian elimination with partial pivoting.
std::vector<double> solveDense(DenseSystem dense) {
    const int size = dense.size;
    for (int k = 0; k < size; ++k) {
        int pivot = k;
        for (int i = k + 1; i < size; ++i)
            if (std::abs(dense.at(i, k)) > std::abs(dense.at(pivot, k)))
                pivot = i;
        for (int j = 0; j < size; ++j)
            std::swap(dense.at(k, j), dense.at(pivot, j));
        std::swap(dense.rhs[k], dense.rhs[pivot]);
        for (int i = k + 1; i < size; ++i) {
            const double factor = dense.at(i, k) / dense.at(k, k);
            for (int j = k; j < size; ++j)
                dense.at(i, j) -= factor * dense.at(k, j);
            dense.rhs[i] -= factor * dense.rhs[k];
        }
    }
    std::vector<double> x(static_cast<std::size_t>(size));
    for (int i = size - 1; i >= 0; --i) {
        double sum = dense.rhs[i];
        for (int j = i + 1; j < size; ++j)
            sum -= dense.at(i, j) * x[j];
        x[i] = sum / dense.at(i, i);
    }
    return x;
}

// Adds the first-order reaction A <=> B (rate constants times the step, dimensionless) to a block.
void addFirstOrder(DenseMatrix& block, int speciesA, int speciesB, double kfdt, double kbdt) {
    block(speciesA, speciesA) += kfdt;
    block(speciesB, speciesB) += kbdt;
    block(speciesA, speciesB) -= kbdt;
    block(speciesB, speciesA) -= kfdt;
}

// A random but physical step: positive couplings, chains of first-order reactions between
// neighbouring species, and surface couples O_k + e <=> R_k between consecutive species.
std::unique_ptr<BlockSystem> randomSystem(int cells, int species, bool coupled, std::mt19937& rng) {
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    auto system = std::make_unique<BlockSystem>(species, cells);
    system->coupled = coupled;
    for (int s = 1; s <= species; ++s)
        for (int j = 1; j <= cells; ++j) {
            system->a[s][j] = 0.2 + 3.0 * uniform(rng);
            system->c[s][j] = 0.2 + 3.0 * uniform(rng);
            system->b[s][j] = 1.0 + system->a[s][j] + system->c[s][j];
        }
    if (coupled)
        for (int s = 1; s < species; ++s)
            addFirstOrder(system->reaction, s, s + 1, 2.0 * uniform(rng), 2.0 * uniform(rng));
    for (int s = 1; s <= species; ++s) {
        const double beta = 0.5 + 5.0 * uniform(rng);
        system->surface.matrix(s, s) = beta;
        system->surface.supply[s] = beta;
        system->surface.rhs[s] = 0.1 * uniform(rng);
    }
    for (int s = 1; s < species; s += 2)
        addFirstOrder(system->surface.matrix, s, s + 1, 10.0 * uniform(rng), 10.0 * uniform(rng));
    for (int s = 1; s <= species; ++s)
        for (int j = 1; j <= cells + 1; ++j)
            system->conc[s][j] = uniform(rng);
    return system;
}

double largestDifference(const BlockSystem& system, const std::vector<double>& expected) {
    double difference = 0.0;
    for (int j = 0; j <= system.cells; ++j)
        for (int s = 1; s <= system.species; ++s)
            difference = std::max(difference, std::abs(system.conc[s][j] - expected[unknown(system, j, s)]));
    return difference;
}

std::string failureText(BlockSystem& system, SolverWorkspace& work) {
    try {
        SolveBlockTridiagonal(system, work);
    } catch (const Failure& failure) {
        return failure.description();
    }
    return "";
}

struct Shape {
    int cells;
    int species;
    bool coupled;
};
// Diagonal and full blocks, odd and even cell counts (the sweeps take two cells at a time) and species
// counts (two species share a register pair), up to the capacities.
const Shape kShapes[] = {{1, 1, false},  {12, 1, false}, {12, 2, false}, {13, 2, true}, {40, 5, false},
                         {41, 5, true},  {30, 16, true}, {31, 16, false}, {199, 3, true}, {198, 2, false}};

TEST(BlockTridiagonalSolver, AgreesWithDenseDirectSolve) {
    SolverWorkspace work;
    std::mt19937 rng(7);
    for (const Shape& c : kShapes) {
        auto system = randomSystem(c.cells, c.species, c.coupled, rng);
        const std::vector<double> expected = solveDense(denseOf(*system));
        const double bulk = system->conc[1][c.cells + 1];
        SolveBlockTridiagonal(*system, work);
        EXPECT_LT(largestDifference(*system, expected), 1e-12)
            << c.cells << " cells, " << c.species << " species, coupled " << c.coupled;
        EXPECT_EQ(system->conc[1][c.cells + 1], bulk) << "the outer cell keeps the bulk value";
    }
}

// The factorised form a run uses: rows of a step tau from per-unit-time rates, eliminated once, then
// the right-hand side wNow*C(n) - wBefore*C(n-1) of the BDF2 formula, the surface system factorised
// apart: the same result as the written-out system with that right-hand side.
TEST(BlockTridiagonalSolver, FactorisedStepAgreesWithTheWrittenOutSystem) {
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    const double tau = 0.02;
    const double wNow = 4.0 / 3;
    const double wBefore = 1.0 / 3;
    for (const Shape& c : kShapes)
        for (const bool closedEnd : {false, true}) {
            auto system = randomSystem(c.cells, c.species, c.coupled, rng);
            SpeciesProfile lower(c.species, c.cells), upper(c.species, c.cells);
            SpeciesProfile now(c.species, c.cells), before(c.species, c.cells);
            DenseMatrix reaction{};
            for (int s = 1; s <= c.species; ++s) {
                for (int j = 1; j <= c.cells; ++j) {
                    lower[s][j] = system->a[s][j] / tau;
                    upper[s][j] = system->c[s][j] / tau;
                    system->c[s][j] = closedEnd && j == c.cells ? 0.0 : system->c[s][j];
                    system->b[s][j] = 1.0 + system->a[s][j] + system->c[s][j];
                }
                for (int j = 1; j <= c.cells + 1; ++j) {
                    now[s][j] = system->conc[s][j];
                    before[s][j] = uniform(rng);
                    if (j <= c.cells)
                        system->conc[s][j] = wNow * now[s][j] - wBefore * before[s][j];
                }
                for (int t = 1; t <= c.species; ++t)
                    reaction(s, t) = system->reaction(s, t) / tau;
            }
            const std::vector<double> expected = solveDense(denseOf(*system));

            StepMatrix matrix;
            matrix.eliminate(lower, upper, c.coupled ? &reaction : nullptr, c.species, c.cells, tau, closedEnd);
            SurfaceSolver surface;
            surface.factorise(matrix, system->surface);
            matrix.sweepIn(now, before, wNow, wBefore, before);
            surface.solve(system->surface, before);
            matrix.sweepOut(before);
            double difference = 0.0;
            for (int j = 0; j <= c.cells; ++j)
                for (int s = 1; s <= c.species; ++s)
                    difference = std::max(difference, std::abs(before[s][j] - expected[unknown(*system, j, s)]));
            EXPECT_LT(difference, 1e-12) << c.cells << " cells, " << c.species << " species, coupled "
                                         << c.coupled << ", closed end " << closedEnd;
        }
}

// One species: the classical Thomas algorithm, eliminating from the surface row outwards (the
// opposite direction to the solver).
TEST(BlockTridiagonalSolver, OneSpeciesIsTheScalarThomasAlgorithm) {
    std::mt19937 rng(3);
    SolverWorkspace work;
    for (const int cells : {1, 2, 9, 150}) {
        auto system = randomSystem(cells, 1, false, rng);
        const auto a = system->a[1];
        const auto b = system->b[1];
        const auto c = system->c[1];
        const auto old = system->conc[1];
        // Row j: lower[j]*x[j-1] + diag[j]*x[j] + upper[j]*x[j+1] = rhs[j], j = 0..n.
        std::vector<double> lower(cells + 1), diag(cells + 1), upper(cells + 1), rhs(cells + 1);
        diag[0] = system->surface.matrix(1, 1);
        upper[0] = -system->surface.supply[1];
        rhs[0] = system->surface.rhs[1];
        for (int j = 1; j <= cells; ++j) {
            lower[j] = -a[j];
            diag[j] = b[j];
            upper[j] = j < cells ? -c[j] : 0.0;
            rhs[j] = old[j] + (j < cells ? 0.0 : c[j] * old[cells + 1]);
        }
        for (int j = 1; j <= cells; ++j) {
            const double factor = lower[j] / diag[j - 1];
            diag[j] -= factor * upper[j - 1];
            rhs[j] -= factor * rhs[j - 1];
        }
        std::vector<double> x(cells + 1);
        x[cells] = rhs[cells] / diag[cells];
        for (int j = cells - 1; j >= 0; --j)
            x[j] = (rhs[j] - upper[j] * x[j + 1]) / diag[j];

        SolveBlockTridiagonal(*system, work);
        for (int j = 0; j <= cells; ++j)
            EXPECT_NEAR(system->conc[1][j], x[j], 1e-13 * std::abs(x[j])) << cells << " cells, cell " << j;
    }
}

TEST(BlockTridiagonalSolver, FailuresStopTheStep) {
    std::mt19937 rng(5);
    SolverWorkspace work;

    auto singularSurface = randomSystem(10, 2, true, rng);
    singularSurface->surface.matrix.clear(2); // the surface rows of both species are identical
    singularSurface->surface.matrix(1, 2) = 1.0;
    singularSurface->surface.matrix(2, 2) = 1.0;
    singularSurface->surface.supply = {};
    EXPECT_EQ(failureText(*singularSurface, work), "Error: inverse matrix D=0");

    auto singularThree = randomSystem(10, 3, false, rng);
    singularThree->surface.matrix.clear(3);
    for (int s = 1; s <= 3; ++s)
        singularThree->surface.matrix(s, 1) = 1.0;
    singularThree->surface.supply = {};
    EXPECT_EQ(failureText(*singularThree, work), "Error: inverse matrix D=0");

    auto zeroPivot = randomSystem(10, 1, false, rng);
    zeroPivot->b[1][10] = 0.0; // the last cell has no diagonal: 1/0 in the first elimination
    EXPECT_EQ(failureText(*zeroPivot, work), "Division by zero");

    for (const auto& [cells, species] :
         {std::pair{0, 1}, std::pair{200, 1}, std::pair{5, 0}, std::pair{5, 17}}) {
        BlockSystem bad;
        bad.cells = cells;
        bad.species = species;
        EXPECT_EQ(failureText(bad, work), "Subscript out of range") << cells << " cells, " << species;
    }
    // Counts larger than the profiles were sized for.
    BlockSystem undersized(2, 5);
    undersized.cells = 6;
    EXPECT_EQ(failureText(undersized, work), "Subscript out of range");
}

// Two species whose surface rows are a fast, nearly Nernstian couple: rate constants up to 1e13 times
// the supply (ks = 1e4 cm/s a quarter volt from E0). Forming the entries (supply + kf) already rounds
// away the supply's digits at 1e-16 kf, so no method does better than about 1e-16 kf/supply of the
// flux balance; the closed form reaches that, against the exact solution in extended precision.
TEST(SurfaceSolver, FastCoupleKeepsItsPrecision) {
    const double supply = 0.01; // cm/s
    const double p = 0.3;       // dependence of cell 1 on the surface
    SpeciesProfile lower(2, 1), upper(2, 1);
    // One cell whose elimination gives p = a/(1 + a): a = p/(1 - p), no exchange with the bulk.
    for (int s = 1; s <= 2; ++s)
        lower[s][1] = p / (1 - p);
    StepMatrix matrix;
    matrix.eliminate(lower, upper, nullptr, 2, 1, 1.0, false);
    struct Rates {
        double kf, kb; // cm/s
    };
    for (const Rates r : {Rates{1e11, 1e7}, Rates{1e7, 1e11}, Rates{1e4, 1e4}, Rates{3.0, 1e-9}}) {
        SurfaceRows rows;
        rows.matrix(1, 1) = supply + r.kf;
        rows.matrix(1, 2) = -r.kb;
        rows.matrix(2, 2) = supply + r.kb;
        rows.matrix(2, 1) = -r.kf;
        rows.supply[1] = rows.supply[2] = supply;
        SpeciesProfile profile(2, 1);
        profile[1][1] = 0.7; // q_1 of O and R, mol/L
        profile[2][1] = 0.1;
        SurfaceSolver solver;
        solver.factorise(matrix, rows);
        solver.solve(rows, profile);
        // (g + kf) x - kb y = e qO, -kf x + (g + kb) y = e qR with g = e (1 - p).
        const long double g = supply * (1.0L - p);
        const long double det = g * g + g * (static_cast<long double>(r.kf) + r.kb);
        const long double x = ((g + r.kb) * supply * 0.7L + r.kb * supply * 0.1L) / det;
        const long double y = (r.kf * supply * 0.7L + (g + r.kf) * supply * 0.1L) / det;
        const double bound = 1e-15 * std::max(r.kf, r.kb) / supply + 1e-14;
        EXPECT_NEAR(profile[1][0] / static_cast<double>(x), 1.0, bound) << r.kf << " " << r.kb;
        EXPECT_NEAR(profile[2][0] / static_cast<double>(y), 1.0, bound) << r.kf << " " << r.kb;
    }
}

// 2A -> B with rate k*C_A^2 (k in L/(mol s)); with the step tau the terms carry k*tau (L/mol). A is
// species 1, B species 2.
struct Dimerisation : ReactionLinearisation {
    double k = 0.0;
    void addTerms(int, std::span<const double> x, double tau, DenseMatrix& block,
                  std::span<double> rhs) const override {
        const double kdt = k * tau;
        const double xa = x[1];
        block(1, 1) += 4.0 * kdt * xa;
        block(2, 1) -= 2.0 * kdt * xa;
        rhs[1] += 2.0 * kdt * xa * xa;
        rhs[2] -= kdt * xa * xa;
    }
};

// Without transport every cell is its own implicit step: 2*kdt*C_A^2 + C_A = C_A,old has a closed
// form, and B gains half of the A consumed. Species 3 is absent everywhere: exact zeros may not keep
// the iteration from converging.
TEST(BlockTridiagonalSolverIterated, DimerisationWithoutTransportMatchesTheQuadraticRoot) {
    const int cells = 8;
    BlockSystem system(3, cells);
    SolverWorkspace work;
    for (int s = 1; s <= 3; ++s) {
        system.surface.matrix(s, s) = 1.0;
        system.surface.rhs[s] = s == 3 ? 0.0 : 0.5;
        for (int j = 1; j <= cells + 1; ++j) {
            system.b[s][j] = 1.0;
            system.conc[s][j] = s == 1 ? 0.1 * j : (s == 2 ? 0.05 : 0.0);
        }
    }
    Dimerisation dimer;
    dimer.k = 50.0;
    const double tau = 0.1;
    const double kdt = dimer.k * tau;
    std::int64_t negatives = 0;
    const IterationSummary summary = SolveBlockTridiagonalIterated(system, work, dimer, tau, 10, negatives);

    EXPECT_TRUE(summary.converged);
    EXPECT_LE(summary.iterations, 6);
    EXPECT_EQ(negatives, 0);
    for (int j = 1; j <= cells; ++j) {
        const double old = 0.1 * j;
        const double a = (std::sqrt(1.0 + 8.0 * kdt * old) - 1.0) / (4.0 * kdt);
        EXPECT_NEAR(system.conc[1][j], a, 1e-6 * a) << "cell " << j;
        EXPECT_NEAR(system.conc[2][j], 0.05 + 0.5 * (old - a), 1e-6 * a) << "cell " << j;
        EXPECT_EQ(system.conc[3][j], 0.0);
    }
}

// With diffusion and an electrode that consumes A: the converged iterate against a full Newton
// solution of the dense nonlinear system, iterated to machine precision; started from the profile
// given (the run's extrapolation) it needs fewer iterations than from the right-hand side.
TEST(BlockTridiagonalSolverIterated, DimerisationWithDiffusionMatchesDenseNewton) {
    std::mt19937 rng(13);
    auto system = randomSystem(25, 2, false, rng);
    for (int j = 1; j <= 26; ++j) {
        system->conc[1][j] = 1.0;
        system->conc[2][j] = 0.0;
    }
    Dimerisation dimer;
    dimer.k = 2.0;
    const double tau = 1.0;

    const DenseSystem linear = denseOf(*system);
    std::vector<double> x(linear.rhs.size(), 0.0);
    for (int j = 0; j <= 25; ++j)
        x[unknown(*system, j, 1)] = 1.0;
    for (int newton = 0; newton < 50; ++newton) {
        DenseSystem step = linear; // J*dx = -F(x)
        for (int i = 0; i < step.size; ++i) {
            double residual = -linear.rhs[i];
            for (int k = 0; k < step.size; ++k)
                residual += linear.matrix[static_cast<std::size_t>(i * step.size + k)] * x[k];
            step.rhs[i] = -residual;
        }
        for (int j = 1; j <= 25; ++j) {
            const int ia = unknown(*system, j, 1);
            const int ib = unknown(*system, j, 2);
            step.rhs[ia] -= 2.0 * dimer.k * x[ia] * x[ia];
            step.rhs[ib] += dimer.k * x[ia] * x[ia];
            step.at(ia, ia) += 4.0 * dimer.k * x[ia];
            step.at(ib, ia) -= 2.0 * dimer.k * x[ia];
        }
        const std::vector<double> dx = solveDense(step);
        for (std::size_t i = 0; i < x.size(); ++i)
            x[i] += dx[i];
    }

    BlockSystem fromRhs = *system;
    SolverWorkspace work;
    std::int64_t negatives = 0;
    const IterationSummary summary = SolveBlockTridiagonalIterated(*system, work, dimer, tau, 10, negatives);
    EXPECT_TRUE(summary.converged);
    for (int j = 0; j <= 25; ++j)
        for (int s = 1; s <= 2; ++s) {
            const double expected = x[unknown(*system, j, s)];
            EXPECT_NEAR(system->conc[s][j], expected, 1e-5 * std::abs(expected)) << "cell " << j;
        }

    SpeciesProfile start(2, 25);
    for (int s = 1; s <= 2; ++s)
        for (int j = 1; j <= 26; ++j)
            start[s][j] = x[unknown(fromRhs, std::min(j, 25), s)];
    const IterationSummary warm = SolveBlockTridiagonalIterated(fromRhs, work, dimer, tau, 10, negatives, &start);
    EXPECT_TRUE(warm.converged);
    EXPECT_LT(warm.iterations, summary.iterations);
}

// A source term that drives every cell to -1: the first iteration is far from its start (1 -> -1)
// and counts each negative value; the second reproduces it and converges without counting.
struct ConstantSink : ReactionLinearisation {
    void addTerms(int, std::span<const double>, double, DenseMatrix&, std::span<double> rhs) const override {
        for (std::size_t s = 1; s < rhs.size(); ++s)
            rhs[s] -= 2.0;
    }
};

TEST(BlockTridiagonalSolverIterated, CountsNegativesOfUnconvergedIterationsAndStopsAtTheLimit) {
    const int cells = 6;
    const int species = 2;
    struct Case {
        int limit;
        int iterations;
        bool converged;
    };
    for (const Case c : {Case{10, 2, true}, Case{1, 1, false}}) {
        BlockSystem system(species, cells);
        SolverWorkspace work;
        for (int s = 1; s <= species; ++s) {
            system.surface.matrix(s, s) = 1.0;
            system.surface.rhs[s] = 1.0;
            for (int j = 1; j <= cells + 1; ++j) {
                system.b[s][j] = 1.0;
                system.conc[s][j] = 1.0;
            }
        }
        std::int64_t negatives = 3; // the caller's running count is added to, not reset
        const IterationSummary summary =
            SolveBlockTridiagonalIterated(system, work, ConstantSink{}, 1.0, c.limit, negatives);
        EXPECT_EQ(summary.iterations, c.iterations);
        EXPECT_EQ(summary.converged, c.converged);
        EXPECT_EQ(negatives, 3 + cells * species);
        EXPECT_EQ(system.conc[2][cells], -1.0);
    }
}

// Potential step to a diffusion-limited potential at a planar electrode: one species on a uniform
// grid (cell j between x = (j-1)h and jh, centre at (j-1/2)h), a surface rate so large that C(0) = 0.
// The flux into the electrode follows Cottrell, D*C/sqrt(pi*D*t), once the first steps are past.
TEST(BlockTridiagonalSolverPhysics, DiffusionLimitedStepFollowsCottrell) {
    const double diffusion = 1e-5;                       // cm2/s
    const double dt = 1e-3;                              // s
    const double lambda = 0.45;                          // D*dt/h^2
    const double h = std::sqrt(diffusion * dt / lambda); // cm
    const double bulk = 1.0;                             // mol/L
    const double beta = diffusion / (0.5 * h);           // surface to first centre, cm/s
    const int cells = 150;                               // 150 h = 0.022 cm > 6*sqrt(D*t) at t = 0.2 s

    BlockSystem system(1, cells);
    SolverWorkspace work;
    for (int j = 1; j <= cells; ++j) {
        system.a[1][j] = j == 1 ? 2.0 * lambda : lambda;
        system.c[1][j] = lambda;
        system.b[1][j] = 1.0 + system.a[1][j] + system.c[1][j];
    }
    for (int j = 1; j <= cells + 1; ++j)
        system.conc[1][j] = bulk;
    system.surface.matrix(1, 1) = beta + 1e12;
    system.surface.supply[1] = beta;

    // One solve is a backward-Euler step, first order in time: the flux lies about 1/(2k) above
    // Cottrell after k steps.
    double worst = 0.0;
    double last = 0.0;
    for (int step = 1; step <= 200; ++step) {
        SolveBlockTridiagonal(system, work);
        const double t = step * dt;
        const double flux = beta * (system.conc[1][1] - system.conc[1][0]);
        const double cottrell = diffusion * bulk / std::sqrt(std::numbers::pi * diffusion * t);
        last = std::abs(flux / cottrell - 1.0);
        if (step >= 40)
            worst = std::max(worst, last);
    }
    EXPECT_LT(worst, 0.02);
    EXPECT_LT(last, 0.005);
    EXPECT_LT(system.conc[1][0], 1e-9);
}

// A first-order equilibrium A <=> B (K = kf/kb) that already holds everywhere, with no flux through
// the surface: detailed balance leaves the profile unchanged by the step.
TEST(BlockTridiagonalSolverPhysics, ChemicalEquilibriumIsStationary) {
    const double kfdt = 0.3;
    const double kbdt = 1.2;
    std::mt19937 rng(17);
    auto system = randomSystem(40, 2, true, rng);
    system->reaction.clear(2);
    addFirstOrder(system->reaction, 1, 2, kfdt, kbdt);
    system->surface.matrix.clear(2);
    for (int s = 1; s <= 2; ++s) {
        system->surface.matrix(s, s) = system->surface.supply[s];
        system->surface.rhs[s] = 0.0;
    }
    for (int j = 1; j <= 41; ++j) {
        system->conc[1][j] = 0.8;
        system->conc[2][j] = 0.8 * kfdt / kbdt;
    }
    SolverWorkspace work;
    SolveBlockTridiagonal(*system, work);
    for (int j = 0; j <= 40; ++j) {
        EXPECT_NEAR(system->conc[1][j], 0.8, 1e-14);
        EXPECT_NEAR(system->conc[2][j], 0.2, 1e-14);
    }
}

} // namespace
} // namespace tessaly
