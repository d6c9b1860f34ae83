#pragma once
// One implicit time step of the diffusion-reaction equations on the space grid: a block-tridiagonal
// linear system whose unknowns are the concentrations of all species in every cell, solved by block
// elimination from the bulk towards the electrode and substitution back outwards (the block form of
// the Thomas algorithm; Isaacson & Keller, Analysis of Numerical Methods (1966), section 2.3).
//
// The system (s, t = 1..S species; j = 1..n cells; cell 0 is the electrode surface, cell n + 1 the
// outer cell holding the bulk values):
//
//   cell j:   -a[s][j]*C[s][j-1] + b[s][j]*C[s][j] + sum_t K(s,t)*C[t][j] - c[s][j]*C[s][j+1] = d[s][j]
//   surface:  sum_t M(s,t)*C[t][0] - e[s]*C[s][1] = r[s]
//
// The cell rows are the implicit balance of each species over a step tau: a and c are the exchange
// with the neighbouring cells (D*tau/dx^2 scaled by the box-scheme geometry), b = 1 + a + c the
// diffusion diagonal, K the homogeneous chemistry of the cell (k*tau terms; row = the species whose
// balance it is), and d the right-hand side of the step formula (the previous profile for a backward
// Euler step, a combination of the two previous profiles for BDF2). The surface rows are the flux
// balance at the electrode: the diffusive supply from the first cell, beta_s*(C_s(1) - C_s(0)),
// equals the net consumption of species s by the charge-transfer reactions. Written as
// M*C(0) - diag(e)*C(1) = r, the caller puts beta_s (cm/s) in e[s] and beta_s + the rate constants of
// the reactions that consume s (cm/s) on the diagonal of M, minus the rate constants of the reactions
// that produce s off the diagonal; r is 0 unless the surface has further sources. A species in no
// surface reaction has the plain row M(s,s) = e[s] = beta_s, r[s] = 0 (zero flux). When a row of M is
// scaled (for example divided by a stoichiometric coefficient), e[s] and r[s] carry the same scaling.
// Every row must be non-zero.
//
// The cell rows do not depend on the electrode potential, so a run eliminates them once for each
// step length it uses (StepMatrix) and each step then costs one sweep in, one S x S surface solve and
// one sweep out: O(S) per cell when no chemistry couples the species, O(S^2) when it does.

#include "digital/DenseMatrix.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace tessaly {

inline constexpr int kMaxSolverSpecies = kMaxMatrixOrder;
// Cell indices run 0..200: the surface 0, cells 1..n, the outer cell n + 1 <= 200.
inline constexpr int kCellCapacity = 201;
inline constexpr int kMaxCells = kCellCapacity - 2;

using SpeciesVector = std::array<double, kMaxSolverSpecies + 1>; // indexed by species 1..16

// Values of species 1..S over cells 0..n + 1, stored cell by cell with the species of a cell side by
// side (their count rounded up to even, the extra lane 0), so that the sweeps take two species at
// once. profile[s][j] is species s in cell j. Sized for one run: only the species and cells of that
// run exist.
class SpeciesProfile {
public:
    template <class T>
    class Row {
    public:
        Row(T* first, std::size_t stride) : m_first(first), m_stride(stride) {}
        T& operator[](int j) const { return m_first[static_cast<std::size_t>(j) * m_stride]; }

    private:
        T* m_first;
        std::size_t m_stride;
    };

    SpeciesProfile() = default;
    SpeciesProfile(int species, int cells) { resize(species, cells); }

    // Species 1..species over cells 0..cells + 1, every value 0.
    void resize(int species, int cells);
    int species() const { return m_species; }
    int cells() const { return m_cells; }
    // Values per cell: the species count rounded up to even.
    int lanes() const { return static_cast<int>(m_lanes); }

