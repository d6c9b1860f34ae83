#include "simulation/ExponentialSum.h"

#include "base/Failure.h"

#include <cmath>
#include <numbers>

namespace tessaly {
namespace {

// Node spacing of the trapezoidal rule in s = ln x. The integrand is analytic in the strip |Im s| < π/4,
// so the rule converges as exp(−π²/(2·step)): 0.25 gives about 3e-8 relative.
constexpr double kStep = 0.25;
// The fastest term must have decayed at uMin (exp(−50) ≈ 2e-22), the slowest be nearly constant up to
// uMax: where uMax·x² < 1e-5 the remaining terms are summed into the rate-0 term, whose neglected
// curvature is (1e-5)^(3/2)/3 relative.
constexpr double kFastest = 50.0;
constexpr double kSlowest = 1e-5;

} // namespace

// 1/√(πu) = (2/π)∫_0^∞ exp(−u·x²) dx = (2/π)∫ exp(s − u·e^(2s)) ds with x = e^s. The trapezoidal rule on
// s_m = s_c + m·step gives the terms m >= 1; the nodes m <= 0, where exp(−u·e^(2s)) is 1 to within 1e-5,
// sum to the geometric series (2/π)·step·e^(s_c)/(1 − e^(−step)), the weight of the rate-0 term
// (Beylkin & Monzón, Appl. Comput. Harmon. Anal. 28 (2010) 131; Trefethen & Weideman, SIAM Rev. 56
// (2014) 385).
ExponentialSum diffusionKernelExponentials(double uMin, double uMax) {
    if (!(uMin > 0) || !(uMax >= uMin) || !std::isfinite(uMax))
        raise(failure_text::invalidCall);
    const double sLow = 0.5 * std::log(kSlowest / uMax);
    const double sHigh = 0.5 * std::log(kFastest / uMin);
    const int terms = static_cast<int>(std::ceil((sHigh - sLow) / kStep));
    ExponentialSum sum;
    sum.rate.reserve(static_cast<std::size_t>(terms) + 1);
    sum.weight.reserve(static_cast<std::size_t>(terms) + 1);
    constexpr double scale = 2.0 / std::numbers::pi;
    sum.rate.push_back(0.0);
    sum.weight.push_back(scale * kStep * std::exp(sLow) / -std::expm1(-kStep));
    for (int m = 1; m <= terms; ++m) {
        const double s = sLow + m * kStep;
        sum.rate.push_back(std::exp(2.0 * s));
        sum.weight.push_back(scale * kStep * std::exp(s));
    }
    return sum;
}

} // namespace tessaly
