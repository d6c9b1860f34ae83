#include "fitting/AutoFit.h"

#include "base/NumberText.h"
#include "fitting/FitParameters.h"
#include "fitting/ParallelProbes.h"
#include "simulation/SimulationAdapter.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <vector>

namespace tessaly {
namespace {

const char* const kCrLf = "\r\n";

bool isTied(int code, const std::vector<FitTie>& ties) {
    return std::any_of(ties.begin(), ties.end(), [code](const FitTie& t) { return t.code == code; });
}

// The ticked quantities as the fitter varies them: start vector inside the limits (the minimum wins
// when the limits cross). A quantity whose limits are equal is held there: probing it would move the
// others to a joint solution in which it is free. A quantity tied to another follows it and is not
// fitted itself.
struct FittedQuantities {
    std::vector<FitCandidate> candidates;
    std::vector<int> codes;
    std::vector<double> values, lower, upper;
    std::unique_ptr<bool[]> free;

    FittedQuantities(const ExperimentParams& p, const std::vector<FitTie>& ties) {
        for (const FitCandidate& c : selectedFitParameters(p))
            if (!isTied(c.code, ties))
                candidates.push_back(c);
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
    std::span<const bool> freeFlags() const { return {free.get(), candidates.size()}; }
    FitBounds bounds() const { return {lower, upper, freeFlags()}; }
};

// One set's objective and its derivative probes: serially, or on worker threads sharing the set's
// input once one simulation is known to take long enough for them to pay.
class SetModel {
public:
    SetModel(const FitSet& set, const std::vector<int>& codes, const std::vector<FitTie>& ties, int probeWorkers)
        : m_objective(set.input, codes, set.points, set.held, ties), m_probeWorkers(probeWorkers) {
        m_objective.setHistoryOffset(set.historyOffset);
    }

    FitObjective& objective() { return m_objective; }
    const FitObjective& objective() const { return m_objective; }

    void evaluate(std::span<const double> x, std::span<double> f) {
        const auto started = std::chrono::steady_clock::now();
        m_objective(x, f);
        if (m_firstRunSeconds < 0)
            m_firstRunSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    }

    void probe(std::span<const std::span<const double>> sets, std::span<const std::span<double>> models) {
        if (!m_workers) {
            const int threads = m_probeWorkers >= 0 ? m_probeWorkers : probeWorkersFor(m_firstRunSeconds);
            if (threads >= 2)
                m_workers = std::make_unique<ParallelProbes>(m_objective, threads);
        }
        if (m_workers) {
            (*m_workers)(sets, models);
            return;
        }
        for (std::size_t j = 0; j < sets.size(); ++j)
            evaluate(sets[j], models[j]);
    }

    std::optional<std::string> workerFailure() const {
        return m_workers ? m_workers->firstFailure() : std::nullopt;
    }

private:
    FitObjective m_objective;
    int m_probeWorkers;
    double m_firstRunSeconds = -1; // duration of the first simulation, to decide on parallel probes
    std::unique_ptr<ParallelProbes> m_workers;
};

// The sets side by side as one curve for the fitter: set j's points follow set j − 1's, each multiplied
// by the square root of the set's weight (1 for a single curve, which then fits exactly as it always did).
class CombinedModel {
public:
    CombinedModel(const std::vector<FitSet>& sets, const std::vector<int>& codes, const std::vector<FitTie>& ties,
                  int probeWorkers) {
        std::size_t offset = 0;
        for (const FitSet& set : sets) {
            m_sets.push_back(std::make_unique<SetModel>(set, codes, ties, probeWorkers));
            m_offsets.push_back(offset);
            m_sizes.push_back(set.points.size());
            offset += set.points.size();
        }
        m_rootWeights.assign(sets.size(), 1.0);
        m_points = offset;
    }

