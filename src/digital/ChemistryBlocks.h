#pragma once
// Homogeneous chemical reactions in the cells: first-order steps as one constant coupling block,
// steps with two species on a side (second order) as terms re-linearised at every iterate of the
// nonlinear solve.

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
    double kf = 0; // 1/s (first order) or 1/(M s) (second order)
    double kb = 0;
    bool secondOrder() const { return (reactants[0] && reactants[1]) || (products[0] && products[1]); }
};

// Writes K (1/s), the coupling block of the first-order steps, the same in every cell (row = the
// species whose balance it is; A = B adds kf to (A,A), kb to (B,B), -kb to (A,B), -kf to (B,A)), and
// returns whether it is non-zero.
bool fillFirstOrderBlock(std::span<const ChemicalStep> steps, int species, DenseMatrix& block);

// The largest first-order rate constant of the first-order steps and the largest pseudo-first-order
// rate k*C of the second-order ones at the concentration scale `conc` (mol/L), 1/s: the fastest
// homogeneous time scale, whose reaction layer sqrt(D/k) the space grid must resolve.
double fastestChemicalRate(std::span<const ChemicalStep> steps, double conc);

// The second-order steps, linearised at the iterate for SolveBlockTridiagonalIterated: with
// R = kf [R1][R2] - kb [P1][P2] and nu_s = (times s is a reactant) - (times it is a product), the
// cell balance gains tau nu_s R(C) ~ tau nu_s (R(x) + sum_t dR/dC_t (C_t - x_t)).
class SecondOrderChemistry : public ReactionLinearisation {
public:
    explicit SecondOrderChemistry(std::span<const ChemicalStep> steps);
    bool empty() const { return m_count == 0; }
    void addTerms(int cell, std::span<const double> iterate, double tau, DenseMatrix& block,
                  std::span<double> rhs) const override;

private:
    std::array<ChemicalStep, kMaxChemicalSteps> m_steps{};
    int m_count = 0;
};

} // namespace tessaly
