// The rate constants a run carries along a ramp against the Butler-Volmer exponentials at every step.

#include "digital/SurfaceBlock.h"

#include <cmath>
#include <gtest/gtest.h>

namespace tessaly {
namespace {

constexpr double kFRT = 96484.6 / (8.31441 * 298.14); // 1/V

// A ramp of 2000 steps of 1 mV (the potentials rounded as a programme builds them), a jump, a ramp the
// other way, and steps that differ every time (an ohmic drop): every constant within 1e-12 of its
// exponential, for a symmetric and an unsymmetric couple of two electrons.
TEST(RateTracker, CarriedConstantsStayOnTheExponentials) {
    for (const double alpha : {0.5, 0.3}) {
        ChargeCouple couple;
        couple.ox = 1;
        couple.red = 2;
        couple.electrons = 2;
        couple.ks = 1e-3;
        couple.alpha = alpha;
        couple.formal = -0.1;
        const RateLaw law = rateLawOf(couple, kFRT);
        RateTracker tracker(law);
        const auto check = [&](double e) {
            const RatePair carried = tracker.at(e);
            const RatePair exact = butlerVolmer(couple, e, kFRT);
            EXPECT_NEAR(carried.kf / exact.kf, 1.0, 1e-12) << e;
            EXPECT_NEAR(carried.kb / exact.kb, 1.0, 1e-12) << e;
        };
        for (int k = 0; k <= 2000; ++k)
            check(0.9 - 0.001 * k);
        for (int k = 0; k <= 500; ++k)
            check(-0.4 + 0.001 * k);
        for (int k = 0; k <= 100; ++k)
            check(0.2 + 1e-4 * k * k);
    }
}

} // namespace
} // namespace tessaly
