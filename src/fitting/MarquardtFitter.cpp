#include "fitting/MarquardtFitter.h"

#include "base/Checked.h"

#include <algorithm>
#include <cmath>

namespace tessaly {

namespace {

// Box constraint with the lower limit winning when the limits cross (the fit does not check them against
// each other), so std::clamp, whose precondition is lo ≤ hi, is not used.
double clampToBounds(double value, double lower, double upper) {
    return std::max(lower, std::min(upper, value));
}

// Solves W·x = b in place on the augmented rows [W | b] (p rows of `stride` values, b in column p) by
// Gauss–Jordan elimination without row exchanges. The damped, scaled normal matrix is symmetric with a
// diagonal ≥ 1, so pivoting is not needed; a pivot that still comes out tiny (near-collinear columns) is
// floored at +1e-15 instead of being divided by. On return column p holds x.
void solveGaussJordan(double* rows, int p, std::size_t stride) {
    for (int c = 0; c < p; ++c) {
        double* pivotRow = rows + static_cast<std::size_t>(c) * stride;
        double pivot = pivotRow[c];
        if (std::abs(pivot) < kPivotFloor)
            pivot = kPivotFloor;
        const double inverse = 1.0 / pivot;
        // Columns left of c are already zero in the pivot row.
        for (int j = c; j <= p; ++j)
            pivotRow[j] *= inverse;
        for (int r = 0; r < p; ++r) {
            if (r == c)
                continue;
            double* row = rows + static_cast<std::size_t>(r) * stride;
            const double factor = row[c];
            if (factor == 0.0)
                continue;
            for (int j = c; j <= p; ++j)
                row[j] -= factor * pivotRow[j];
        }
    }
}

double sumOfSquaredResiduals(std::span<const double> model, std::span<const double> measured) {
    double sum = 0.0;
    for (std::size_t i = 0; i < measured.size(); ++i) {
        const double residual = model[i] - measured[i];
        sum += residual * residual;
    }
    return sum;
}

void checkSizes(std::size_t p, std::size_t n, const FitBounds& bounds) {
    checkedIndex(static_cast<long long>(p), 1, kMaxFitParameters);
    checkedIndex(static_cast<long long>(n), 1, kMaxFitPoints);
    if (bounds.lower.size() < p || bounds.upper.size() < p || bounds.free.size() < p)
        raise(failure_text::subscriptOutOfRange);
}

} // namespace

MarquardtWorkspace::MarquardtWorkspace() {
    // The parameter-sized arrays are small: take their full capacity now.
    const auto capacity = static_cast<std::size_t>(kMaxFitParameters);
    m_normal.reserve(capacity * (capacity + 1));
    m_damped.reserve(capacity * (capacity + 1));
    m_scale.reserve(capacity);
    m_step.reserve(capacity);
    m_trial.reserve(capacity);
    m_currentAt.reserve(capacity);
}

void MarquardtWorkspace::prepare(int parameterCount, int pointCount) {
    if (parameterCount == m_params && pointCount == m_points)
        return;
    const auto p = static_cast<std::size_t>(parameterCount);
    const auto n = static_cast<std::size_t>(pointCount);
    m_params = parameterCount;
    m_points = pointCount;
    m_stride = p + 1;
    // resize() reallocates only when the problem outgrows what was taken before.
    m_normal.resize(p * m_stride);
    m_damped.resize(p * m_stride);
    m_scale.resize(p);
    m_step.resize(p);
    m_trial.resize(p);
    m_currentAt.resize(p);
    m_jacobian.resize(p * n);
    m_residual.resize(n);
    m_model.resize(n);
    m_current.resize(n);
    m_currentValid = false;
}

double ComputeSumOfSquares(std::span<const double> params, std::span<const double> step,
                           const FitBounds& bounds, std::span<const double> measured,
                           const FitObjectiveFunction& objective, MarquardtState& state,
                           MarquardtWorkspace& workspace) {
    checkSizes(params.size(), measured.size(), bounds);
    if (step.size() < params.size())
        raise(failure_text::subscriptOutOfRange);
    workspace.prepare(static_cast<int>(params.size()), static_cast<int>(measured.size()));
    for (std::size_t k = 0; k < params.size(); ++k)
        workspace.m_trial[k] = clampToBounds(params[k] + step[k], bounds.lower[k], bounds.upper[k]);
    const std::span<double> model(workspace.m_model);
    objective(std::span<const double>(workspace.m_trial), model);
    ++state.objectiveCount;
    return sumOfSquaredResiduals(model, measured);
}

void MarquardtWorkspace::keepTrialModel(std::span<const double> at) {
    std::swap(m_model, m_current);
    std::copy(at.begin(), at.end(), m_currentAt.begin());
    m_currentValid = true;
}

// Central differences (f(P + δ_k) − f(P − δ_k)) / 2δ_k with δ_k = 1 % of P_k, or of the range when
// P_k = 0. The probes run unclamped (a parameter at a bound is probed up to one step beyond it) and are
// not counted as objective evaluations. A parameter held fixed is not probed: its row and column are
// discarded later, so the result is the same and 2 simulations are saved. A zero step (P = 0 with an
// empty range) leaves a zero column, which freezes the parameter.
void MarquardtWorkspace::differentiate(std::span<const double> params, const FitBounds& bounds,
                                       const FitBatchObjective& probes) {
    const auto p = static_cast<std::size_t>(m_params);
    const auto n = static_cast<std::size_t>(m_points);
    auto probeStep = [&](std::size_t k) {
        const double value = params[k];
        const double delta = value != 0.0 ? kDerivativeStepFraction * value
                                          : kDerivativeStepFraction * (bounds.upper[k] - bounds.lower[k]);
        return bounds.free[k] ? delta : 0.0;
    };
    // The plus probe of parameter k writes straight into its Jacobian column, the minus probe beside it.
    m_probeSets.resize(2 * p * p);
    m_minusModels.resize(p * n);
    m_probeParams.clear();
    m_probeModels.clear();
    m_probed.clear();
    for (std::size_t k = 0; k < p; ++k) {
        const double delta = probeStep(k);
        if (delta == 0.0) {
            std::fill(jacobianColumn(static_cast<int>(k)), jacobianColumn(static_cast<int>(k)) + n, 0.0);
            continue;
        }
        m_probed.push_back(k);
        for (int sign = 0; sign < 2; ++sign) {
            double* set = &m_probeSets[(2 * k + static_cast<std::size_t>(sign)) * p];
            std::copy(params.begin(), params.end(), set);
            set[k] = sign == 0 ? params[k] + delta : params[k] - delta;
            m_probeParams.emplace_back(set, p);
        }
        m_probeModels.emplace_back(jacobianColumn(static_cast<int>(k)), n);
        m_probeModels.emplace_back(&m_minusModels[k * n], n);
    }
    probes(m_probeParams, m_probeModels);
    for (const std::size_t k : m_probed) {
        double* column = jacobianColumn(static_cast<int>(k));
        const double* minus = &m_minusModels[k * n];
        const double inverseWidth = 1.0 / (2.0 * probeStep(k));
        for (std::size_t i = 0; i < n; ++i)
            column[i] = (column[i] - minus[i]) * inverseWidth;
    }
}

void MarquardtWorkspace::rememberStepStart(std::span<const double> params) {
    m_previousAt.assign(params.begin(), params.end());
    m_previousModel.assign(m_current.begin(), m_current.end());
}

// J ← J + (Δf − J·Δp)·(H⁻²Δp)ᵀ / (Δpᵀ·H⁻²·Δp), H = diag of the derivative steps at the previous
// parameters: the least change of J, measured in step-scaled variables, that reproduces the observed
// change of the model along the step (the secant condition J·Δp = Δf).
void MarquardtWorkspace::broydenUpdate(std::span<const double> params, const FitBounds& bounds) {
    const auto p = static_cast<std::size_t>(m_params);
    const auto n = static_cast<std::size_t>(m_points);
    m_step.assign(p, 0.0); // reused: the scaled direction H⁻²Δp
    double norm = 0.0;
    for (std::size_t k = 0; k < p; ++k) {
        const double at = m_previousAt[k];
        const double h = at != 0.0 ? kDerivativeStepFraction * at
                                   : kDerivativeStepFraction * (bounds.upper[k] - bounds.lower[k]);
        const double dp = params[k] - at;
        if (h == 0.0 || dp == 0.0)
            continue;
        m_step[k] = dp / (h * h);
        norm += dp * dp / (h * h);
    }
    if (!(norm > 0.0) || !std::isfinite(norm))
        return;
    for (std::size_t i = 0; i < n; ++i) {
        double predicted = 0.0;
        for (std::size_t k = 0; k < p; ++k)
            predicted += m_jacobian[k * n + i] * (params[k] - m_previousAt[k]);
        const double residual = (m_current[i] - m_previousModel[i]) - predicted;
        const double factor = residual / norm;
        for (std::size_t k = 0; k < p; ++k)
            m_jacobian[k * n + i] += factor * m_step[k];
    }
    std::fill(m_step.begin(), m_step.end(), 0.0);
}

std::span<const double> MarquardtWorkspace::jacobianAt(std::span<const double> params, const FitBounds& bounds,
                                                       int points, const FitBatchObjective& probes) {
    checkSizes(params.size(), static_cast<std::size_t>(points), bounds);
    prepare(static_cast<int>(params.size()), points);
    differentiate(params, bounds, probes);
    return {m_jacobian.data(), params.size() * static_cast<std::size_t>(points)};
}

// Normal equations A = JᵀJ, g = Jᵀ(y − f), scaled to a unit diagonal. A parameter not free, or whose
// curve does not respond to it (A_kk < 1e-20), is frozen for this iteration: a unit row and column and
// no gradient, so its step is exactly zero and the matrix stays regular.
void MarquardtWorkspace::formNormalEquations(std::span<const double> measured, std::span<const bool> free) {
    const int p = m_params;
    const auto n = static_cast<std::size_t>(m_points);
    const std::span<double> residual(m_residual);
    for (std::size_t i = 0; i < n; ++i)
        residual[i] = measured[i] - m_current[i];
    const auto gradientColumn = static_cast<std::size_t>(p);
    for (int k = 0; k < p; ++k) {
        const double* column = jacobianColumn(k);
        double diagonal = 0.0;
        for (std::size_t i = 0; i < n; ++i)
            diagonal += column[i] * column[i];
        // Frozen is marked by a zero scale until the scaling step. A column that is not finite (a probe
        // that overflowed) says nothing about the slope: frozen too.
        m_scale[k] = free[k] && std::isfinite(diagonal) && diagonal >= kFrozenDiagonal ? 1.0 : 0.0;
        normalRow(k)[k] = diagonal;
    }
    for (int k = 0; k < p; ++k) {
        double* row = normalRow(k);
        const bool frozen = m_scale[k] == 0.0;
        const double* columnK = jacobianColumn(k);
        for (int j = 0; j < k; ++j) {
            double sum = 0.0;
            if (!frozen && m_scale[j] != 0.0) {
                const double* columnJ = jacobianColumn(j);
                for (std::size_t i = 0; i < n; ++i)
                    sum += columnK[i] * columnJ[i];
            }
            row[j] = sum;
            normalRow(j)[k] = sum;
        }
        double gradient = 0.0;
        if (!frozen) {
            for (std::size_t i = 0; i < n; ++i)
                gradient += columnK[i] * residual[i];
        } else {
            row[k] = 1.0;
        }
        row[gradientColumn] = gradient;
    }

    // Scaling to a unit diagonal, s_k = √A_kk (Marquardt 1963): λ then damps every parameter alike
    // whatever its units.
    for (int k = 0; k < p; ++k)
        m_scale[k] = std::sqrt(normalRow(k)[k]);
    for (int k = 0; k < p; ++k) {
        double* row = normalRow(k);
        for (int j = 0; j < p; ++j)
            row[j] /= m_scale[k] * m_scale[j];
        row[k] = 1.0;
        row[gradientColumn] /= m_scale[k];
    }
}

// SS at the parameters as they stand, and their model kept; a least square that is not finite refuses the
// start with the state as it was.
void MarquardtWorkspace::evaluateAt(std::span<const double> params, const FitBounds& bounds,
                                    std::span<const double> measured, const FitObjectiveFunction& objective,
                                    MarquardtState& state) {
    const MarquardtState before = state;
    std::fill(m_step.begin(), m_step.end(), 0.0);
    const double leastSquare = ComputeSumOfSquares(params, m_step, bounds, measured, objective, state, *this);
    if (!std::isfinite(leastSquare)) {
        state = before;
        throw NonFiniteFit(kNonFiniteStartText);
    }
    state.leastSquare = leastSquare;
    keepTrialModel(params);
    m_broydenReady = false; // a secant of an earlier step does not lead here
}

void MarquardtWorkspace::fullJacobian(std::span<const double> params, const FitBounds& bounds,
                                      const FitObjectiveFunction& objective, const FitBatchObjective* probeBatch) {
    if (probeBatch) {
        differentiate(params, bounds, *probeBatch);
    } else {
        differentiate(params, bounds,
                      [&objective](std::span<const std::span<const double>> sets,
                                   std::span<const std::span<double>> models) {
                          for (std::size_t j = 0; j < sets.size(); ++j)
                              objective(sets[j], models[j]);
                      });
    }
    m_broydenAge = 0;
}

MarquardtOutcome MarquardtFit(std::span<double> params, std::span<const double> measured,
                              const FitBounds& bounds, double variance, const FitObjectiveFunction& objective,
                              MarquardtState& state, MarquardtWorkspace& ws,
                              const FitBatchObjective* probeBatch) {
    checkSizes(params.size(), measured.size(), bounds);
    const int p = static_cast<int>(params.size());
    ws.prepare(p, static_cast<int>(measured.size()));
    // Data whose variance overflowed set no tolerance: only an exact fit would end the fit by it.
    const double tolerance = std::isfinite(variance) ? kLeastSquareTolerance * variance : 0.0;
    auto finish = [&state](MarquardtOutcome outcome) {
        state.flag = static_cast<int>(outcome);
        return outcome;
    };

    // 1. First evaluation of the least square; a start that already fits to the data's noise floor ends the
    // fit before any derivative is taken.
    if (!state.started) {
        ws.evaluateAt(params, bounds, measured, objective, state);
        if (state.leastSquare < tolerance)
            return finish(MarquardtOutcome::LeastSquareReached);
        state.started = true;
    }
    // The gradient needs the model at the current parameters, which the previous call leaves behind. A
    // caller that changed the parameters between calls, or brings a fresh workspace to a running fit, gets
    // one extra (counted) plain evaluation here; the fit command never does either.
    if (!ws.m_currentValid || !std::equal(params.begin(), params.end(), ws.m_currentAt.begin()))
        ws.evaluateAt(params, bounds, measured, objective, state);

    // 2. Jacobian: all probes in one batch, which the caller may spread over workers, or one after the
    // other through the objective; the probes and the differencing are the same either way. Between full
    // Jacobians a Broyden update may stand in for the probes.
    const auto fullJacobian = [&] { ws.fullJacobian(params, bounds, objective, probeBatch); };
    bool updated = ws.m_broydenReady && ws.m_broydenAge < ws.m_broydenLimit;
    if (updated) {
        ws.broydenUpdate(params, bounds);
        ++ws.m_broydenAge;
    } else {
        fullJacobian();
    }
    ws.m_broydenReady = false;

    // 3. Normal equations, scaled.
    ws.formNormalEquations(measured, bounds.free);

    // 4. Damping trials on the one Jacobian. The first trial of each call is the undamped Gauss–Newton step;
    // λ enters only after a failure, and grows by ν only from the second failure of this call on, so the λ
    // carried in (already divided by 10 after the previous call) gets one try before it is raised.
    const auto gradientColumn = static_cast<std::size_t>(p);
    const double ssOld = state.leastSquare;
    double ssNew = ssOld;
    std::copy(ws.m_normal.begin(), ws.m_normal.end(), ws.m_damped.begin());
    int failures = 0;
    bool finite = true;
    for (;;) {
        solveGaussJordan(ws.m_damped.data(), p, ws.m_stride);
        for (int k = 0; k < p; ++k)
            ws.m_step[k] = ws.dampedRow(k)[gradientColumn] / ws.m_scale[k];
        ssNew = ComputeSumOfSquares(params, ws.m_step, bounds, measured, objective, state, ws);
        // A sum of squares that is not finite means a simulated point that is not: never a result.
        finite = std::isfinite(ssNew);
        if (finite && ssNew < tolerance) {
            // Converged onto the noise floor: the trial is the result. λ is left as it is (no /10), since
            // the fit ends here.
            std::copy(ws.m_trial.begin(), ws.m_trial.end(), params.begin());
            state.leastSquare = ssNew;
            ws.keepTrialModel(params);
            return finish(MarquardtOutcome::LeastSquareReached);
        }
        // With SS_old = 0 nothing can improve; take the largest increase rather than divide by zero.
        // A trial that is not finite is as bad as a trial can be: the largest increase.
        const double nu = ssOld > 0.0 && finite ? std::max(2.0, std::min(10.0, ssNew / ssOld)) : 10.0;
        if (finite && ssNew < ssOld)
            break;
        if (updated) {
            // The updated Jacobian led nowhere: the trials start again on a true one, λ untouched.
            fullJacobian();
            ws.formNormalEquations(measured, bounds.free);
            std::copy(ws.m_normal.begin(), ws.m_normal.end(), ws.m_damped.begin());
            updated = false;
            continue;
        }
        ++failures;
        if (failures >= 2)
            state.lambda *= nu;
        // The first damped trial ever starts from λ = 1e-4. A λ that the repeated /10 has run down to
        // zero would never grow again; it restarts there too.
        if (state.marquardtCount == 0 || !(state.lambda > 0.0))
            state.lambda = kInitialLambda;
        std::copy(ws.m_normal.begin(), ws.m_normal.end(), ws.m_damped.begin());
        for (int k = 0; k < p; ++k)
            ws.dampedRow(k)[k] = 1.0 + state.lambda;
        ++state.marquardtCount;
        if (state.lambda > kLambdaLimit)
            break; // no trial lowered SS: the last one is taken as the result (and flags −2 below)
    }

    // 5. Result.
    if (state.marquardtCount != 0)
        state.lambda /= 10.0;
    if (!finite) {
        // No finite trial lowered SS before λ passed its limit: the parameters and their model stay.
        return finish(MarquardtOutcome::DecreaseTooSmall);
    }
    const double sum = ssNew + ssOld;
    const double relativeDecrease = sum > 0.0 ? (ssOld - ssNew) / sum : 0.0;
    const bool lowered = ssNew < ssOld;
    if (lowered && ws.m_broydenLimit > 0)
        ws.rememberStepStart(params);
    std::copy(ws.m_trial.begin(), ws.m_trial.end(), params.begin());
    state.leastSquare = ssNew;
    ws.keepTrialModel(params);
    if (relativeDecrease < kRelativeDecreaseTolerance) {
        // A small decrease ends the fit only when the step was taken on a true Jacobian.
        if (updated && lowered)
            return finish(MarquardtOutcome::Continue);
        return finish(MarquardtOutcome::DecreaseTooSmall);
    }
    ws.m_broydenReady = lowered && ws.m_broydenLimit > 0;
    return finish(MarquardtOutcome::Continue);
}

} // namespace tessaly
