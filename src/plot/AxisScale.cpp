#include "plot/AxisScale.h"

#include "base/Checked.h"

#include <array>
#include <cmath>

namespace tessaly {

namespace {

constexpr int kLowestPower = -15;
constexpr std::array<double, 25> kPowersOfTen = {1e-15, 1e-14, 1e-13, 1e-12, 1e-11, 1e-10, 1e-9, 1e-8, 1e-7,
                                                 1e-6,  1e-5,  1e-4,  1e-3,  1e-2,  1e-1,  1e0,  1e1,  1e2,
                                                 1e3,   1e4,   1e5,   1e6,   1e7,   1e8,   1e9};

// Relative allowance for rounding when marks are counted along an axis.
constexpr double kMarkTolerance = 1e-9;

} // namespace

double powerOfTen(int k) {
    return kPowersOfTen[static_cast<std::size_t>(
        checkedIndex(k - kLowestPower, 0, static_cast<int>(kPowersOfTen.size()) - 1))];
}

Decade findDecade(double magnitude, int kLow, int kHigh) {
    for (int k = kLow; k <= kHigh; ++k) {
        if (powerOfTen(k) <= magnitude && magnitude < powerOfTen(k + 1))
            return Decade{powerOfTen(k), k, true};
    }
    return Decade{powerOfTen(kHigh), kHigh, false};
}

double roundUpLimit(double value, double unit) {
    return (std::floor(value / unit) + 1.0) * unit;
}

double roundDownLimit(double value, double unit) {
    return (std::trunc(value / unit) - 1.0) * unit;
}

TickStep tickStep(double span, double unit) {
    const double n = std::nearbyint(span / unit); // default rounding mode: halves to even
    if (n == 0.0 || !std::isfinite(n))
        return {};
    const double step = span / n;
    if (!(step > 0.0) || !std::isfinite(step))
        return {};
    return TickStep{step, true};
}

namespace {

// (end - start)/step, or a negative value when it cannot be used.
double stepsToEnd(double start, double end, double step) {
    if (!(step > 0.0) || !std::isfinite(step))
        return -1.0;
    const double q = (end - start) / step;
    return std::isfinite(q) ? q : -1.0;
}

} // namespace

int marksThrough(double start, double end, double step) {
    const double q = stepsToEnd(start, end, step);
    if (q < -kMarkTolerance)
        return 0;
    const double marks = std::floor(q + kMarkTolerance) + 1.0;
    return marks > kMaxMarks ? 0 : static_cast<int>(marks);
}

int marksBefore(double start, double end, double step) {
    const double q = stepsToEnd(start, end, step);
    if (q <= kMarkTolerance)
        return 0;
    const double marks = std::ceil(q - kMarkTolerance);
    return marks > kMaxMarks ? 0 : static_cast<int>(marks);
}

AlignedMarks alignedMarks(double low, double high, int target) {
    const double span = high - low;
    if (!(span > 0.0) || !std::isfinite(span) || target < 1)
        return {};
    const double raw = span / target;
    const int k = static_cast<int>(std::floor(std::log10(raw)));
    const double power = k >= kLowestPower && k <= 9 ? powerOfTen(k) : std::pow(10.0, k);
    // The round step nearest the even division (in ratio), so the count comes close to the target.
    double multiple = 1.0;
    for (double m : {2.0, 5.0, 10.0}) {
        if (std::fabs(std::log(m * power / raw)) < std::fabs(std::log(multiple * power / raw)))
            multiple = m;
    }
    AlignedMarks marks;
    marks.unit =
        multiple == 10.0 ? (k + 1 >= kLowestPower && k + 1 <= 9 ? powerOfTen(k + 1) : 10.0 * power) : power;
    marks.step = multiple * power;
    marks.first = std::ceil(low / marks.step - kMarkTolerance) * marks.step;
    const int count = marksThrough(marks.first, high, marks.step);
    marks.count = count;
    return marks;
}

} // namespace tessaly
