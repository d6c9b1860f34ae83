// Run menu: Manual Fit, Auto Fit and the two peak separations built on them.

#include "fitting/AutoFit.h"
#include "base/NumberText.h"
#include "fitting/FitParameters.h"
#include "simulation/SimulationAdapter.h"
#include "simulation/SimulationDriver.h"
#include "workbench/Commands.h"
#include "workbench/Workbench.h"

namespace tessaly {
namespace {

bool plottedAgainstTime(const Workbench& wb) {
    return traits(wb.params.technique()).timeAxis;
}

// Why the measured curve (the current curve over the active range) cannot be fitted, if it cannot:
// no points, or a flat curve, whose spread the goodness of fit divides by.
std::optional<std::string> unfittableMeasuredCurve(const CurveStore& store) {
    if (store.NPoints <= 0 || store.CurveNo <= 0 || store.LastPoint <= store.FirstPoint)
        return "There is no measured curve to fit: import or simulate one first.";
    const int c = store.CurveNo;
    const double first = store.Curve.at(store.FirstPoint, c);
    for (int i = store.FirstPoint + 1; i <= store.LastPoint; ++i)
        if (store.Curve.at(i, c) != first)
            return std::nullopt;
    return "The measured curve is flat (every point is " + generalForm(first) +
           " A): a fit needs a curve that varies.";
}

// Shows why a fit cannot start, if it cannot, and returns false then.
bool fitCanStart(Workbench& wb) {
    if (const auto why = unfittableMeasuredCurve(wb.store)) {
        wb.port().showMessage(*why, "Fit Error", MessageIcon::Critical);
        return false;
    }
    return true;
}

// One run over the measured curve's potentials, its curve beside the measured one.
SimulationOutcome simulateBesideMeasured(Workbench& wb) {
    CurveStore& store = wb.store;
    const int column = PrepareFitSlot(store, wb.plotOptions.overlap, wb.params.NumCharge);
    Simulate(makeSimulationInput(wb.params, store, true), wb.lastRun);
    keepRunTimeGrid(wb.params, wb.lastRun);
    return storeSimulation(wb.lastRun, store, column);
}

void plotFit(Workbench& wb) {
    if (plottedAgainstTime(wb))
        timeAxisCommand(wb);
    else
        wb.redraw(Abscissa::Potential);
}

// A failure inside the simulations of a fit is shown once, as the simulation shows it.
void showSimulationFailures(Workbench& wb, const std::optional<std::string>& failure,
                            const std::optional<std::string>& digitalFailure) {
    if (failure)
        wb.port().showMessage(simulationErrorText(*failure), "Simulation Error", MessageIcon::Critical);
    if (digitalFailure)
        wb.port().showMessage("CV Error: " + *digitalFailure + "! Please try again by other initial values.");
}

// The components of the last simulation become curves 3 .. 2 + NumCharge, beside the measured and
// the fitted curve.
void showComponents(Workbench& wb) {
    CurveStore& store = wb.store;
    try {
        for (int j = 1; j <= wb.params.NumCharge; ++j) {
            store.NCurves += 1;
            const int column = checkedIndex(store.NCurves, 0, kMaxColumn);
            for (int i = store.FirstPoint; i <= store.LastPoint; ++i)
                store.Curve.at(i, column) = store.ComponentCurrent.at(i, j);
        }
    } catch (const Failure& failure) {
        wb.port().showMessage(failure.description(), "Error", MessageIcon::Critical);
    }
    if (plottedAgainstTime(wb))
        timeAxisCommand(wb);
    else
        wb.redraw(Abscissa::Potential);
}

} // namespace

void manualFitCommand(Workbench& wb) {
    UserPort& port = wb.port();
    if (!fitCanStart(wb))
        return;
    const double start = port.clockSeconds();
    port.setBusy(true);
    wb.store.FitMode = true;
    Notices notices;
    commitSpecies(wb.params, notices);
    wb.showNotices(notices);

    const SimulationOutcome outcome = simulateBesideMeasured(wb);
    showSimulationFailures(wb, outcome.failure, outcome.digitalFailure);
    if (wb.params.DigitalFlag) {
        wb.negativeConcentrations = outcome.negativeConcentrations;
        wb.maxSolverIterations = outcome.maxIterations;
        wb.surfaceAreaFactor = outcome.surfaceAreaFactor;
        wb.digitalGridError.reset(); // a fit's runs make no estimate
    }
    plotFit(wb);
    wb.store.FitMode = false;
    port.setBusy(false);
    wb.ElapsedTime = static_cast<float>(port.clockSeconds() - start);
}

void autoFitCommand(Workbench& wb) {
    UserPort& port = wb.port();
    // A fit of no quantity would report the starting curve as a perfect fit.
    if (!wb.store.SeparateMode && selectedFitParameters(wb.params).empty()) {
        port.showMessage("No parameter is ticked for fitting: tick the quantities to fit in the kinetics "
                         "or species dialog.",
                         "Fit Error", MessageIcon::Critical);
        return;
    }
    if (!fitCanStart(wb))
        return;
    const double start = port.clockSeconds();
    wb.store.CurvesPerRun = 1;
    port.setBusy(true);
    wb.store.FitMode = true;
    Notices notices;
    commitSpecies(wb.params, notices);
    wb.showNotices(notices);

    AutoFitIo io;
    io.append = [&wb](std::string_view text) { wb.appendResult(text); };
    io.clock = [&port] { return port.clockSeconds(); };
    io.startTime = start;
    try {
        const AutoFitResult result = runAutoFit(wb.params, wb.store, wb.plotOptions.overlap, io);
        showSimulationFailures(wb, result.simulationFailure, result.digitalFailure);
        if (wb.params.DigitalFlag) {
            wb.negativeConcentrations = result.negativeConcentrations;
            wb.maxSolverIterations = result.maxIterations;
            wb.surfaceAreaFactor = result.surfaceAreaFactor;
            wb.digitalGridError.reset(); // a fit's runs make no estimate
        }
    } catch (const Failure& failure) {
        port.showMessage(failure.description() + "! Please try again by other initial values.", "Fit Error",
                         MessageIcon::Critical);
    }
    plotFit(wb);
    wb.store.FitMode = false;
    port.setBusy(false);
    wb.ElapsedTime = static_cast<float>(port.clockSeconds() - start);
}

void manualSeparateCommand(Workbench& wb) {
    wb.store.SeparateMode = true;
    manualFitCommand(wb);
    showComponents(wb);
    wb.store.SeparateMode = false;
}

void autoSeparateCommand(Workbench& wb) {
    wb.store.SeparateMode = true;
    autoFitCommand(wb);
    showComponents(wb);
    wb.store.SeparateMode = false;
}

} // namespace tessaly