    Row<double> operator[](int s) { return {m_values.data() + (s - 1), m_lanes}; }
    Row<const double> operator[](int s) const { return {m_values.data() + (s - 1), m_lanes}; }
    // Species 1..S of cell j at [0..S-1].
    double* cell(int j) { return m_values.data() + static_cast<std::size_t>(j) * m_lanes; }
    const double* cell(int j) const { return m_values.data() + static_cast<std::size_t>(j) * m_lanes; }
    // Sets species s in cells 0..cells + 1 to value.
    void fill(int s, double value);
    void swap(SpeciesProfile& other) noexcept;

private:
    std::vector<double> m_values;
    std::size_t m_lanes = 0;
    int m_species = 0;
    int m_cells = 0;
};

// The surface rows of a step (see above), refilled at every step from the rate constants.
struct SurfaceRows {
    DenseMatrix matrix{};   // M, cm/s
    SpeciesVector supply{}; // e[s], the coefficient of C[s][1] in row s, cm/s
    SpeciesVector rhs{};    // r[s], mol/L * cm/s
};

// One step's linear system written out, the form in which the solver is tested on its own.
struct BlockSystem {
    BlockSystem() = default;
    BlockSystem(int species, int cells) { resize(species, cells); }
    // Sets the counts and sizes every profile for them (all values 0).
    void resize(int species, int cells);

    int cells = 0;   // n, the last cell index, 1..199
    int species = 0; // S, 1..16

    SpeciesProfile a; // lower coupling a[s][j] to cell j - 1 (j = 1..n; a[s][1] couples to the surface)
    SpeciesProfile b; // diffusion diagonal b[s][j] (j = 1..n), usually 1 + a[s][j] + c[s][j]
    SpeciesProfile c; // upper coupling c[s][j] to cell j + 1 (j = 1..n; c[s][n] couples to the bulk)

    // Homogeneous chemistry: when `coupled` is true, K = reaction (rows and columns 1..S) is added to
    // the diagonal block of every cell. When it is false, `reaction` is not read and the step costs
    // O(S) per cell: S independent scalar sweeps plus one S x S surface solve.
    bool coupled = false;
    DenseMatrix reaction{};

    SurfaceRows surface;

    // Concentrations C[s][j], mol/L. On entry: the right-hand side d in cells 1..n and the bulk (or,
    // for a thin film, the copied last-cell) values in the outer cell n + 1. On return: the new
    // profile in cells 0..n; the outer cell is left unchanged.
    SpeciesProfile conc;
};

// The cell rows of one step eliminated: C(j) = P_j*C(j-1) + q_j with
//   E_j = B_j - diag(c_j)*P_(j+1),  W_j = inv(E_j),  P_j = W_j*diag(a_j),
//   q_j = W_j*(d_j + diag(c_j)*q_(j+1))  (P_(n+1) = 0, q_(n+1) = the outer cell),
// where B_j is the diagonal block of cell j. Without chemistry every block is diagonal and the
// factors are S scalar sequences p, w and u = c w; with chemistry they are S x S blocks per cell.
class StepMatrix {
public:
    // The rows of `system` as they stand (a, b, c, reaction).
    void eliminate(const BlockSystem& system);
    // The rows of a step tau of the operator dC/dt = lower*(C(j-1) - C(j)) + upper*(C(j+1) - C(j)) - K*C
    // (lower, upper and K in 1/s): a = tau*lower, c = tau*upper, B_j = diag(1 + a + c) + tau*K
    // (K omitted when null). `closedEnd`: the last cell has no exchange with the outer cell (the far
    // side of a thin film).
    void eliminate(const SpeciesProfile& lower, const SpeciesProfile& upper, const DenseMatrix* reaction,
                   int species, int cells, double tau, bool closedEnd);
    // The rows of `system` with further terms in every block: extra(j, block) adds to the block of
    // cell j (already holding B_j) before it is eliminated (the linearised second-order chemistry).
    template <class Extra>
    void eliminateWithTerms(const BlockSystem& system, Extra&& extra);

