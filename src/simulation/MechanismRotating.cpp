// Rotating electrode (RotationRate > 0), mechanisms 1 to 14: the convective diffusion layer sets a steady
// current, the Koutecký–Levich combination of the charge-transfer rates with the Levich mass-transfer
// coefficients m_s = 0.62·D_s^(2/3)·ω^(1/2)·ν^(−1/6) of both forms (Levich, Physicochemical Hydrodynamics,
// 1962; Bard & Faulkner, Electrochemical Methods, 2nd ed., §9.3). It replaces the current of the stationary
// formulas; the reversible mechanisms 11 to 14 take a charge transfer fast enough to be Nernstian, and the
// consecutive couples of 13 and 14 reduce what the earlier couples deliver, as mechanisms 2 and 3 do.
// Surface-confined couples (15 to 18) do not see the convection.

#include "simulation/MechanismRun.h"

#include <cmath>

namespace tessaly {
namespace {

constexpr double kNernstianRate = 1e6; // cm/s: far beyond any Levich coefficient

double levich(const MechanismRun& run, const ReactionConstants& r, double E, double cumulativeOx) {
    StepArgs a = r.step;
    a.E = E;
    a.Cox = cumulativeOx;
    if (traits(run.mechanism).nernstian)
        a.ks = kNernstianRate;
    return RotatingCurrent(run.kernel, a, r.invTransferOx, r.invTransferRed);
}

} // namespace

void prepareRotating(MechanismRun& run) {
    for (int j = 1; j <= run.numCharge; ++j) {
        ReactionConstants& r = run.reaction[static_cast<std::size_t>(j)];
        r.invTransferOx = 1.0 / levichTransfer(r.Dox, run.c.RotationRate, run.c.Viscosity);
        r.invTransferRed = 1.0 / levichTransfer(r.Dred, run.c.RotationRate, run.c.Viscosity);
    }
}

void rotatingCurrents(MechanismRun& run, int k, int j) {
    const ReactionConstants& r = run.reaction[static_cast<std::size_t>(j)];
    double cox = r.step.Cox;
    if (run.family() == kind::MechanismFamily::MultiStep) // 2 and 3 have it in Cox already
        for (int i = 1; i < j; ++i)
            cox += run.reaction[static_cast<std::size_t>(i)].step.Cox;
    const double fa = run.constants.FaradayArea;
    const double E = run.potential(k);
    if (traits(run.technique).twoSamples) {
        // Differential pulse: base E, then E + PulsePotential. Square wave: the forward pulse along the
        // scan, then the reverse one, both |PulsePotential| from E.
        const bool differential = run.technique == kind::Technique::DifferentialPulse;
        const double forward = run.scanDirection(k) * std::fabs(run.c.PulsePotential);
        const double first = fa * levich(run, r, E + (differential ? 0.0 : forward), cox);
        const double second = fa * levich(run, r, E + (differential ? run.c.PulsePotential : -forward), cox);
        run.setSamples(k, j, first, second);
        run.setCurrent(k, j, differential ? second - first : first - second);
        return;
    }
    run.setCurrent(k, j, fa * levich(run, r, E + run.pulseHeight, cox));
}

} // namespace tessaly
