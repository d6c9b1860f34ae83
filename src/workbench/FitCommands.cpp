// Run menu: Manual Fit, Auto Fit and the two peak separations built on them.

#include "base/AtomicFile.h"
#include "base/NumberText.h"
#include "curves/CurrentFile.h"
#include "curves/MeasuredImport.h"
#include "fitting/AutoFit.h"
#include "fitting/FitParameters.h"
#include "simulation/SimulationAdapter.h"
#include "simulation/SimulationDriver.h"
#include "workbench/CommandGuard.h"
#include "workbench/Commands.h"
#include "workbench/FormCommands.h"
#include "workbench/Workbench.h"

#include <algorithm>
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

// What a fit may change, kept so that a fit ending in a number that is not finite changes nothing.
struct BeforeFit {
    explicit BeforeFit(const Workbench& wb) : params(wb.params), store(wb.store), plotState(wb.plotState) {}
    ExperimentParams params;
    CurveStore store;
    PlotState plotState;

    void restore(Workbench& wb) const {
        wb.params = params;
        wb.store = store;
        wb.plotState = plotState;
        wb.port().plotChanged();
    }
};

// The committed values of the quantities a fit varies (ticked, and tied to one) are all finite.
bool fittedValuesFinite(const Workbench& wb) {
    for (const FitCandidate& c : selectedFitParameters(wb.params))
        if (!std::isfinite(fitParameter(wb.params.committed, c.code)))
            return false;
    for (const FitTie& tie : wb.fitSetup.ties)
        if (!std::isfinite(fitParameter(wb.params.committed, tie.code)))
            return false;
    return true;
}

// The quantities a fit would vary: the ticked ones that are not tied to another.
std::size_t fittedQuantityCount(const Workbench& wb) {
    const std::vector<FitCandidate> ticked = selectedFitParameters(wb.params);
    return static_cast<std::size_t>(std::count_if(ticked.begin(), ticked.end(), [&wb](const FitCandidate& c) {
        return std::none_of(wb.fitSetup.ties.begin(), wb.fitSetup.ties.end(),
                            [&c](const FitTie& t) { return t.code == c.code; });
    }));
}

// A fit of no quantity would report the starting curve as a perfect fit: refused with the reason.
bool anythingToFit(Workbench& wb) {
    if (fittedQuantityCount(wb) > 0)
        return true;
    const bool ticked = !selectedFitParameters(wb.params).empty();
    wb.port().showMessage(ticked
                              ? "Every ticked quantity is tied to another: untie one, or tick the quantity "
                                "they follow."
                              : "No parameter is ticked for fitting: tick the quantities to fit in the "
                                "kinetics or species dialog.",
                          "Fit Error", MessageIcon::Critical);
    return false;
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

// Whether a set was measured at the potentials of another (point for point, within a tenth of a step), so
// both can be drawn over one potential axis.
bool samePotentials(const std::vector<double>& a, const std::vector<double>& b) {
    if (a.size() != b.size())
        return false;
    const double step = a.size() >= 3 ? std::fabs(a[2] - a[1]) : 0.0;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!(std::fabs(a[i] - b[i]) <= 0.1 * step + 1e-12))
            return false;
    return true;
}

// After a global fit the store shows each set beside its fitted curve: set j's measured curve in column
// 2j - 1 and its fit in column 2j, over the potentials of set 1. A set measured at other potentials, or
// beyond the store's columns, is named in the result window instead.
void showGlobalFit(Workbench& wb, const std::vector<FitSet>& sets, const AutoFitResult& result) {
    if (sets.empty() || sets.front().shownE.empty())
        return;
    CurveStore& store = wb.store;
    const std::vector<double>& E = sets.front().shownE;
    const int n = checkedIndex(static_cast<long long>(E.size()), 1, kMaxImportPoints);
    store.reservePoints(n);
    std::string notShown;
    int shown = 0;
    for (std::size_t j = 0; j < sets.size() && j < result.fittedCurves.size(); ++j) {
        const std::string name = "Set " + std::to_string(j + 1);
        if (!samePotentials(sets[j].shownE, E)) {
            notShown += name + " is not shown: it was measured at other potentials than set 1.\r\n";
            continue;
        }
        if (2 * (shown + 1) > kMaxColumn) {
            notShown += name + " is not shown: the store holds " + std::to_string(kMaxColumn / 2) +
                        " sets with their fits.\r\n";
            continue;
        }
        const int measured = 2 * shown + 1;
        const std::vector<double>& fitted = result.fittedCurves[j];
        for (int i = 0; i < n; ++i) {
            const auto k = static_cast<std::size_t>(i);
            store.Curve.at(i, measured) = sets[j].shownCurve.at(k);
            store.Curve.at(i, measured + 1) = k < fitted.size() ? fitted[k] : 0.0;
        }
        ++shown;
    }
    for (int i = 0; i < n; ++i) {
        store.E.at(i) = E[static_cast<std::size_t>(i)];
        store.XAxis.at(i) = E[static_cast<std::size_t>(i)];
    }
    store.NPoints = n;
    store.LastIndex = n - 1;
    store.FirstPoint = std::min(1, n - 1);
    store.LastPoint = std::max(store.FirstPoint, n - 2);
    store.NCurves = 2 * shown;
    store.CurveNo = 1;
    store.CurvesPerRun = 2;
    store.MeasuredTime = false;
    wb.lastRunGaveNoCurve = false;
    if (!notShown.empty())
        wb.appendResult(notShown);
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
    set.shownE.assign(curve.E.span().begin(), curve.E.span().begin() + static_cast<std::ptrdiff_t>(count));
    for (std::size_t k = 0; k < count; ++k)
        set.shownCurve.push_back(curve.Curve.at(static_cast<int>(k), 1));
    addHistory(set, wb.fitSetup.historyCycles);
    return set;
}

