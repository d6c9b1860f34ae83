#pragma once
// Homogeneous chemical reactions in the cells: first-order steps as constant coupling blocks, steps
// with two species on a side (second order) as terms re-linearised at every iterate of the nonlinear
// solve.

#include "digital/BlockTridiagonalSolver.h"

#include <array>
#include <span>

namespace tessaly {

inline constexpr int kMaxChemicalSteps = 9;

// R1 + R2 = P1 + P2 with mass-action rates kf [R1][R2] - kb [P1][P2]; species 0 marks an absent
// partner (a species may appear twice, as in 2A = B).
struct ChemicalStep {
    std::array<int, 2> reactants{};
    std::array<int, 2> products{};
    double kfDt = 0; // kf dt: 1 (first order) or 1/M (second order)
    double kbDt = 0; // kb dt
    bool secondOrder() const { return (reactants[0] && reactants[1]) || (products[0] && products[1]); }
};

// Writes K_j of every cell j = 1..cells from the first-order steps (row = the species whose balance
// it is; A = B adds kf dt to (A,A), kb dt to (B,B), -kb dt to (A,B), -kf dt to (B,A)) and returns
// whether any block is non-zero.
bool fillFirstOrderBlocks(std::span<const ChemicalStep> steps, int species, int cells, BlockSystem& system);

// The second-order steps, linearised at the iterate for SolveBlockTridiagonalIterated: with
// R = kf [R1][R2] - kb [P1][P2] and nu_s = (times s is a reactant) - (times it is a product), the
// cell balance gains dt nu_s R(C) ~ dt nu_s (R(x) + sum_t dR/dC_t (C_t - x_t)).
class SecondOrderChemistry : public ReactionLinearisation {
public:
    explicit SecondOrderChemistry(std::span<const ChemicalStep> steps);
    bool empty() const { return m_count == 0; }
    void addTerms(int cell, std::span<const double> iterate, DenseMatrix& block,
                  std::span<double> rhs) const override;

private:
    std::array<ChemicalStep, kMaxChemicalSteps> m_steps{};
    int m_count = 0;
};

} // namespace tessaly
