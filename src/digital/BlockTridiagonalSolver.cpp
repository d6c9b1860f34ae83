#include "digital/BlockTridiagonalSolver.h"

#include "base/Checked.h"
#include "base/Failure.h"

#include <cmath>

namespace tessaly {

namespace {

using SpeciesVector = std::array<double, kMaxSolverSpecies + 1>;

void checkSizes(const BlockSystem& system) {
    checkedIndex(system.cells, 1, kMaxCells);
    checkedIndex(system.species, 1, kMaxSolverSpecies);
}

// Inward elimination when no block couples species: for each species the scalar Thomas recurrence
//   C(j) = p(j)*C(j-1) + q(j),  p(j) = a(j)/E(j),  q(j) = (d(j) + c(j)*q(j+1))/E(j),
//   E(j) = b(j) - c(j)*p(j+1),
// started at cell n, whose upper neighbour is the fixed outer cell.
void eliminateDiagonal(const BlockSystem& system, const SpeciesProfile& rhs, SolverWorkspace& work) {
    const int n = system.cells;
    for (int s = 1; s <= system.species; ++s) {
        const auto& a = system.a[s];
        const auto& b = system.b[s];
        const auto& c = system.c[s];
        const auto& d = rhs[s];
        auto& p = work.factorDiag[s];
        auto& q = work.reduced[s];

        double upperP = 0.0;
        double upperQ = system.conc[s][n + 1];
        for (int j = n; j >= 1; --j) {
            const double pivot = b[j] - c[j] * upperP;
            if (pivot == 0.0)
                raise(failure_text::divisionByZero);
            const double inverse = 1.0 / pivot;
            p[j] = a[j] * inverse;
            q[j] = (d[j] + c[j] * upperQ) * inverse;
            upperP = p[j];
            upperQ = q[j];
        }
    }
}

// Inward elimination with full blocks:
//   E_j = B_j - diag(c_j)*P_(j+1),  P_j = inv(E_j)*diag(a_j),  q_j = inv(E_j)*(d_j + diag(c_j)*q_(j+1)),
// with P_(n+1) = 0 and q_(n+1) the outer cell. Row and column scalings cost O(S^2); the inversion,
// which takes the element-wise path for a diagonal E_j, is the only O(S^3) work per cell.
void eliminateFull(const BlockSystem& system, const CellBlocks& blocks, const SpeciesProfile& rhs,
                   SolverWorkspace& work) {
    const int n = system.cells;
    const int order = system.species;
    DenseMatrix effective;
    SpeciesVector reducedRhs{};

    for (int j = n; j >= 1; --j) {
        copyBlock(blocks[j], effective, order);
        for (int s = 1; s <= order; ++s) {
            effective(s, s) += system.b[s][j];
            const double upper = system.c[s][j];
            if (j == n) {
                reducedRhs[s] = rhs[s][j] + upper * system.conc[s][n + 1];
                continue;
            }
            const DenseMatrix& outer = work.factor[j + 1];
            for (int t = 1; t <= order; ++t)
                effective(s, t) -= upper * outer(s, t);
            reducedRhs[s] = rhs[s][j] + upper * work.reduced[s][j + 1];
        }

        InvertMatrix(effective, order);

        DenseMatrix& factor = work.factor[j];
        for (int s = 1; s <= order; ++s) {
            double sum = 0.0;
            for (int t = 1; t <= order; ++t) {
                factor(s, t) = effective(s, t) * system.a[t][j];
                sum += effective(s, t) * reducedRhs[t];
            }
            work.reduced[s][j] = sum;
        }
    }
}

// Surface rows with C(1) = P_1*C(0) + q_1 substituted:
//   (M - diag(e)*P_1)*C(0) = r + diag(e)*q_1,
// then the outward substitution C(j) = P_j*C(j-1) + q_j for j = 1..n.
void solveSurfaceAndSubstitute(BlockSystem& system, SolverWorkspace& work, bool diagonalFactors) {
    const int n = system.cells;
    const int order = system.species;
    auto& conc = system.conc;

    DenseMatrix surface;
    copyBlock(system.surface, surface, order);
    SpeciesVector surfaceRhs{};
    for (int s = 1; s <= order; ++s) {
        const double supply = system.surfaceSupply[s];
        surfaceRhs[s] = system.surfaceRhs[s] + supply * work.reduced[s][1];
        if (diagonalFactors) {
            surface(s, s) -= supply * work.factorDiag[s][1];
        } else {
            for (int t = 1; t <= order; ++t)
                surface(s, t) -= supply * work.factor[1](s, t);
        }
    }
    InvertMatrix(surface, order);
    for (int s = 1; s <= order; ++s) {
        double sum = 0.0;
        for (int t = 1; t <= order; ++t)
            sum += surface(s, t) * surfaceRhs[t];
        conc[s][0] = sum;
    }

    if (diagonalFactors) {
        for (int s = 1; s <= order; ++s) {
            const auto& p = work.factorDiag[s];
            const auto& q = work.reduced[s];
            auto& x = conc[s];
            for (int j = 1; j <= n; ++j)
                x[j] = p[j] * x[j - 1] + q[j];
        }
        return;
    }
    SpeciesVector inner{};
    for (int j = 1; j <= n; ++j) {
        for (int t = 1; t <= order; ++t)
            inner[t] = conc[t][j - 1];
        const DenseMatrix& factor = work.factor[j];
        for (int s = 1; s <= order; ++s) {
            double sum = work.reduced[s][j];
            for (int t = 1; t <= order; ++t)
                sum += factor(s, t) * inner[t];
            conc[s][j] = sum;
        }
    }
}

void copyProfile(const SpeciesProfile& from, SpeciesProfile& to, int species, int lastCell) {
    for (int s = 1; s <= species; ++s)
        for (int j = 0; j <= lastCell; ++j)
            to[s][j] = from[s][j];
}

} // namespace

void SolveBlockTridiagonal(BlockSystem& system, SolverWorkspace& work) {
    checkSizes(system);
    // The previous profile is the right-hand side; it is read during the inward elimination and
    // overwritten only by the outward substitution.
    if (system.coupled) {
        eliminateFull(system, system.reaction, system.conc, work);
        solveSurfaceAndSubstitute(system, work, false);
    } else {
        eliminateDiagonal(system, system.conc, work);
        solveSurfaceAndSubstitute(system, work, true);
    }
}

IterationSummary SolveBlockTridiagonalIterated(BlockSystem& system, SolverWorkspace& work,
                                               const ReactionLinearisation& reactions, int iterationLimit,
                                               std::int64_t& negativeCount) {
    checkSizes(system);
    if (iterationLimit < 1)
        raise(failure_text::invalidCall);
    const int n = system.cells;
    const int order = system.species;
    copyProfile(system.conc, work.old, order, n + 1);
    copyProfile(system.conc, work.previous, order, n + 1);

    IterationSummary summary;
    SpeciesVector iterate{};
    SpeciesVector cellRhs{};
    const std::span<const double> iterateSpan(iterate.data(), static_cast<std::size_t>(order) + 1);
    const std::span<double> cellRhsSpan(cellRhs.data(), static_cast<std::size_t>(order) + 1);

    while (summary.iterations < iterationLimit) {
        ++summary.iterations;

        // Jacobian blocks and right-hand sides at the previous iterate.
        for (int j = 1; j <= n; ++j) {
            DenseMatrix& block = work.jacobian[j];
            if (system.coupled)
                copyBlock(system.reaction[j], block, order);
            else
                block.clear(order);
            for (int s = 1; s <= order; ++s) {
                iterate[s] = work.previous[s][j];
                cellRhs[s] = work.old[s][j];
            }
            reactions.addTerms(j, iterateSpan, block, cellRhsSpan);
            for (int s = 1; s <= order; ++s)
                work.rhs[s][j] = cellRhs[s];
        }

        eliminateFull(system, work.jacobian, work.rhs, work);
        solveSurfaceAndSubstitute(system, work, false);

        // A concentration that is exactly 0 has no relative change; it is left out of the test.
        bool converged = true;
        for (int s = 1; s <= order && converged; ++s)
            for (int j = 0; j <= n; ++j) {
                const double now = system.conc[s][j];
                // Written so that a NaN iterate is never taken as converged.
                if (now != 0.0 &&
                    !(std::abs(now - work.previous[s][j]) < kIterationTolerance * std::abs(now))) {
                    converged = false;
                    break;
                }
            }
        if (converged) {
            summary.converged = true;
            break;
        }
        for (int s = 1; s <= order; ++s)
            for (int j = 0; j <= n; ++j)
                if (system.conc[s][j] < 0.0)
                    ++negativeCount;
        copyProfile(system.conc, work.previous, order, n);
    }
    return summary;
}

} // namespace tessaly