    std::size_t points() const { return m_points; }
    std::size_t setCount() const { return m_sets.size(); }
    std::span<double> part(std::span<double> all, std::size_t j) const {
        return all.subspan(m_offsets[j], m_sizes[j]);
    }
    SetModel& set(std::size_t j) { return *m_sets[j]; }
    const SetModel& set(std::size_t j) const { return *m_sets[j]; }
    void setWeight(std::size_t j, double weight) { m_rootWeights[j] = std::sqrt(weight); }

    // The measured sets, weighted, as one curve.
    std::vector<double> measured(const std::vector<FitSet>& sets) const {
        std::vector<double> y(m_points);
        for (std::size_t j = 0; j < sets.size(); ++j)
            for (std::size_t k = 0; k < m_sizes[j]; ++k)
                y[m_offsets[j] + k] = m_rootWeights[j] * sets[j].measured[k];
        return y;
    }

    FitObjectiveFunction model() {
        return [this](std::span<const double> x, std::span<double> f) {
            for (std::size_t j = 0; j < m_sets.size(); ++j) {
                const std::span<double> mine = part(f, j);
                m_sets[j]->evaluate(x, mine);
                weigh(mine, j);
            }
        };
    }

    FitBatchObjective probes() {
        return [this](std::span<const std::span<const double>> sets, std::span<const std::span<double>> models) {
            std::vector<std::span<double>> mine(models.size());
            for (std::size_t j = 0; j < m_sets.size(); ++j) {
                for (std::size_t q = 0; q < models.size(); ++q)
                    mine[q] = part(models[q], j);
                m_sets[j]->probe(sets, mine);
                for (const std::span<double> m : mine)
                    weigh(m, j);
            }
        };
    }

private:
    void weigh(std::span<double> f, std::size_t j) const {
        if (m_rootWeights[j] != 1.0)
            for (double& v : f)
                v *= m_rootWeights[j];
    }

