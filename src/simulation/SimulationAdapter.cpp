#include "simulation/SimulationAdapter.h"

#include "simulation/FilmPreconcentration.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace tessaly {
namespace {

using Stage = SimulationResult::Stage;

// The store's potentials (and times, for a waveform technique) of points 0..NPoints-1.
std::shared_ptr<const GivenProgramme> givenProgramme(const CurveStore& store, bool withTimes) {
    auto given = std::make_shared<GivenProgramme>();
    const auto points = static_cast<std::size_t>(checkedIndex(store.NPoints, 0, store.E.points()));
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

// "technique 9 (Design waveform)" from the option caption "9)  Design waveform".
std::string named(const char* kindName, int code, const char* caption) {
    std::string text = caption;
    const auto close = text.find(')');
    if (close != std::string::npos)
        text = text.substr(text.find_first_not_of(' ', close + 1));
    return std::string(kindName) + " " + std::to_string(code) + " (" + text + ")";
}

// The first point of a finished run whose potential or total current is not finite, or -1. The
// floating-point flags cannot tell: the commits before the run may have raised them harmlessly, and
// the run clears them when it starts, so the numbers themselves are checked.
int firstNonFinitePoint(const SimulationResult& r) {
    for (int k = 0; k < r.NPoints; ++k) { // the point one past the last is no result of the run
        const bool potential = static_cast<std::size_t>(k) >= r.E.size() || std::isfinite(r.E[static_cast<std::size_t>(k)]);
        if (!potential || !std::isfinite(r.total(k)))
            return k;
    }
    return -1;
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
    if (r.finished()) {
        if (const int k = firstNonFinitePoint(r); k >= 0) {
            outcome.failure = "the current at point " + std::to_string(k) +
                              " is not a finite number (overflow or an undefined operation: check the "
                              "electrode geometry and the rate constants)";
            outcome.notFinite = true;
            return outcome;
        }
    }

    // The store grows to the run (the programme was refused beyond the store's limit when it was built).
    store.reservePoints(std::max(static_cast<int>(r.E.size()), r.reached(Stage::Counted) ? r.NPoints : 0));
    for (std::size_t k = 0; k < r.E.size(); ++k)
        store.E.at(static_cast<long long>(k)) = r.E[k];
    if (r.reached(Stage::Counted)) {
        store.Cycle.clear(); // the points are the run's now, not a measurement's
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
    const int rows = r.NPoints + 1; // the store holds points 0..NPoints, reserved above
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

std::optional<std::string> nothingToCompute(const SimulationInput& in) {
    // A waveform's times rise from 0; without an opened waveform the store's times are all 0.
    const bool noWaveform = in.technique == kind::Technique::ImportedWaveform &&
                            (!in.given || in.given->potentials.size() < 2 || in.given->times.empty() ||
                             !(in.given->times.back() > 0));
    if (noWaveform)
        return "Nothing was computed: technique 10 (Import waveform) needs a waveform; open one with "
               "Open Waveform first.";
    if (in.digital)
        return std::nullopt;
    // A preconcentrated thin film strips, and a rotating electrode answers mechanisms 1 to 14 with the
    // Levich current, whatever the programme; every other run needs a formula for its combination.
    const bool stripping =
        preconcentrationStep(in.committed, in.preconcentration, in.electrode, in.technique).has_value();
    const bool rotating = in.committed.RotationRate > 0 &&
                          traits(in.mechanism).family != kind::MechanismFamily::Adsorbed;
    if (stripping || rotating || kind::hasAnalyticalKernel(in.technique, in.electrode, in.mechanism))
        return std::nullopt;
    return "Nothing was computed: the analytical simulation has no model for " +
           named("technique", kind::code(in.technique), traits(in.technique).caption) + " with " +
           named("mechanism", kind::code(in.mechanism), traits(in.mechanism).caption) + " at " +
           named("electrode", kind::code(in.electrode), traits(in.electrode).caption) +
           ". The digital simulation covers this combination: tick \"Digital simulation\" and run again.";
}

void keepRunTimeGrid(ExperimentParams& p, const SimulationResult& r) {
    p.committed.TimeGrid = r.TimeGrid;
}

} // namespace tessaly
