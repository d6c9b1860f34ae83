#pragma once
// One implicit time step of the diffusion-reaction equations on the space grid: a block-tridiagonal
// linear system whose unknowns are the concentrations of all species in every cell, solved by block
// elimination from the bulk towards the electrode and substitution back outwards (the block form of
// the Thomas algorithm; Isaacson & Keller, Analysis of Numerical Methods (1966), section 2.3).
//
// The system (s, t = 1..S species; j = 1..n cells; cell 0 is the electrode surface, cell n + 1 the
// outer cell holding the bulk values):
//
//   cell j:   -a[s][j]*C[s][j-1] + b[s][j]*C[s][j] + sum_t K_j(s,t)*C[t][j] - c[s][j]*C[s][j+1] = C_old[s][j]
//   surface:  sum_t M(s,t)*C[t][0] - e[s]*C[s][1] = r[s]
//
// The cell rows are the backward-Euler balance of each species: a and c are the exchange with the
// neighbouring cells (D*dt/dx^2 scaled by the box-scheme geometry), b = 1 + a + c the diffusion
// diagonal, and K_j the homogeneous chemistry of the cell (k*dt terms; row = the species whose balance
// it is). The surface rows are the flux balance at the electrode: the diffusive supply from the first
// cell, beta_s*(C_s(1) - C_s(0)), equals the net consumption of species s by the charge-transfer
// reactions. Written as M*C(0) - diag(e)*C(1) = r, the caller puts beta_s (cm/s) in e[s] and
// beta_s + the rate constants of the reactions that consume s (cm/s) on the diagonal of M, minus the
// rate constants of the reactions that produce s off the diagonal; r is 0 unless the surface has
// further sources (adsorbed stores). A species in no surface reaction has the plain row
// M(s,s) = e[s] = beta_s, r[s] = 0 (zero flux). When a row of M is scaled (for example divided by a
// stoichiometric coefficient), e[s] and r[s] carry the same scaling. Every row must be non-zero.

#include "digital/DenseMatrix.h"

#include <array>
#include <cstdint>
#include <span>

namespace tessaly {

inline constexpr int kMaxSolverSpecies = kMaxMatrixOrder;
// Cell indices run 0..200: the surface 0, cells 1..n, the outer cell n + 1 <= 200.
inline constexpr int kCellCapacity = 201;
inline constexpr int kMaxCells = kCellCapacity - 2;

// Per-species values over the cells, indexed [species 1..16][cell 0..200]; species 0 is unused.
using SpeciesProfile = std::array<std::array<double, kCellCapacity>, kMaxSolverSpecies + 1>;
// One species x species block per cell, indexed [cell 0..200].
using CellBlocks = std::array<DenseMatrix, kCellCapacity>;

// The linear system of one time step, filled by the digital simulation. Large (about 600 kB):
// allocate it once per run (std::make_unique) and refill only what changes between steps. The
// solvers read every member but `conc` and never change them.
struct BlockSystem {
    int cells = 0;   // n, the last cell index, 1..199
    int species = 0; // S, 1..16

    SpeciesProfile a{}; // lower coupling a[s][j] to cell j - 1 (j = 1..n; a[s][1] couples to the surface)
    SpeciesProfile b{}; // diffusion diagonal b[s][j] (j = 1..n), usually 1 + a[s][j] + c[s][j]
    SpeciesProfile c{}; // upper coupling c[s][j] to cell j + 1 (j = 1..n; c[s][n] couples to the bulk)

    // Homogeneous chemistry: when `coupled` is true, K_j = reaction[j] (j = 1..n, rows and columns
    // 1..S) is added to the diffusion diagonal of cell j. When it is false, `reaction` is not read and
    // the step costs O(S) per cell: S independent scalar Thomas sweeps plus one S x S surface solve.
    bool coupled = false;
    CellBlocks reaction{};

