// The fitter on certified nonlinear least-squares problems of the NIST StRD (Misra1a and Chwirut2 of lower,
// Thurber of higher difficulty), every parameter free within wide bounds.
//
// Driven as the fit command drives it (up to 51 iterations, stop at the first non-positive flag), a fit
// ends once one iteration lowers SS by less than 2e-4 relative, which is before full convergence; the
// digits asserted below are what that rule leaves. Driven on while SS still goes down, the fit goes
// further, until the bias of the 1 % central-difference Jacobian (it shifts the point where Jᵀr = 0 when
// the residuals are not zero) limits it.

#include "FitDriver.h"
#include "NistProblems.h"
#include "fitting/AutoFit.h"
#include "fitting/FitStatistics.h"
#include "fitting/MarquardtFitter.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

namespace tessaly::test {
namespace {

struct Digits {
    double parameters;   // smallest number of certified digits over all parameters
    double sumOfSquares; // certified digits of the residual sum of squares
};

struct NistCase {
    const char* problem;
    int start;        // NIST starting point 1 or 2
    Digits byCommand; // reached under the fit command's stopping rule
    Digits continued; // reached when iterating while SS decreases
    int broydenUpdates = 0; // Broyden-updated Jacobians between full ones, as the fit commands allow
};

std::string caseName(const testing::TestParamInfo<NistCase>& info) {
    return std::string(info.param.problem) + "Start" + std::to_string(info.param.start) +
           (info.param.broydenUpdates > 0 ? "Broyden" : "");
}

// One NIST problem set up for the fitter.
class NistStrd : public testing::TestWithParam<NistCase> {
protected:
    void SetUp() override {
        const NistCase& c = GetParam();
        const auto it = std::find_if(m_problems.begin(), m_problems.end(),
                                     [&](const NistProblem& p) { return std::string(p.name) == c.problem; });
        ASSERT_NE(it, m_problems.end());
        m_problem = &*it;
        params = c.start == 1 ? m_problem->start1 : m_problem->start2;
        for (const Observation& o : m_problem->data) {
            m_x.push_back(o.x);
            y.push_back(o.y);
        }
        workspace.setBroydenUpdates(c.broydenUpdates);
        const std::size_t p = params.size();
        m_lower.assign(p, -1e12);
        m_upper.assign(p, 1e12);
        m_free.fill(true);
        bounds = FitBounds{m_lower, m_upper, std::span<const bool>(m_free.data(), p)};
        objective = [this](std::span<const double> b, std::span<double> f) {
            for (std::size_t i = 0; i < m_x.size(); ++i)
                f[i] = m_problem->model(b, m_x[i]);
        };
    }

    const NistProblem& problem() const { return *m_problem; }
    std::size_t points() const { return m_x.size(); }

    Digits digits(std::span<const double> fitted, double leastSquare) const {
        double worst = std::numeric_limits<double>::infinity();
        for (std::size_t k = 0; k < fitted.size(); ++k)
            worst = std::min(worst, agreeingDigits(fitted[k], m_problem->certified[k]));
        return {worst, agreeingDigits(leastSquare, m_problem->certifiedResidualSumOfSquares)};
    }

