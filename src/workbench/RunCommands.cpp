// Run menu: Simulate.

#include "model/FieldChecks.h"
#include "simulation/SimulationAdapter.h"
#include "simulation/SimulationDriver.h"
#include "workbench/Commands.h"
#include "workbench/Workbench.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace tessaly {
namespace {

void showRunFailures(Workbench& wb, const std::optional<std::string>& failure,
                     const std::optional<std::string>& digitalFailure) {
    UserPort& port = wb.port();
    if (failure)
        port.showMessage(simulationErrorText(*failure), "Simulation Error", MessageIcon::Critical);
    if (digitalFailure)
        port.showMessage("CV Error: " + *digitalFailure + "! Please try again by other initial values.");
}

// A refused value is never run: the message names the field and its range, and the store and the
// plot stay as they were.
bool refuseInvalidField(Workbench& wb) {
    const auto refused = firstRefusedField(wb.params);
    if (!refused)
        return false;
    wb.port().showMessage(refused->message.text, "Simulation Error", MessageIcon::Critical);
    wb.lastRunGaveNoCurve = true;
    return true;
}

// The first number of a run that is not finite, named for the message: a potential, the total
// current, a reaction's current or sampled current, or a surface concentration, with its point.
// Points 0..NPoints-1 are the run's results (the tables' point one past the last is never computed).
std::optional<std::string> nonFiniteQuantity(const SimulationResult& r) {
    const auto at = [](int k) { return " at point " + std::to_string(k); };
    const int points = std::max(r.NPoints, 0);
    for (std::size_t k = 0; k < r.E.size() && k < static_cast<std::size_t>(points); ++k)
        if (!std::isfinite(r.E[k]))
            return "the potential" + at(static_cast<int>(k));
    if (!r.reached(SimulationResult::Stage::Cleared))
        return std::nullopt;
    const int total = r.TotalCurrentColumn;
    const int reactions = std::max(total - 1, 0);
    for (int k = 0; k < std::min(points, r.currents.rows()); ++k) {
        for (int j = 0; j < r.currents.columns(); ++j) {
            if (std::isfinite(r.currents(k, j)))
                continue;
            if (j == total)
                return "the total current" + at(k);
            if (j >= 1 && j <= reactions)
                return "the current of charge reaction " + std::to_string(j) + at(k);
            const int reaction = reactions > 0 ? (j - total - 1) % reactions + 1 : 0;
            return "the sampled current of charge reaction " + std::to_string(reaction) + at(k);
        }
        for (int s = 1; s < r.surface.columns(); ++s)
            if (!std::isfinite(r.surface(k, s)))
                return "the surface concentration of species " + std::to_string(s) + at(k);
    }
    return std::nullopt;
}

} // namespace

std::optional<SimulationInput> prepareSimulate(Workbench& wb) {
    // The texts are checked as typed (the commit's dialog activations would otherwise replace a
    // refused area by the radius's silently) and again as committed.
    if (refuseInvalidField(wb))
        return std::nullopt;
    Notices notices;
    commitSpecies(wb.params, notices);
    wb.showNotices(notices);
    if (refuseInvalidField(wb))
        return std::nullopt;
    // The instrument commit of a designed waveform samples its polyline into the programme.
    if (wb.params.technique() == kind::Technique::DesignedWaveform)
        commitDesignedWaveform(wb);

    SimulationInput input = makeSimulationInput(wb.params, wb.store, false);
    // A combination without a formula gives no curve, and the result window says why.
    if (const auto why = nothingToCompute(input)) {
        wb.appendResult(*why + kLineEnd);
        wb.lastRunGaveNoCurve = true;
        return std::nullopt;
    }
    return input;
}

void completeSimulate(Workbench& wb) {
    // A run with a number that is not finite is refused before anything is written: the store, the
    // plot and the experiment's committed values stay as they were, and the message names the number.
    if (const auto what = nonFiniteQuantity(wb.lastRun)) {
        const std::string cause = wb.lastRun.failure ? *wb.lastRun.failure + ": " : "";
        showRunFailures(wb,
                        cause + *what +
                            " is not a finite number (overflow or an undefined operation); "
                            "nothing was stored",
                        std::nullopt);
        wb.lastRunGaveNoCurve = true;
        return;
    }
    CurveStore& store = wb.store;
    const CurveStore before = store;
    store.XTitle = "E /V";
    store.YTitle = "i /A";
    store.MeasuredTime = false; // the times of an imported measurement no longer apply
    // The store's slot rules give the run's column; the run then goes into the store as far as it got.
    PrepareCurveSlots(store, wb.plotOptions.overlap, wb.params.NumCharge);
    const int column = store.CurveNo;
    keepRunTimeGrid(wb.params, wb.lastRun);
    const SimulationOutcome outcome = storeSimulation(wb.lastRun, store, column);
    if (outcome.notFinite) { // the slots the run prepared go back too: nothing changed
        store = before;
        showRunFailures(wb, outcome.failure, std::nullopt);
        wb.lastRunGaveNoCurve = true;
        return;
    }
    wb.lastRunGaveNoCurve = outcome.column == 0 || outcome.failure || outcome.digitalFailure;
    showRunFailures(wb, outcome.failure, outcome.digitalFailure);
    if (wb.params.DigitalFlag) {
        wb.negativeConcentrations = outcome.negativeConcentrations;
        wb.maxSolverIterations = outcome.maxIterations;
        wb.surfaceAreaFactor = outcome.surfaceAreaFactor;
        wb.digitalGridError = outcome.typedGridError;
    }

    if (traits(wb.params.technique()).timeAxis) {
        timeAxisCommand(wb);
    } else {
        // A run shown against potential counts as a producer of one curve from now on (a run shown
        // against time leaves the count of the producer before it).
        store.CurvesPerRun = 1;
        currentVsPotentialCommand(wb);
    }
    wb.enableCurveMenus();
}

bool simulationSucceeded(const SimulationResult& run) {
    return run.finished() && !run.failure && !run.cancelled && !run.digital.failure;
}

void reportUnstoredSimulate(Workbench& wb, const SimulationResult& run) {
    wb.lastRunGaveNoCurve = true;
    if (!run.cancelled)
        showRunFailures(wb, run.failure, run.digital.failure);
}

void simulateCommand(Workbench& wb) {
    UserPort& port = wb.port();
    const double start = port.clockSeconds();
    port.setBusy(true);
    if (const auto input = prepareSimulate(wb)) {
        Simulate(*input, wb.lastRun);
        completeSimulate(wb);
        wb.ElapsedTime = static_cast<float>(port.clockSeconds() - start);
    }
    port.setBusy(false);
}

} // namespace tessaly
