// Mechanisms 11 and 12: Nernstian couples (one, or three independent ones), whose surface ratio is
// C_O(0)/C_R(0) = θ = exp(nF(E − E0)/RT) at every instant.
//
//   technique 1, electrodes 1-4  column j holds n·√D_O·(C_O − θ·C_R)/(1 + θ·√(D_O/D_R)), the semi-integral
//                                of the current (ReversibleCurrent at t = 1/π); the after-pass
//                                semi-differentiates it into the sweep current (Oldham, Anal. Chem. 44
//                                (1972) 196); spheres keep the radial steady-state flux in the first group.
//   technique 1, other electrodes the same semi-derivative summed directly (sweep superposition).
//   techniques 1, 7, electrode 9 thin film: n²F²·v·V·C/(4RT) times the bell of ThinFilmReversibleCurrent.
//   technique 7                  staircase: superposed Nernstian step responses sampled at SampleFrac1.
//   techniques 2, 3              Nernstian step response at the pulse potential, t = TimeGrid.
//   techniques 4, 5, 6           differential pulse and square wave as superposed Nernstian levels.
//   technique 8                  the step sequence of chronoamperometry.
// At spheres (electrodes 2-4, and the cylinder as a sphere of twice its radius) the radial steady-state flux
// n·D_O·(C_O − θC_R)/(r·(1 + θ·D_O/D_R)) is added (Bard & Faulkner, Electrochemical Methods, 2nd ed., §5.5
// and §6.2.5).

#include "simulation/MechanismRun.h"

#include <cmath>
#include <numbers>

namespace tessaly {
namespace {

using kind::Electrode;
using kind::Technique;

double theta(const ReactionConstants& r, double E) {
    return std::exp(r.nf * (E - r.step.E0));
}

// Steady-state flux of the Nernstian couple at a sphere of the run's radius, mol/L·cm/s.
double radialFlux(const MechanismRun& run, const ReactionConstants& r, double E) {
    const double q = theta(r, E);
    const StepArgs& a = r.step;
    return r.n * r.Dox * (a.Cox / a.nuOx - q * a.Cred / a.nuRed) /
           (run.kernel.electrodeRadius * (1.0 + q * r.Dox / r.Dred));
}

// Nernstian surface concentrations of the couple at potential E (planar diffusion, mol/L).
void writeSurface(MechanismRun& run, int k, const ReactionConstants& r, double E) {
    const StepArgs& a = r.step;
    const double q = theta(r, E);
    const double semiIntegral = (a.Cox - q * a.Cred) / (1.0 / a.sqrtDox + q / a.sqrtDred); // mol/L·cm/s^½
    run.setSurface(k, r.ox, a.Cox - semiIntegral / a.sqrtDox);
    run.setSurface(k, r.red, a.Cred + semiIntegral / a.sqrtDred);
}

void pulseSamples(MechanismRun& run, int k, int j) {
    const ReactionConstants& r = run.reaction[static_cast<std::size_t>(j)];
    const double fa = run.constants.FaradayArea;
    const double E = run.potential(k);
    double first = levelSuperposition(run, j, k, 0, StepKind::Nernstian);
    double second = levelSuperposition(run, j, k, 1, StepKind::Nernstian);
    if (run.radial()) {
        first += radialFlux(run, r, E + run.levelOffset(0, k));
        second += radialFlux(run, r, E + run.levelOffset(1, k));
    }
    run.setSamples(k, j, fa * first, fa * second);
    run.setCurrent(k, j,
                   fa * (run.technique == Technique::DifferentialPulse ? second - first : first - second));
}

} // namespace

void reversibleCouplesCurrents(MechanismRun& run, int k, int j) {
    const ReactionConstants& r = run.reaction[static_cast<std::size_t>(j)];
    const double fa = run.constants.FaradayArea;
    const double E = run.potential(k);
    const bool sphere = run.radial();
    const double radial = sphere ? radialFlux(run, r, E + run.pulseHeight) : 0.0;
    writeSurface(run, k, r, E + run.pulseHeight);

    switch (run.technique) {
    case Technique::LinearSweep:
    case Technique::Staircase:
        if (run.electrode == Electrode::ThinFilm) {
            // Thin layer of volume A·h: the whole couple C_O + C_R converts along the Nernstian bell.
            const double bell = ThinFilmReversibleCurrent(run.kernel, E, r.n, r.step.E0, 1.0, 1.0, 1.0, 1.0);
            const double scale = r.n * r.nf * run.c.ScanRate * r.surfaceTotal / 4.0;
            run.setCurrent(k, j, -run.sweepDirection(k) * fa * scale * bell);
        } else if (kind::semiIntegralAfterPass(run.technique, run.electrode, run.mechanism)) {
            StepArgs a = r.step;
            a.E = E;
            a.t = 1.0 / std::numbers::pi; // ReversibleCurrent = n·√D_O·C·(converted fraction)
            run.setCurrent(k, j, fa * ReversibleCurrent(run.kernel, a));
            if (sphere)
                run.setSamples(k, j, fa * radial, 0.0);
        } else if (run.technique == Technique::LinearSweep) {
            run.setCurrent(k, j, fa * (nernstianSweep(run, j, k) + radial));
        } else {
            run.setCurrent(k, j, fa * (levelSuperposition(run, j, k, 0, StepKind::Nernstian) + radial));
        }
        return;
    case Technique::DcVoltammetry:
    case Technique::NormalPulse:
        run.setCurrent(
            k, j,
            fa * (stepResponse(run, j, StepKind::Nernstian, E + run.pulseHeight, run.sampleTime) + radial));
        return;
    case Technique::DifferentialPulse:
    case Technique::SquareWave:
    case Technique::AdditiveSquareWave:
        pulseSamples(run, k, j);
        return;
    case Technique::PotentialStep:
        run.setCurrent(k, j, fa * (stepSequence(run, j, k, StepKind::Nernstian) + radial));
        return;
    default:
        return;
    }
}

} // namespace tessaly