    std::vector<std::unique_ptr<SetModel>> m_sets;
    std::vector<std::size_t> m_offsets, m_sizes;
    std::vector<double> m_rootWeights;
    std::size_t m_points = 0;
};

std::string fitReport(const FittedQuantities& fit, const AutoFitResult& result, double oneMinusR2, double seconds) {
    std::string report = std::string("No.\tInitial value\tFitted value") + kCrLf;
    for (int k = 0; k < fit.count(); ++k)
        report += std::to_string(k + 1) + "\t" +
                  formatMask(fit.candidates[static_cast<std::size_t>(k)].initial, "0.###e-#") + "\t\t" +
                  generalForm(fit.values[static_cast<std::size_t>(k)]) + kCrLf;
    report += "1-R^2 = " + figureText(oneMinusR2) + kCrLf;
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

// Marquardt iterations until the flag stops being positive or the count passes the limit.
void iterate(FittedQuantities& fit, std::span<const double> measured, double variance, CombinedModel& model,
             AutoFitResult& result, const AutoFitIo& io, MarquardtWorkspace& workspace, int limit) {
    const FitObjectiveFunction objective = model.model();
    const FitBatchObjective probes = model.probes();
    const FitBounds bounds = fit.bounds();
    int done = 0;
    do {
        MarquardtFit(fit.values, measured, bounds, variance, objective, result.state, workspace, &probes);
        ++result.iterations;
        ++done;
        io.append("Least square = " + generalForm(result.state.leastSquare) + kCrLf);
    } while (done <= limit && result.state.flag > 0);
    result.leastSquare = result.state.leastSquare;
}

// SS/Σy², undefined (NaN) when Σy² is zero or either sum overflowed.
double oneMinusR2Of(double leastSquare, double sumY2) {
    return sumY2 > 0 && std::isfinite(sumY2) && std::isfinite(leastSquare) ? leastSquare / sumY2 : NAN;
}

bool allFinite(const std::vector<double>& values) {
    return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

double sumOfSquares(std::span<const double> a, std::span<const double> b) {
    double ss = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        ss += (a[i] - b[i]) * (a[i] - b[i]);
    return ss;
}

// The figures of each set, unweighted: the set's own simulated points of the last evaluation.
void setFigures(const std::vector<FitSet>& sets, const CombinedModel& model, AutoFitResult& result) {
    for (std::size_t j = 0; j < sets.size(); ++j) {
        const FitObjective& objective = model.set(j).objective();
        const std::vector<double>& column = objective.column();
        double ss = 0, sumY2 = 0;
        for (std::size_t k = 0; k < sets[j].points.size(); ++k) {
            const double y = sets[j].measured[k];
            const auto i = static_cast<std::size_t>(sets[j].points[k]);
            const double f = i < column.size() ? column[i] : 0.0;
            ss += (f - y) * (f - y);
            sumY2 += y * y;
        }
        FitSetFigures figures;
        figures.points = static_cast<int>(sets[j].points.size());
        figures.oneMinusR2 = oneMinusR2Of(ss, sumY2);
        figures.residualDeviation = figures.points > 0 ? std::sqrt(ss / figures.points) : 0.0;
        result.sets.push_back(figures);
        result.fittedCurves.push_back(column);
    }
}

// The uncertainties from the Jacobian at the fitted values (taken before the final simulation, so the
// objectives end at the fitted values), then the final simulation and the figures of each set.
// Every set must have been simulated at least once: otherwise its residuals were taken against the held
// curve alone, and a report of them would describe no simulation at all. Ends with the first failure.
void requireFinishedSimulations(const CombinedModel& model) {
    for (std::size_t j = 0; j < model.setCount(); ++j) {
        const FitObjective& objective = model.set(j).objective();
        if (!objective.anyFinished()) {
            const std::optional<std::string>& why = objective.firstFailure();
            throw NonFiniteFit(std::string(kNoSimulationFinishedText) + (why ? " (" + *why + ")" : ""));
        }
    }
}

void finish(FittedQuantities& fit, const std::vector<FitSet>& sets, std::span<const double> measured,
            CombinedModel& model, AutoFitResult& result, MarquardtWorkspace& workspace) {
    const auto n = static_cast<int>(model.points());
    if (fit.count() > 0) {
        const FitBatchObjective probes = model.probes();
        const auto jacobian = workspace.jacobianAt(fit.values, fit.bounds(), n, probes);
        result.uncertainties = fitUncertainties(jacobian, n, fit.count(), fit.freeFlags(), result.leastSquare);
    }
    std::vector<double> fitted(model.points());
    model.model()(fit.values, fitted);
    if (fit.count() == 0)
        result.leastSquare = sumOfSquares(fitted, measured);
    setFigures(sets, model, result);
    result.codes = fit.codes;
    result.values = fit.values;
}

void collectDiagnostics(const CombinedModel& model, AutoFitResult& result) {
    for (std::size_t j = 0; j < model.setCount(); ++j) {
        const FitObjective& objective = model.set(j).objective();
        if (!result.simulationFailure)
            result.simulationFailure = objective.firstFailure();
        if (!result.simulationFailure)
            result.simulationFailure = model.set(j).workerFailure();
        if (!result.digitalFailure)
            result.digitalFailure = objective.firstDigitalFailure();
        result.negativeConcentrations = objective.negativeConcentrations();
        result.maxIterations = std::max(result.maxIterations, objective.maxIterations());
        result.surfaceAreaFactor = objective.surfaceAreaFactor();
    }
}

void writeBack(ExperimentParams& p, const AutoFitResult& result, const std::vector<FitTie>& ties) {
    for (std::size_t k = 0; k < result.codes.size(); ++k)
        p.FittedValueText[static_cast<std::size_t>(result.codes[k])] = formatMask(result.values[k], "0.###e-#");
    for (const FitTie& tie : ties)
        p.FittedValueText[static_cast<std::size_t>(checkedIndex(tie.code, 1, kFitCodeCount - 1))] =
            formatMask(fitParameter(p.committed, tie.code), "0.###e-#");
}

std::string standardErrorText(double se, bool free) {
    if (!free)
        return "held";
    return std::isfinite(se) ? formatMask(se, "0.###e-#") : "undetermined";
}

} // namespace

std::string figureText(double value) {
    return std::isfinite(value) ? generalForm(value) : std::string("undefined");
}

FitRange fitRange(const CurveStore& store) {
    return {1, store.NPoints - 2};
}

std::string uncertaintyReport(const AutoFitResult& result, std::span<const double> lower,
                              std::span<const double> upper, std::span<const bool> free) {
    const FitUncertainties& u = result.uncertainties;
    const std::size_t p = result.values.size();
    std::string report;
    if (p > 0) {
        report += std::string("No.\tFitted value\tStandard error") + kCrLf;
        for (std::size_t k = 0; k < p; ++k) {
            const double se = k < u.standardErrors.size() ? u.standardErrors[k] : NAN;
            report += std::to_string(k + 1) + "\t" + generalForm(result.values[k]) + "\t" +
                      standardErrorText(se, free[k]) + kCrLf;
        }
        report += std::string("Correlation") + kCrLf;
        for (std::size_t k = 0; k < p; ++k) {
            report += std::to_string(k + 1);
            for (std::size_t j = 0; j <= k; ++j) {
                const double r = u.parameters > 0 ? u.correlationAt(static_cast<int>(k), static_cast<int>(j)) : NAN;
                report += "\t" + (std::isfinite(r) ? formatMask(r, "0.000") : std::string("-"));
            }
            report += kCrLf;
        }
    }
    report += std::string("Set\t1-R^2\tResidual SD") + kCrLf;
    for (std::size_t j = 0; j < result.sets.size(); ++j)
        report += std::to_string(j + 1) + "\t" + figureText(result.sets[j].oneMinusR2) + "\t" +
                  figureText(result.sets[j].residualDeviation) + kCrLf;
    for (std::size_t k = 0; k < p; ++k)
        for (std::size_t j = 0; j < k; ++j) {
            const double r = u.correlationAt(static_cast<int>(k), static_cast<int>(j));
            if (std::isfinite(r) && std::fabs(r) > kCorrelationWarning)
                report += "Warning: parameters " + std::to_string(j + 1) + " and " + std::to_string(k + 1) +
                          " are correlated (" + formatMask(r, "0.0000") + "); the data do not separate them" +
                          kCrLf;
        }
    for (std::size_t k = 0; k < p; ++k) {
        const double v = result.values[k];
        if (free[k] && (v <= lower[k] || v >= upper[k]))
            report += "Warning: parameter " + std::to_string(k + 1) + " sits on its limit " +
                      generalForm(v <= lower[k] ? lower[k] : upper[k]) +
                      "; its standard error does not bound it" + kCrLf;
    }
    return report;
}

void addHistory(FitSet& set, int cycles) {
    if (cycles <= 0 || !set.input.given)
        return;
    if (cycles > kMaxHistoryCycles)
        raise(failure_text::subscriptOutOfRange);
    const GivenProgramme& one = *set.input.given;
    const std::size_t n = one.potentials.size();
    if ((static_cast<std::size_t>(cycles) + 1) * n > static_cast<std::size_t>(kPointCapacity))
        raise(failure_text::subscriptOutOfRange);
    auto repeated = std::make_shared<GivenProgramme>();
    const double period = one.times.size() >= 2 ? one.times.back() - one.times.front() + (one.times[1] - one.times[0])
                                                : 0.0;
    for (int c = 0; c <= cycles; ++c) {
        repeated->potentials.insert(repeated->potentials.end(), one.potentials.begin(), one.potentials.end());
        for (const double t : one.times)
            repeated->times.push_back(t + (c - cycles) * period);
    }
    set.input.given = std::move(repeated);
    set.historyOffset = cycles * static_cast<int>(n);
}

AutoFitResult runAutoFit(ExperimentParams& p, CurveStore& store, bool overlap, const AutoFitIo& io,
                         const FitOptions& options) {
    const std::vector<FitTie>& ties = options.ties;
    const std::vector<int>& points = options.points;
    AutoFitResult result;
    FittedQuantities fit(p, ties);
    result.parameterCount = fit.count();
    const FitRange range = fitRange(store);

    FitSet set;
    if (points.empty()) {
        for (int i = range.first; i <= range.last; ++i)
            set.points.push_back(i);
    } else {
        set.points = points;
    }
    // The measured curve and its statistics: mean and variance over the fitted points, divided by NPoints.
    const int measuredColumn = checkedIndex(store.CurveNo, 0, kMaxColumn);
    for (const int i : set.points)
        set.measured.push_back(store.Curve.at(i, measuredColumn));
    {
        const double n = store.NPoints;
        double sum = 0;
        for (const double v : set.measured)
            sum += v;
        const double mean = sum / n;
        double squares = 0;
        for (const double v : set.measured)
            squares += (v - mean) * (v - mean);
        result.variance = squares / n;
    }
    double sumY2 = 0;
    for (const double v : set.measured)
        sumY2 += v * v;
    io.append(kCrLf);

    // The simulated curve's column, decided once; the simulations leave the store alone until the fit
    // is over, and then it shows the last of them (also when a failure ends the fit early).
    const int column = checkedIndex(PrepareFitSlot(store, overlap, p.NumCharge), 0, kMaxColumn);
    set.input = makeSimulationInput(p, store, true);
    set.held = heldColumn(store, column);
    addHistory(set, options.historyCycles);
    const std::vector<FitSet> sets{set};
    CombinedModel model(sets, fit.codes, ties, io.probeWorkers);
    MarquardtWorkspace workspace;
    workspace.setBroydenUpdates(kBroydenUpdates);
    try {
        if (fit.count() > 0)
            iterate(fit, set.measured, result.variance, model, result, io, workspace, kMaxFitIterations);
        finish(fit, sets, set.measured, model, result, workspace);
    } catch (const Failure&) {
        // A fit that never got past its first simulation has nothing to show and nothing to commit.
        if (result.state.started)
            storeFitRun(model.set(0).objective(), p, store, column);
        throw;
    }
    requireFinishedSimulations(model);
    // The final curve is checked whole (points outside a window or in preceding cycles too): a point that
    // is not finite would reach the store and every command after the fit.
    if (!allFinite(model.set(0).objective().column()) || !allFinite(fit.values))
        throw NonFiniteFit(kNonFiniteEndText);
    storeFitRun(model.set(0).objective(), p, store, column);
    collectDiagnostics(model, result);

    if (sumY2 == 0)
        raise(failure_text::divisionByZero); // 1 - R^2 of an all-zero curve
    const double oneMinusR2 = oneMinusR2Of(result.leastSquare, sumY2);
    io.append(fitReport(fit, result, oneMinusR2, io.clock() - io.startTime));
    io.append(uncertaintyReport(result, fit.lower, fit.upper, fit.freeFlags()));
    writeBack(p, result, ties);
    return result;
}

AutoFitResult runGlobalFit(ExperimentParams& p, std::vector<FitSet> sets, const AutoFitIo& io,
                           const std::vector<FitTie>& ties) {
    if (sets.empty() || static_cast<int>(sets.size()) > kMaxFitSets)
        raise(failure_text::subscriptOutOfRange);
    AutoFitResult result;
    FittedQuantities fit(p, ties);
    result.parameterCount = fit.count();
    io.append(kCrLf);

    CombinedModel model(sets, fit.codes, ties, io.probeWorkers);
    // First pass: each set scaled by its mean square, so sets of different size count alike.
    for (std::size_t j = 0; j < sets.size(); ++j) {
        double meanSquare = 0;
        for (const double v : sets[j].measured)
            meanSquare += v * v;
        meanSquare /= std::max<std::size_t>(1, sets[j].measured.size());
        if (!(meanSquare > 0))
            raise(failure_text::divisionByZero);
        model.setWeight(j, 1.0 / meanSquare);
    }
    auto statistics = [&result](const std::vector<double>& y, double& sumY2) {
        double sum = 0;
        sumY2 = 0;
        for (const double v : y) {
            sum += v;
            sumY2 += v * v;
        }
        const double mean = sum / static_cast<double>(y.size());
        double squares = 0;
        for (const double v : y)
            squares += (v - mean) * (v - mean);
        result.variance = squares / static_cast<double>(y.size());
    };
    std::vector<double> measured = model.measured(sets);
    double sumY2 = 0;
    statistics(measured, sumY2);
    MarquardtWorkspace workspace;
    workspace.setBroydenUpdates(kBroydenUpdates);
    if (fit.count() > 0) {
        iterate(fit, measured, result.variance, model, result, io, workspace, kMaxFitIterations);
        // Second pass: each set weighted by the inverse of its own residual variance at the first
        // optimum, which is the maximum-likelihood weighting when the sets differ in noise.
        std::vector<double> fitted(model.points());
        model.model()(fit.values, fitted);
        for (std::size_t j = 0; j < sets.size(); ++j) {
            const std::vector<double>& column = model.set(j).objective().column();
            double ss = 0;
            for (std::size_t k = 0; k < sets[j].points.size(); ++k) {
                const double f = column.at(static_cast<std::size_t>(sets[j].points[k]));
                ss += (f - sets[j].measured[k]) * (f - sets[j].measured[k]);
            }
            const double residualVariance = ss / static_cast<double>(sets[j].points.size());
            if (residualVariance > 0)
                model.setWeight(j, 1.0 / residualVariance);
        }
        measured = model.measured(sets);
        statistics(measured, sumY2);
        const MarquardtState first = result.state;
        result.state = MarquardtState{};
        result.state.objectiveCount = first.objectiveCount;
        result.state.marquardtCount = first.marquardtCount;
        // A fresh workspace: the model it keeps from the first pass is in the old weights.
        MarquardtWorkspace second;
        second.setBroydenUpdates(kBroydenUpdates);
        iterate(fit, measured, result.variance, model, result, io, second, kMaxFitIterations);
    }
    finish(fit, sets, measured, model, result, workspace);
    requireFinishedSimulations(model);
    collectDiagnostics(model, result);
    for (const std::vector<double>& curve : result.fittedCurves)
        if (!allFinite(curve))
            throw NonFiniteFit(kNonFiniteEndText);
    if (!allFinite(fit.values))
        throw NonFiniteFit(kNonFiniteEndText);
    for (std::size_t k = 0; k < fit.codes.size(); ++k)
        fitParameter(p.committed, fit.codes[k]) = fit.values[k];
    for (const FitTie& tie : ties)
        fitParameter(p.committed, tie.code) = fitParameter(p.committed, tie.master);

    if (sumY2 == 0)
        raise(failure_text::divisionByZero);
    io.append(fitReport(fit, result, oneMinusR2Of(result.leastSquare, sumY2), io.clock() - io.startTime));
    io.append(uncertaintyReport(result, fit.lower, fit.upper, fit.freeFlags()));
    writeBack(p, result, ties);
    return result;
}

AutoFitResult compareSets(std::vector<FitSet> sets, const std::vector<FitTie>& ties) {
    if (sets.empty() || static_cast<int>(sets.size()) > kMaxFitSets)
        raise(failure_text::subscriptOutOfRange);
    AutoFitResult result;
    CombinedModel model(sets, {}, ties, 0);
    std::vector<double> fitted(model.points());
    model.model()(std::span<const double>(), fitted);
    setFigures(sets, model, result);
    collectDiagnostics(model, result);
    return result;
}

} // namespace tessaly