std::vector<FitSet> loadDataSets(Workbench& wb) {
    std::vector<FitSet> sets;
    for (const FitDataSetSpec& shape : wb.fitSetup.dataSets)
        sets.push_back(loadDataSet(wb, shape));
    return sets;
}

// The sets' report lines after a manual comparison: each set's 1 - R^2 and residual standard deviation;
// the store shows each set beside its simulation.
void compareDataSets(Workbench& wb) {
    const std::vector<FitSet> sets = loadDataSets(wb);
    const AutoFitResult result = compareSets(sets, wb.fitSetup.ties);
    showSimulationFailures(wb, result.simulationFailure, result.digitalFailure);
    std::string report = "\r\n";
    for (std::size_t j = 0; j < wb.fitSetup.dataSets.size(); ++j)
        report += "Set " + std::to_string(j + 1) + ": " + wb.fitSetup.dataSets[j].file + "\r\n";
    report += uncertaintyReport(result, {}, {}, {});
    wb.appendResult(report);
    showGlobalFit(wb, sets, result);
}

// Manual Fit; false when it was refused or undone (nothing changed).
bool manualFit(Workbench& wb) {
    UserPort& port = wb.port();
    if (!fitCanStart(wb))
        return false;
    const double start = port.clockSeconds();
    const BeforeFit before(wb);
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
        if (!storeIsFinite(wb.store)) {
            before.restore(wb);
            port.showMessage(
                "The simulated curve of a data set is not a finite number (overflow or an undefined "
                "operation); nothing was changed.",
                "Fit Error", MessageIcon::Critical);
            port.setBusy(false);
            return false;
        }
        plotFit(wb);
        wb.store.FitMode = false;
        port.setBusy(false);
        wb.ElapsedTime = static_cast<float>(port.clockSeconds() - start);
        return true;
    }

    const SimulationOutcome outcome = simulateBesideMeasured(wb);
    showSimulationFailures(wb, outcome.failure, outcome.digitalFailure);
    if (outcome.failure || outcome.notFinite || !storeIsFinite(wb.store)) {
        // The simulation failed (its message is shown) or its curve is not finite: the store and the
        // experiment stay as they were.
        before.restore(wb);
        port.setBusy(false);
        return false;
    }
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
    return true;
}

// Auto Fit; false when it was refused or undone (nothing changed).
bool autoFit(Workbench& wb) {
    UserPort& port = wb.port();
    if (!anythingToFit(wb) || !fitCanStart(wb))
        return false;
    const double start = port.clockSeconds();
    const BeforeFit before(wb);
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
    bool undone = false;
    try {
        if (!wb.fitSetup.dataSets.empty()) {
            std::string names;
            for (std::size_t j = 0; j < wb.fitSetup.dataSets.size(); ++j)
                names += "Set " + std::to_string(j + 1) + ": " + wb.fitSetup.dataSets[j].file + "\r\n";
            const std::vector<FitSet> sets = loadDataSets(wb);
            wb.appendResult("\r\n" + names.substr(0, names.size() - 2));
            const AutoFitResult result = runGlobalFit(wb.params, sets, io, wb.fitSetup.ties);
            showSimulationFailures(wb, result.simulationFailure, result.digitalFailure);
            showGlobalFit(wb, sets, result);
        } else {
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
        }
    } catch (const NonFiniteFit& failure) {
        before.restore(wb);
        undone = true;
        port.showMessage(failure.description() + "! Please try again by other initial values.", "Fit Error",
                         MessageIcon::Critical);
    } catch (const Failure& failure) {
        port.showMessage(failure.description() + "! Please try again by other initial values.", "Fit Error",
                         MessageIcon::Critical);
    }
    // Whatever path led here, a fit never leaves a number that is not finite in the store or the experiment.
    if (!undone && (!storeIsFinite(wb.store) || !fittedValuesFinite(wb))) {
        before.restore(wb);
        undone = true;
        port.showMessage(std::string(kNonFiniteEndText) + "! Please try again by other initial values.",
                         "Fit Error", MessageIcon::Critical);
    }
    if (!undone)
        plotFit(wb);
    wb.store.FitMode = false;
    port.setBusy(false);
    wb.ElapsedTime = static_cast<float>(port.clockSeconds() - start);
    return !undone;
}

} // namespace

void manualFitCommand(Workbench& wb) {
    manualFit(wb);
}

void autoFitCommand(Workbench& wb) {
    autoFit(wb);
}

// A fit that was refused or undone shows no components: they would be an earlier run's beside no fit.
void manualSeparateCommand(Workbench& wb) {
    wb.store.SeparateMode = true;
    if (manualFit(wb))
        showComponents(wb);
    wb.store.SeparateMode = false;
}

void autoSeparateCommand(Workbench& wb) {
    wb.store.SeparateMode = true;
    if (autoFit(wb))
        showComponents(wb);
    wb.store.SeparateMode = false;
}

} // namespace tessaly
