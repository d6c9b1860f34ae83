#pragma once
// The Auto Fit body: the ticked quantities are fitted to the current curve (or to several measured
// curves at once) by the Marquardt fitter with the simulation as the model, and the fit report is
// written line by line.

#include "curves/CurveStore.h"
#include "fitting/FitObjective.h"
#include "fitting/FitStatistics.h"
#include "fitting/MarquardtFitter.h"
#include "model/ExperimentParams.h"
#include "model/SimulationInput.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

inline constexpr int kMaxFitIterations = 50; // the loop stops once the count exceeds this
inline constexpr int kMaxFitSets = 16;       // measured curves of one fit
inline constexpr double kCorrelationWarning = 0.99;
// Broyden-updated Jacobians allowed between full ones in the fit commands (see MarquardtWorkspace).
inline constexpr int kBroydenUpdates = 3;

// One measured curve of a fit and the experiment it was measured under.
struct FitSet {
    std::string label;            // how the report names the set (its file)
    SimulationInput input;        // the experiment over the curve's potentials
    std::vector<int> points;      // the fitted points, indices of the curve
    std::vector<double> measured; // the curve at those points
    std::vector<double> held;     // what a failed trial leaves as the simulated curve (points 0..NPoints)
    int historyOffset = 0;        // points of preceding cycles simulated before the curve (withHistory)
    // The whole measured curve as read (points 0..NPoints-1) with its potentials (V), for showing the set
    // beside its fitted curve after a global fit.
    std::vector<double> shownE;
    std::vector<double> shownCurve;
};

// The set with `cycles` preceding cycles: its potentials (and times) repeated that many times before the
// measured ones, so the simulation reaches the measured cycle as the experiment did. The measured curve
// is taken to be one whole cycle.
void addHistory(FitSet& set, int cycles);

inline constexpr int kMaxHistoryCycles = 9;

// How a fit covers the current curve besides the ticked quantities.
struct FitOptions {
    std::vector<FitTie> ties;
    std::vector<int> points; // the fitted points; empty: the whole fitted range
    int historyCycles = 0;   // cycles simulated before the measured one
};

// The figures of one set at the end of a fit.
struct FitSetFigures {
    double oneMinusR2 = 0;         // SS/Σy² of the set
    double residualDeviation = 0;  // √(SS/n), in the current's unit
    int points = 0;
};

struct AutoFitResult {
    int parameterCount = 0;
    int iterations = 0;
    MarquardtState state;
    double leastSquare = 0;
    double variance = 0;
    std::optional<std::string> simulationFailure; // first failure a simulation reported
    std::optional<std::string> digitalFailure;    // first failure of the digital model
    int negativeConcentrations = 0;
    int maxIterations = 0;
    double surfaceAreaFactor = 0;
    std::vector<int> codes;      // the fitted quantities
    std::vector<double> values;  // their fitted values
    FitUncertainties uncertainties;
    std::vector<FitSetFigures> sets;
    std::vector<std::vector<double>> fittedCurves; // per set: the final simulation, points 0..NPoints
};

struct AutoFitIo {
    std::function<void(std::string_view)> append; // appends report text (whole lines, CR LF)
    std::function<double()> clock;                // seconds
    double startTime = 0;                         // when the command started
    int probeWorkers = -1; // threads for the derivative probes: -1 decide by the run time, 0 serial
};

// The fitted points: the range the simulation computes, 1 .. NPoints - 2.
struct FitRange {
    int first;
    int last;
};
FitRange fitRange(const CurveStore& store);

// Runs the body with the measured curve in column CurveNo over the options' points; the fitted curve goes
// to CurveNo + 1 and the committed values end at the fitted parameters. A tied quantity follows its master
// and is not fitted itself. A failure propagates after the lines written so far. A fit that cannot start
// (its first simulation failed or is not finite) changes neither the store nor the experiment; a fit
// whose final simulated curve is not finite, or none of whose simulations finished (it would have
// compared the measured curve with the held one only), raises NonFiniteFit before anything is committed.
AutoFitResult runAutoFit(ExperimentParams& p, CurveStore& store, bool overlap, const AutoFitIo& io,
                         const FitOptions& options = {});

// Fits several measured curves at once with the ticked quantities shared. Each set's residuals are
// weighted by the inverse of its own residual variance (estimated from a first pass weighted by its
// mean square), so a set of large currents does not drown one of small currents. The committed values
// end at the fitted ones; the store is not touched. A set none of whose simulations finished raises
// NonFiniteFit before anything is committed.
AutoFitResult runGlobalFit(ExperimentParams& p, std::vector<FitSet> sets, const AutoFitIo& io,
                           const std::vector<FitTie>& ties = {});

// Simulates each set once with the committed values (a manual fit of several curves): the figures of
// each set and its simulated curve.
AutoFitResult compareSets(std::vector<FitSet> sets, const std::vector<FitTie>& ties = {});

// 1 - R^2 (or a residual deviation) as the report prints it: the number, or "undefined" when it is not
// finite (currents that overflow), so a report never shows NAN or INF as a goodness of fit.
std::string figureText(double value);

// The uncertainty block of the report: fitted values with standard errors, the correlation matrix,
// the figures of each set, and warnings for strong correlations and parameters on a limit.
std::string uncertaintyReport(const AutoFitResult& result, std::span<const double> lower,
                              std::span<const double> upper, std::span<const bool> free);

} // namespace tessaly