    int species() const { return m_species; }
    int cells() const { return m_cells; }
    bool diagonal() const { return m_diagonal; }

    // Sweep in: q of every cell from the right-hand side d = wNow*now - wBefore*before (cells 1..n;
    // `before` is not read when wBefore is 0) and the outer cell of `now`. q is written into `out`
    // (cells 1..n), which may be `before` or `now`: each cell is read before it is written.
    void sweepIn(const SpeciesProfile& now, const SpeciesProfile& before, double wNow, double wBefore,
                 SpeciesProfile& out) const;
    // The surface rows with C(1) = P_1*C(0) + q_1 substituted, solved for C(0) (written into cell 0
    // of `profile`, whose cells 1..n hold q); then the sweep out C(j) = P_j*C(j-1) + q_j in place.
    void solveSurfaceAndSweepOut(const SurfaceRows& surface, SpeciesProfile& profile) const;
    // The two parts of the sweep out, for a caller that factorises the surface system first (it does
    // not depend on the sweep in, so the processor overlaps the two): see SurfaceSolver.
    void sweepOut(SpeciesProfile& profile) const;
    // P_1(s, t), the dependence of cell 1 on the surface.
    double firstFactor(int s, int t) const;

private:
    void size(int species, int cells, bool diagonal);
    double* block(std::vector<double>& v, int j) { return v.data() + blockOffset(j); }
    const double* block(const std::vector<double>& v, int j) const { return v.data() + blockOffset(j); }
    std::size_t blockOffset(int j) const {
        return static_cast<std::size_t>(j) * static_cast<std::size_t>(m_species * m_species);
    }
    void pairProducts();
    // The block being eliminated (full blocks only), made on first use.
    DenseMatrix& scratch();
    // Forms W_j and P_j from the block in scratch() (B_j and any further terms) and the couplings.
    void finishBlock(int j, const double* a, const double* c);

    int m_species = 0;
    int m_cells = 0;
    bool m_diagonal = true;
    // Diagonal blocks: p[s][j], w[s][j], u[s][j], and the products p(j)p(j+1), u(j)u(j+1) of the
    // two-cell sweeps.
    SpeciesProfile m_p, m_w, m_u, m_pp, m_uu;
    // The sweep in's weights wNow/E(j) and wBefore/E(j) for the step formula last used.
    mutable SpeciesProfile m_wNow, m_wBefore;
    mutable double m_scaledNow = 0;
    mutable double m_scaledBefore = 0;
    // Full blocks, S x S per cell j = 1..n, row-major from index 0: P_j, W_j; and the couplings c_j to
    // the next cell (S per cell).
    std::vector<double> m_pb, m_wb, m_cb;
    std::unique_ptr<DenseMatrix> m_scratch;
};

// The surface system (M - diag(e) P_1) C(0) = r + diag(e) q_1 of one step: factorised from the rate
// constants and the step matrix alone, then solved once q_1 is known. One and two species take a
// closed form (two: Gaussian elimination with the larger element of the first column as pivot); more
// species the inverse (InvertMatrix). A zero pivot of a diagonal system raises "Division by zero", a
// singular full one "Error: inverse matrix D=0".
class SurfaceSolver {
public:
    void factorise(const StepMatrix& matrix, const SurfaceRows& surface);
    // Writes C(0) into cell 0 of `profile`, whose cell 1 holds q_1.
    void solve(const SurfaceRows& surface, SpeciesProfile& profile) const;

private:
    int m_order = 0;
    // Two species: row `top` is the pivot row of Gaussian elimination.
    bool m_swapped = false;
    double m_pivotRight = 0; // the pivot row's second element
    double m_factor = 0;     // other row's first element over the pivot
    double m_inversePivot = 0;
    double m_inverseLast = 0;
    DenseMatrix m_inverse{}; // three species or more
};

