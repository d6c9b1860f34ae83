#include "simulation/SimulationDriver.h"

#include "base/Checked.h"
#include "digital/DigitalSimulation.h"
#include "simulation/AnalyticalMechanisms.h"
#include "simulation/NoiseGenerator.h"
#include "simulation/PotentialProgramme.h"
#include "simulation/RunConstants.h"
#include "simulation/SimulationContext.h"

namespace tessaly {
namespace {

// EApplied follows E; every component current and surface concentration of the run's points (and
// the one past the last) starts at zero.
void clearRun(CurveStore& store) {
    const int last = checkedIndex(store.NPoints, 0, kMaxPoint);
    for (int k = 0; k <= last; ++k) {
        store.EApplied[k] = store.E[k];
        for (int j = 1; j <= kMaxColumn; ++j) {
            store.ComponentCurrent(k, j) = 0;
            store.SurfaceConc(k, j) = 0;
        }
    }
}

// A baseline running linearly in potential from I start at the first potential to I end at the end
// potential (and back down on a reverse sweep).
void addBaseline(const ExperimentParams& p, CurveStore& store, int total) {
    const double i0 = p.committed.BaselineStart;
    const double i1 = p.committed.BaselineEnd;
    if (i0 == 0 && i1 == 0)
        return;
    const double span = p.committed.EndPotential - store.E[0];
    if (span == 0)
        raise(failure_text::divisionByZero);
    for (int k = store.FirstPoint; k <= store.LastPoint; ++k)
        store.ComponentCurrent.at(k, total) += i0 + (i1 - i0) * (store.E.at(k) - store.E[0]) / span;
}

void addNoise(const ExperimentParams& p, CurveStore& store, int total) {
    const double level = p.committed.NoiseLevel;
    if (level == 0 || store.FitMode)
        return;
    NoiseGenerator noise(store.NPoints);
    for (int k = store.FirstPoint; k <= store.LastPoint; ++k)
        store.ComponentCurrent.at(k, total) += level * noise.nextGaussian();
}

void copyOut(CurveStore& store, int total) {
    const int last = checkedIndex(store.NPoints, 0, kMaxPoint);
    const int column = checkedIndex(store.CurveNo, 0, kMaxColumn);
    for (int k = 0; k <= last; ++k) {
        store.XAxis[k] = store.E[k];
        store.Curve(k, column) = store.ComponentCurrent(k, total);
    }
}

} // namespace

SimulationOutcome Simulate(ExperimentParams& p, CurveStore& store, bool overlap) {
    SimulationOutcome outcome;
    try {
        FloatingPointGuard::clear();
        PrepareCurveSlots(store, overlap, p.NumCharge);
        const RunConstants run = computeRunConstants(p);
        // The analytical path works in points of TimeGrid seconds (the value stays after the run);
        // the digital model keeps the time step of its own grid.
        if (!p.DigitalFlag)
            p.committed.TimeGrid = run.TimeGrid;
        const int total = checkedIndex(run.TotalCurrentColumn, 0, kMaxColumn);
        FloatingPointGuard::check();

        buildPotentialProgramme(p, store, store.FitMode);
        store.LastIndex = store.NPoints - 1;
        store.FirstPoint = 1;
        store.LastPoint = store.LastIndex - 1;
        clearRun(store);

        const SimulationContext ctx{p, store, run};
        if (p.DigitalFlag) {
            const DigitalOutcome digital = DigitalSimulate(p, store);
            outcome.digitalFailure = digital.failure;
            outcome.negativeConcentrations = digital.negativeConcentrations;
            outcome.surfaceAreaFactor = digital.surfaceAreaFactor;
            outcome.maxIterations = digital.maxIterations;
            outcome.typedGridError = digital.typedGridError;
            FloatingPointGuard::clear(); // the digital model reports its own failures
        } else {
            AnalyticalCurrents(ctx);
            applyAnalyticalAfterPass(ctx);
        }
        FloatingPointGuard::check();
        addBaseline(p, store, total);
        addNoise(p, store, total);
        FloatingPointGuard::check();
        copyOut(store, total);
        outcome.column = store.CurveNo;
    } catch (const Failure& failure) {
        FloatingPointGuard::clear();
        outcome.failure = failure.description();
    }
    return outcome;
}

std::string simulationErrorText(const std::string& description) {
    return "Analytical simulation Error: " + description + "! Please try again by other initial values.";
}

} // namespace tessaly
