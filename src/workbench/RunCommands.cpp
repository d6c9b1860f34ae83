// Run menu: Simulate.

#include "simulation/SimulationAdapter.h"
#include "simulation/SimulationDriver.h"
#include "workbench/Commands.h"
#include "workbench/Workbench.h"

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

} // namespace

SimulationInput prepareSimulate(Workbench& wb) {
    Notices notices;
    commitSpecies(wb.params, notices);
    wb.showNotices(notices);
    // The instrument commit of a designed waveform samples its polyline into the programme.
    if (wb.params.technique() == kind::Technique::DesignedWaveform)
        commitDesignedWaveform(wb);
    return makeSimulationInput(wb.params, wb.store, false);
}

void completeSimulate(Workbench& wb) {
    CurveStore& store = wb.store;
    store.XTitle = "E /V";
    store.YTitle = "i /A";
    store.MeasuredTime = false; // the times of an imported measurement no longer apply
    // The store's slot rules give the run's column; the run then goes into the store as far as it got.
    PrepareCurveSlots(store, wb.plotOptions.overlap, wb.params.NumCharge);
    const int column = store.CurveNo;
    keepRunTimeGrid(wb.params, wb.lastRun);
    const SimulationOutcome outcome = storeSimulation(wb.lastRun, store, column);
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
    if (!run.cancelled)
        showRunFailures(wb, run.failure, run.digital.failure);
}

void simulateCommand(Workbench& wb) {
    UserPort& port = wb.port();
    const double start = port.clockSeconds();
    port.setBusy(true);
    Simulate(prepareSimulate(wb), wb.lastRun);
    completeSimulate(wb);
    port.setBusy(false);
    wb.ElapsedTime = static_cast<float>(port.clockSeconds() - start);
}

} // namespace tessaly
