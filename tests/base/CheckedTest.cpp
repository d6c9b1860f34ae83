#include "base/Checked.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

namespace tessaly {
namespace {

std::string failureOf(auto&& action) {
    try {
        action();
    } catch (const Failure& failure) {
        return failure.description();
    }
    return {};
}

TEST(ToInt16, RoundsHalvesToEven) {
    struct Case {
        double value;
        int expected;
    };
    const std::vector<Case> cases = {
        {0.5, 0},         {1.5, 2},          {2.5, 2},           {3.5, 4},           {-0.5, 0},
        {-1.5, -2},       {-2.5, -2},        {0.49, 0},          {0.51, 1},          {-7.2, -7},
        {32767.0, 32767}, {32767.49, 32767}, {-32768.0, -32768}, {-32768.5, -32768}, {1e-300, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(toInt16(c.value), c.expected) << c.value;
}

TEST(ToInt16, OverflowBeyondSixteenBits) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (double value : {32767.5, 32768.0, 40000.0, -32768.51, -32769.0, 1e300, inf, -inf, nan})
        EXPECT_EQ(failureOf([&] { return toInt16(value); }), failure_text::overflow) << value;
}

TEST(CheckedInt16, AcceptsTheSixteenBitRangeOnly) {
    EXPECT_EQ(checkedInt16(32767), 32767);
    EXPECT_EQ(checkedInt16(-32768), -32768);
    EXPECT_EQ(failureOf([] { return checkedInt16(32768); }), failure_text::overflow);
    EXPECT_EQ(failureOf([] { return checkedInt16(-32769); }), failure_text::overflow);
}

TEST(CheckedIndex, InsideTheCapacityOnly) {
    EXPECT_EQ(checkedIndex(0, 0, 5000), 0);
    EXPECT_EQ(checkedIndex(5000, 0, 5000), 5000);
    EXPECT_EQ(checkedIndex(16, 1, 16), 16);
    for (long long index : {5001LL, -1LL, 1LL << 40})
        EXPECT_EQ(failureOf([&] { return checkedIndex(index, 0, 5000); }), failure_text::subscriptOutOfRange)
            << index;
    EXPECT_EQ(failureOf([] { return checkedIndex(0, 1, 16); }), failure_text::subscriptOutOfRange);
}

// volatile keeps the compiler from folding the operations at compile time, so they raise their flags at
// run time.
volatile double zero = 0.0;
volatile double minusOne = -1.0;
volatile double huge = 1e308;
volatile double tiny = 1e-308;

TEST(FloatingPointGuard, DetectsDivisionByZero) {
    FloatingPointGuard guard;
    volatile double result = 1.0 / zero;
    EXPECT_TRUE(std::isinf(result));
    EXPECT_EQ(failureOf([] { FloatingPointGuard::check(); }), failure_text::divisionByZero);
    // The check clears the flags: the next check finds nothing.
    EXPECT_EQ(failureOf([] { FloatingPointGuard::check(); }), "");
}

TEST(FloatingPointGuard, DetectsInvalidOperation) {
    FloatingPointGuard guard;
    volatile double result = std::sqrt(minusOne);
    EXPECT_TRUE(std::isnan(result));
    EXPECT_EQ(failureOf([] { FloatingPointGuard::check(); }), failure_text::invalidCall);
}

TEST(FloatingPointGuard, DetectsOverflow) {
    FloatingPointGuard guard;
    volatile double result = huge * 10.0;
    EXPECT_TRUE(std::isinf(result));
    EXPECT_EQ(failureOf([] { FloatingPointGuard::check(); }), failure_text::overflow);
}

TEST(FloatingPointGuard, IgnoresUnderflowAndInexactResults) {
    FloatingPointGuard guard;
    volatile double underflow = tiny * 1e-100;
    volatile double inexact = 1.0 / 3.0 + underflow;
    EXPECT_GT(inexact, 0.0);
    EXPECT_NO_THROW(FloatingPointGuard::check());
}

TEST(FloatingPointGuard, ConstructionClearsEarlierFlags) {
    volatile double earlier = 1.0 / zero;
    EXPECT_TRUE(std::isinf(earlier));
    FloatingPointGuard guard;
    EXPECT_NO_THROW(FloatingPointGuard::check());
}

} // namespace
} // namespace tessaly
