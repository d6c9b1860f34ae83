#include "curves/Transforms.h"

#include "base/Failure.h"
#include "curves/Convolution.h"

#include <cfenv>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <numbers>
#include <string>
#include <vector>

namespace tessaly {
namespace {

constexpr int kCapacity = 5001; // points 0..5000
constexpr double kPi = std::numbers::pi;

// F/(RT) at 25 C, 1/V: Faraday constant 96485.33212 C/mol, gas constant 8.314462618 J/(mol K).
constexpr double kNernstFactor = 96485.33212 / (8.314462618 * 298.15);

std::vector<double> column(int n, auto&& value) {
    std::vector<double> y(kCapacity, 0.0);
    for (int i = 0; i < n; ++i)
        y[static_cast<std::size_t>(i)] = value(i);
    return y;
}

std::string failureOf(auto&& action) {
    try {
        action();
    } catch (const Failure& failure) {
        return failure.description();
    }
    return {};
}

double at(const std::vector<double>& y, int i) {
    return y[static_cast<std::size_t>(i)];
}

// A sweep sampled every td: potential step h (V), scan rate v = h / td (V/s).
struct Sweep {
    int nPoints;
    double td; // s
    double h;  // V
    double v() const { return h / td; }
    int lastIndex() const { return nPoints - 1; }
};

// The semi-integral of a constant current i0 switched on at t = 0 is 2 i0 sqrt(t/pi). Integration sets
// S(0) = S(1), so the charge starts to accumulate at point 1 and t is counted from there.
TEST(SemiIntegrate, ConstantCurrentGrowsLikeSquareRootOfTime) {
    const double i0 = 2.5e-6; // A
    for (const Sweep sweep : {Sweep{1001, 0.01, 0.001}, Sweep{5001, 0.5, 0.005}, Sweep{40, 0.02, 0.002}}) {
        for (int first : {0, 1}) {
            auto y = column(sweep.nPoints, [&](int) { return i0; });
            const int L = sweep.lastIndex();
            semiIntegrate(y, first, L, sweep.h, sweep.v(), sweep.td);
            for (int j = 1; j <= L - 1; ++j) {
                const double t = (j - 1) * sweep.td;
                EXPECT_NEAR(at(y, j), 2.0 * i0 * std::sqrt(t / kPi), 1e-9 * i0 * std::sqrt(L * sweep.td))
                    << "point " << j << " of " << sweep.nPoints << ", first " << first;
            }
            // Far from the origin the offset of one point no longer matters: within 1 % of the
            // semi-integral counted from point 0.
            for (int j = 60; j <= L - 1; j += 7)
                EXPECT_NEAR(at(y, j), 2.0 * i0 * std::sqrt(j * sweep.td / kPi), 0.01 * at(y, j));
        }
    }
}

// The semi-derivative of a unit step is 1/sqrt(pi t), the Cottrell current of a potential step. The
// sum gives its mean over each sampling interval.
TEST(SemiDifferentiate, UnitStepGivesCottrellDecay) {
    const double td = 0.05; // s
    const int n = 2001;
    auto y = column(n, [](int i) { return i == 0 ? 0.0 : 1.0; });
    semiDifferentiate(y, 0, n - 1, td);
    for (int j = 1; j <= n - 2; ++j) {
        const double mean = 2.0 * (std::sqrt(j * td) - std::sqrt((j - 1) * td)) / (td * std::sqrt(kPi));
        EXPECT_NEAR(at(y, j), mean, 1e-10 * mean) << j;
        if (j >= 3) {
            EXPECT_NEAR(at(y, j), 1.0 / std::sqrt(kPi * (j - 0.5) * td), 0.01 * at(y, j)) << j;
        }
    }
}

// Semi-differentiating the semi-integral of a constant gives the constant back.
TEST(SemiDifferentiate, UndoesTheSemiIntegralOfAConstant) {
    const double c = 3e-5; // A
    const double td = 0.01;
    const int n = 3001;
    auto y = column(n, [&](int i) { return 2.0 * c * std::sqrt(i * td / kPi); });
    semiDifferentiate(y, 0, n - 1, td);
    for (int j = 10; j <= n - 1; ++j)
        EXPECT_NEAR(at(y, j), c, (j < 100 ? 5e-3 : 5e-4) * c) << j;
}

TEST(SemiDifferentiate, WorksOnAColumnOfAPointMajorTable) {
    constexpr int columns = 17;
    constexpr int target = 5;
    const int n = 500;
    const double td = 0.02;
    std::vector<double> table(static_cast<std::size_t>(kCapacity) * columns);
    for (int i = 0; i < kCapacity; ++i)
        for (int c = 0; c < columns; ++c)
            table[static_cast<std::size_t>(i * columns + c)] = std::sin(0.01 * i + c);
    const std::vector<double> before = table;
    auto plain = column(n, [&](int i) { return before[static_cast<std::size_t>(i * columns + target)]; });

    std::vector<double> work(transformWorkSize(kCapacity));
    semiDifferentiate(ColumnRef::inTable(table, columns, target), 1, n - 1, td, work);
    semiDifferentiate(plain, 1, n - 1, td); // without a work buffer
    for (int i = 0; i < kCapacity; ++i) {
        for (int c = 0; c < columns; ++c) {
            const auto k = static_cast<std::size_t>(i * columns + c);
            if (c == target && i < n) {
                EXPECT_DOUBLE_EQ(table[k], at(plain, i)) << i;
            } else {
                ASSERT_EQ(table[k], before[k]) << "point " << i << " column " << c;
            }
        }
    }
}

TEST(Integrate, ConstantCurrentGivesALinearCharge) {
    const double i0 = -4e-6; // A
    const Sweep sweep{801, 0.1, 0.002};
    auto y = column(sweep.nPoints, [&](int) { return i0; });
    integrate(y, sweep.lastIndex(), sweep.h, sweep.v());
    for (int j = 1; j <= sweep.lastIndex(); ++j)
        EXPECT_NEAR(at(y, j), i0 * j * sweep.td, 1e-12 * std::fabs(i0) * j * sweep.td) << j;
    EXPECT_EQ(at(y, 0), at(y, 1));
    EXPECT_EQ(at(y, sweep.nPoints), 0.0); // nothing beyond the last stored point
}

TEST(Differentiate, LinearCurrentGivesSlopeTimesScanRate) {
    struct Case {
        double slope; // A/V
        double v;     // V/s
        int nPoints;
        int lastPoint;
    };
    for (const Case c : {Case{2e-5, 0.1, 401, 399}, Case{-3e-4, 0.05, 5000, 4998}, Case{1e-6, 1.0, 10, 8}}) {
        const double h = 0.005;
        auto y = column(c.nPoints, [&](int i) { return 1e-6 + c.slope * (0.3 - h * i); });
        // the cell after the data is read by the last central difference; its value is overwritten
        y[static_cast<std::size_t>(c.nPoints)] = 123.0;
        differentiate(y, c.nPoints - 1, c.nPoints, c.lastPoint, h, c.v);
        for (int i = 0; i <= c.nPoints; ++i)
            EXPECT_NEAR(at(y, i), -c.slope * c.v, 1e-9 * std::fabs(c.slope * c.v)) << i;
    }
}

TEST(Differentiate, WritingBeyondTheLastCellFails) {
    auto y = column(kCapacity, [](int i) { return 0.001 * i; });
    const auto before = y;
    EXPECT_EQ(failureOf([&] { differentiate(y, kCapacity - 1, kCapacity, kCapacity - 2, 0.001, 0.1); }),
              failure_text::subscriptOutOfRange);
    EXPECT_EQ(y, before);
    EXPECT_EQ(failureOf([&] { differentiate(y, 1, 2, 1, 0.001, 0.1); }), failure_text::subscriptOutOfRange);
}

TEST(Smooth, RemovesAOnePointSpikeOnAFlatLine) {
    const int n = 200;
    for (int spike : {4, 5, 50, 120, n - 4}) {
        auto y = column(n, [&](int i) { return i == spike ? 7.0 : 2.0; });
        smooth(y, n - 1, n);
        for (int i = 0; i < n; ++i)
            EXPECT_EQ(at(y, i), 2.0) << "spike at " << spike << ", point " << i;
    }
}

TEST(Smooth, PassesStraightLinesAndParabolasUnchanged) {
    const int n = 300;
    const auto line = [](int i) { return -1e-6 + 3e-8 * i; };
    const auto parabola = [](int i) { return 1e-6 * (1.0 - 1e-4 * (i - 150.0) * (i - 150.0)); };
    for (const auto& shape : {std::function<double(int)>(line), std::function<double(int)>(parabola)}) {
        auto y = column(n, shape);
        smooth(y, n - 1, n);
        for (int i = 0; i < n; ++i)
            EXPECT_NEAR(at(y, i), shape(i), 1e-12 * 1e-6) << i;
    }
}

TEST(Smooth, KeepsTheEndsAndLeavesShortCurvesAlone) {
    const int n = 50;
    auto y = column(n, [](int i) { return i == 2 || i == n - 2 ? 9.0 : 1.0; });
    smooth(y, n - 1, n);
    EXPECT_EQ(at(y, 2), 9.0); // outside 4..N-4 nothing changes, spikes included
    EXPECT_EQ(at(y, n - 2), 9.0);
    auto shortCurve = column(7, [](int i) { return i == 3 ? 5.0 : 0.0; });
    const auto before = shortCurve;
    smooth(shortCurve, 6, 7);
    EXPECT_EQ(shortCurve, before);
}

// A Nernstian wave rising from i lim2 = 0 to i lim1 = ilim: on a cathodic sweep the reduction current
// ilim / (1 + exp(f (E - E0))), on an anodic sweep the oxidation current ilim / (1 + exp(-f (E - E0))),
// both counted positive. log((ilim - i)/i) = +/- f (E - E0)/ln 10 is a line of RT ln10/F = 59.16 mV per
// decade through E0, rising with E for the reduction and falling for the oxidation.
TEST(LogWave, NernstianWaveGivesFiftyNineMillivoltsPerDecade) {
    const double ilim = 1e-5; // A
    const double E0 = 0.05;   // V
    const double h = 0.001;   // V
    for (double direction : {-1.0, 1.0}) {
        const int n = 601;
        const double Estart = E0 - direction * 0.3;
        const auto E = [&](int i) { return Estart + direction * h * i; };
        // direction -1: reduction, exp(+f (E - E0)); direction +1: oxidation, exp(-f (E - E0))
        auto y = column(
            n, [&](int i) { return ilim / (1.0 + std::exp(-direction * kNernstFactor * (E(i) - E0))); });
        logWave(y, n - 1);
        // Least-squares line over E0 +/- 0.1 V.
        double sx = 0.0, sy = 0.0, sxx = 0.0, sxy = 0.0;
        int count = 0;
        for (int i = 1; i < n - 1; ++i) {
            if (std::fabs(E(i) - E0) > 0.1)
                continue;
            sx += E(i);
            sy += at(y, i);
            sxx += E(i) * E(i);
            sxy += E(i) * at(y, i);
            ++count;
        }
        const double slope = (count * sxy - sx * sy) / (count * sxx - sx * sx); // decades/V
        const double intercept = (sy - slope * sx) / count;
        EXPECT_EQ(slope<0.0, direction> 0.0) << direction;
        const double mVPerDecade = 1000.0 / std::fabs(slope);
        EXPECT_NEAR(mVPerDecade, 1000.0 * std::numbers::ln10 / kNernstFactor, 1.0) << direction;
        EXPECT_NEAR(mVPerDecade, 59.16, 1.0) << direction;
        EXPECT_NEAR(-intercept / slope, E0, 0.001) << "half-wave potential, direction " << direction;
        EXPECT_EQ(at(y, 0), 0.0);
    }
}

TEST(LogWave, SkipsPointsWithoutAPositiveRatio) {
    const int n = 20;
    auto flat = column(n, [](int) { return 3e-6; });
    logWave(flat, n - 1);
    for (int i = 0; i < n; ++i)
        EXPECT_EQ(at(flat, i), 0.0) << i;
    // Points below the lower limit give a negative denominator and stay 0.
    auto dip = column(n, [](int i) { return i == 1 ? 1.0 : (i == n - 1 ? 2.0 : 0.5); });
    logWave(dip, n - 1);
    for (int i = 2; i <= n - 2; ++i)
        EXPECT_EQ(at(dip, i), 0.0) << i;
    EXPECT_EQ(failureOf([&] { logWave(dip, 2); }), failure_text::subscriptOutOfRange);
}

// The log analyses skip the points they cannot take the logarithm of without setting the floating-point
// flags that the commands test afterwards.
TEST(LogAnalyses, SkippedPointsLeaveNoFloatingPointFlags) {
    const int n = 40;
    auto flat = column(n, [](int) { return 3e-6; });
    auto zero = column(n, [](int) { return 0.0; });
    auto tiny =
        column(n, [](int i) { return i == 1 ? 0.0 : (i == n - 1 ? 1e300 : 4.9406564584124654e-324); });
    std::feclearexcept(FE_ALL_EXCEPT);
    logWave(flat, n - 1);
    logWave(tiny, n - 1);
    logSemiIntegral(zero, 1, n - 2, n, 0.001, 0.1, 0.01);
    EXPECT_EQ(std::fetestexcept(FE_DIVBYZERO | FE_OVERFLOW | FE_INVALID), 0);
    EXPECT_NEAR(at(tiny, 2), 300.0 - std::log10(4.9406564584124654e-324), 1e-9); // beyond a double's range
}

// For a constant current i0 the semi-integral is I(j) = 2 i0 sqrt((j - 1) td / pi) up to L - 1, and
// I lim = I(L) is its linear extrapolation 2 I(L-1) - I(L-2); the analysis gives log10((I lim - I(j))/i0).
TEST(LogSemiIntegral, ConstantCurrentFollowsTheSquareRootLaw) {
    const double i0 = 1e-6; // A
    const Sweep sweep{401, 0.01, 0.001};
    const int L = sweep.lastIndex();
    const int first = 1;
    const int lastPoint = L - 1;
    auto y = column(sweep.nPoints, [&](int) { return i0; });
    std::vector<double> work(transformWorkSize(kCapacity));
    logSemiIntegral(y, first, lastPoint, sweep.nPoints, sweep.h, sweep.v(), sweep.td, work);
    const auto semiIntegral = [&](int j) { return 2.0 * i0 * std::sqrt((j - 1) * sweep.td / kPi); };
    const double limit = 2.0 * semiIntegral(L - 1) - semiIntegral(L - 2);
    for (int j = 2; j <= lastPoint; ++j)
        EXPECT_NEAR(at(y, j), std::log10((limit - semiIntegral(j)) / i0), 1e-9) << j;
    EXPECT_EQ(at(y, 1), i0); // point 1 is not analysed and keeps its current
    // Outside the active range the column keeps the semi-integral, with its extrapolated ends.
    EXPECT_NEAR(at(y, L), limit, 1e-12 * limit);
    const double start = semiIntegral(1) - (semiIntegral(3) - semiIntegral(2));
    EXPECT_NEAR(at(y, 0), start, 1e-12 * limit);
}

TEST(RangeOperations, ReverseScaleAndShiftTheActiveRangeOnly) {
    const int n = 12;
    const auto original = column(n, [](int i) { return 0.1 * i - 0.3; });
    auto reversed = original;
    reverseRange(reversed, 2, 9);
    auto scaled = original;
    scaleRange(scaled, 2, 9, 2e-3);
    auto shifted = original;
    shiftRange(shifted, 2, 9, 0.25);
    for (int i = 0; i < n; ++i) {
        const bool active = i >= 2 && i <= 9;
        EXPECT_EQ(at(reversed, i), active ? at(original, 2 + 9 - i) : at(original, i)) << i;
        EXPECT_DOUBLE_EQ(at(scaled, i), active ? 2e-3 * at(original, i) : at(original, i)) << i;
        EXPECT_DOUBLE_EQ(at(shifted, i), active ? at(original, i) - 0.25 : at(original, i)) << i;
    }
    reverseRange(reversed, 2, 9);
    EXPECT_EQ(reversed, original);
    reverseRange(reversed, 0, kCapacity - 1);
    EXPECT_EQ(at(reversed, kCapacity - 1), at(original, 0));
    EXPECT_EQ(failureOf([&] { reverseRange(reversed, 0, kCapacity); }), failure_text::subscriptOutOfRange);
    EXPECT_EQ(failureOf([&] { scaleRange(reversed, -1, 3, 2.0); }), failure_text::subscriptOutOfRange);
}

TEST(Transforms, DivisionsByZeroFailBeforeWriting) {
    const int n = 30;
    const auto original = column(n, [](int i) { return 1e-6 * i; });
    struct Case {
        const char* name;
        std::function<void(std::vector<double>&)> run;
        const char* failure;
    };
    const std::vector<Case> cases = {
        {"semi-derivative, td = 0", [&](auto& y) { semiDifferentiate(y, 1, n - 1, 0.0); },
         failure_text::divisionByZero},
        {"semi-derivative, td < 0", [&](auto& y) { semiDifferentiate(y, 1, n - 1, -0.1); },
         failure_text::invalidCall},
        {"semi-derivative, 2 points", [&](auto& y) { semiDifferentiate(y, 0, 1, 0.1); },
         failure_text::subscriptOutOfRange},
        {"semi-derivative, beyond 5000", [&](auto& y) { semiDifferentiate(y, 0, kCapacity, 0.1); },
         failure_text::subscriptOutOfRange},
        {"integral, v = 0", [&](auto& y) { integrate(y, n - 1, 0.001, 0.0); }, failure_text::divisionByZero},
        {"derivative, h = 0", [&](auto& y) { differentiate(y, n - 1, n, n - 2, 0.0, 0.1); },
         failure_text::divisionByZero},
        {"log semi-integral, v = 0", [&](auto& y) { logSemiIntegral(y, 1, n - 2, n, 0.001, 0.0, 0.01); },
         failure_text::divisionByZero},
    };
    for (const auto& c : cases) {
        auto y = original;
        EXPECT_EQ(failureOf([&] { c.run(y); }), c.failure) << c.name;
        EXPECT_EQ(y, original) << c.name;
    }
}

TEST(Transforms, AbscissaStepIsTheSpacingOfTheSecondAndThirdPotentials) {
    const std::vector<double> E = {0.3, 0.295, 0.29, 0.285};
    EXPECT_NEAR(abscissaStep(E), 0.005, 1e-15);
    const std::vector<double> tooShort = {0.3, 0.2};
    EXPECT_EQ(failureOf([&] { abscissaStep(tooShort); }), failure_text::subscriptOutOfRange);
}

} // namespace
} // namespace tessaly

