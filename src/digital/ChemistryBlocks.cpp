#include "digital/ChemistryBlocks.h"

#include "base/Checked.h"

#include <algorithm>

namespace tessaly {

bool fillFirstOrderBlock(std::span<const ChemicalStep> steps, int species, DenseMatrix& block) {
    block.clear(species);
    bool any = false;
    for (const ChemicalStep& step : steps) {
        if (step.secondOrder())
            continue;
        const int a = step.reactants[0];
        const int b = step.products[0];
        if (a) {
            block(a, a) += step.kf;
            if (b)
                block(b, a) -= step.kf;
        }
        if (b) {
            block(b, b) += step.kb;
            if (a)
                block(a, b) -= step.kb;
        }
        any = any || ((a || b) && (step.kf != 0 || step.kb != 0));
    }
    return any;
}

double fastestChemicalRate(std::span<const ChemicalStep> steps, double conc) {
    double fastest = 0;
    for (const ChemicalStep& step : steps) {
        const double forward = step.kf * ((step.reactants[0] && step.reactants[1]) ? conc : 1.0);
        const double backward = step.kb * ((step.products[0] && step.products[1]) ? conc : 1.0);
        fastest = std::max({fastest, std::fabs(forward), std::fabs(backward)});
    }
    return fastest;
}

SecondOrderChemistry::SecondOrderChemistry(std::span<const ChemicalStep> steps) {
    for (const ChemicalStep& step : steps)
        if (step.secondOrder()) {
            checkedIndex(m_count, 0, kMaxChemicalSteps - 1);
            m_steps[static_cast<std::size_t>(m_count++)] = step;
        }
}

void SecondOrderChemistry::addTerms(int, std::span<const double> iterate, double tau, DenseMatrix& block,
                                    std::span<double> rhs) const {
    for (int r = 0; r < m_count; ++r) {
        const ChemicalStep& step = m_steps[static_cast<std::size_t>(r)];
        const double kf = step.kf * tau;
        const double kb = step.kb * tau;
        const auto value = [&](int s) { return s ? iterate[static_cast<std::size_t>(s)] : 1.0; };
        const double forward = kf * value(step.reactants[0]) * value(step.reactants[1]);
        const double backward = kb * value(step.products[0]) * value(step.products[1]);
        const double rate = forward - backward; // tau R(x)

        // tau dR/dC of each slot: (species, derivative); a species in two slots gets both.
        std::array<int, 4> slotSpecies{step.reactants[0], step.reactants[1], step.products[0],
                                       step.products[1]};
        std::array<double, 4> slotDerivative{kf * value(step.reactants[1]), kf * value(step.reactants[0]),
                                             -kb * value(step.products[1]), -kb * value(step.products[0])};
        double linear = 0; // sum_t tau dR/dC_t x_t
        for (int i = 0; i < 4; ++i)
            if (slotSpecies[i])
                linear += slotDerivative[i] * value(slotSpecies[i]);

        // Rows: +1 for each reactant slot, -1 for each product slot.
        for (int row = 0; row < 4; ++row) {
            const int s = slotSpecies[row];
            if (!s)
                continue;
            const double sign = row < 2 ? 1.0 : -1.0;
            for (int i = 0; i < 4; ++i)
                if (slotSpecies[i])
                    block(s, slotSpecies[i]) += sign * slotDerivative[i];
            rhs[static_cast<std::size_t>(s)] += sign * (linear - rate);
        }
    }
}

} // namespace tessaly