    DenseMatrix surface{}; // M, cm/s
    std::array<double, kMaxSolverSpecies + 1>
        surfaceSupply{};                                    // e[s], the coefficient of C[s][1] in row s, cm/s
    std::array<double, kMaxSolverSpecies + 1> surfaceRhs{}; // r[s], mol/L * cm/s

    // Concentrations C[s][j], mol/L. On entry: the previous profile in cells 1..n (the right-hand
    // side) and the bulk (or, for a thin film, the copied last-cell) values in the outer cell n + 1.
    // On return: the new profile in cells 0..n; the outer cell is left unchanged.
    SpeciesProfile conc{};
};

// Scratch storage of the solvers, allocated once per run (std::make_unique: about 1 MB) and reused
// for every step; its contents between calls mean nothing.
struct SolverWorkspace {
    CellBlocks factor{};         // P_j = inv(E_j) * diag(a_j): C(j) = P_j * C(j-1) + q_j
    SpeciesProfile factorDiag{}; // the same for diagonal blocks, P_j(s,s)
    SpeciesProfile reduced{};    // q[s][j]
    CellBlocks jacobian{};       // iterated variant: K_j plus the linearised reaction terms
    SpeciesProfile rhs{};        // iterated variant: C_old plus the linearisation constants
    SpeciesProfile previous{};   // iterated variant: the previous iterate
    SpeciesProfile old{};        // iterated variant: the profile at the start of the step
};

// Solves the linear system of one time step in place (see the system above). A singular effective
// block raises "Error: inverse matrix D=0", a zero diagonal pivot "Division by zero", and a cell or
// species count beyond the capacities "Subscript out of range".
void SolveBlockTridiagonal(BlockSystem& system, SolverWorkspace& work);

// The reaction terms of a nonlinear (second-order) mechanism, linearised at the current iterate for
// the Newton-like iteration of SolveBlockTridiagonalIterated. For a cell balance
//   C + diffusion terms + dt*R(C) = C_old
// with rates R_s(C) (mol/L/s) and Jacobian J = dR/dC at the iterate x, the linearisation
// R(C) ~ R(x) + J*(C - x) adds dt*J(s,t) to block(s,t) and dt*(J*x - R(x))[s] to rhs[s].
// For 2A -> B with rate k*C_A^2 (1/(M s)): block(A,A) += 4k*dt*x_A, block(B,A) -= 2k*dt*x_A,
// rhs[A] += 2k*dt*x_A^2, rhs[B] -= k*dt*x_A^2.
class ReactionLinearisation {
public:
    virtual ~ReactionLinearisation() = default;
    // Adds the terms of cell `cell` (1..n). iterate[s], s = 1..S, is the iterate in that cell
    // (index 0 unused); block already holds K_j, rhs already holds C_old of the cell.
    virtual void addTerms(int cell, std::span<const double> iterate, DenseMatrix& block,
                          std::span<double> rhs) const = 0;
};

// Outcome of the iterated solve.
struct IterationSummary {
    int iterations = 0;     // linear solves made, 1..limit
    bool converged = false; // every relative change below 0.001 in the last iteration
};

// Nonlinear step: starting from the profile in `system.conc` (cells 1..n) as first iterate, repeats
// the linear solve with the reaction terms re-linearised at the latest iterate, until every
// concentration of cells 0..n changes by less than 0.001 of its new value, or `iterationLimit` solves
// have been made. Concentrations whose new value is exactly 0 are skipped by that test (a species
// absent from the whole cell cannot decide convergence, and a relative change is undefined there).
// After every iteration that is not converged, each negative concentration in cells 0..n adds 1 to
// `negativeCount` (the values stay); the counter belongs to the caller and is never reset here.
// `system.coupled` tells whether system.reaction holds first-order terms to include; the blocks of
// the iterated solve are always treated as full.
IterationSummary SolveBlockTridiagonalIterated(BlockSystem& system, SolverWorkspace& work,
                                               const ReactionLinearisation& reactions, int iterationLimit,
                                               std::int64_t& negativeCount);

// Relative change below which an iterate counts as converged.
inline constexpr double kIterationTolerance = 0.001;

} // namespace tessaly
