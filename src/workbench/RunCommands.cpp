// Run menu: Simulate.

#include "model/FieldChecks.h"
#include "simulation/SimulationAdapter.h"
#include "simulation/SimulationDriver.h"
#include "workbench/Commands.h"
#include "workbench/Workbench.h"

namespace tessaly {
namespace {

// One run of the committed experiment: the store's slot rules give its column, the simulation its
// result, which then goes into the store.
SimulationOutcome simulateIntoStore(Workbench& wb) {
    CurveStore& store = wb.store;
    PrepareCurveSlots(store, wb.plotOptions.overlap, wb.params.NumCharge);
    const int column = store.CurveNo;
    Simulate(makeSimulationInput(wb.params, store, false), wb.lastRun);
    keepRunTimeGrid(wb.params, wb.lastRun);
    return storeSimulation(wb.lastRun, store, column);
}

} // namespace

void simulateCommand(Workbench& wb) {
    CurveStore& store = wb.store;
    UserPort& port = wb.port();
    store.XTitle = "E /V";
    store.YTitle = "i /A";
    const double start = port.clockSeconds();
    port.setBusy(true);

    // A refused value is never run: the message names the field and its range, and the store and
    // the plot stay as they were. The texts are checked as typed (the commit's dialog activations
    // would otherwise replace a refused area by the radius's silently) and again as committed.
    auto refuse = [&] {
        const auto refused = firstRefusedField(wb.params);
        if (!refused)
            return false;
        port.showMessage(refused->message.text, "Simulation Error", MessageIcon::Critical);
        wb.lastRunGaveNoCurve = true;
        port.setBusy(false);
        return true;
    };
    if (refuse())
        return;
    Notices notices;
    commitSpecies(wb.params, notices);
    wb.showNotices(notices);
    if (refuse())
        return;
    // The instrument commit of a designed waveform samples its polyline into the programme.
    if (wb.params.technique() == kind::Technique::DesignedWaveform)
        commitDesignedWaveform(wb);

    // A combination without a formula gives no curve, and the result window says why.
    if (const auto why = nothingToCompute(makeSimulationInput(wb.params, store, false))) {
        wb.appendResult(*why + kLineEnd);
        wb.lastRunGaveNoCurve = true;
        port.setBusy(false);
        return;
    }
    const CurveStore before = store;
    wb.store.MeasuredTime = false; // the times of an imported measurement no longer apply
    const SimulationOutcome outcome = simulateIntoStore(wb);
    if (outcome.notFinite) { // the slots the run prepared go back too: nothing changed
        store = before;
        port.showMessage(simulationErrorText(*outcome.failure), "Simulation Error", MessageIcon::Critical);
        wb.lastRunGaveNoCurve = true;
        port.setBusy(false);
        return;
    }
    wb.lastRunGaveNoCurve = outcome.column == 0 || outcome.failure || outcome.digitalFailure;
    if (outcome.failure)
        port.showMessage(simulationErrorText(*outcome.failure), "Simulation Error", MessageIcon::Critical);
    if (outcome.digitalFailure)
        port.showMessage("CV Error: " + *outcome.digitalFailure +
                         "! Please try again by other initial values.");
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
    port.setBusy(false);
    wb.ElapsedTime = static_cast<float>(port.clockSeconds() - start);
}

} // namespace tessaly
