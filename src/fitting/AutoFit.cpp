#include "fitting/AutoFit.h"

#include "base/NumberText.h"
#include "fitting/FitObjective.h"
#include "fitting/FitParameters.h"
#include "fitting/ParallelProbes.h"
#include "simulation/SimulationAdapter.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

namespace tessaly {
namespace {

const char* const kCrLf = "\r\n";

// The ticked quantities as the fitter varies them: start vector inside the limits (the minimum wins
// when the limits cross). A quantity whose limits are equal is held there: probing it would move the
// others to a joint solution in which it is free.
struct FittedQuantities {
    std::vector<FitCandidate> candidates;
    std::vector<int> codes;
    std::vector<double> values, lower, upper;
    std::unique_ptr<bool[]> free;

    explicit FittedQuantities(const ExperimentParams& p) : candidates(selectedFitParameters(p)) {
        free = std::make_unique<bool[]>(std::max<std::size_t>(1, candidates.size()));
        for (std::size_t k = 0; k < candidates.size(); ++k) {
            const FitCandidate& c = candidates[k];
            codes.push_back(c.code);
            values.push_back(std::max(c.minimum, std::min(c.maximum, c.initial)));
            lower.push_back(c.minimum);
            upper.push_back(c.maximum);
            free[k] = c.minimum != c.maximum;
        }
    }
    int count() const { return static_cast<int>(candidates.size()); }
    FitBounds bounds() const { return {lower, upper, std::span<const bool>(free.get(), candidates.size())}; }
};

// The measured curve over the fitted range, and its statistics (mean and variance over the range,
// divided by NPoints).
struct MeasuredCurve {
    std::vector<double> y;
    double variance = 0;
    double sumY2 = 0;

    MeasuredCurve(const CurveStore& store, FitRange range) {
        const int column = checkedIndex(store.CurveNo, 0, kMaxColumn);
        for (int i = range.first; i <= range.last; ++i)
            y.push_back(store.Curve.at(i, column));
        const double n = store.NPoints;
        double sum = 0;
        for (const double v : y)
            sum += v;
        const double mean = sum / n;
        double squares = 0;
        for (const double v : y) {
            squares += (v - mean) * (v - mean);
            sumY2 += v * v;
        }
        variance = squares / n;
    }
};

// The model the fitter calls, and its derivative probes: serially, or on worker threads sharing the
// fit's input once one simulation is known to take long enough for them to pay.
class FitModel {
public:
    FitModel(FitObjective& objective, FitRange range, int probeWorkers)
        : m_objective(objective), m_range(range), m_probeWorkers(probeWorkers) {}

    FitObjectiveFunction model() {
        return [this](std::span<const double> x, std::span<double> f) {
            const auto started = std::chrono::steady_clock::now();
            m_objective(x, f);
            if (m_firstRunSeconds < 0)
                m_firstRunSeconds =
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        };
    }

    FitBatchObjective probes() {
        return [this](std::span<const std::span<const double>> sets, std::span<const std::span<double>> models) {
            if (!m_workers) {
                const int threads = m_probeWorkers >= 0 ? m_probeWorkers : probeWorkersFor(m_firstRunSeconds);
                if (threads >= 2)
                    m_workers = std::make_unique<ParallelProbes>(m_objective, m_range.first, m_range.last, threads);
            }
            if (m_workers) {
                (*m_workers)(sets, models);
                return;
            }
            const FitObjectiveFunction serial = model();
            for (std::size_t j = 0; j < sets.size(); ++j)
                serial(sets[j], models[j]);
        };
    }

