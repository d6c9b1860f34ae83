// Run menu: Manual Fit, Auto Fit and the two peak separations built on them.

#include "base/AtomicFile.h"
#include "base/NumberText.h"
#include "curves/CurrentFile.h"
#include "curves/MeasuredImport.h"
#include "fitting/AutoFit.h"
#include "base/NumberText.h"
#include "fitting/FitParameters.h"
#include "simulation/SimulationAdapter.h"
#include "simulation/SimulationDriver.h"
#include "workbench/Commands.h"
#include "workbench/FormCommands.h"
#include "workbench/Workbench.h"

#include <cmath>

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

// Shows why a fit cannot start, if it cannot, and returns false then. A fit over data sets reads its
// curves from their files and needs none in the store.
bool fitCanStart(Workbench& wb) {
    if (!wb.fitSetup.dataSets.empty())
        return true;
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
    if (wb.store.NPoints <= 0)
        return; // a fit over data sets, with no curve in the store: nothing to draw, nothing to complain of
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

// The fitted points of the current curve when a window or cycle is chosen (empty: the whole range).
std::vector<int> currentFitPoints(const Workbench& wb) {
    if (!wb.fitSetup.windowed())
        return {};
    const CurveStore& store = wb.store;
    const FitRange range = fitRange(store);
    const auto count = static_cast<std::size_t>(std::max(0, store.NPoints));
    const std::span<const double> E = store.E.span().first(count);
    const bool waveform = traits(wb.params.technique()).waveform;
    const std::span<const double> times =
        waveform ? std::span<const double>(store.WaveT.span().first(count)) : std::span<const double>();
    std::vector<int> points =
        windowPoints(E, times, leadingNumber(wb.params.td), range.first, range.last, wb.fitSetup);
    if (points.empty())
        raise("The fit window holds no point of the curve");
    return points;
}

// A data set's file read as Import reads it (any structure, its sign converted, the chosen cycle); its
// failure names the set's file.
CurveStore readDataSetCurve(const FitDataSetSpec& shape) {
    CycleChoice choice;
    for (const auto& [field, text] : shape.fields) {
        if (!isDataSetCycleWord(field))
            continue;
        const std::optional<CycleChoice> chosen = parseCycleChoice(text);
        if (!chosen)
            raise("Data set " + shape.file + ": cycle " + text + " is not a cycle (N, all or last)");
        choice = *chosen;
    }
    CurveStore curve;
    curve.CurveNo = 1;
    try {
        storeMeasuredCurve(curve, importMeasuredFile(readWholeFile(shape.file), choice));
    } catch (const Failure& failure) {
        raise("Data set " + shape.file + ": " + failure.description());
    }
    return curve;
}

// One data set as the fit sees it: the experiment of the dialogs with the set's fields typed in (each
// through its dialog's reaction and validation, as the runner's set does), the potential step of the
// file as its import would set it, committed; the file's curve over the fitted range or window.
FitSet loadDataSet(Workbench& wb, const FitDataSetSpec& shape) {
    const CurveStore curve = readDataSetCurve(shape);
    const ExperimentParams saved = wb.params;
    ExperimentParams prepared;
    try {
        for (const auto& [field, text] : shape.fields)
            if (!isDataSetCycleWord(field) && setField(wb, field, text) != FormStatus::Done)
                raise("Data set " + shape.file + ": " + field + " is not a field that can be set");
        if (curve.NPoints >= 3)
            setField(wb, "Estep", generalForm(std::fabs(curve.E[2] - curve.E[1])));
        Notices notices;
        commitSpecies(wb.params, notices);
        prepared = wb.params;
    } catch (...) {
        wb.params = saved;
        throw;
    }
    wb.params = saved;

    FitSet set;
    set.label = shape.file;
    set.input = makeSimulationInput(prepared, curve, true);
    const FitRange range = fitRange(curve);
    const auto count = static_cast<std::size_t>(curve.NPoints);
    const bool waveform = traits(prepared.technique()).waveform;
    const std::span<const double> times =
        waveform ? std::span<const double>(curve.WaveT.span().first(count)) : std::span<const double>();
    set.points = windowPoints(curve.E.span().first(count), times, leadingNumber(prepared.td), range.first,
                              range.last, wb.fitSetup);
    if (set.points.empty())
        raise("Data set " + shape.file + ": the fit window holds no point of the curve");
    for (const int i : set.points)
        set.measured.push_back(curve.Curve.at(i, 1));
    set.held.assign(count + 1, 0.0);
    addHistory(set, wb.fitSetup.historyCycles);
    return set;
}

std::vector<FitSet> loadDataSets(Workbench& wb) {
    std::vector<FitSet> sets;
    for (const FitDataSetSpec& shape : wb.fitSetup.dataSets)
        sets.push_back(loadDataSet(wb, shape));
    return sets;
}

// The sets' report lines after a manual comparison: each set's 1 - R^2 and residual standard deviation.
void compareDataSets(Workbench& wb) {
    const AutoFitResult result = compareSets(loadDataSets(wb), wb.fitSetup.ties);
    showSimulationFailures(wb, result.simulationFailure, result.digitalFailure);
    std::string report = "\r\n";
    for (std::size_t j = 0; j < wb.fitSetup.dataSets.size(); ++j)
        report += "Set " + std::to_string(j + 1) + ": " + wb.fitSetup.dataSets[j].file + "\r\n";
    report += uncertaintyReport(result, {}, {}, {});
    wb.appendResult(report);
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
    if (!wb.fitSetup.dataSets.empty()) {
        try {
            compareDataSets(wb);
        } catch (const Failure& failure) {
            port.showMessage(failure.description(), "Fit Error", MessageIcon::Critical);
        }
        wb.store.FitMode = false;
        port.setBusy(false);
        wb.ElapsedTime = static_cast<float>(port.clockSeconds() - start);
        return;
    }

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
        const bool global = !wb.fitSetup.dataSets.empty();
        if (global) {
            std::string names;
            for (std::size_t j = 0; j < wb.fitSetup.dataSets.size(); ++j)
                names += "Set " + std::to_string(j + 1) + ": " + wb.fitSetup.dataSets[j].file + "\r\n";
            std::vector<FitSet> sets = loadDataSets(wb);
            wb.appendResult("\r\n" + names.substr(0, names.size() - 2));
            const AutoFitResult result = runGlobalFit(wb.params, std::move(sets), io, wb.fitSetup.ties);
            showSimulationFailures(wb, result.simulationFailure, result.digitalFailure);
            wb.store.FitMode = false;
            port.setBusy(false);
            wb.ElapsedTime = static_cast<float>(port.clockSeconds() - start);
            return;
        }
        FitOptions options;
        options.ties = wb.fitSetup.ties;
        options.points = currentFitPoints(wb);
        options.historyCycles = wb.fitSetup.historyCycles;
        const AutoFitResult result = runAutoFit(wb.params, wb.store, wb.plotOptions.overlap, io, options);
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
