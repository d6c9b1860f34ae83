#include "digital/ChemistryBlocks.h"

#include "base/Checked.h"

namespace tessaly {

bool fillFirstOrderBlocks(std::span<const ChemicalStep> steps, int species, int cells, BlockSystem& system) {
    DenseMatrix block;
    block.clear(species);
    bool any = false;
    for (const ChemicalStep& step : steps) {
        if (step.secondOrder())
            continue;
        const int a = step.reactants[0];
        const int b = step.products[0];
        if (a) {
            block(a, a) += step.kfDt;
            if (b)
                block(b, a) -= step.kfDt;
        }
        if (b) {
            block(b, b) += step.kbDt;
            if (a)
                block(a, b) -= step.kbDt;
        }
        any = any || ((a || b) && (step.kfDt != 0 || step.kbDt != 0));
    }
    for (int j = 1; j <= cells; ++j)
        copyBlock(block, system.reaction[j], species);
    return any;
}

SecondOrderChemistry::SecondOrderChemistry(std::span<const ChemicalStep> steps) {
    for (const ChemicalStep& step : steps)
        if (step.secondOrder()) {
            checkedIndex(m_count, 0, kMaxChemicalSteps - 1);
            m_steps[static_cast<std::size_t>(m_count++)] = step;
        }
}

void SecondOrderChemistry::addTerms(int, std::span<const double> iterate, DenseMatrix& block,
                                    std::span<double> rhs) const {
    for (int r = 0; r < m_count; ++r) {
        const ChemicalStep& step = m_steps[static_cast<std::size_t>(r)];
        const auto value = [&](int s) { return s ? iterate[static_cast<std::size_t>(s)] : 1.0; };
        const double forward = step.kfDt * value(step.reactants[0]) * value(step.reactants[1]);
        const double backward = step.kbDt * value(step.products[0]) * value(step.products[1]);
        const double rate = forward - backward; // dt R(x)

        // dt dR/dC of each slot: (species, derivative); a species in two slots gets both.
        std::array<int, 4> slotSpecies{step.reactants[0], step.reactants[1], step.products[0],
                                       step.products[1]};
        std::array<double, 4> slotDerivative{
            step.kfDt * value(step.reactants[1]), step.kfDt * value(step.reactants[0]),
            -step.kbDt * value(step.products[1]), -step.kbDt * value(step.products[0])};
        double linear = 0; // sum_t dt dR/dC_t x_t
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
