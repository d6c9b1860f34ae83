#include "simulation/AnalyticalMechanisms.h"

#include "base/Checked.h"
#include "curves/Transforms.h"
#include "simulation/MechanismRun.h"

#include <vector>

namespace tessaly {
namespace {

using kind::Electrode;
using kind::MechanismFamily;

// Faradaic current of charge reaction j at point k, written into its ComponentCurrent columns by the
// file of its mechanism family:
//   1-10   MechanismSimpleCharge.cpp (chemistry in MechanismCoupledChemistry.cpp)
//   11-12  MechanismReversible.cpp
//   13-14  MechanismMultiStep.cpp
//   15-18  MechanismAdsorbed.cpp
// at a rotating electrode MechanismRotating.cpp for 1-14, and at a thin film loaded by a preconcentration
// step MechanismStripping.cpp.
void reactionCurrents(MechanismRun& run, int k, int j) {
    if (run.preconcentration) {
        strippingCurrents(run, k, j);
        return;
    }
    if (run.rotating()) {
        rotatingCurrents(run, k, j);
        return;
    }
    switch (run.family()) {
    case MechanismFamily::Kinetic:
        kineticChargeCurrents(run, k, j);
        return;
    case MechanismFamily::Reversible:
        reversibleCouplesCurrents(run, k, j);
        return;
    case MechanismFamily::MultiStep:
        multiStepCurrents(run, k, j);
        return;
    case MechanismFamily::Adsorbed:
        adsorbedCurrents(run, k, j);
        return;
    }
}

// Thin film: the couple's amount per area C·h, starting with the solution's composition.
void prepareThinLayer(MechanismRun& run) {
    const double thickness = run.c.FilmThickness; // cm
    run.filmThickness = thickness;
    for (int j = 1; j <= run.numCharge; ++j) {
        ReactionConstants& r = run.reaction[static_cast<std::size_t>(j)];
        const double total = r.step.Cox + r.step.Cred; // mol/L
        r.surfaceTotal = total * thickness;
        r.surfaceState = total > 0 ? r.step.Cox / total : 0.0;
    }
}

// Radius of the spherical step response. A cylinder of radius r draws, until D·t/r² nears 1, the planar
// current plus half the radial term of a sphere, nFADC·(1/√(πDt) + 1/(2r)) (Szabo, Cope, Tallman, Kovach &
// Wightman, J. Electroanal. Chem. 217 (1987) 417): the response of a sphere of radius 2r.
double kernelRadius(const SimulationInput& in) {
    const double r = in.committed.ElectrodeRadius;
    return in.electrode == Electrode::Cylindrical ? 2.0 * r : r;
}

// Everything of the run that does not change from point to point.
void prepareRun(MechanismRun& run) {
    for (int j = 1; j <= run.numCharge; ++j)
        prepareReaction(run, j);
    if (run.electrode == Electrode::ThinFilm)
        prepareThinLayer(run);
    // Combinations without a thin-film kernel keep their currents whatever was deposited.
    if (filmStrips(run.mechanism, run.technique))
        run.preconcentration = preconcentrationStep(run.c, run.in.preconcentration, run.electrode, run.technique);
    if (run.preconcentration) {
        prepareStripping(run);
        return;
    }
    if (run.family() == MechanismFamily::Adsorbed)
        prepareAdsorbed(run);
    else if (run.family() == MechanismFamily::MultiStep)
        prepareMultiStep(run);
    if (run.rotating())
        prepareRotating(run);
    else if (kineticSolverApplies(run))
        prepareKinetics(run);
    else
        prepareSuperpositions(run);
}

} // namespace

void AnalyticalCurrents(const SimulationContext& ctx, SuperpositionPath path) {
    const CommittedValues& c = ctx.input.committed;
    SimulationResult& out = ctx.result;
    const int numCharge = ctx.input.numCharge;
    const int total = checkedIndex(ctx.run.TotalCurrentColumn, 0, kMaxColumn);
    checkedIndex(numCharge, 0, kMaxAnalyticalReactions);

    MechanismRun run(ctx.input, out, ctx.run);
    run.path = path;
    run.mechanism = ctx.input.mechanism;
    run.technique = ctx.input.technique;
    run.electrode = ctx.input.electrode;
    run.numCharge = numCharge;
    run.timeGrid = ctx.run.TimeGrid;
    // DC and normal pulse voltammetry sample each step at the fraction SampleFrac1 of the drop or pulse.
    const bool sampledStep = traits(run.technique).sampledStep;
    run.sampleTime = sampledStep ? c.SampleFrac1 * ctx.run.TimeGrid : ctx.run.TimeGrid;
    run.pulseHeight = ctx.run.PulseHeight;
    run.kernel = KernelContext{ctx.run.fRT, kernelRadius(ctx.input)};

    // Double-layer charging of a sweep, i_c = Cdl v, lagged by the cell time constant Ru Cdl over
    // the time step: i(k) = (T(k) - s Cdl v + (Ru Cdl / dt) i(k-1)) / (1 + Ru Cdl / dt).
    const double rcRatio = c.DoubleLayerCap * c.Resistance / ctx.run.TimeGrid;
    const double rcRatio1 = 1 + rcRatio;
    const bool charging = c.DoubleLayerCap * c.ScanRate > 0 || rcRatio > 0;
    double previous = 0;

    FloatingPointGuard::check();
    prepareRun(run);
    FloatingPointGuard::check();
    for (int k = out.FirstPoint + 1; k <= out.LastPoint; ++k) {
        checkedIndex(k, 0, kMaxRunIndex);
        reachPoint(ctx.input.control, k - 1);
        double faradaic = 0;
        for (int j = 1; j <= numCharge; ++j) {
            reactionCurrents(run, k, j);
            faradaic += out.currents.at(k, j);
        }
        if (charging) {
            const double s = run.sweepDirection(k);
            previous = (faradaic - s * c.DoubleLayerCap * c.ScanRate + rcRatio * previous) / rcRatio1;
            out.currents(k, total) = previous;
        } else {
            out.currents(k, total) = faradaic;
        }
        FloatingPointGuard::check();
    }
}

void applyAnalyticalAfterPass(const SimulationContext& ctx) {
    const SimulationInput& in = ctx.input;
    if (!semiIntegralAfterPass(in.technique, in.electrode, in.mechanism) || in.committed.RotationRate > 0)
        return;
    SimulationResult& out = ctx.result;
    const int numCharge = in.numCharge;
    const int total = checkedIndex(ctx.run.TotalCurrentColumn, 0, kMaxColumn);
    checkedIndex(2 * numCharge + 1, 0, kMaxColumn);
    std::vector<double> work(transformWorkSize(out.currents.rows())); // once per run
    for (int j = 1; j <= numCharge; ++j)
        semiDifferentiate(out.currents.column(j), out.FirstPoint, out.LastIndex, ctx.run.TimeGrid, work);

    const int first = checkedIndex(out.FirstPoint, 0, kMaxRunIndex);
    const int last = checkedIndex(out.LastPoint, -1, out.currents.rows() - 1);
    if (traits(in.electrode).sphericalKernel) // the radial part kept in the first sampling group
        for (int k = first; k <= last; ++k)
            for (int j = 1; j <= numCharge; ++j)
                out.currents(k, j) += out.currents(k, numCharge + 1 + j);
    for (int k = first; k <= last; ++k) {
        double sum = 0;
        for (int j = 1; j <= numCharge; ++j)
            sum += out.currents(k, j);
        out.currents(k, total) = sum;
    }
    FloatingPointGuard::check();
}

} // namespace tessaly
