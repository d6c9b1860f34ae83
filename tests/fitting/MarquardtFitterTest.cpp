// Behaviour of one Levenberg–Marquardt iteration: the damped Newton step in one dimension, the
// derivative steps, bounds and frozen parameters, the stopping flags, and a noise-free exponential decay.

#include "fitting/MarquardtFitter.h"

#include "FitDriver.h"
#include "base/Checked.h"
#include "base/Failure.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace tessaly::test {
namespace {

// Wraps a model and records the parameter vector of every evaluation, derivative probes included.
class RecordingObjective {
public:
    using Model = std::function<void(std::span<const double>, std::span<double>)>;
    explicit RecordingObjective(Model model) : m_model(std::move(model)) {}

    FitObjectiveFunction function() {
        return [this](std::span<const double> params, std::span<double> f) {
            calls.emplace_back(params.begin(), params.end());
            m_model(params, f);
        };
    }

    // The last `count` evaluations.
    std::vector<std::vector<double>> last(int count) const { return {calls.end() - count, calls.end()}; }

    // The counted evaluations of one call recorded from an empty list, given the counter before and after:
    // the start evaluation of a first call, then (after the uncounted probes) the damping trials.
    std::vector<std::vector<double>> counted(int before, int after, bool firstCall) const {
        std::vector<std::vector<double>> result;
        int trials = after - before;
        if (firstCall) {
            result.push_back(calls.front());
            --trials;
        }
        for (auto& trial : last(trials))
            result.push_back(trial);
        return result;
    }

