// Background subtraction: a charging current that differs between the forward and the reverse sweep
// (+Cdl v and -Cdl v, with a resistive slope) under a peak is removed by a baseline fitted to a window
// of each sweep, and by a blank carrying the same background.

#include "curves/Background.h"

#include "base/Failure.h"

#include <cmath>
#include <gtest/gtest.h>

namespace tessaly {
namespace {

constexpr double kCdl = 2e-6;   // double-layer capacitance, F
constexpr double kScan = 0.1;   // scan rate, V/s
constexpr double kSlope = 1e-6; // resistive background, A/V
constexpr double kPeak = 5e-6;  // faradaic peak height, A
constexpr int kPerSweep = 301;

double faradaic(double E, bool forward) {
    const double x = (E + (forward ? 0.03 : -0.03)) / 0.02;
    return (forward ? kPeak : -0.8 * kPeak) / (std::cosh(x) * std::cosh(x));
}
double background(double E, bool forward) {
    return (forward ? kCdl * kScan : -kCdl * kScan) + kSlope * E;
}

// One cycle 0.4 -> -0.4 -> 0.4 V.
void writeCycle(CurveStore& store, bool withBackground) {
    for (int k = 0; k < 2 * kPerSweep; ++k) {
        const bool forward = k < kPerSweep;
        const int j = forward ? k : 2 * kPerSweep - 1 - k;
        store.E[k] = 0.4 - 0.8 * j / (kPerSweep - 1);
        store.Curve(k, 1) = faradaic(store.E[k], forward) + (withBackground ? background(store.E[k], forward) : 0);
    }
    store.NPoints = 2 * kPerSweep;
    store.LastIndex = store.NPoints - 1;
    store.FirstPoint = 0;
    store.LastPoint = store.NPoints - 1;
}

TEST(Background, BaselineFittedPerSweepLeavesTheFaradaicCurrent) {
    CurveStore store;
    writeCycle(store, true);
    // Windows far from both peaks: the faradaic current there is below 1e-9 of the peak.
    subtractLinearBaseline(store, 1, store.FirstPoint, store.LastPoint, parseWindows("0.3, 0.4; -0.4 -0.3"));
    double worst = 0;
    for (int k = 0; k < 2 * kPerSweep; ++k)
        worst = std::max(worst, std::fabs(store.Curve(k, 1) - faradaic(store.E[k], k < kPerSweep)));
    EXPECT_LT(worst, 1e-6 * kPeak);
}

TEST(Background, OneLineForBothSweepsWouldLeaveTheChargingCurrent) {
    // The same windows on a single sweep's worth of points: the fit sees only the forward offset,
    // so the reverse sweep keeps its own background, which is why sweeps get separate lines.
    CurveStore store;
    writeCycle(store, true);
    subtractLinearBaseline(store, 1, 0, kPerSweep - 1, parseWindows("0.3 0.4 -0.4 -0.3"));
    EXPECT_NEAR(store.Curve(kPerSweep + 10, 1) - faradaic(store.E[kPerSweep + 10], false),
                background(store.E[kPerSweep + 10], false), 1e-15);
}

TEST(Background, BlankSubtractedPointByPoint) {
    CurveStore store;
    writeCycle(store, true);
    ImportedCurve blank;
    for (int k = 0; k < store.NPoints; ++k) {
        blank.E.push_back(store.E[k]);
        blank.current.push_back(background(store.E[k], k < kPerSweep));
    }
    subtractBlank(store, 1, store.FirstPoint, store.LastPoint, blank);
    for (int k : {0, 150, 301, 500})
        EXPECT_NEAR(store.Curve(k, 1), faradaic(store.E[k], k < kPerSweep), 1e-18);

    blank.E.pop_back();
    blank.current.pop_back();
    EXPECT_THROW(subtractBlank(store, 1, store.FirstPoint, store.LastPoint, blank), Failure);
}

TEST(Background, BadWindowsFailBeforeAnythingChanges) {
    CurveStore store;
    writeCycle(store, true);
    const double before = store.Curve(5, 1);
    EXPECT_THROW(parseWindows("0.3"), Failure);
    EXPECT_THROW(parseWindows("0.3 abc"), Failure);
    EXPECT_THROW(parseWindows(""), Failure);
    // A window outside the potential range holds no point of either sweep.
    EXPECT_THROW(subtractLinearBaseline(store, 1, store.FirstPoint, store.LastPoint, parseWindows("0.5 0.6")),
                 Failure);
    EXPECT_EQ(store.Curve(5, 1), before);
}

} // namespace
} // namespace tessaly
