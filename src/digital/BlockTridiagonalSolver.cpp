#include "digital/BlockTridiagonalSolver.h"

#include "base/Checked.h"
#include "base/Failure.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

namespace tessaly {

// --- storage ---------------------------------------------------------------------------------------

void SpeciesProfile::resize(int species, int cells) {
    m_species = species;
    m_cells = cells;
    m_lanes = static_cast<std::size_t>(species + species % 2);
    m_values.assign(m_lanes * (static_cast<std::size_t>(cells) + 2), 0.0);
}

void SpeciesProfile::fill(int s, double value) {
    const auto row = (*this)[s];
    for (int j = 0; j <= m_cells + 1; ++j)
        row[j] = value;
}

void SpeciesProfile::swap(SpeciesProfile& other) noexcept {
    m_values.swap(other.m_values);
    std::swap(m_lanes, other.m_lanes);
    std::swap(m_species, other.m_species);
    std::swap(m_cells, other.m_cells);
}

void BlockSystem::resize(int newSpecies, int newCells) {
    species = newSpecies;
    cells = newCells;
    a.resize(species, cells);
    b.resize(species, cells);
    c.resize(species, cells);
    conc.resize(species, cells);
}

namespace {

void checkSizes(const BlockSystem& system) {
    const int n = checkedIndex(system.cells, 1, kMaxCells);
    const int order = checkedIndex(system.species, 1, kMaxSolverSpecies);
    for (const SpeciesProfile* profile : {&system.a, &system.b, &system.c, &system.conc})
        if (profile->cells() < n || profile->species() < order)
            raise(failure_text::subscriptOutOfRange);
}

// --- the sweeps of diagonal blocks -------------------------------------------------------------------
//
// Each species' sweep is a first-order linear recurrence whose chain of dependent multiply-adds sets
// its speed. Two species go side by side in one register pair (the profiles and factors keep the
// species of a cell together), and the chain is taken two cells at a time (recursive doubling:
// q(j-1) = (A(j-1) + u(j-1) A(j)) + u(j-1) u(j) q(j+1), the products precomputed), so that a cell costs
// half a multiply-add of latency for two species.

#if defined(__GNUC__)
using Pair = double __attribute__((vector_size(16)));
#else
struct Pair {
    double first = 0;
    double second = 0;
    friend Pair operator+(Pair a, Pair b) { return {a.first + b.first, a.second + b.second}; }
    friend Pair operator-(Pair a, Pair b) { return {a.first - b.first, a.second - b.second}; }
    friend Pair operator*(Pair a, Pair b) { return {a.first * b.first, a.second * b.second}; }
};
#endif

inline Pair load(const double* p) {
    Pair v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline void store(double* p, Pair v) {
    std::memcpy(p, &v, sizeof v);
}

// One lane pair (offset `lane`) of the profiles: pointers to cell 0 of each, the stride in doubles.
struct PairSweep {
    const double* x = nullptr;  // C(n) (cells 1..n, outer cell n + 1)
    const double* y = nullptr;  // C(n-1)
    const double* wx = nullptr; // wNow/E(j)
    const double* wy = nullptr; // wBefore/E(j)
    const double* u = nullptr;  // c(j)/E(j)
    const double* uu = nullptr; // u(j) u(j+1)
    const double* p = nullptr;  // a(j)/E(j)
    const double* pp = nullptr; // p(j) p(j+1)
    double* q = nullptr;        // q(j) out, then C(j) in place
    std::size_t stride = 0;
    const double* at(const double* v, int j) const { return v + static_cast<std::size_t>(j) * stride; }
    double* at(double* v, int j) const { return v + static_cast<std::size_t>(j) * stride; }
};

// In: q(j) = A(j) + u(j) q(j+1), A(j) = wNow x(j)/E(j) - wBefore y(j)/E(j). `q` may be `y` or `x`:
// each cell is read before it is written.
template <bool History>
inline Pair sourceOf(const PairSweep& s, int j) {
    if constexpr (History)
        return load(s.at(s.x, j)) * load(s.at(s.wx, j)) - load(s.at(s.y, j)) * load(s.at(s.wy, j));
    else
        return load(s.at(s.x, j)) * load(s.at(s.wx, j));
}

template <bool History>
void sweepInPair(int n, const PairSweep& s) {
    Pair next = load(s.at(s.x, n + 1));
    int j = n;
    if (n % 2 == 1) {
        next = sourceOf<History>(s, j) + load(s.at(s.u, j)) * next;
        store(s.at(s.q, j), next);
        --j;
    }
    for (; j >= 2; j -= 2) {
        const Pair a1 = sourceOf<History>(s, j);
        const Pair a0 = sourceOf<History>(s, j - 1);
        const Pair q1 = a1 + load(s.at(s.u, j)) * next;
        next = (a0 + load(s.at(s.u, j - 1)) * a1) + load(s.at(s.uu, j - 1)) * next;
        store(s.at(s.q, j), q1);
        store(s.at(s.q, j - 1), next);
    }
}

// Out: x(j) = p(j) x(j-1) + q(j), q held in x; two cells at a time,
// x(j+1) = (p(j+1) q(j) + q(j+1)) + p(j) p(j+1) x(j-1).
void sweepOutPair(int n, const PairSweep& s) {
    Pair previous = load(s.at(s.q, 0));
    int j = 1;
    for (; j + 1 <= n; j += 2) {
        const Pair q0 = load(s.at(s.q, j));
        const Pair q1 = load(s.at(s.q, j + 1));
        const Pair x0 = load(s.at(s.p, j)) * previous + q0;
        previous = (load(s.at(s.p, j + 1)) * q0 + q1) + load(s.at(s.pp, j)) * previous;
        store(s.at(s.q, j), x0);
        store(s.at(s.q, j + 1), previous);
    }
    if (j == n)
        store(s.at(s.q, j), load(s.at(s.p, j)) * previous + load(s.at(s.q, j)));
}

} // namespace

// --- the eliminated cell rows ----------------------------------------------------------------------

void StepMatrix::size(int species, int cells, bool diagonal) {
    m_species = species;
    m_cells = cells;
    m_diagonal = diagonal;
    if (diagonal) {
        if (m_p.cells() != cells || m_p.species() != species) {
            for (SpeciesProfile* table : {&m_p, &m_w, &m_u, &m_pp, &m_uu, &m_wNow, &m_wBefore})
                table->resize(species, cells);
        }
        return;
    }
    const std::size_t blocks = (static_cast<std::size_t>(cells) + 2) * static_cast<std::size_t>(species) *
                               static_cast<std::size_t>(species);
    if (m_pb.size() != blocks) {
        m_pb.assign(blocks, 0.0);
        m_wb.assign(blocks, 0.0);
    }
    const std::size_t couplings = (static_cast<std::size_t>(cells) + 2) * static_cast<std::size_t>(species);
    if (m_cb.size() != couplings)
        m_cb.assign(couplings, 0.0);
}

DenseMatrix& StepMatrix::scratch() {
    if (!m_scratch)
        m_scratch = std::make_unique<DenseMatrix>();
    return *m_scratch;
}

void StepMatrix::pairProducts() {
    m_scaledNow = m_scaledBefore = std::numeric_limits<double>::quiet_NaN(); // the weights are stale
    for (int s = 1; s <= m_species; ++s) {
        const auto p = m_p[s];
        const auto u = m_u[s];
        const auto pp = m_pp[s];
        const auto uu = m_uu[s];
        for (int j = 1; j < m_cells; ++j) {
            pp[j] = p[j] * p[j + 1];
            uu[j] = u[j] * u[j + 1];
        }
    }
}

namespace {

// Gauss-Jordan inversion in place without exchanges, for a block whose every column is strictly
// diagonally dominant (|e(t,t)| > sum of |e(s,t)| over s != t): elimination in the natural order is then
// stable and no pivot vanishes (Golub & Van Loan, Matrix Computations, 4th ed. (2013), section 3.4.3).
// The blocks of the cell rows are so (the chemistry conserves mass column by column, the exchange with
// the neighbours adds to the diagonal); a block that is not goes to InvertMatrix. Returns whether it
// inverted.
bool invertDominant(DenseMatrix& e, int order) {
    for (int t = 1; t <= order; ++t) {
        double off = 0.0;
        for (int s = 1; s <= order; ++s)
            if (s != t)
                off += std::fabs(e(s, t));
        if (!(std::fabs(e(t, t)) > off))
            return false;
    }
    for (int k = 1; k <= order; ++k) {
        const double inversePivot = 1.0 / e(k, k);
        e(k, k) = 1.0;
        for (int j = 1; j <= order; ++j)
            e(k, j) *= inversePivot;
        for (int i = 1; i <= order; ++i) {
            if (i == k)
                continue;
            const double factor = e(i, k);
            if (factor == 0.0)
                continue;
            e(i, k) = 0.0;
            for (int j = 1; j <= order; ++j)
                e(i, j) -= factor * e(k, j);
        }
    }
    return true;
}

} // namespace

void StepMatrix::finishBlock(int j, const double* a, const double* c) {
    const int order = m_species;
    DenseMatrix& e = scratch();
    if (j < m_cells) {
        const double* outerP = block(m_pb, j + 1);
        for (int s = 1; s <= order; ++s)
            for (int t = 1; t <= order; ++t)
                e(s, t) -= c[s] * outerP[(s - 1) * order + (t - 1)];
    }
    if (!invertDominant(e, order))
        InvertMatrix(e, order);
    double* w = block(m_wb, j);
    double* p = block(m_pb, j);
    double* upper = m_cb.data() + static_cast<std::size_t>(j) * static_cast<std::size_t>(order);
    for (int s = 1; s <= order; ++s) {
        upper[s - 1] = c[s];
        for (int t = 1; t <= order; ++t) {
            const double inverse = e(s, t);
            const std::size_t at = static_cast<std::size_t>((s - 1) * order + (t - 1));
            w[at] = inverse;
            p[at] = inverse * a[t];
        }
    }
}

void StepMatrix::eliminate(const BlockSystem& system) {
    checkSizes(system);
    const int n = system.cells;
    const int order = system.species;
    if (!system.coupled) {
        size(order, n, true);
        for (int s = 1; s <= order; ++s) {
            const auto a = system.a[s];
            const auto b = system.b[s];
            const auto c = system.c[s];
            const auto p = m_p[s];
            const auto w = m_w[s];
            const auto u = m_u[s];
            double upperP = 0.0;
            for (int j = n; j >= 1; --j) {
                const double pivot = b[j] - c[j] * upperP;
                if (pivot == 0.0)
                    raise(failure_text::divisionByZero);
                w[j] = 1.0 / pivot;
                p[j] = a[j] * w[j];
                u[j] = c[j] * w[j];
                upperP = p[j];
            }
        }
        pairProducts();
        return;
    }
    eliminateWithTerms(system, [](int, DenseMatrix&) {});
}

void StepMatrix::eliminate(const SpeciesProfile& lower, const SpeciesProfile& upper, const DenseMatrix* reaction,
                           int species, int cells, double tau, bool closedEnd) {
    checkedIndex(cells, 1, kMaxCells);
    checkedIndex(species, 1, kMaxSolverSpecies);
    if (lower.cells() < cells || upper.cells() < cells || lower.species() < species || upper.species() < species)
        raise(failure_text::subscriptOutOfRange);
    const int n = cells;
    const int order = species;
    if (reaction == nullptr) {
        size(order, n, true);
        for (int s = 1; s <= order; ++s) {
            const auto lo = lower[s];
            const auto up = upper[s];
            const auto p = m_p[s];
            const auto w = m_w[s];
            const auto u = m_u[s];
            double upperP = 0.0;
            for (int j = n; j >= 1; --j) {
                const double a = tau * lo[j];
                const double c = closedEnd && j == n ? 0.0 : tau * up[j];
                const double pivot = 1.0 + a + c - c * upperP;
                if (pivot == 0.0)
                    raise(failure_text::divisionByZero);
                w[j] = 1.0 / pivot;
                p[j] = a * w[j];
                u[j] = c * w[j];
                upperP = p[j];
            }
        }
        pairProducts();
        return;
    }
    size(order, n, false);
    double a[kMaxSolverSpecies + 1];
    double c[kMaxSolverSpecies + 1];
    for (int j = n; j >= 1; --j) {
        DenseMatrix& e = scratch();
        for (int s = 1; s <= order; ++s) {
            a[s] = tau * lower[s][j];
            c[s] = closedEnd && j == n ? 0.0 : tau * upper[s][j];
            for (int t = 1; t <= order; ++t)
                e(s, t) = tau * (*reaction)(s, t);
            e(s, s) += 1.0 + a[s] + c[s];
        }
        finishBlock(j, a, c);
    }
}

void StepMatrix::sweepIn(const SpeciesProfile& now, const SpeciesProfile& before, double wNow, double wBefore,
                         SpeciesProfile& out) const {
    const int n = m_cells;
    const int order = m_species;
    if (m_diagonal) {
        // A backward-Euler step reads 1/E(j) as it is; the step formula's weights are otherwise folded
        // into 1/E(j) once and kept while the formula stays the same.
        const bool plain = wNow == 1.0 && wBefore == 0.0;
        if (!plain && (wNow != m_scaledNow || wBefore != m_scaledBefore)) {
            for (int s = 1; s <= order; ++s)
                for (int j = 1; j <= n; ++j) {
                    m_wNow[s][j] = wNow * m_w[s][j];
                    m_wBefore[s][j] = wBefore * m_w[s][j];
                }
            m_scaledNow = wNow;
            m_scaledBefore = wBefore;
        }
        PairSweep sweep;
        sweep.stride = static_cast<std::size_t>(m_p.lanes());
        for (int lane = 0; lane < m_p.lanes(); lane += 2) {
            sweep.x = now.cell(0) + lane;
            sweep.y = before.cell(0) + lane;
            sweep.wx = (plain ? m_w : m_wNow).cell(0) + lane;
            sweep.wy = m_wBefore.cell(0) + lane;
            sweep.u = m_u.cell(0) + lane;
            sweep.uu = m_uu.cell(0) + lane;
            sweep.q = out.cell(0) + lane;
            if (wBefore != 0.0)
                sweepInPair<true>(n, sweep);
            else
                sweepInPair<false>(n, sweep);
        }
        return;
    }
    SpeciesVector d{};
    SpeciesVector next{};
    for (int s = 1; s <= order; ++s)
        next[s] = now[s][n + 1];
    for (int j = n; j >= 1; --j) {
        // q_j = W_j (d_j + diag(c_j) q_(j+1)).
        const double* upper = m_cb.data() + static_cast<std::size_t>(j) * static_cast<std::size_t>(order);
        for (int s = 1; s <= order; ++s)
            d[s] = (wBefore == 0.0 ? wNow * now[s][j] : wNow * now[s][j] - wBefore * before[s][j]) +
                   upper[s - 1] * next[s];
        const double* w = block(m_wb, j);
        for (int s = 1; s <= order; ++s) {
            double sum = 0.0;
            const double* row = w + static_cast<std::size_t>((s - 1) * order);
            for (int t = 1; t <= order; ++t)
                sum += row[t - 1] * d[t];
            out[s][j] = sum;
        }
        for (int s = 1; s <= order; ++s)
            next[s] = out[s][j];
    }
}

double StepMatrix::firstFactor(int s, int t) const {
    if (m_diagonal)
        return s == t ? m_p[s][1] : 0.0;
    return block(m_pb, 1)[(s - 1) * m_species + (t - 1)];
}

void SurfaceSolver::factorise(const StepMatrix& matrix, const SurfaceRows& surface) {
    const int order = matrix.species();
    m_order = order;
    const DenseMatrix& m = surface.matrix;
    const auto entry = [&](int s, int t) { return m(s, t) - surface.supply[s] * matrix.firstFactor(s, t); };
    if (order == 1) {
        const double a = entry(1, 1);
        if (a == 0.0)
            raise(failure_text::divisionByZero);
        m_inversePivot = 1.0 / a;
        return;
    }
    if (order == 2) {
        const double a11 = entry(1, 1);
        const double a12 = entry(1, 2);
        const double a21 = entry(2, 1);
        const double a22 = entry(2, 2);
        // Gaussian elimination with the larger element of the first column as pivot (backward stable,
        // which the explicit determinant of a near-Nernstian couple, a difference of two products of
        // large rate constants, is not); a diagonal system divides element by element.
        m_swapped = std::fabs(a21) > std::fabs(a11);
        const double pivot = m_swapped ? a21 : a11;
        m_pivotRight = m_swapped ? a22 : a12;
        const double otherLeft = m_swapped ? a11 : a21;
        const double otherRight = m_swapped ? a12 : a22;
        if (pivot == 0.0 || otherRight - (otherLeft / pivot) * m_pivotRight == 0.0)
            raise(a12 == 0.0 && a21 == 0.0 ? failure_text::divisionByZero : kSingularMatrixText);
        m_factor = otherLeft / pivot;
        m_inversePivot = 1.0 / pivot;
        m_inverseLast = 1.0 / (otherRight - m_factor * m_pivotRight);
        return;
    }
    for (int s = 1; s <= order; ++s)
        for (int t = 1; t <= order; ++t)
            m_inverse(s, t) = entry(s, t);
    InvertMatrix(m_inverse, order);
}

void SurfaceSolver::solve(const SurfaceRows& surface, SpeciesProfile& profile) const {
    double* at = profile.cell(0);
    const double* first = profile.cell(1);
    if (m_order == 1) {
        at[0] = (surface.rhs[1] + surface.supply[1] * first[0]) * m_inversePivot;
        return;
    }
    if (m_order == 2) {
        const double b1 = surface.rhs[1] + surface.supply[1] * first[0];
        const double b2 = surface.rhs[2] + surface.supply[2] * first[1];
        const double pivotRhs = m_swapped ? b2 : b1;
        const double otherRhs = m_swapped ? b1 : b2;
        const double x2 = (otherRhs - m_factor * pivotRhs) * m_inverseLast;
        at[0] = (pivotRhs - m_pivotRight * x2) * m_inversePivot;
        at[1] = x2;
        return;
    }
    SpeciesVector rhs{};
    for (int s = 1; s <= m_order; ++s)
        rhs[s] = surface.rhs[s] + surface.supply[s] * first[s - 1];
    for (int s = 1; s <= m_order; ++s) {
        double sum = 0.0;
        for (int t = 1; t <= m_order; ++t)
            sum += m_inverse(s, t) * rhs[t];
        at[s - 1] = sum;
    }
}

void StepMatrix::solveSurfaceAndSweepOut(const SurfaceRows& surface, SpeciesProfile& profile) const {
    SurfaceSolver solver;
    solver.factorise(*this, surface);
    solver.solve(surface, profile);
    sweepOut(profile);
}

void StepMatrix::sweepOut(SpeciesProfile& profile) const {
    const int n = m_cells;
    const int order = m_species;
    if (m_diagonal) {
        PairSweep sweep;
        sweep.stride = static_cast<std::size_t>(m_p.lanes());
        for (int lane = 0; lane < m_p.lanes(); lane += 2) {
            sweep.p = m_p.cell(0) + lane;
            sweep.pp = m_pp.cell(0) + lane;
            sweep.q = profile.cell(0) + lane;
            sweepOutPair(n, sweep);
        }
        return;
    }
    SpeciesVector inner{};
    for (int j = 1; j <= n; ++j) {
        for (int t = 1; t <= order; ++t)
            inner[t] = profile[t][j - 1];
        const double* p = block(m_pb, j);
        for (int s = 1; s <= order; ++s) {
            double sum = profile[s][j];
            for (int t = 1; t <= order; ++t)
                sum += p[(s - 1) * order + (t - 1)] * inner[t];
            profile[s][j] = sum;
        }
    }
}

// --- the solvers -----------------------------------------------------------------------------------

void SolveBlockTridiagonal(BlockSystem& system, SolverWorkspace& work) {
    checkSizes(system);
    work.matrix.eliminate(system);
    // The right-hand side is read by the sweep in before the sweep out overwrites it.
    work.matrix.sweepIn(system.conc, system.conc, 1.0, 0.0, system.conc);
    work.matrix.solveSurfaceAndSweepOut(system.surface, system.conc);
}

namespace {

void copyProfile(const SpeciesProfile& from, SpeciesProfile& to, int species, int lastCell) {
    for (int s = 1; s <= species; ++s) {
        const auto source = from[s];
        const auto target = to[s];
        for (int j = 0; j <= lastCell; ++j)
            target[j] = source[j];
    }
}

void sizeLike(SpeciesProfile& profile, const BlockSystem& system) {
    if (profile.cells() != system.cells || profile.species() != system.species)
        profile.resize(system.species, system.cells);
}

} // namespace

IterationSummary SolveBlockTridiagonalIterated(BlockSystem& system, SolverWorkspace& work,
                                               const ReactionLinearisation& reactions, double tau,
                                               int iterationLimit, std::int64_t& negativeCount,
                                               const SpeciesProfile* start) {
    checkSizes(system);
    if (iterationLimit < 1)
        raise(failure_text::invalidCall);
    const int n = system.cells;
    const int order = system.species;
    sizeLike(work.old, system);
    sizeLike(work.previous, system);
    sizeLike(work.rhs, system);
    copyProfile(system.conc, work.old, order, n + 1);
    copyProfile(start != nullptr ? *start : system.conc, work.previous, order, n + 1);
    for (int s = 1; s <= order; ++s)
        work.rhs[s][n + 1] = system.conc[s][n + 1];

    IterationSummary summary;
    SpeciesVector iterate{};
    SpeciesVector cellRhs{};
    const std::span<const double> iterateSpan(iterate.data(), static_cast<std::size_t>(order) + 1);
    const std::span<double> cellRhsSpan(cellRhs.data(), static_cast<std::size_t>(order) + 1);

    while (summary.iterations < iterationLimit) {
        ++summary.iterations;

        // Jacobian blocks and right-hand sides at the previous iterate.
        work.matrix.eliminateWithTerms(system, [&](int j, DenseMatrix& block) {
            for (int s = 1; s <= order; ++s) {
                iterate[s] = work.previous[s][j];
                cellRhs[s] = work.old[s][j];
            }
            reactions.addTerms(j, iterateSpan, tau, block, cellRhsSpan);
            for (int s = 1; s <= order; ++s)
                work.rhs[s][j] = cellRhs[s];
        });
        work.matrix.sweepIn(work.rhs, work.rhs, 1.0, 0.0, system.conc);
        work.matrix.solveSurfaceAndSweepOut(system.surface, system.conc);

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
