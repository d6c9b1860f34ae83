// Broyden updates between full Jacobians: a fit with updates reaches the same optimum as one without, with
// fewer simulations, and still stops by itself.

#include "FitDriver.h"
#include "fitting/MarquardtFitter.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <vector>

namespace tessaly::test {
namespace {

// i(t) = A·exp(−t/τ) + C, A = 2.5, τ = 0.8 s, C = 0.1, over 0..5 s; the start is a factor two off.
struct Decay {
    std::vector<double> t, y;
    int calls = 0; // every evaluation, derivative probes included
    Decay() {
        for (int i = 0; i <= 50; ++i) {
            t.push_back(0.1 * i);
            const std::array<double, 3> truth{2.5, 0.8, 0.1};
            y.push_back(model(truth, t.back()));
        }
    }
    static double model(std::span<const double> b, double time) {
        return b[0] * std::exp(-time / b[1]) + b[2];
    }
    FitObjectiveFunction objective() {
        return [this](std::span<const double> b, std::span<double> f) {
            ++calls;
            for (std::size_t i = 0; i < t.size(); ++i)
                f[i] = model(b, t[i]);
        };
    }
};

TEST(MarquardtBroyden, ReachesTheSameOptimumWithFewerSimulations) {
    struct Run {
        std::vector<double> params;
        int calls = 0;
        MarquardtOutcome outcome = MarquardtOutcome::Continue;
    };
    auto fit = [](int updates) {
        Decay decay;
        const std::vector<double> lower{0.0, 0.01, -10.0}, upper{100.0, 100.0, 10.0};
        std::array<bool, 3> free{true, true, true};
        const FitBounds bounds{lower, upper, free};
        Run run;
        run.params = {5.0, 1.6, 0.2};
        MarquardtState state;
        MarquardtWorkspace workspace;
        workspace.setBroydenUpdates(updates);
        run.outcome = driveFit(run.params, decay.y, bounds, decay.objective(), state, workspace).outcome;
        run.calls = decay.calls;
        return run;
    };
    const Run full = fit(0);
    const Run updated = fit(3);
    const double truth[] = {2.5, 0.8, 0.1};
    for (std::size_t k = 0; k < 3; ++k) {
        EXPECT_NEAR(full.params[k], truth[k], 2e-6) << k;
        EXPECT_NEAR(updated.params[k], truth[k], 2e-6) << k;
    }
    EXPECT_NE(updated.outcome, MarquardtOutcome::Continue);
    EXPECT_LT(updated.calls, full.calls) << full.calls << " simulations without updates";
    std::printf("simulations: %d with full Jacobians, %d with Broyden updates\n", full.calls, updated.calls);
}

} // namespace
} // namespace tessaly::test
