#include "simulation/SimulationDriver.h"

#include "base/Checked.h"
#include "simulation/AnalyticalMechanisms.h"
#include "simulation/NoiseGenerator.h"
#include "simulation/PotentialProgramme.h"
#include "simulation/RunConstants.h"
#include "simulation/SimulationContext.h"

#include <algorithm>

namespace tessaly {
namespace {

using Stage = SimulationResult::Stage;

// The range of the computed points, then the applied potential (E) and zero currents and surface
// concentrations for every point and the one past the last: the currents of every reaction, the total
// and the two sampling groups (columns 1..3 NumCharge + 1), the species 1..NumSpecies.
void clearRun(const SimulationInput& in, SimulationResult& out) {
    out.LastIndex = out.NPoints - 1;
    out.FirstPoint = 1;
    out.LastPoint = out.LastIndex - 1;
    out.stage = Stage::Ranged;
    const int rows = checkedIndex(out.NPoints, 0, kMaxRunIndex) + 1;
    const auto applied = std::min(out.E.size(), static_cast<std::size_t>(rows));
    out.EApplied.assign(out.E.begin(), out.E.begin() + static_cast<std::ptrdiff_t>(applied));
    out.currents.reset(rows, 3 * in.numCharge + 2);
    out.surface.reset(rows, in.numSpecies + 1);
    out.stage = Stage::Cleared;
}

// A baseline running linearly in potential from I start at the first potential to I end at the end
// potential (and back down on a reverse sweep).
void addBaseline(const SimulationInput& in, SimulationResult& out, int total) {
    const double i0 = in.committed.BaselineStart;
    const double i1 = in.committed.BaselineEnd;
    if (i0 == 0 && i1 == 0)
        return;
    const double e0 = out.E.empty() ? 0.0 : out.E[0];
    const double span = in.committed.EndPotential - e0;
    if (span == 0)
        raise(failure_text::divisionByZero);
    for (int k = out.FirstPoint; k <= out.LastPoint; ++k)
        out.currents.at(k, total) += i0 + (i1 - i0) * (out.E[static_cast<std::size_t>(k)] - e0) / span;
}

// Deterministic Gaussian noise of the committed level; none on a measured programme (a fit's model).
void addNoise(const SimulationInput& in, SimulationResult& out, int total) {
    const double level = in.committed.NoiseLevel;
    if (level == 0 || in.source == ProgrammeSource::Measured)
        return;
    NoiseGenerator noise(out.NPoints);
    for (int k = out.FirstPoint; k <= out.LastPoint; ++k)
        out.currents.at(k, total) += level * noise.nextGaussian();
}

void startRun(const SimulationInput& in, SimulationResult& out) {
    out.stage = Stage::Started;
    out.failure.reset();
    out.cancelled = false;
    out.digital = DigitalOutcome{};
    out.E.clear();
    out.EApplied.clear();
    if (in.given && in.source != ProgrammeSource::Built)
        out.times.assign(in.given->times.begin(), in.given->times.end());
    else
        out.times.clear();
}

} // namespace

void Simulate(const SimulationInput& in, SimulationResult& out) {
    startRun(in, out);
    try {
        FloatingPointGuard::clear();
        const RunConstants run = computeRunConstants(in);
        // The analytical path works in points of the run's TimeGrid seconds; the digital model keeps the
        // time step of its own grid.
        out.TimeGrid = in.digital ? in.committed.TimeGrid : run.TimeGrid;
        out.TotalCurrentColumn = run.TotalCurrentColumn;
        const int total = checkedIndex(run.TotalCurrentColumn, 0, kMaxColumn);
        FloatingPointGuard::check();

        buildPotentialProgramme(in, out);
        clearRun(in, out);

        if (in.control)
            in.control->setTotal(std::max(out.LastPoint, 0));
        const SimulationContext ctx{in, out, run};
        if (in.digital) {
            out.digital =
                DigitalSimulate(in, DigitalProgramme{out.E, out.FirstPoint, out.LastPoint, out.NPoints},
                                DigitalOutput{&out.currents, &out.surface, &out.EApplied});
            FloatingPointGuard::clear(); // the digital model reports its own failures
        } else {
            AnalyticalCurrents(ctx);
            applyAnalyticalAfterPass(ctx);
        }
        FloatingPointGuard::check();
        addBaseline(in, out, total);
        addNoise(in, out, total);
        FloatingPointGuard::check();
        out.stage = Stage::Finished;
        if (in.control)
            in.control->reach(in.control->total());
    } catch (const Failure& failure) {
        FloatingPointGuard::clear();
        out.failure = failure.description();
    } catch (const RunCancelled&) {
        FloatingPointGuard::clear();
        out.cancelled = true;
        out.failure = kRunCancelledText;
    }
}

SimulationResult Simulate(const SimulationInput& in) {
    SimulationResult out;
    Simulate(in, out);
    return out;
}

std::string simulationErrorText(const std::string& description) {
    return "Analytical simulation Error: " + description + "! Please try again by other initial values.";
}

} // namespace tessaly
