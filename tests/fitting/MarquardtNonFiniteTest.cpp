// The fitter never takes a number that is not finite for a result: a trial whose model overflows or is
// undefined counts as a failed damping trial, a start that is not finite is refused with nothing changed,
// and a derivative column that is not finite freezes its parameter for the iteration.

#include "fitting/MarquardtFitter.h"

#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

namespace tessaly::test {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

std::array<bool, kMaxFitParameters> allFree() {
    std::array<bool, kMaxFitParameters> free{};
    free.fill(true);
    return free;
}

struct BadValue {
    const char* label;
    double value;
};
const BadValue kBadValues[] = {{"NaN", kNaN}, {"+Inf", kInf}, {"-Inf", -kInf}};

// y = 3 and a model that follows its parameter up to 2.4 and is not finite beyond: the undamped step
// from b = 1 lands at 3 and must be refused; a damped step below 2.4 is the result.
TEST(MarquardtNonFinite, TrialIsRejectedAndLambdaRises) {
    for (const BadValue& bad : kBadValues) {
        SCOPED_TRACE(bad.label);
        const double badValue = bad.value;
        const FitObjectiveFunction objective = [badValue](std::span<const double> b, std::span<double> f) {
            f[0] = b[0] < 2.4 ? b[0] : badValue;
        };
        const std::vector<double> y{3.0}, lower{0.0}, upper{100.0};
        const auto free = allFree();
        const FitBounds bounds{lower, upper, std::span<const bool>(free.data(), 1)};
        std::vector<double> b{1.0};
        MarquardtState state;
        MarquardtWorkspace workspace;
        const MarquardtOutcome outcome = MarquardtFit(b, y, bounds, 1.0, objective, state, workspace);
        EXPECT_EQ(outcome, MarquardtOutcome::Continue);
        EXPECT_GT(b[0], 1.0);
        EXPECT_LT(b[0], 2.4);
        EXPECT_TRUE(std::isfinite(state.leastSquare));
        EXPECT_NEAR(state.leastSquare, (3.0 - b[0]) * (3.0 - b[0]), 1e-12);
        EXPECT_GE(state.marquardtCount, 1); // at least one damped trial after the refused one
        EXPECT_GT(state.lambda, 0.0);
    }
}

// Every trial away from the start is not finite (only the start and its derivative probes are): λ runs past
// its limit, the parameter and the least square stay as they were, and the fit ends with flag −2 instead
// of taking the last trial.
TEST(MarquardtNonFinite, NoFiniteTrialKeepsTheParametersAndEndsTheFit) {
    for (const BadValue& bad : kBadValues) {
        SCOPED_TRACE(bad.label);
        const double badValue = bad.value;
        const FitObjectiveFunction objective = [badValue](std::span<const double> b, std::span<double> f) {
            const bool probed = std::fabs(b[0] - 1.01) < 1e-12 || std::fabs(b[0] - 0.99) < 1e-12;
            f[0] = b[0] == 1.0 || probed ? b[0] : badValue;
        };
        const std::vector<double> y{3.0}, lower{0.0}, upper{100.0};
        const auto free = allFree();
        const FitBounds bounds{lower, upper, std::span<const bool>(free.data(), 1)};
        std::vector<double> b{1.0};
        MarquardtState state;
        MarquardtWorkspace workspace;
        EXPECT_EQ(MarquardtFit(b, y, bounds, 1.0, objective, state, workspace),
                  MarquardtOutcome::DecreaseTooSmall);
        EXPECT_EQ(b[0], 1.0);
        EXPECT_EQ(state.leastSquare, 4.0);
        EXPECT_EQ(state.flag, static_cast<int>(MarquardtOutcome::DecreaseTooSmall));
        // A next call starts from the kept model without a fresh evaluation, and still moves nowhere.
        const int counted = state.objectiveCount;
        MarquardtFit(b, y, bounds, 1.0, objective, state, workspace);
        EXPECT_EQ(b[0], 1.0);
        EXPECT_GT(state.objectiveCount, counted);
    }
}

// A start whose least square is not finite: a simulated point that is not, or residuals that overflow
// although every point is finite. The fit refuses to start and changes nothing.
TEST(MarquardtNonFinite, StartThatIsNotFiniteIsRefusedWithNothingChanged) {
    struct Case {
        const char* label;
        double model;    // the model's value at every parameter
        double measured; // y
    };
    const Case cases[] = {
        {"model NaN", kNaN, 1.0},
        {"model +Inf", kInf, 1.0},
        {"model -Inf", -kInf, 1.0},
        {"residual overflows", -1e300, 1e300},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const double value = c.model;
        int evaluations = 0;
        const FitObjectiveFunction objective = [&evaluations, value](std::span<const double>,
                                                                     std::span<double> f) {
            ++evaluations;
            f[0] = value;
        };
        const std::vector<double> y{c.measured}, lower{0.0}, upper{10.0};
        const auto free = allFree();
        const FitBounds bounds{lower, upper, std::span<const bool>(free.data(), 1)};
        std::vector<double> b{2.0};
        MarquardtState state;
        state.lambda = 0.25; // carried in from nowhere: must come back as it went in
        MarquardtWorkspace workspace;
        try {
            MarquardtFit(b, y, bounds, 1.0, objective, state, workspace);
            ADD_FAILURE() << "a start that is not finite was accepted";
        } catch (const NonFiniteFit& failure) {
            EXPECT_EQ(failure.description(), std::string(kNonFiniteStartText));
        }
        EXPECT_EQ(evaluations, 1); // no derivative was taken
        EXPECT_EQ(b[0], 2.0);
        EXPECT_FALSE(state.started);
        EXPECT_EQ(state.objectiveCount, 0);
        EXPECT_EQ(state.lambda, 0.25);
        EXPECT_EQ(state.flag, 0);
    }
}

// f_i = a·x_i + g(b) where g is finite only at b = 1 and below it: the probe of b at 1.01 gives a column
// that is not finite, so b is held for the iteration while a takes its Gauss–Newton step.
TEST(MarquardtNonFinite, DerivativeColumnThatIsNotFiniteFreezesItsParameter) {
    const std::vector<double> x{1.0, 2.0, 3.0, 4.0};
    const std::vector<double> y{2.5, 4.5, 6.5, 8.5}; // 2·x + 0.5
    for (const BadValue& bad : kBadValues) {
        SCOPED_TRACE(bad.label);
        const double badValue = bad.value;
        const FitObjectiveFunction objective = [&x, badValue](std::span<const double> p,
                                                              std::span<double> f) {
            for (std::size_t i = 0; i < x.size(); ++i)
                f[i] = p[0] * x[i] + (p[1] <= 1.0 ? 0.5 * p[1] : badValue);
        };
        const std::vector<double> lower{-10.0, -10.0}, upper{10.0, 10.0};
        const auto free = allFree();
        const FitBounds bounds{lower, upper, std::span<const bool>(free.data(), 2)};
        std::vector<double> p{1.0, 1.0};
        MarquardtState state;
        MarquardtWorkspace workspace;
        MarquardtFit(p, y, bounds, 1.0, objective, state, workspace);
        EXPECT_EQ(p[1], 1.0);
        EXPECT_NEAR(p[0], 2.0, 1e-12); // the linear parameter reaches its value at once
        EXPECT_TRUE(std::isfinite(state.leastSquare));
    }
}

} // namespace
} // namespace tessaly::test
