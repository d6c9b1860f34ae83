#include "fitting/AutoFit.h"

#include "base/NumberText.h"
#include "fitting/FitObjective.h"
#include "fitting/FitParameters.h"
#include "fitting/ParallelProbes.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

namespace tessaly {
namespace {

const char* const kCrLf = "\r\n";

} // namespace

FitRange fitRange(const CurveStore& store) {
    return {1, store.NPoints - 2};
}

AutoFitResult runAutoFit(ExperimentParams& p, CurveStore& store, bool overlap, const AutoFitIo& io) {
    AutoFitResult result;
    const std::vector<FitCandidate> candidates = selectedFitParameters(p);
    const int count = static_cast<int>(candidates.size());
    result.parameterCount = count;

    // Measured data over the fitted range.
    const FitRange range = fitRange(store);
    const int points = std::max(0, range.last - range.first + 1);
    std::vector<double> measured(static_cast<std::size_t>(points));
    const int column = checkedIndex(store.CurveNo, 0, kMaxColumn);
    for (int i = range.first; i <= range.last; ++i)
        measured[static_cast<std::size_t>(i - range.first)] = store.Curve.at(i, column);

    // Start vector inside the limits (the minimum wins when the limits cross). A quantity whose
    // limits are equal is held there: probing it would move the others to a joint solution in
    // which it is free.
    std::vector<int> codes;
    std::vector<double> params, lower, upper;
    std::vector<char> freeFlags;
    for (const FitCandidate& c : candidates) {
        codes.push_back(c.code);
        params.push_back(std::max(c.minimum, std::min(c.maximum, c.initial)));
        lower.push_back(c.minimum);
        upper.push_back(c.maximum);
        freeFlags.push_back(c.minimum != c.maximum);
    }
    const auto freeArray = std::make_unique<bool[]>(std::max<std::size_t>(1, freeFlags.size()));
    for (std::size_t k = 0; k < freeFlags.size(); ++k)
        freeArray[k] = freeFlags[k] != 0;

    // Statistics of the measured data (mean and variance over the range, divided by NPoints).
    const double n = store.NPoints;
    double sum = 0;
    for (const double y : measured)
        sum += y;
    const double mean = sum / n;
    double squares = 0, sumY2 = 0;
    for (const double y : measured) {
        squares += (y - mean) * (y - mean);
        sumY2 += y * y;
    }
    result.variance = squares / n;

    io.append(kCrLf);
    FitObjective objective(p, store, overlap, codes, range.first, range.last);
    double firstRunSeconds = -1; // duration of the first simulation, to decide on parallel probes
    FitObjectiveFunction model = [&](std::span<const double> x, std::span<double> f) {
        const auto started = std::chrono::steady_clock::now();
        objective(x, f);
        if (firstRunSeconds < 0)
            firstRunSeconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    };
    // The derivative probes of each iteration run on worker copies of the experiment when the
    // simulations are long enough for that to pay; the results are the same as one after another.
    std::unique_ptr<ParallelProbes> workers;
    FitBatchObjective probes = [&](std::span<const std::span<const double>> sets,
                                   std::span<const std::span<double>> models) {
        if (!workers) {
            const int threads = io.probeWorkers >= 0 ? io.probeWorkers : probeWorkersFor(firstRunSeconds);
            if (threads >= 2)
                workers = std::make_unique<ParallelProbes>(p, store, overlap, codes, range.first, range.last,
                                                           threads);
        }
        if (workers) {
            (*workers)(sets, models);
            return;
        }
        for (std::size_t j = 0; j < sets.size(); ++j)
            model(sets[j], models[j]);
    };
    MarquardtWorkspace workspace;
    const FitBounds bounds{lower, upper, std::span<const bool>(freeArray.get(), freeFlags.size())};

    if (count > 0) {
        do {
            MarquardtFit(params, measured, bounds, result.variance, model, result.state, workspace, &probes);
            ++result.iterations;
            io.append("Least square = " + generalForm(result.state.leastSquare) + kCrLf);
        } while (result.iterations <= kMaxFitIterations && result.state.flag > 0);
        result.leastSquare = result.state.leastSquare;
    }

    // Leave the committed values, the fitted curve and the component currents at the final
    // parameters (the last trial evaluated need not be the accepted one). Nothing to vary: one
    // simulation gives the least square of the entered values.
    std::vector<double> fitted(static_cast<std::size_t>(points));
    objective(params, fitted);
    if (count == 0) {
        double ss = 0;
        for (std::size_t i = 0; i < fitted.size(); ++i)
            ss += (fitted[i] - measured[i]) * (fitted[i] - measured[i]);
        result.leastSquare = ss;
    }

    if (sumY2 == 0)
        raise(failure_text::divisionByZero); // 1 - R^2 of an all-zero curve
    const double oneMinusR2 = result.leastSquare / sumY2;
    const double seconds = io.clock() - io.startTime;
    std::string report = std::string("No.\tInitial value\tFitted value") + kCrLf;
    for (int k = 0; k < count; ++k)
        report += std::to_string(k + 1) + "\t" +
                  formatMask(candidates[static_cast<std::size_t>(k)].initial, "0.###e-#") + "\t\t" +
                  generalForm(params[static_cast<std::size_t>(k)]) + kCrLf;
    report += "1-R^2 = " + generalForm(oneMinusR2) + kCrLf;
    report += "Least square = " + generalForm(result.leastSquare) + kCrLf;
    report += "Standard deviation^2 = " + generalForm(result.variance) + kCrLf;
    report += "Convergence flag = " + std::to_string(result.state.flag) + kCrLf;
    report += "No. of iteration = " + std::to_string(result.iterations) + kCrLf;
    report += "No. of object fun. = " + std::to_string(result.state.objectiveCount) + kCrLf;
    report += "No. of MARQUARDS = " + std::to_string(result.state.marquardtCount) + kCrLf;
    report += "Computation time (s) =" + generalForm(seconds) + kCrLf;
    report += fitParameterNameLines(candidates);
    io.append(report);

    for (int k = 0; k < count; ++k)
        p.FittedValueText[static_cast<std::size_t>(codes[static_cast<std::size_t>(k)])] =
            formatMask(params[static_cast<std::size_t>(k)], "0.###e-#");

    result.simulationFailure = objective.firstFailure();
    if (!result.simulationFailure && workers)
        result.simulationFailure = workers->firstFailure();
    result.digitalFailure = objective.firstDigitalFailure();
    result.negativeConcentrations = objective.negativeConcentrations();
    result.maxIterations = objective.maxIterations();
    result.surfaceAreaFactor = objective.surfaceAreaFactor();
    return result;
}

} // namespace tessaly