namespace tessaly {
namespace {

// Curves longer than the store's classic 5001 points are semi-differentiated by transform. On a short
// curve the transform of the same kernel agrees with the direct sum to rounding.
TEST(SemiDifferentiate, TransformOfTheKernelAgreesWithTheDirectSum) {
    const int n = 2001;
    const double td = 0.01;
    auto direct = column(n, [](int i) { return 1e-6 * std::exp(-0.002 * i) * std::sin(0.01 * i); });
    const std::vector<double> before = direct;
    semiDifferentiate(direct, 0, n - 1, td);

    std::vector<double> kernel(static_cast<std::size_t>(n - 1)), x(kernel.size()), d(kernel.size());
    semiDifferenceKernel(kernel);
    for (int k = 1; k <= n - 2; ++k)
        x[static_cast<std::size_t>(k)] = at(before, k) - at(before, 0);
    causalConvolutionFft(x, kernel, d);
    const double f = 2.0 / std::sqrt(kPi * td);
    for (int j = 1; j <= n - 2; ++j)
        ASSERT_NEAR(f * d[static_cast<std::size_t>(j)], at(direct, j), 1e-12 * 1e-6 * f) << j;
}

// One point more than 5001 switches to the transform; the points the two curves share agree to rounding.
TEST(SemiDifferentiate, LongCurveContinuesTheDirectSum) {
    const double td = 0.02;
    const auto curve = [](int i) { return 2e-5 / (1.0 + std::exp(-(i - 2500.0) / 150.0)); };
    std::vector<double> shorter(kCapacity), longer(kCapacity + 1);
    for (int i = 0; i <= kCapacity; ++i) {
        if (i < kCapacity)
            shorter[static_cast<std::size_t>(i)] = curve(i);
        longer[static_cast<std::size_t>(i)] = curve(i);
    }
    semiDifferentiate(shorter, 0, kCapacity - 1, td);
    semiDifferentiate(longer, 0, kCapacity, td);
    const double scale = 2e-5 * 2.0 / std::sqrt(kPi * td);
    for (int j = 0; j <= kCapacity - 2; ++j)
        ASSERT_NEAR(at(longer, j), at(shorter, j), 1e-12 * scale) << j;
}

// The semi-derivative of a unit step is the mean of the Cottrell decay 1/sqrt(pi t) over each
// interval, on 200,001 points as on 2001. The transform's rounding grows as log2(n) sqrt(n) times the
// scale 2/sqrt(pi td) of the sum: 1e-15 log2(n) sqrt(n) f bounds it.
TEST(SemiDifferentiate, LongUnitStepGivesCottrellDecay) {
    const double td = 0.05; // s
    const int n = 200001;
    std::vector<double> y(static_cast<std::size_t>(n), 1.0);
    y[0] = 0.0;
    semiDifferentiate(y, 0, n - 1, td);
    const double rounding = 1e-15 * std::log2(n) * std::sqrt(n) * 2.0 / std::sqrt(kPi * td);
    for (int j = 1; j <= n - 2; j += (j < 100 ? 1 : 97)) {
        const double mean = 2.0 * (std::sqrt(j * td) - std::sqrt((j - 1) * td)) / (td * std::sqrt(kPi));
        ASSERT_NEAR(at(y, j), mean, rounding) << j;
    }
}

// The semi-integral of a Cottrell current K/sqrt(pi t) is the constant K (the semi-integral of
// t^-1/2 / sqrt(pi) is 1), and that of a constant current i0 is 2 i0 sqrt(t/pi), on 100,001 points.
// The trapezoid charge of the singular start lags by a fixed amount, so the Cottrell semi-integral
// approaches K as 1/(pi sqrt(j)); the bound allows 0.4/sqrt(j).
TEST(SemiIntegrate, LongCottrellCurrentGivesAConstant) {
    const int n = 100001;
    const double td = 0.01, h = 0.001; // s, V
    const double K = 4e-6;             // A s^1/2
    // Each sample is the mean of K/sqrt(pi t) over the interval before it.
    std::vector<double> cottrell(static_cast<std::size_t>(n));
    for (int j = 1; j < n; ++j)
        cottrell[static_cast<std::size_t>(j)] =
            K * 2.0 * (std::sqrt(j * td) - std::sqrt((j - 1) * td)) / (td * std::sqrt(kPi));
    std::vector<double> constant(static_cast<std::size_t>(n), 2.5e-6);
    semiIntegrate(cottrell, 0, n - 1, h, h / td, td);
    semiIntegrate(constant, 0, n - 1, h, h / td, td);
    for (int j = 10; j <= n - 2; j += (j < 1000 ? 7 : 301)) {
        ASSERT_NEAR(at(cottrell, j), K, 0.4 / std::sqrt(j) * K) << j;
        const double t = (j - 1) * td;
        ASSERT_NEAR(at(constant, j), 2.0 * 2.5e-6 * std::sqrt(t / kPi), 1e-8 * 2.5e-6 * std::sqrt(n * td))
            << j;
    }
}

// undoSemiDifferentiate recovers the curve from its semi-difference sum, by forward substitution on a
// short curve and by the reciprocal series on a long one.
TEST(SemiDifferentiate, InverseRecoversTheCurve) {
    for (const int n : {500, 5001, 30001}) {
        const double td = 0.01;
        const auto curve = [&](int i) { return 3e-6 * std::sin(6.0 * i / n) + 1e-6 * i / n; };
        std::vector<double> y(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i)
            y[static_cast<std::size_t>(i)] = curve(i);
        semiDifferentiate(y, 0, n - 1, td);
        undoSemiDifferentiate(y, n - 2, td);
        for (int j = 1; j <= n - 2; ++j)
            ASSERT_NEAR(at(y, j), curve(j) - curve(0), 1e-9 * 3e-6) << "point " << j << " of " << n;
    }
}

} // namespace
} // namespace tessaly
