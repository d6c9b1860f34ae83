// Standard errors and correlations of a fit from the Jacobian at the optimum: exact for a straight line,
// undetermined where the data cannot separate parameters, and in agreement with the scatter of the
// fitted values over repeated noisy measurements.

#include "FitDriver.h"
#include "fitting/FitStatistics.h"
#include "fitting/MarquardtFitter.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace tessaly::test {
namespace {

// A straight line y = a + b·x: the textbook errors s/√Sxx for the slope and s·√(1/n + x̄²/Sxx) for the
// intercept, with correlation −x̄/√(x̄² + Sxx/n).
TEST(FitUncertainties, StraightLineGivesTheTextbookErrors) {
    const std::vector<double> x{0.0, 1.0, 2.0, 3.0, 4.0, 5.0, 6.0};
    const std::vector<double> residual{0.1, -0.2, 0.05, 0.15, -0.1, -0.05, 0.05};
    const auto n = x.size();
    std::vector<double> jacobian(2 * n);
    double ss = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        jacobian[i] = 1.0;      // ∂y/∂a
        jacobian[n + i] = x[i]; // ∂y/∂b
        ss += residual[i] * residual[i];
    }
    const std::array<bool, 2> free{true, true};
    const FitUncertainties u = fitUncertainties(jacobian, static_cast<int>(n), 2, free, ss);
    const double mean = 3.0;
    double sxx = 0.0;
    for (const double v : x)
        sxx += (v - mean) * (v - mean);
    const double s = std::sqrt(ss / static_cast<double>(n - 2));
    EXPECT_EQ(u.degreesOfFreedom, 5);
    EXPECT_NEAR(u.standardErrors[1], s / std::sqrt(sxx), 1e-12);
    EXPECT_NEAR(u.standardErrors[0], s * std::sqrt(1.0 / static_cast<double>(n) + mean * mean / sxx), 1e-12);
    const double correlation = -mean / std::sqrt(mean * mean + sxx / static_cast<double>(n));
    EXPECT_NEAR(u.correlationAt(0, 1), correlation, 1e-12);
    EXPECT_NEAR(u.correlationAt(1, 0), correlation, 1e-12);
}

// Held parameters and parameters the curve does not respond to get no error; two parameters that only
// act through their sum make every free parameter undetermined.
TEST(FitUncertainties, UndeterminedParametersAreMarked) {
    const int n = 5;
    std::vector<double> jacobian(3 * n, 0.0);
    for (int i = 0; i < n; ++i) {
        jacobian[static_cast<std::size_t>(i)] = 1.0 + i;
        jacobian[static_cast<std::size_t>(n + i)] = 2.0 * i; // column 2 is held
    }
    {
        const std::array<bool, 3> free{true, false, true}; // column 3 is zero: no response
        const FitUncertainties u = fitUncertainties(jacobian, n, 3, free, 1.0);
        EXPECT_TRUE(std::isfinite(u.standardErrors[0]));
        EXPECT_TRUE(std::isnan(u.standardErrors[1]));
        EXPECT_TRUE(std::isnan(u.standardErrors[2]));
        EXPECT_EQ(u.degreesOfFreedom, n - 1);
    }
    for (int i = 0; i < n; ++i)
        jacobian[static_cast<std::size_t>(2 * n + i)] = 3.0 * (1.0 + i); // a multiple of column 1
    const std::array<bool, 3> free{true, false, true};
    const FitUncertainties u = fitUncertainties(jacobian, n, 3, free, 1.0);
    EXPECT_TRUE(std::isnan(u.standardErrors[0]));
    EXPECT_TRUE(std::isnan(u.standardErrors[2]));
}

// Gaussian noise from a fixed generator, by the Box–Muller transform (the same on every library).
class Noise {
public:
    explicit Noise(std::uint32_t seed) : m_engine(seed) {}
    double next() {
        const double u1 = (static_cast<double>(m_engine()) + 1.0) / 4294967296.0;
        const double u2 = static_cast<double>(m_engine()) / 4294967296.0;
        return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * M_PI * u2);
    }

private:
    std::mt19937 m_engine;
};

// A voltammetric-like peak y = h·exp(−((x − c)/w)²) on 25 points with 2 % noise, fitted 50 times: the
// standard error each fit reports agrees within 20 % with the standard deviation of the 50 fitted values
// (the scatter itself is known to about 10 % from 50 samples).
TEST(FitUncertainties, StandardErrorsAgreeWithTheScatterOverNoiseRealisations) {
    const std::array<double, 3> truth{1.0, 0.05, 0.04}; // height, centre (V), width (V)
    std::vector<double> x;
    for (int i = 0; i < 25; ++i)
        x.push_back(-0.1 + 0.3 * i / 24.0);
    const FitObjectiveFunction model = [&x](std::span<const double> b, std::span<double> f) {
        for (std::size_t i = 0; i < x.size(); ++i) {
            const double z = (x[i] - b[1]) / b[2];
            f[i] = b[0] * std::exp(-z * z);
        }
    };
    const FitBatchObjective probes = [&model](std::span<const std::span<const double>> sets,
                                              std::span<const std::span<double>> models) {
        for (std::size_t j = 0; j < sets.size(); ++j)
            model(sets[j], models[j]);
    };
    const std::vector<double> lower{0.1, -0.1, 0.005};
    const std::vector<double> upper{10.0, 0.2, 0.5};
    const std::array<bool, 3> free{true, true, true};
    const FitBounds bounds{lower, upper, free};
    const double sigma = 0.02;
    const int realisations = 50;
    Noise noise(20261207);

    std::array<double, 3> sum{}, sumSquares{}, reported{};
    std::vector<double> clean(x.size()), y(x.size());
    model(truth, clean);
    for (int r = 0; r < realisations; ++r) {
        for (std::size_t i = 0; i < x.size(); ++i)
            y[i] = clean[i] + sigma * noise.next();
        std::vector<double> b{0.8, 0.07, 0.05};
        MarquardtState state;
        MarquardtWorkspace workspace;
        // Iterated while SS falls, so the scatter is that of the optimum, not of the stopping rule.
        for (int call = 0; call < 100; ++call) {
            const double before = state.leastSquare;
            MarquardtFit(b, y, bounds, 1.0, model, state, workspace);
            if (call > 0 && !(state.leastSquare < before * (1.0 - 1e-12)))
                break;
        }
        const auto jacobian = workspace.jacobianAt(b, bounds, static_cast<int>(x.size()), probes);
        const FitUncertainties u = fitUncertainties(jacobian, static_cast<int>(x.size()), 3, free, state.leastSquare);
        for (std::size_t k = 0; k < 3; ++k) {
            sum[k] += b[k];
            sumSquares[k] += b[k] * b[k];
            reported[k] += u.standardErrors[k] / realisations;
        }
    }
    for (std::size_t k = 0; k < 3; ++k) {
        const double mean = sum[k] / realisations;
        const double scatter = std::sqrt((sumSquares[k] - realisations * mean * mean) / (realisations - 1));
        EXPECT_NEAR(reported[k], scatter, 0.2 * scatter) << "parameter " << k;
        EXPECT_NEAR(mean, truth[k], 3.0 * scatter / std::sqrt(realisations)) << "parameter " << k;
    }
}

} // namespace
} // namespace tessaly::test