// Scratch storage of the iterated solver, sized by it on first use; its contents between calls mean
// nothing.
struct SolverWorkspace {
    StepMatrix matrix;
    SpeciesProfile rhs;      // the right-hand side with the linearisation constants
    SpeciesProfile previous; // the previous iterate
    SpeciesProfile old;      // the right-hand side of the step as given
};

// Solves the linear system of one time step in place (see the system above). A singular effective
// block raises "Error: inverse matrix D=0", a zero diagonal pivot "Division by zero", and a cell or
// species count beyond the capacities (or beyond the sizes of the profiles) "Subscript out of range".
void SolveBlockTridiagonal(BlockSystem& system, SolverWorkspace& work);

// The reaction terms of a nonlinear (second-order) mechanism, linearised at the current iterate for
// the Newton iteration of SolveBlockTridiagonalIterated. For a cell balance
//   C + diffusion terms + tau*R(C) = d
// with rates R_s(C) (mol/L/s) and Jacobian J = dR/dC at the iterate x, the linearisation
// R(C) ~ R(x) + J*(C - x) adds tau*J(s,t) to block(s,t) and tau*(J*x - R(x))[s] to rhs[s].
// For 2A -> B with rate k*C_A^2 (1/(M s)): block(A,A) += 4k*tau*x_A, block(B,A) -= 2k*tau*x_A,
// rhs[A] += 2k*tau*x_A^2, rhs[B] -= k*tau*x_A^2.
class ReactionLinearisation {
public:
    virtual ~ReactionLinearisation() = default;
    // Adds the terms of cell `cell` (1..n) for a step tau (s). iterate[s], s = 1..S, is the iterate in
    // that cell (index 0 unused); block already holds the linear part of the cell's block, rhs the
    // right-hand side of the cell.
    virtual void addTerms(int cell, std::span<const double> iterate, double tau, DenseMatrix& block,
                          std::span<double> rhs) const = 0;
};

// Outcome of the iterated solve.
struct IterationSummary {
    int iterations = 0;     // linear solves made, 1..limit
    bool converged = false; // every relative change below 0.001 in the last iteration
};

// Nonlinear step over tau (s): starting from `start` as first iterate (cells 1..n; the profile in
// `system.conc` when start is null), repeats the linear solve with the reaction terms re-linearised
// at the latest iterate, until every concentration of cells 0..n changes by less than 0.001 of its
// new value, or `iterationLimit` solves have been made. Concentrations whose new value is exactly 0
// are skipped by that test (a species absent from the whole cell cannot decide convergence, and a
// relative change is undefined there). After every iteration that is not converged, each negative
// concentration in cells 0..n adds 1 to `negativeCount` (the values stay); the counter belongs to the
// caller and is never reset here. `system.conc` holds the right-hand side on entry (as for
// SolveBlockTridiagonal) and the result on return.
IterationSummary SolveBlockTridiagonalIterated(BlockSystem& system, SolverWorkspace& work,
                                               const ReactionLinearisation& reactions, double tau,
                                               int iterationLimit, std::int64_t& negativeCount,
                                               const SpeciesProfile* start = nullptr);

// Relative change below which an iterate counts as converged.
inline constexpr double kIterationTolerance = 0.001;

// ---------------------------------------------------------------------------------------------------

template <class Extra>
void StepMatrix::eliminateWithTerms(const BlockSystem& system, Extra&& extra) {
    const int n = system.cells;
    const int order = system.species;
    size(order, n, false);
    double a[kMaxSolverSpecies + 1];
    double c[kMaxSolverSpecies + 1];
    for (int j = n; j >= 1; --j) {
        DenseMatrix& e = scratch();
        for (int s = 1; s <= order; ++s) {
            for (int t = 1; t <= order; ++t)
                e(s, t) = system.coupled ? system.reaction(s, t) : 0.0;
            e(s, s) += system.b[s][j];
            a[s] = system.a[s][j];
            c[s] = system.c[s][j];
        }
        extra(j, e);
        finishBlock(j, a, c);
    }
}

} // namespace tessaly