    std::vector<std::vector<double>> calls;

private:
    Model m_model;
};

// A p-vector of free flags.
std::array<bool, kMaxFitParameters> allFree() {
    std::array<bool, kMaxFitParameters> free{};
    free.fill(true);
    return free;
}

FitBounds boundsOf(const std::vector<double>& lower, const std::vector<double>& upper,
                   const std::array<bool, kMaxFitParameters>& free) {
    return {lower, upper, std::span<const bool>(free.data(), lower.size())};
}

// One point, y = 3, and a model that follows its parameter up to 2.4 and jumps to 10 beyond, so a full
// Newton step overshoots and only a damped one is accepted. The central difference at b gives f' = 1,
// g = y − f = 3 − b, and with one parameter the scaled normal equation is (1 + λ)·δ* = g/s, s = 1: the
// trial is b + (3 − b)/(1 + λ).
TEST(MarquardtFitOneParameter, IsADampedNewtonStep) {
    RecordingObjective recorder(
        [](std::span<const double> b, std::span<double> f) { f[0] = b[0] < 2.4 ? b[0] : 10.0; });
    const FitObjectiveFunction objective = recorder.function();
    const std::vector<double> y{3.0};
    const std::vector<double> lower{0.0};
    const std::vector<double> upper{100.0};
    const auto free = allFree();
    const FitBounds bounds = boundsOf(lower, upper, free);
    std::vector<double> b{1.0};
    MarquardtState state;
    MarquardtWorkspace workspace;

    // First call from b = 1 (SS = 4): the Newton step to 3 fails (SS 49); λ starts at 1e-4 and stays for
    // the second trial, then grows by ν = min(10, 49/4) = 10 per failure until 1 + λ = 2 halves the step
    // to b = 2 (SS = 1 < 4), accepted. λ is divided by 10 afterwards.
    EXPECT_EQ(MarquardtFit(b, y, bounds, 1.0, objective, state, workspace), MarquardtOutcome::Continue);
    const std::vector<double> firstTrials{
        3.0, 1.0 + 2.0 / 1.0001, 1.0 + 2.0 / 1.001, 1.0 + 2.0 / 1.01, 1.0 + 2.0 / 1.1, 2.0};
    ASSERT_EQ(recorder.calls.size(), 1u + 2u + firstTrials.size()); // start, two probes, trials
    EXPECT_DOUBLE_EQ(recorder.calls[1][0], 1.01);
    EXPECT_DOUBLE_EQ(recorder.calls[2][0], 0.99);
    const auto trials1 = recorder.last(static_cast<int>(firstTrials.size()));
    for (std::size_t t = 0; t < firstTrials.size(); ++t)
        EXPECT_NEAR(trials1[t][0], firstTrials[t], 1e-12) << "trial " << t;
    EXPECT_NEAR(b[0], 2.0, 1e-12);
    EXPECT_NEAR(state.leastSquare, 1.0, 1e-12);
    EXPECT_NEAR(state.lambda, 0.1, 1e-15);
    EXPECT_EQ(state.marquardtCount, 5);
    EXPECT_EQ(state.objectiveCount, 7);

    // Second call from b = 2 (SS = 1): the Newton step to 3 fails; the carried λ = 0.1 gets one trial
    // (b = 2 + 1/1.1), then λ = 1 (b = 2.5, beyond the jump), then λ = 10 gives b = 2 + 1/11 with
    // SS = (10/11)², accepted; r = (1 − 100/121)/(1 + 100/121) = 21/221 keeps the fit going.
    recorder.calls.clear();
    EXPECT_EQ(MarquardtFit(b, y, bounds, 1.0, objective, state, workspace), MarquardtOutcome::Continue);
    const std::vector<double> secondTrials{3.0, 2.0 + 1.0 / 1.1, 2.5, 2.0 + 1.0 / 11.0};
    ASSERT_EQ(recorder.calls.size(), 2u + secondTrials.size());
    const auto trials2 = recorder.last(static_cast<int>(secondTrials.size()));
    for (std::size_t t = 0; t < secondTrials.size(); ++t)
        EXPECT_NEAR(trials2[t][0], secondTrials[t], 1e-12) << "trial " << t;
    EXPECT_NEAR(state.leastSquare, 100.0 / 121.0, 1e-12);
    EXPECT_NEAR(state.lambda, 1.0, 1e-12);
    EXPECT_EQ(state.marquardtCount, 8);
    EXPECT_EQ(state.objectiveCount, 11);
}

// A straight line through the origin is fitted in one undamped step: b = Σxy/Σx².
TEST(MarquardtFitOneParameter, LinearModelTakesTheGaussNewtonStepAtOnce) {
    const std::vector<double> x{1.0, 2.0, 3.0, 4.0};
    const std::vector<double> y{2.1, 3.9, 6.2, 7.8};
    const FitObjectiveFunction objective = [&](std::span<const double> b, std::span<double> f) {
        for (std::size_t i = 0; i < x.size(); ++i)
            f[i] = b[0] * x[i];
    };
    const std::vector<double> lower{-10.0};
    const std::vector<double> upper{10.0};
    const auto free = allFree();
    std::vector<double> b{0.5};
    MarquardtState state;
    MarquardtWorkspace workspace;
    EXPECT_EQ(MarquardtFit(b, y, boundsOf(lower, upper, free), 1.0, objective, state, workspace),
              MarquardtOutcome::Continue);
    EXPECT_NEAR(b[0], (2.1 + 7.8 + 18.6 + 31.2) / 30.0, 1e-12);
    EXPECT_EQ(state.marquardtCount, 0);
    EXPECT_EQ(state.lambda, 0.0);
}

struct ProbeCase {
    double value; // P
    double lower; // Pmin
    double upper; // Pmax
    double step;  // expected derivative step
};

class DerivativeStep : public testing::TestWithParam<ProbeCase> {};

// The probes sit at P ± 1 % of P, or ± 1 % of the range for P = 0, and are not clamped to the bounds.
TEST_P(DerivativeStep, ProbesAtPlusAndMinusTheStep) {
    const ProbeCase c = GetParam();
    RecordingObjective recorder([](std::span<const double> b, std::span<double> f) { f[0] = 1.0 + b[0]; });
    const FitObjectiveFunction objective = recorder.function();
    const std::vector<double> y{5.0};
    const std::vector<double> lower{c.lower};
    const std::vector<double> upper{c.upper};
    const auto free = allFree();
    std::vector<double> b{c.value};
    MarquardtState state;
    MarquardtWorkspace workspace;
    MarquardtFit(b, y, boundsOf(lower, upper, free), 1.0, objective, state, workspace);
    ASSERT_GE(recorder.calls.size(), 3u);
    EXPECT_DOUBLE_EQ(recorder.calls[1][0], c.value + c.step);
    EXPECT_DOUBLE_EQ(recorder.calls[2][0], c.value - c.step);
    EXPECT_EQ(state.objectiveCount, static_cast<int>(recorder.calls.size()) - 2) << "probes are not counted";
}

INSTANTIATE_TEST_SUITE_P(Steps, DerivativeStep,
                         testing::Values(ProbeCase{0.0, -2.0, 6.0, 0.08},   // zero: 1 % of the range
                                         ProbeCase{0.0, 0.0, 1e-3, 1e-5},   // zero at the lower bound
                                         ProbeCase{5.0, -2.0, 6.0, 0.05},   // 1 % of the value
                                         ProbeCase{-3.0, -4.0, 6.0, -0.03}, // negative value
                                         ProbeCase{6.0, -2.0, 6.0, 0.06})); // at the bound: probe beyond

// Pmin = Pmax pins a parameter: every trial carries the bound, whether the pinned value is non-zero
// (probed, then clamped back) or zero (a zero step, so its derivative is dropped rather than 0/0).
TEST(MarquardtFitBounds, EqualLimitsPinAParameter) {
    for (const double pinned : {0.5, 0.0}) {
        const std::vector<double> x{0.0, 1.0, 2.0, 3.0, 4.0};
        std::vector<double> y;
        for (double xi : x)
            y.push_back(1.5 + 0.75 * xi + 0.2 * xi * xi);
        RecordingObjective recorder([&](std::span<const double> b, std::span<double> f) {
            for (std::size_t i = 0; i < x.size(); ++i)
                f[i] = b[0] + b[1] * x[i] + 0.2 * x[i] * x[i];
        });
        const FitObjectiveFunction objective = recorder.function();
        const std::vector<double> lower{-10.0, pinned};
        const std::vector<double> upper{10.0, pinned};
        const auto free = allFree();
        const FitBounds bounds = boundsOf(lower, upper, free);
        std::vector<double> b{1.0, pinned};
        MarquardtState state;
        MarquardtWorkspace workspace;
        FloatingPointGuard::clear();
        MarquardtOutcome outcome = MarquardtOutcome::Continue;
        for (int call = 0; call < 51 && outcome == MarquardtOutcome::Continue; ++call) {
            recorder.calls.clear();
            const int before = state.objectiveCount;
            const bool firstCall = !state.started;
            outcome = MarquardtFit(b, y, bounds, 1.0, objective, state, workspace);
            for (const auto& trial : recorder.counted(before, state.objectiveCount, firstCall))
                EXPECT_EQ(trial[1], pinned);
        }
        EXPECT_NO_THROW(FloatingPointGuard::check()) << "pinned at " << pinned;
        EXPECT_EQ(b[1], pinned);
        EXPECT_EQ(outcome, MarquardtOutcome::DecreaseTooSmall);
        if (pinned == 0.0) {
            // No derivative step, so the slope drops out of the normal equations and the intercept
            // becomes the best one for the pinned slope: mean(y − 0.2x²) = 1.5 + 0.75·mean(x) = 3.
            EXPECT_NEAR(b[0], 3.0, 1e-9);
        } else {
            // Probed and solved for jointly, the slope asks for its free value 0.75 and only its trial is
            // clamped: the undamped step puts the intercept at the free straight-line value 1.5, and the
            // damped steps that would move it on toward the constrained optimum 2.0 lower SS too little to
            // go on.
            EXPECT_GE(b[0], 1.5);
            EXPECT_NEAR(b[0], 1.5, 1e-3);
        }
    }
}

// A decay whose time constant is held inside [0.2, 0.5] s while the data have 0.8 s: trials never leave
// the box, probes leave it by at most one step, and the fit ends on the bound.
TEST(MarquardtFitBounds, TrialsNeverLeaveTheBox) {
    std::vector<double> t;
    std::vector<double> y;
    for (int i = 0; i < 200; ++i) {
        t.push_back(0.02 * i);
        y.push_back(2.5 * std::exp(-t.back() / 0.8) + 0.1);
    }
    RecordingObjective recorder([&](std::span<const double> b, std::span<double> f) {
        for (std::size_t i = 0; i < t.size(); ++i)
            f[i] = b[0] * std::exp(-t[i] / b[1]) + b[2];
    });
    const FitObjectiveFunction objective = recorder.function();
    const std::vector<double> lower{0.0, 0.2, -1.0};
    const std::vector<double> upper{3.0, 0.5, 1.0};
    const auto free = allFree();
    std::vector<double> b{1.0, 0.3, 0.0};
    MarquardtState state;
    MarquardtWorkspace workspace;
    const FitBounds bounds = boundsOf(lower, upper, free);
    const double variance = 1.0;
    for (int call = 0; call < 51; ++call) {
        recorder.calls.clear();
        const int before = state.objectiveCount;
        const bool firstCall = !state.started;
        const MarquardtOutcome outcome = MarquardtFit(b, y, bounds, variance, objective, state, workspace);
        for (const auto& trial : recorder.counted(before, state.objectiveCount, firstCall))
            for (std::size_t k = 0; k < 3; ++k) {
                EXPECT_GE(trial[k], lower[k]);
                EXPECT_LE(trial[k], upper[k]);
            }
        for (const auto& probe : recorder.calls)
            for (std::size_t k = 0; k < 3; ++k) {
                const double step =
                    0.01 * std::max({std::abs(lower[k]), std::abs(upper[k]), upper[k] - lower[k]});
                EXPECT_GE(probe[k], lower[k] - step);
                EXPECT_LE(probe[k], upper[k] + step);
            }
        if (outcome != MarquardtOutcome::Continue)
            break;
    }
    EXPECT_EQ(b[1], 0.5);
}

// A start that already reproduces the data (SS below 1e-10 × variance) ends with flag −1 after a single
// evaluation: no derivative is taken, nothing is counted as started.
TEST(MarquardtFitFlags, PerfectStartStopsWithoutDerivatives) {
    int evaluations = 0;
    const std::vector<double> x{0.0, 1.0, 2.0, 3.0};
    std::vector<double> y;
    for (double xi : x)
        y.push_back(4.0 * std::exp(-0.5 * xi));
    const FitObjectiveFunction objective = [&](std::span<const double> b, std::span<double> f) {
        ++evaluations;
        for (std::size_t i = 0; i < x.size(); ++i)
            f[i] = b[0] * std::exp(-b[1] * x[i]);
    };
    const std::vector<double> lower{0.0, 0.0};
    const std::vector<double> upper{10.0, 10.0};
    const auto free = allFree();
    std::vector<double> b{4.0, 0.5};
    MarquardtState state;
    MarquardtWorkspace workspace;
    EXPECT_EQ(MarquardtFit(b, y, boundsOf(lower, upper, free), 1.0, objective, state, workspace),
              MarquardtOutcome::LeastSquareReached);
    EXPECT_EQ(evaluations, 1);
    EXPECT_EQ(state.objectiveCount, 1);
    EXPECT_EQ(state.flag, -1);
    EXPECT_FALSE(state.started);
    EXPECT_EQ(b[0], 4.0);
    EXPECT_EQ(b[1], 0.5);
}

// f(b) = 1 + |b − 1| + (b − 1)/2 against y = 0 has its minimum at the kink b = 1, where the central
// difference still sees a slope of 1/2: every trial moves off the kink and raises SS. Once λ passes 1000
// the last trial is returned with its larger SS and flag −2.
TEST(MarquardtFitFlags, NoImprovingTrialEndsWithTheLastTrialAndFlagMinusTwo) {
    const FitObjectiveFunction objective = [](std::span<const double> b, std::span<double> f) {
        f[0] = 1.0 + std::abs(b[0] - 1.0) + 0.5 * (b[0] - 1.0);
    };
    const std::vector<double> y{0.0};
    const std::vector<double> lower{-10.0};
    const std::vector<double> upper{10.0};
    const auto free = allFree();
    std::vector<double> b{1.0};
    MarquardtState state;
    MarquardtWorkspace workspace;
    EXPECT_EQ(MarquardtFit(b, y, boundsOf(lower, upper, free), 1.0, objective, state, workspace),
              MarquardtOutcome::DecreaseTooSmall);
    EXPECT_GT(state.lambda, 100.0);
    EXPECT_LE(state.lambda, 1000.0);
    EXPECT_LT(b[0], 1.0);
    EXPECT_GT(state.leastSquare, 1.0);
    // From 1e-4 past 1000 with ν ≤ 10 per failure (none on the call's first failure): at least 9 trials.
    EXPECT_GE(state.marquardtCount, 9);
}

// A parameter with Free = false keeps its value, and its probes are skipped.
TEST(MarquardtFitFlags, HeldParameterStaysAndIsNotProbed) {
    const std::vector<double> x{0.0, 1.0, 2.0, 3.0};
    const std::vector<double> y{1.0, 3.0, 5.0, 7.0};
    RecordingObjective recorder([&](std::span<const double> b, std::span<double> f) {
        for (std::size_t i = 0; i < x.size(); ++i)
            f[i] = b[0] + b[1] * x[i];
    });
    const FitObjectiveFunction objective = recorder.function();
    const std::vector<double> lower{-10.0, -10.0};
    const std::vector<double> upper{10.0, 10.0};
    auto free = allFree();
    free[1] = false;
    std::vector<double> b{0.0, 1.5};
    MarquardtState state;
    MarquardtWorkspace workspace;
    MarquardtFit(b, y, boundsOf(lower, upper, free), 1.0, objective, state, workspace);
    EXPECT_EQ(b[1], 1.5);
    EXPECT_EQ(static_cast<int>(recorder.calls.size()), state.objectiveCount + 2);
    EXPECT_NEAR(b[0], 4.0 - 1.5 * 1.5, 1e-12); // mean of y − 1.5·x
}

TEST(MarquardtFitFlags, ObjectiveFailurePassesThroughAndLeavesTheParameters) {
    int evaluations = 0;
    const FitObjectiveFunction objective = [&](std::span<const double> b, std::span<double> f) {
        if (++evaluations == 3)
            raise(failure_text::overflow);
        f[0] = b[0] * b[0];
    };
    const std::vector<double> y{2.0};
    const std::vector<double> lower{0.0};
    const std::vector<double> upper{10.0};
    const auto free = allFree();
    std::vector<double> b{1.0};
    MarquardtState state;
    MarquardtWorkspace workspace;
    EXPECT_THROW(MarquardtFit(b, y, boundsOf(lower, upper, free), 1.0, objective, state, workspace), Failure);
    EXPECT_EQ(b[0], 1.0);
}

TEST(MarquardtFitFlags, SizesOutOfRangeAreReported) {
    const FitObjectiveFunction objective = [](std::span<const double>, std::span<double> f) { f[0] = 0.0; };
    const std::vector<double> y{1.0};
    const auto free = allFree();
    MarquardtState state;
    MarquardtWorkspace workspace;
    std::vector<double> none;
    const std::vector<double> noBound;
    EXPECT_THROW(MarquardtFit(none, y, boundsOf(noBound, noBound, free), 1.0, objective, state, workspace),
                 Failure);
    std::vector<double> tooMany(kMaxFitParameters + 1, 1.0);
    std::array<bool, kMaxFitParameters + 1> tooManyFree{};
    const FitBounds tooManyBounds{tooMany, tooMany, tooManyFree};
    EXPECT_THROW(MarquardtFit(tooMany, y, tooManyBounds, 1.0, objective, state, workspace), Failure);
}

// Noise-free decay i(t) = A·exp(−t/τ) + C with A = 2.5, τ = 0.8 s, C = 0.1 over 5 s: from a start off by
// a factor of two the fit reaches the least-square tolerance (flag −1) and the generating values.
TEST(MarquardtFitSynthetic, NoiseFreeExponentialDecayRecoversItsParameters) {
    std::vector<double> t;
    std::vector<double> y;
    for (int i = 0; i < 500; ++i) {
        t.push_back(0.01 * i);
        y.push_back(2.5 * std::exp(-t.back() / 0.8) + 0.1);
    }
    const FitObjectiveFunction objective = [&](std::span<const double> b, std::span<double> f) {
        for (std::size_t i = 0; i < t.size(); ++i)
            f[i] = b[0] * std::exp(-t[i] / b[1]) + b[2];
    };
    const std::vector<double> lower{0.0, 0.01, -5.0};
    const std::vector<double> upper{100.0, 100.0, 5.0};
    const auto free = allFree();
    std::vector<double> b{5.0, 0.4, 0.0};
    MarquardtState state;
    MarquardtWorkspace workspace;
    const DriveResult run = driveFit(b, y, boundsOf(lower, upper, free), objective, state, workspace);
    EXPECT_EQ(run.outcome, MarquardtOutcome::LeastSquareReached);
    EXPECT_LT(run.iterations, 20);
    EXPECT_NEAR(b[0], 2.5, 2.5e-6);
    EXPECT_NEAR(b[1], 0.8, 0.8e-6);
    EXPECT_NEAR(b[2], 0.1, 1e-6);
}

// A workspace reused for a second fit of the same shape gives the same fit as a fresh one.
TEST(MarquardtFitSynthetic, ReusedWorkspaceGivesTheSameFit) {
    const std::vector<double> x{0.5, 1.0, 1.5, 2.0, 2.5, 3.0};
    const std::vector<double> y{1.9, 1.35, 0.98, 0.74, 0.52, 0.41};
    const FitObjectiveFunction objective = [&](std::span<const double> b, std::span<double> f) {
        for (std::size_t i = 0; i < x.size(); ++i)
            f[i] = b[0] * std::exp(-b[1] * x[i]);
    };
    const std::vector<double> lower{0.0, 0.0};
    const std::vector<double> upper{10.0, 10.0};
    const auto free = allFree();
    const FitBounds bounds = boundsOf(lower, upper, free);
    MarquardtWorkspace shared;
    std::vector<double> first{1.0, 1.0};
    MarquardtState firstState;
    driveFit(first, y, bounds, objective, firstState, shared);
    std::vector<double> again{1.0, 1.0};
    MarquardtState againState;
    driveFit(again, y, bounds, objective, againState, shared);
    std::vector<double> fresh{1.0, 1.0};
    MarquardtState freshState;
    MarquardtWorkspace freshWorkspace;
    driveFit(fresh, y, bounds, objective, freshState, freshWorkspace);
    EXPECT_EQ(again, fresh);
    EXPECT_EQ(againState.objectiveCount, freshState.objectiveCount);
    EXPECT_EQ(first, fresh);
}

} // namespace
} // namespace tessaly::test
