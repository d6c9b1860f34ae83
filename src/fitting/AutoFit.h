#pragma once
// The Auto Fit body: the ticked quantities are fitted to the current curve by the Marquardt fitter
// with the simulation as the model, and the fit report is written line by line.

#include "curves/CurveStore.h"
#include "fitting/MarquardtFitter.h"
#include "model/ExperimentParams.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tessaly {

inline constexpr int kMaxFitIterations = 50; // the loop stops once the count exceeds this

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

// Runs the body with the measured curve in column CurveNo; the fitted curve goes to CurveNo + 1 and
// the committed values end at the fitted parameters. A failure propagates after the lines written
// so far.
AutoFitResult runAutoFit(ExperimentParams& p, CurveStore& store, bool overlap, const AutoFitIo& io);

} // namespace tessaly