    std::vector<double> params;
    std::vector<double> y;
    FitBounds bounds;
    FitObjectiveFunction objective;
    MarquardtState state;
    MarquardtWorkspace workspace;

private:
    std::vector<NistProblem> m_problems = nistProblems();
    const NistProblem* m_problem = nullptr;
    std::vector<double> m_x;
    std::vector<double> m_lower;
    std::vector<double> m_upper;
    std::array<bool, kMaxFitParameters> m_free{};
};

TEST_P(NistStrd, ReachesCertifiedDigitsUnderTheCommandStoppingRule) {
    const NistCase& c = GetParam();
    const DriveResult run = driveFit(params, y, bounds, objective, state, workspace);
    const Digits reached = digits(params, state.leastSquare);
    std::printf("%s start %d: %d iterations, flag %d, %d evaluations, %d damped trials, "
                "parameter digits %.2f, SS digits %.2f\n",
                c.problem, c.start, run.iterations, state.flag, state.objectiveCount, state.marquardtCount,
                reached.parameters, reached.sumOfSquares);
    EXPECT_EQ(run.outcome, MarquardtOutcome::DecreaseTooSmall) << "the fit should stop by itself";
    EXPECT_LT(run.iterations, 20);
    EXPECT_GE(reached.parameters, c.byCommand.parameters);
    EXPECT_GE(reached.sumOfSquares, c.byCommand.sumOfSquares);
}

TEST_P(NistStrd, ReachesMoreDigitsWhenIteratedWhileTheLeastSquareFalls) {
    const NistCase& c = GetParam();
    std::vector<double> best = params;
    double bestLeastSquare = std::numeric_limits<double>::infinity();
    for (int call = 0; call < 200; ++call) {
        const MarquardtOutcome outcome = MarquardtFit(params, y, bounds, 1.0, objective, state, workspace);
        if (!(state.leastSquare < bestLeastSquare))
            break;
        best = params;
        bestLeastSquare = state.leastSquare;
        if (outcome == MarquardtOutcome::LeastSquareReached)
            break;
    }
    const Digits reached = digits(best, bestLeastSquare);
    std::printf("%s start %d iterated on: parameter digits %.2f, SS digits %.2f\n", c.problem, c.start,
                reached.parameters, reached.sumOfSquares);
    EXPECT_GE(reached.parameters, c.continued.parameters);
    EXPECT_GE(reached.sumOfSquares, c.continued.sumOfSquares);
}

// The standard errors from the fitter's own Jacobian at the optimum (central differences of 1 %) and the
// residual variance SS/(n − p). NIST certifies them to 11 digits. At the optimum reached by iterating on
// while SS falls they agree within 1 %. (Where the fit command's stopping rule leaves Thurber, with two
// digits in its parameters, they differ by up to 4 %: the rule, not the errors, limits them there.)
class NistStandardErrors : public NistStrd {
protected:
    void check(double tolerance) {
        driveFit(params, y, bounds, objective, state, workspace);
        for (int call = 0; call < 200; ++call) {
            const std::vector<double> before = params;
            const double leastSquare = state.leastSquare;
            MarquardtFit(params, y, bounds, 1.0, objective, state, workspace);
            if (!(state.leastSquare < leastSquare)) {
                params = before;
                state.leastSquare = leastSquare;
                break;
            }
        }
        const FitBatchObjective probes = [this](std::span<const std::span<const double>> sets,
                                                std::span<const std::span<double>> models) {
            for (std::size_t j = 0; j < sets.size(); ++j)
                objective(sets[j], models[j]);
        };
        const int n = static_cast<int>(points());
        const auto jacobian = workspace.jacobianAt(params, bounds, n, probes);
        const FitUncertainties u =
            fitUncertainties(jacobian, n, static_cast<int>(params.size()), bounds.free, state.leastSquare);
        ASSERT_EQ(u.degreesOfFreedom, n - static_cast<int>(params.size()));
        for (std::size_t k = 0; k < params.size(); ++k) {
            const double certified = problem().certifiedStandardErrors[k];
            EXPECT_NEAR(u.standardErrors[k], certified, tolerance * certified) << "parameter b" << k + 1;
            EXPECT_NEAR(u.correlationAt(static_cast<int>(k), static_cast<int>(k)), 1.0, 1e-12);
        }
    }
};

TEST_P(NistStandardErrors, AtTheOptimumMatchTheCertifiedOnesWithinOnePercent) {
    check(0.01);
}

INSTANTIATE_TEST_SUITE_P(LowerAndHigherDifficulty, NistStandardErrors,
                         testing::Values(NistCase{"Misra1a", 1, {}, {}}, NistCase{"Misra1a", 2, {}, {}},
                                         NistCase{"Chwirut2", 1, {}, {}}, NistCase{"Chwirut2", 2, {}, {}},
                                         NistCase{"Thurber", 1, {}, {}}, NistCase{"Thurber", 2, {}, {}}),
                         caseName);

// Digits: {parameters, SS} under the command's rule, then iterated on.
INSTANTIATE_TEST_SUITE_P(LowerAndHigherDifficulty, NistStrd,
                         testing::Values(NistCase{"Misra1a", 1, {6.5, 10.0}, {6.5, 10.0}},
                                         NistCase{"Misra1a", 2, {6.5, 10.0}, {6.5, 10.0}},
                                         NistCase{"Chwirut2", 1, {4.0, 8.5}, {5.5, 11.0}},
                                         NistCase{"Chwirut2", 2, {3.0, 6.5}, {5.5, 11.0}},
                                         NistCase{"Thurber", 1, {2.0, 3.5}, {3.5, 6.0}},
                                         NistCase{"Thurber", 2, {2.0, 4.0}, {3.5, 6.0}}),
                         caseName);

// The same with the Broyden updates of the fit commands between full Jacobians: the same digits and the
// same certified standard errors.
INSTANTIATE_TEST_SUITE_P(
    BroydenUpdates, NistStrd,
    testing::Values(NistCase{"Misra1a", 1, {6.5, 10.0}, {6.5, 10.0}, kBroydenUpdates},
                    NistCase{"Misra1a", 2, {6.5, 10.0}, {6.5, 10.0}, kBroydenUpdates},
                    NistCase{"Chwirut2", 1, {4.0, 8.5}, {5.5, 11.0}, kBroydenUpdates},
                    NistCase{"Chwirut2", 2, {3.0, 6.5}, {5.5, 11.0}, kBroydenUpdates},
                    NistCase{"Thurber", 1, {2.0, 3.5}, {3.5, 6.0}, kBroydenUpdates},
                    NistCase{"Thurber", 2, {2.0, 4.0}, {3.5, 6.0}, kBroydenUpdates}),
    caseName);
INSTANTIATE_TEST_SUITE_P(BroydenUpdates, NistStandardErrors,
                         testing::Values(NistCase{"Misra1a", 1, {}, {}, kBroydenUpdates},
                                         NistCase{"Misra1a", 2, {}, {}, kBroydenUpdates},
                                         NistCase{"Chwirut2", 1, {}, {}, kBroydenUpdates},
                                         NistCase{"Chwirut2", 2, {}, {}, kBroydenUpdates},
                                         NistCase{"Thurber", 1, {}, {}, kBroydenUpdates},
                                         NistCase{"Thurber", 2, {}, {}, kBroydenUpdates}),
                         caseName);

} // namespace
} // namespace tessaly::test
