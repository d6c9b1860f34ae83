#pragma once
// Test helpers: drives the fitter the way the Auto Fit command does, and measures agreement in
// significant digits.

#include "fitting/MarquardtFitter.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <vector>

namespace tessaly::test {

struct DriveResult {
    int iterations = 0;
    MarquardtOutcome outcome = MarquardtOutcome::Continue;
};

// Up to 51 calls: the command stops once the iteration count exceeds 50 or the flag is not positive.
inline DriveResult driveFit(std::span<double> params, std::span<const double> measured,
                            const FitBounds& bounds, const FitObjectiveFunction& objective,
                            MarquardtState& state, MarquardtWorkspace& workspace) {
    double mean = 0.0;
    for (double y : measured)
        mean += y;
    mean /= static_cast<double>(measured.size());
    double variance = 0.0;
    for (double y : measured)
        variance += (y - mean) * (y - mean);
    variance /= static_cast<double>(measured.size());

    DriveResult result;
    do {
        result.outcome = MarquardtFit(params, measured, bounds, variance, objective, state, workspace);
        ++result.iterations;
    } while (result.iterations <= 50 && result.outcome == MarquardtOutcome::Continue);
    return result;
}

// Log relative error: the number of significant digits in which `value` agrees with `reference`.
inline double agreeingDigits(double value, double reference) {
    const double relative = std::abs(value - reference) / std::abs(reference);
    return relative == 0.0 ? 16.0 : std::min(16.0, -std::log10(relative));
}

} // namespace tessaly::test
