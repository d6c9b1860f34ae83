// Mechanisms 1 to 10: a Butler–Volmer charge transfer (with the apparent formal potential, effective bulk
// concentration or catalytic time law that MechanismCoupledChemistry.cpp prepares) under every technique and
// electrode of the kernel table:
//
//   technique 1   1, 8, 11     sweep superposition of planar step responses (SweepCurrent)
//                 2, 3, 4, 7   the same plus the radial part of the spherical step response at the point
//                 9            mechanisms 1, 4, 5: first-order relaxation of a thin layer (ThinLayerCurrent)
//   2, 3          1, 8, 9, 11  planar step response at the pulse potential, t = TimeGrid
//                 2, 3, 4      spherical step response
//   4             1 / 2, 3, 4  differential pulse: base and pulse levels superposed, two samples
//   5, 6          1, 8, 11 / 2, 3, 4, 5    square wave: forward E ± Esw then reverse half-period, two samples
//
// The cylinder (5) draws the planar current plus the radial term of a sphere of twice its radius, which
// holds while D·t/r² stays below about 1 (AnalyticalMechanisms.cpp, kernelRadius).
//   7             1, 8 / 2, 3, 4, 5, 7     staircase sampled at SampleFrac1 (PulseCurrent*)
//   8             1, 8, 9, 11 / 2, 3, 4    step sequence of chronoamperometry
//
// Every other combination leaves the cleared zero.

#include "simulation/MechanismRun.h"

namespace tessaly {
namespace {

bool planarElectrode(int e) {
    return e == 1 || e == 8 || e == 11;
}

// Reduced fraction converted in a thin layer of the couple over one step: the oxidised fraction relaxes
// towards its Nernstian-kinetic equilibrium and the charge n·F·V·C·ΔP flows in TimeGrid. In a layer of
// thickness l the heterogeneous rates kf, kb (cm/s) convert the layer's content at the first-order rates
// kf/l and kb/l (1/s), so the kernel's time argument is TimeGrid/l (s/cm); the totally irreversible peak
// then lies at E0 + (RT/αnF)·ln(RT·ks/(αnF·v·l)) with α·n²F²VvC/(e·RT) (Hubbard, J. Electroanal. Chem.
// 22 (1969) 165).
double thinLayer(MechanismRun& run, int k, int j) {
    ReactionConstants& r = run.reaction[static_cast<std::size_t>(j)];
    StepArgs a = r.step;
    a.E = run.store.E[k];
    a.t = run.timeGrid / run.filmThickness;
    const double previous = r.surfaceState;
    r.surfaceState = ThinLayerCurrent(run.kernel, a, previous);
    return r.n * r.surfaceTotal * (previous - r.surfaceState) / run.timeGrid;
}

// Current of a two-sample pulse technique: the samples go to their groups, the net current to column j.
void pulseSamples(MechanismRun& run, int k, int j, StepKind current) {
    const double fa = run.constants.FaradayArea;
    const double first = fa * levelSuperposition(run, j, k, 0, current);
    const double second = fa * levelSuperposition(run, j, k, 1, current);
    run.setSamples(k, j, first, second);
    // Differential pulse: pulse minus base. Square wave: the forward half-period minus the reverse one.
    run.setCurrent(k, j, run.technique == 4 ? second - first : first - second);
}

} // namespace

void kineticChargeCurrents(MechanismRun& run, int k, int j) {
    const double fa = run.constants.FaradayArea;
    const int e = run.electrode;
    const bool sphere = run.spherical();
    const ReactionConstants& r = run.reaction[static_cast<std::size_t>(j)];
    const double E = run.store.E[k];
    switch (run.technique) {
    case 1:
        if (planarElectrode(e)) {
            run.setCurrent(k, j, fa * sweepSuperposition(run, j, k));
        } else if (sphere || e == 7) {
            // The radial flux of a sphere follows the surface state at once: the spherical step
            // response minus the planar one at the point's own potential.
            const double radial = stepResponse(run, j, StepKind::Spherical, E, run.timeGrid) -
                                  stepResponse(run, j, StepKind::Planar, E, run.timeGrid);
            run.setCurrent(k, j, fa * (sweepSuperposition(run, j, k) + radial));
        } else if (e == 9 && (run.mechanism == 1 || run.mechanism == 4 || run.mechanism == 5)) {
            run.setCurrent(k, j, fa * thinLayer(run, k, j));
        }
        return;
    case 2:
    case 3: {
        StepKind kind = StepKind::Planar;
        if (sphere)
            kind = StepKind::Spherical;
        else if (!planarElectrode(e) && e != 9)
            return;
        double f = stepResponse(run, j, kind, E + run.pulseHeight, run.sampleTime);
        if (r.law.catalyticRate != 0.0)
            f *= catalyticFactor(r.law.catalyticRate, run.sampleTime);
        run.setCurrent(k, j, fa * f);
        return;
    }
    case 4:
        if (e == 1)
            pulseSamples(run, k, j, StepKind::Planar);
        else if (sphere)
            pulseSamples(run, k, j, StepKind::Spherical);
        return;
    case 5:
    case 6:
        if (planarElectrode(e))
            pulseSamples(run, k, j, StepKind::Planar);
        else if (sphere || e == 5)
            pulseSamples(run, k, j, StepKind::Spherical);
        return;
    case 7: {
        StepKind current = StepKind::Planar;
        if (sphere || e == 5 || e == 7) {
            current = StepKind::Spherical;
        } else if (e != 1 && e != 8) {
            return;
        }
        const double i = r.law.catalyticRate != 0.0 ? levelSuperposition(run, j, k, 0, current)
                                                    : staircaseSuperposition(run, j, k, current);
        run.setCurrent(k, j, fa * i);
        return;
    }
    case 8:
        if (planarElectrode(e) || e == 9)
            run.setCurrent(k, j, fa * stepSequence(run, j, k, StepKind::Planar));
        else if (sphere)
            run.setCurrent(k, j, fa * stepSequence(run, j, k, StepKind::Spherical));
        return;
    default:
        return;
    }
}

} // namespace tessaly
