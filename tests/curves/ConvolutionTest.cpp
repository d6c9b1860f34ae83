#include "curves/Convolution.h"

#include "base/Failure.h"
#include "curves/Transforms.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tessaly {
namespace {

std::vector<double> sequence(std::size_t n, auto&& value) {
    std::vector<double> v(n);
    for (std::size_t k = 0; k < n; ++k)
        v[k] = value(static_cast<double>(k));
    return v;
}

double norm(const std::vector<double>& v) {
    double s = 0.0;
    for (const double x : v)
        s += x * x;
    return std::sqrt(s);
}

// The transform and the direct sum agree to rounding, 1e-16 log2(n) |a| |b| with a margin, for
// short and long sequences, unequal lengths and magnitudes that differ by many decades.
TEST(Convolution, TransformAgreesWithTheDirectSum) {
    struct Case {
        std::size_t na, nb, nOut;
        double scaleA, scaleB;
    };
    for (const Case c : {Case{1, 1, 1, 1.0, 1.0}, Case{2, 5, 4, 1.0, 1.0}, Case{7, 7, 7, 1e-6, 3.0},
                         Case{300, 300, 300, 1e-9, 1e3}, Case{1000, 40, 1200, 2.0, 1e-4},
                         Case{3000, 3000, 3000, 1e-6, 1.0}}) {
        const auto a =
            sequence(c.na, [&](double k) { return c.scaleA * std::sin(0.37 * k + 0.2) * (1 + k / 50); });
        const auto b =
            sequence(c.nb, [&](double k) { return c.scaleB * std::cos(1.3 * k) / std::sqrt(k + 1); });
        std::vector<double> direct(c.nOut), viaTransform(c.nOut, 99.0);
        causalConvolutionDirect(a, b, direct);
        causalConvolutionFft(a, b, viaTransform);
        const double bound = 1e-15 * std::log2(2.0 * c.nOut + 2) * norm(a) * norm(b);
        for (std::size_t j = 0; j < c.nOut; ++j)
            ASSERT_NEAR(viaTransform[j], direct[j], bound) << "point " << j << " of " << c.nOut;
    }
}

// Sums with closed forms: ones * k = j(j+1)/2, and a sequence beyond the data is zero; to the
// transform's rounding, 1e-15 log2(n) |a| |b|.
TEST(Convolution, SumsOfClosedForm) {
    for (const std::size_t n : {std::size_t{10}, std::size_t{257}, std::size_t{5000}}) {
        const auto ones = sequence(n, [](double) { return 1.0; });
        const auto ramp = sequence(n, [](double k) { return k; });
        std::vector<double> out(n);
        causalConvolution(ones, ramp, out);
        const double rounding = 1e-15 * std::log2(2.0 * static_cast<double>(n)) * norm(ones) * norm(ramp);
        for (std::size_t j = 0; j < n; ++j) {
            const double exact = static_cast<double>(j) * static_cast<double>(j + 1) / 2.0;
            ASSERT_NEAR(out[j], exact, rounding) << j;
        }
        const std::vector<double> unit{1.0};
        std::vector<double> shifted(n + 3, -1.0);
        causalConvolution(ramp, unit, shifted);
        for (std::size_t j = 0; j < n + 3; ++j)
            ASSERT_NEAR(shifted[j], j < n ? static_cast<double>(j) : 0.0, 1e-12 * static_cast<double>(n))
                << j;
    }
}

// 1/(1 - z) = sum z^k and 1/(1 - z)^2 = sum (k + 1) z^k; the reciprocal of the semi-difference
// kernel times the kernel is 1 to rounding, over lengths that end in the middle of a Newton step.
// Each of the log2(n) Newton steps adds the rounding of two transforms of up to n terms.
TEST(SeriesReciprocal, KnownSeriesAndTheSemiDifferenceKernel) {
    for (const std::size_t n : {std::size_t{1}, std::size_t{3}, std::size_t{100}, std::size_t{4097}}) {
        std::vector<double> out(n);
        const double rounding = 1e-15 * static_cast<double>(n) * std::log2(2.0 * static_cast<double>(n));
        seriesReciprocal(std::vector<double>{1.0, -1.0}, out);
        for (std::size_t k = 0; k < n; ++k)
            ASSERT_NEAR(out[k], 1.0, rounding) << k;
        // A growing series: the transform's rounding scales with its norm (n^1.5), so the long case
        // is left to the bounded series.
        if (n <= 100) {
            seriesReciprocal(std::vector<double>{1.0, -2.0, 1.0}, out);
            for (std::size_t k = 0; k < n; ++k)
                ASSERT_NEAR(out[k], static_cast<double>(k + 1), rounding * static_cast<double>(n)) << k;
        }

        std::vector<double> kernel(n), inverse(n), product(n);
        semiDifferenceKernel(kernel);
        seriesReciprocal(kernel, inverse);
        causalConvolutionDirect(kernel, inverse, product);
        for (std::size_t k = 0; k < n; ++k)
            ASSERT_NEAR(product[k], k == 0 ? 1.0 : 0.0, 1e-12) << k;
    }
}

TEST(SeriesReciprocal, ZeroLeadingCoefficientIsADivisionByZero) {
    std::vector<double> out(4);
    std::string what;
    try {
        seriesReciprocal(std::vector<double>{0.0, 1.0}, out);
    } catch (const Failure& failure) {
        what = failure.description();
    }
    EXPECT_EQ(what, "Division by zero");
}

} // namespace
} // namespace tessaly