    std::optional<std::string> workerFailure() const {
        return m_workers ? m_workers->firstFailure() : std::nullopt;
    }

private:
    FitObjective& m_objective;
    FitRange m_range;
    int m_probeWorkers;
    double m_firstRunSeconds = -1; // duration of the first simulation, to decide on parallel probes
    std::unique_ptr<ParallelProbes> m_workers;
};

std::string fitReport(const FittedQuantities& fit, const AutoFitResult& result, double oneMinusR2, double seconds) {
    std::string report = std::string("No.\tInitial value\tFitted value") + kCrLf;
    for (int k = 0; k < fit.count(); ++k)
        report += std::to_string(k + 1) + "\t" +
                  formatMask(fit.candidates[static_cast<std::size_t>(k)].initial, "0.###e-#") + "\t\t" +
                  generalForm(fit.values[static_cast<std::size_t>(k)]) + kCrLf;
    report += "1-R^2 = " + generalForm(oneMinusR2) + kCrLf;
    report += "Least square = " + generalForm(result.leastSquare) + kCrLf;
    report += "Standard deviation^2 = " + generalForm(result.variance) + kCrLf;
    report += "Convergence flag = " + std::to_string(result.state.flag) + kCrLf;
    report += "No. of iteration = " + std::to_string(result.iterations) + kCrLf;
    report += "No. of object fun. = " + std::to_string(result.state.objectiveCount) + kCrLf;
    report += "No. of MARQUARDS = " + std::to_string(result.state.marquardtCount) + kCrLf;
    report += "Computation time (s) =" + generalForm(seconds) + kCrLf;
    report += fitParameterNameLines(fit.candidates);
    return report;
}

// The Marquardt iterations, then the final simulation at the accepted parameters (the last trial
// evaluated need not be the accepted one). Nothing to vary: one simulation gives the least square of
// the entered values.
void iterate(FittedQuantities& fit, const MeasuredCurve& measured, FitModel& model, AutoFitResult& result,
             const AutoFitIo& io) {
    const FitObjectiveFunction objective = model.model();
    const FitBatchObjective probes = model.probes();
    const FitBounds bounds = fit.bounds();
    MarquardtWorkspace workspace;
    if (fit.count() > 0) {
        do {
            MarquardtFit(fit.values, measured.y, bounds, result.variance, objective, result.state, workspace,
                         &probes);
            ++result.iterations;
            io.append("Least square = " + generalForm(result.state.leastSquare) + kCrLf);
        } while (result.iterations <= kMaxFitIterations && result.state.flag > 0);
        result.leastSquare = result.state.leastSquare;
    }
    std::vector<double> fitted(measured.y.size());
    objective(fit.values, fitted);
    if (fit.count() == 0) {
        double ss = 0;
        for (std::size_t i = 0; i < fitted.size(); ++i)
            ss += (fitted[i] - measured.y[i]) * (fitted[i] - measured.y[i]);
        result.leastSquare = ss;
    }
}

void collectDiagnostics(const FitObjective& objective, const FitModel& model, AutoFitResult& result) {
    result.simulationFailure = objective.firstFailure();
    if (!result.simulationFailure)
        result.simulationFailure = model.workerFailure();
    result.digitalFailure = objective.firstDigitalFailure();
    result.negativeConcentrations = objective.negativeConcentrations();
    result.maxIterations = objective.maxIterations();
    result.surfaceAreaFactor = objective.surfaceAreaFactor();
}

} // namespace

FitRange fitRange(const CurveStore& store) {
    return {1, store.NPoints - 2};
}

AutoFitResult runAutoFit(ExperimentParams& p, CurveStore& store, bool overlap, const AutoFitIo& io) {
    AutoFitResult result;
    FittedQuantities fit(p);
    result.parameterCount = fit.count();
    const FitRange range = fitRange(store);
    const MeasuredCurve measured(store, range);
    result.variance = measured.variance;
    io.append(kCrLf);

    // The simulated curve's column, decided once; the simulations leave the store alone until the fit
    // is over, and then it shows the last of them (also when a failure ends the fit early).
    const int column = checkedIndex(PrepareFitSlot(store, overlap, p.NumCharge), 0, kMaxColumn);
    const SimulationInput input = makeSimulationInput(p, store, true);
    FitObjective objective(input, fit.codes, range.first, range.last, heldColumn(store, column));
    FitModel model(objective, range, io.probeWorkers);
    try {
        iterate(fit, measured, model, result, io);
    } catch (const Failure&) {
        storeFitRun(objective, p, store, column);
        throw;
    }
    storeFitRun(objective, p, store, column);
    collectDiagnostics(objective, model, result);

    if (measured.sumY2 == 0)
        raise(failure_text::divisionByZero); // 1 - R^2 of an all-zero curve
    const double oneMinusR2 = result.leastSquare / measured.sumY2;
    io.append(fitReport(fit, result, oneMinusR2, io.clock() - io.startTime));
    for (int k = 0; k < fit.count(); ++k)
        p.FittedValueText[static_cast<std::size_t>(fit.codes[static_cast<std::size_t>(k)])] =
            formatMask(fit.values[static_cast<std::size_t>(k)], "0.###e-#");
    return result;
}

} // namespace tessaly
