// Pre-equilibration of the initial solution.
//
// Electrode pre-equilibration holds every couple O/R at the start potential long enough for the
// Nernst ratio to set in throughout the solution: cR^b / cO^a = exp(n f (E' - Estart)). Chemical
// pre-equilibration lets every chemical reaction reach prod(products) = Keq prod(reactants). Each
// reaction is brought to equilibrium by one extent (so mass is conserved and no concentration goes
// negative, see ConcentrationEquilibrium.h); coupled equilibria are settled by two passes over all
// reactions. Couples of unit coefficients use the closed form of the Nernst partition, other
// coefficients a bisection of the monotone logarithmic residual; chemical reactions of at most second
// order on each side use the cancellation-free root of the quadratic, higher orders (the factor m of
// the analytical mechanisms 6 and 10) the bisection.

#include "model/ConcentrationReaction.h"

#include "base/NumberText.h"
#include "base/PhysicalConstants.h"
#include "model/ConcentrationEquilibrium.h"

#include <cmath>

namespace tessaly {
namespace {

bool validSpecies(int s) {
    return s >= 1 && s <= kMaxSpecies;
}

void equilibrateCouples(const ExperimentParams& p, std::span<double> c) {
    const double E = leadingNumber(p.Estart); // V
    for (int i = 1; i <= p.NumCharge && i <= kMaxCharge; ++i) {
        const ChargeReactionRow& r = p.tables.charge[static_cast<std::size_t>(i)];
        if (!validSpecies(r.ox) || !validSpecies(r.red) || r.ox == r.red)
            continue;
        // kinetics row i holds the i-th reaction in use
        const double formal = leadingNumber(p.Eze[static_cast<std::size_t>(i)]); // V
        const double lnK = r.n * p.fRT * (formal - E);
        electrodeEquilibrium(c[static_cast<std::size_t>(r.ox)], c[static_cast<std::size_t>(r.red)], r.nuOx,
                             r.nuRed, lnK);
    }
}

// The balance of chemical reaction j. Slots name species numbers (a species named twice counts
// twice: "2A"); for the analytical mechanisms 6 (C + mD = A + mE) and 10 (MLm = M + mL) the second
// partner on each side carries the factor m.
Balance chemicalBalance(const ExperimentParams& p, const ChemicalReactionRow& r) {
    const bool withM = !p.DigitalFlag && (p.mechanism() == kind::Mechanism::Preceding ||
                                          p.mechanism() == kind::Mechanism::Complex);
    const double m = withM && p.tables.m > 0 ? p.tables.m : 1;
    Balance b;
    for (int k = 0; k < 2; ++k) {
        const double factor = k == 1 ? m : 1;
        if (validSpecies(r.reactants[static_cast<std::size_t>(k)]))
            b.add(r.reactants[static_cast<std::size_t>(k)], -factor);
        if (validSpecies(r.products[static_cast<std::size_t>(k)]))
            b.add(r.products[static_cast<std::size_t>(k)], factor);
    }
    return b;
}

void equilibrateChemistry(const ExperimentParams& p, std::span<double> c) {
    for (int j = 1; j <= p.NumChem && j <= kMaxChem; ++j) {
        const ChemicalReactionRow& r = p.tables.chem[static_cast<std::size_t>(j)];
        bool hasReactant = false, hasProduct = false;
        for (int k = 0; k < 2; ++k) {
            hasReactant = hasReactant || validSpecies(r.reactants[static_cast<std::size_t>(k)]);
            hasProduct = hasProduct || validSpecies(r.products[static_cast<std::size_t>(k)]);
        }
        if (!hasReactant || !hasProduct)
            continue;
        const double K = leadingNumber(p.LabelKeq[static_cast<std::size_t>(j)]);
        const Balance balance = chemicalBalance(p, r);
        applyExtent(c, balance, equilibriumExtent(c, balance, K));
    }
}

} // namespace

void runConcentrationReaction(ExperimentParams& p, int triggerRow) {
    // F/RT at the committed temperature; before any commit (or at an absurd temperature) it keeps
    // its value.
    const double fRT = kFaraday / (kGasConstant * p.committed.TemperatureK);
    if (std::isfinite(fRT) && fRT > 0)
        p.fRT = fRT;

    std::array<double, kMaxSpecies + 1> c{}; // mol/L
    for (int s = 1; s <= kMaxSpecies; ++s)
        c[static_cast<std::size_t>(s)] = leadingNumber(p.C[static_cast<std::size_t>(s)]);
    for (int pass = 0; pass < 2; ++pass) {
        if (p.CheckElectrode)
            equilibrateCouples(p, c);
        if (p.CheckPreEqu)
            equilibrateChemistry(p, c);
    }
    for (int s = 1; s <= kMaxSpecies; ++s)
        p.Cinit[static_cast<std::size_t>(s)] = formatMask(c[static_cast<std::size_t>(s)], "0.####e-#");

    if (validSpecies(triggerRow)) {
        const double cinit = leadingNumber(p.Cinit[static_cast<std::size_t>(triggerRow)]);
        p.TextCmin[static_cast<std::size_t>(triggerRow)] = formatMask(0.1 * cinit, "#.###e-#");
        p.TextCmax[static_cast<std::size_t>(triggerRow)] = formatMask(10 * cinit, "#.###e-#");
    }
}

} // namespace tessaly
