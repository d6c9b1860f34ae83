// Mechanisms 1 to 10: a Butler–Volmer charge transfer under every technique and electrode of the kernel
// table. The integral-equation solver computes every combination (MechanismKinetics.cpp) except the
// closed forms that are exact, which stay here:
//
//   technique 1   9            mechanisms 1, 4, 5: first-order relaxation of a thin layer (ThinLayerCurrent)
//   2, 3          1, 8, 9, 11  planar step response at the pulse potential, sampled SampleFrac1 into the
//                 2, 3, 4      drop or pulse; spherical step response (plain couples: 1, 4, and 8 without
//                              regeneration, whose single step from the bulk these kernels solve exactly)
//   8             1, 8, 9, 11 / 2, 3, 4    the step response of a single potential step (plain couples)
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

} // namespace

void kineticChargeCurrents(MechanismRun& run, int k, int j) {
    if (run.kinetic.active) {
        kineticSolverCurrents(run, k, j);
        return;
    }
    const double fa = run.constants.FaradayArea;
    const int e = run.electrode;
    const bool sphere = run.spherical();
    const double E = run.store.E[k];
    switch (run.technique) {
    case 1:
        if (e == 9 && (run.mechanism == 1 || run.mechanism == 4 || run.mechanism == 5))
            run.setCurrent(k, j, fa * thinLayer(run, k, j));
        return;
    case 2:
    case 3: {
        StepKind kind = StepKind::Planar;
        if (sphere)
            kind = StepKind::Spherical;
        else if (!planarElectrode(e) && e != 9)
            return;
        run.setCurrent(k, j, fa * stepResponse(run, j, kind, E + run.pulseHeight, run.sampleTime));
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
