#include "fitting/FitStatistics.h"

#include <cmath>
#include <limits>

namespace tessaly {
namespace {

// A pivot below this fraction of its diagonal (the scaled matrix has a unit diagonal) marks the
// normal matrix as singular: the columns are dependent to about 8 digits, and the standard errors
// would be set by rounding.
constexpr double kSingularPivot = 1e-16;

// In-place Cholesky factor L (lower triangle) of the m × m matrix a; false when not positive definite.
bool cholesky(std::vector<double>& a, std::size_t m) {
    for (std::size_t j = 0; j < m; ++j) {
        double d = a[j * m + j];
        for (std::size_t k = 0; k < j; ++k)
            d -= a[j * m + k] * a[j * m + k];
        if (!(d > kSingularPivot))
            return false;
        const double l = std::sqrt(d);
        a[j * m + j] = l;
        for (std::size_t i = j + 1; i < m; ++i) {
            double s = a[i * m + j];
            for (std::size_t k = 0; k < j; ++k)
                s -= a[i * m + k] * a[j * m + k];
            a[i * m + j] = s / l;
        }
    }
    return true;
}

// The inverse of L·Lᵀ from the factor: column by column, forward then back substitution.
std::vector<double> inverseFromCholesky(const std::vector<double>& l, std::size_t m) {
    std::vector<double> inverse(m * m, 0.0);
    std::vector<double> x(m);
    for (std::size_t c = 0; c < m; ++c) {
        for (std::size_t i = 0; i < m; ++i) {
            double s = i == c ? 1.0 : 0.0;
            for (std::size_t k = 0; k < i; ++k)
                s -= l[i * m + k] * x[k];
            x[i] = s / l[i * m + i];
        }
        for (std::size_t ii = m; ii-- > 0;) {
            double s = x[ii];
            for (std::size_t k = ii + 1; k < m; ++k)
                s -= l[k * m + ii] * x[k];
            x[ii] = s / l[ii * m + ii];
        }
        for (std::size_t i = 0; i < m; ++i)
            inverse[i * m + c] = x[i];
    }
    return inverse;
}

} // namespace

FitUncertainties fitUncertainties(std::span<const double> jacobian, int points, int parameters,
                                  std::span<const bool> free, double leastSquare) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const auto n = static_cast<std::size_t>(points);
    const auto p = static_cast<std::size_t>(parameters);
    FitUncertainties u;
    u.parameters = parameters;
    u.standardErrors.assign(p, nan);
    u.correlation.assign(p * p, nan);

    auto column = [&](std::size_t k) { return jacobian.subspan(k * n, n); };
    std::vector<std::size_t> active;
    std::vector<double> scale;
    for (std::size_t k = 0; k < p; ++k) {
        if (!free[k])
            continue;
        double sum = 0.0;
        for (const double v : column(k))
            sum += v * v;
        if (sum > 0.0 && std::isfinite(sum)) {
            active.push_back(k);
            scale.push_back(std::sqrt(sum));
        }
    }
    const std::size_t m = active.size();
    u.degreesOfFreedom = points - static_cast<int>(m);
    if (u.degreesOfFreedom <= 0 || m == 0)
        return u;
    u.residualVariance = leastSquare / u.degreesOfFreedom;

    // Normal matrix scaled to a unit diagonal, so the singularity test does not depend on the units.
    std::vector<double> a(m * m);
    for (std::size_t r = 0; r < m; ++r) {
        for (std::size_t c = 0; c <= r; ++c) {
            const auto x = column(active[r]);
            const auto y = column(active[c]);
            double sum = 0.0;
            for (std::size_t i = 0; i < n; ++i)
                sum += x[i] * y[i];
            a[r * m + c] = a[c * m + r] = sum / (scale[r] * scale[c]);
        }
    }
    if (!cholesky(a, m))
        return u;
    const std::vector<double> inverse = inverseFromCholesky(a, m);
    for (std::size_t r = 0; r < m; ++r) {
        const double varianceR = inverse[r * m + r];
        u.standardErrors[active[r]] = std::sqrt(u.residualVariance * varianceR) / scale[r];
        for (std::size_t c = 0; c < m; ++c)
            u.correlation[active[r] * p + active[c]] =
                inverse[r * m + c] / std::sqrt(varianceR * inverse[c * m + c]);
    }
    return u;
}

} // namespace tessaly
