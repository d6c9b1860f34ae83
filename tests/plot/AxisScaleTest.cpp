#include "plot/AxisScale.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace tessaly {
namespace {

struct DecadeCase {
    double magnitude;
    int kLow;
    int kHigh;
    double unit;
    bool found;
};

TEST(AxisScale, DecadeIsTheFirstPowerOfTenAtOrBelowTheMagnitude) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const DecadeCase cases[] = {
        {8.7e-6, -15, 8, 1e-6, true}, // a microampere current
        {1e-6, -15, 8, 1e-6, true},   // exactly a power of ten belongs to its own decade
        {9.99e-7, -15, 8, 1e-7, true}, {0.5, -5, 5, 0.1, true}, // potentials in V
        {10.0, -5, 5, 10.0, true},                              // times in s
        {5e-16, -15, 8, 1e8, false}, // below the search: the top decade, limits untouched
        {0.0, -15, 8, 1e8, false},     {1e9, -15, 8, 1e8, false}, // at 10^(kHigh+1) no k matches
        {2e5, -5, 5, 1e5, true},       {2e6, -5, 5, 1e5, false},  {nan, -5, 5, 1e5, false},
    };
    for (const DecadeCase& c : cases) {
        const Decade d = findDecade(c.magnitude, c.kLow, c.kHigh);
        EXPECT_EQ(d.unit, c.unit) << c.magnitude;
        EXPECT_EQ(d.found, c.found) << c.magnitude;
        EXPECT_EQ(d.unit, powerOfTen(d.exponent)) << c.magnitude;
    }
}

TEST(AxisScale, AutomaticLimitsGetOneWholeUnitBeyondTheData) {
    struct Case {
        double value;
        double unit;
        double up;
        double down;
    };
    const Case cases[] = {
        {8.7e-6, 1e-6, 9e-6, 7e-6},    {1.2e-6, 1e-6, 2e-6, 0.0}, // trunc(1.2) - 1 = 0
        {-8.7e-6, 1e-6, -8e-6, -9e-6},                            // trunc rounds toward zero
        {0.5, 0.1, 0.6, 0.4},          {-0.5, 0.1, -0.4, -0.6},
        {10.0, 10.0, 20.0, 0.0}, // a value on a multiple still gets a unit of room
        {0.0, 1e-6, 1e-6, -1e-6},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(roundUpLimit(c.value, c.unit), c.up, 1e-9 * c.unit) << c.value;
        EXPECT_NEAR(roundDownLimit(c.value, c.unit), c.down, 1e-9 * c.unit) << c.value;
    }
}

TEST(AxisScale, TickCountRoundsHalvesToEvenAndZeroGivesNoTicks) {
    struct Case {
        double span;
        double unit;
        bool valid;
        double step;
    };
    const Case cases[] = {
        {1.2, 0.1, true, 0.1},
        {2.5, 1.0, true, 1.25},  // 2.5 -> 2
        {3.5, 1.0, true, 0.875}, // 3.5 -> 4
        {0.5, 1.0, false, 0.0},  // 0.5 -> 0: less than half a decade
        {0.4e-3, 1e-3, false, 0.0},
        {-3e-6, 1e-6, true, 1e-6}, // a negative span and count give a positive step
        {0.0, 1e8, false, 0.0},
        {std::numeric_limits<double>::infinity(), 1.0, false, 0.0},
    };
    for (const Case& c : cases) {
        const TickStep t = tickStep(c.span, c.unit);
        EXPECT_EQ(t.valid, c.valid) << c.span;
        if (c.valid) {
            EXPECT_NEAR(t.step, c.step, 1e-12 * c.step) << c.span;
        }
    }
}

TEST(AxisScale, MarksCountTheLoopsOverTheAxis) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // Through the end (x <= end), with the last mark of an exact division kept despite rounding.
    EXPECT_EQ(marksThrough(-0.6000000000000001, 0.6000000000000001, 1.2000000000000002 / 12), 13);
    EXPECT_EQ(marksThrough(0.0, 9e-6, 9e-6 / 9), 10);
    EXPECT_EQ(marksThrough(0.0, 0.0, 1.0), 1);
    EXPECT_EQ(marksThrough(0.0, 1.95, 0.5), 4);
    EXPECT_EQ(marksThrough(1.0, 0.0, 0.5), 0);
    EXPECT_EQ(marksThrough(0.0, 1e12, 1.0), 0); // beyond kMaxMarks
    EXPECT_EQ(marksThrough(0.0, nan, 1.0), 0);
    EXPECT_EQ(marksThrough(0.0, 1.0, 0.0), 0);
    // Before the end (x < end).
    EXPECT_EQ(marksBefore(0.0, 12.0, 1.0), 12);
    EXPECT_EQ(marksBefore(0.0, 12.5, 1.0), 13);
    EXPECT_EQ(marksBefore(-0.6000000000000001, 0.6000000000000001, 1.2000000000000002 / 12), 12);
    EXPECT_EQ(marksBefore(0.0, 0.0, 1.0), 0);
    EXPECT_EQ(marksBefore(0.0, nan, 1.0), 0);
}

} // namespace
} // namespace tessaly
