// Mechanisms 1 to 10: a Butler–Volmer charge transfer under every technique and electrode of the kernel
// table (kind::kineticKernel, model/ExperimentKinds.h, which names the planar, spherical or thin-layer
// response of each combination). The integral-equation solver computes every combination
// (MechanismKinetics.cpp) except the closed forms that are exact, which stay here:
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

using kind::KineticKernel;
using kind::Technique;

// Reduced fraction converted in a thin layer of the couple over one step: the oxidised fraction relaxes
// towards its Nernstian-kinetic equilibrium and the charge n·F·V·C·ΔP flows in TimeGrid. In a layer of
// thickness l the heterogeneous rates kf, kb (cm/s) convert the layer's content at the first-order rates
// kf/l and kb/l (1/s), so the kernel's time argument is TimeGrid/l (s/cm); the totally irreversible peak
// then lies at E0 + (RT/αnF)·ln(RT·ks/(αnF·v·l)) with α·n²F²VvC/(e·RT) (Hubbard, J. Electroanal. Chem.
// 22 (1969) 165).
double thinLayer(MechanismRun& run, int k, int j) {
    ReactionConstants& r = run.reaction[static_cast<std::size_t>(j)];
    StepArgs a = r.step;
    a.E = run.potential(k);
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
    const KineticKernel kernel = kind::kineticKernel(run.technique, run.electrode, run.mechanism);
    if (kernel == KineticKernel::None)
        return;
    const StepKind response = kernel == KineticKernel::Spherical ? StepKind::Spherical : StepKind::Planar;
    const double fa = run.constants.FaradayArea;
    const double E = run.potential(k);
    switch (run.technique) {
    case Technique::LinearSweep:
        if (kernel == KineticKernel::ThinLayer)
            run.setCurrent(k, j, fa * thinLayer(run, k, j));
        return;
    case Technique::DcVoltammetry:
    case Technique::NormalPulse:
        run.setCurrent(k, j, fa * stepResponse(run, j, response, E + run.pulseHeight, run.sampleTime));
        return;
    case Technique::PotentialStep:
        run.setCurrent(k, j, fa * stepSequence(run, j, k, response));
        return;
    default:
        return;
    }
}

} // namespace tessaly
