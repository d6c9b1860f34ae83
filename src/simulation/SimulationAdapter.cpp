#include "simulation/SimulationAdapter.h"

#include <algorithm>
#include <cstddef>

namespace tessaly {
namespace {

using Stage = SimulationResult::Stage;

// The store's potentials (and times, for a waveform technique) of points 0..NPoints-1.
std::shared_ptr<const GivenProgramme> givenProgramme(const CurveStore& store, bool withTimes) {
    auto given = std::make_shared<GivenProgramme>();
    const auto points = static_cast<std::size_t>(checkedIndex(store.NPoints, 0, kPointCapacity));
    const auto E = store.E.span().first(points);
    given->potentials.assign(E.begin(), E.end());
    if (withTimes) {
        const auto t = store.WaveT.span().first(points);
        given->times.assign(t.begin(), t.end());
    }
    return given;
}

// EApplied of points 0..NPoints and of the digital model's time steps beyond them; the point one past
// the last, when the run did not write it, keeps the store's potential.
void storeApplied(const SimulationResult& r, CurveStore& store) {
    const auto written = r.EApplied.size();
    const auto through = std::max(written, static_cast<std::size_t>(r.NPoints) + 1);
    for (std::size_t k = 0; k < through; ++k) {
        const int i = static_cast<int>(k);
        store.EApplied.at(i) = k < written ? r.EApplied[k] : store.E.at(i);
    }
}

} // namespace

SimulationInput makeSimulationInput(const ExperimentParams& p, const CurveStore& store, bool measured) {
    SimulationInput in = simulationInputOf(p);
    const bool waveform = traits(in.technique).waveform;
    if (measured)
        in.source = ProgrammeSource::Measured;
    else if (waveform)
        in.source = ProgrammeSource::Waveform;
    if (in.source != ProgrammeSource::Built)
        in.given = givenProgramme(store, waveform);
    return in;
}

SimulationOutcome storeSimulation(const SimulationResult& r, CurveStore& store, int column) {
    SimulationOutcome outcome;
    outcome.failure = r.failure;
    outcome.digitalFailure = r.digital.failure;
    outcome.negativeConcentrations = r.digital.negativeConcentrations;
    outcome.surfaceAreaFactor = r.digital.surfaceAreaFactor;
    outcome.maxIterations = r.digital.maxIterations;
    outcome.typedGridError = r.digital.typedGridError;

    for (std::size_t k = 0; k < r.E.size(); ++k)
        store.E.at(static_cast<long long>(k)) = r.E[k];
    if (r.reached(Stage::Counted)) {
        store.NPoints = r.NPoints;
        store.LastIndex = r.LastIndex;
        store.NForward = r.NForward;
    }
    if (r.reached(Stage::Ranged)) {
        store.FirstPoint = r.FirstPoint;
        store.LastPoint = r.LastPoint;
    }
    if (!r.reached(Stage::Cleared))
        return outcome;
    const int rows = r.NPoints + 1; // checked against the store's capacity by the run
    storeApplied(r, store);
    r.currents.copyInto(store.ComponentCurrent, rows);
    r.surface.copyInto(store.SurfaceConc, rows);
    if (!r.finished())
        return outcome;
    try {
        const int c = checkedIndex(column, 0, kMaxColumn);
        for (int k = 0; k < rows; ++k) {
            store.XAxis[k] = store.E[k];
            store.Curve(k, c) = r.total(k);
        }
        outcome.column = c;
    } catch (const Failure& failure) {
        outcome.failure = failure.description();
    }
    return outcome;
}

void keepRunTimeGrid(ExperimentParams& p, const SimulationResult& r) {
    p.committed.TimeGrid = r.TimeGrid;
}

} // namespace tessaly
