#include "curves/Transforms.h"

#include "base/Failure.h"
#include "curves/Convolution.h"
#include "curves/CurveStore.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

namespace tessaly {

namespace {

// Scratch space of one transform call: the caller's buffer when it is large enough, otherwise one
// vector owned for the call. Handed out zero-filled, in consecutive pieces.
class WorkArea {
public:
    WorkArea(std::span<double> given, std::size_t needed) {
        if (given.size() >= needed) {
            m_free = given.first(needed);
        } else {
            m_own.resize(needed);
            m_free = m_own;
        }
        std::fill(m_free.begin(), m_free.end(), 0.0);
    }

    std::span<double> take(std::size_t count) {
        std::span<double> piece = m_free.first(count);
        m_free = m_free.subspan(count);
        return piece;
    }

    std::span<double> rest() const { return m_free; }

private:
    std::vector<double> m_own;
    std::span<double> m_free;
};

std::size_t cells(int count) {
    return static_cast<std::size_t>(std::max(count, 0));
}

// Work of semiDifferentiate for last index L: the weights and the baseline-corrected samples.
std::size_t semiDifferentiateWork(int lastIndex) {
    return 2 * cells(lastIndex + 1);
}

// Dot product with four partial sums, so that the multiply-adds of the O(L^2) sum are not one
// dependent chain.
double dot(const double* a, const double* b, int n) {
    double s0 = 0.0;
    double s1 = 0.0;
    double s2 = 0.0;
    double s3 = 0.0;
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        s0 += a[i] * b[i];
        s1 += a[i + 1] * b[i + 1];
        s2 += a[i + 2] * b[i + 2];
        s3 += a[i + 3] * b[i + 3];
    }
    for (; i < n; ++i)
        s0 += a[i] * b[i];
    return (s0 + s1) + (s2 + s3);
}

void requireNonZero(double divisor) {
    if (divisor == 0.0)
        raise(failure_text::divisionByZero);
}

// log10(a / b) when a / b is positive, computed as a difference of logarithms so that a tiny
// divisor cannot overflow the quotient; false when the quotient is not positive or not finite.
bool logRatio(double a, double b, double& result) {
    if (!(a != 0.0 && b != 0.0 && std::isfinite(a) && std::isfinite(b)) || ((a > 0.0) != (b > 0.0)))
        return false;
    result = std::log10(std::fabs(a)) - std::log10(std::fabs(b));
    return true;
}

// Curves up to the store's classic size keep the direct semi-difference sum, in its exact summation
// order (5001 points cost about 12 million multiply-adds); longer ones are convolved by transform.
constexpr int kDirectSumPoints = kPointCapacity;

// The semi-difference sum term by term: O(L^2), the weights computed once per call.
void semiDifferentiateDirect(ColumnRef y, int L, double y0, double f, std::span<double> work) {
    WorkArea area(work, semiDifferentiateWork(L));
    // reversed[i] = w(L - i), so that the sum over k of x(k) w(j - k) runs forward through both arrays.
    const std::span<double> reversed = area.take(cells(L + 1));
    const std::span<double> x = area.take(cells(L + 1));
    for (int k = 1; k <= L - 1; ++k) {
        const double w = std::sqrt(k + 1.0) - 2.0 * std::sqrt(static_cast<double>(k)) + std::sqrt(k - 1.0);
        reversed[cells(L - k)] = w;
    }
    for (int k = 1; k <= L; ++k)
        x[cells(k)] = y[k] - y0;

    for (int j = 1; j <= L - 1; ++j) {
        const double history = dot(x.data() + 1, reversed.data() + (L - j + 1), j - 1);
        y[j] = f * (x[cells(j)] + history);
    }
}

// The semi-difference sum of a long curve by transform: D(j) = f (c * x)(j), j = 1..L-1, with
// c(0) = 1, c(m) = w(m) and x(0) = 0.
void semiDifferentiateLong(ColumnRef y, int L, double y0, double f) {
    std::vector<double> c(cells(L));
    semiDifferenceKernel(c);
    std::vector<double> x(cells(L));
    for (int k = 1; k <= L - 1; ++k)
        x[cells(k)] = y[k] - y0;
    std::vector<double> d(cells(L));
    causalConvolution(x, c, d);
    for (int j = 1; j <= L - 1; ++j)
        y[j] = f * d[cells(j)];
}

} // namespace

void semiDifferenceKernel(std::span<double> c) {
    if (c.empty())
        return;
    c[0] = 1.0;
    for (std::size_t k = 1; k < c.size(); ++k) {
        // sqrt(k+1) - 2 sqrt(k) + sqrt(k-1) without cancellation: the direct form loses six digits at
        // k = 5000 and nine at k = 10^6.
        const double lo = std::sqrt(static_cast<double>(k) - 1.0);
        const double mid = std::sqrt(static_cast<double>(k));
        const double hi = std::sqrt(static_cast<double>(k) + 1.0);
        c[k] = -2.0 / ((hi + lo) * (hi + mid) * (mid + lo));
    }
}

void undoSemiDifferentiate(std::span<double> y, int last, double td) {
    if (last < 0 || static_cast<std::size_t>(last) >= y.size())
        raise(failure_text::subscriptOutOfRange);
    requireNonZero(td);
    if (!(td > 0.0))
        raise(failure_text::invalidCall);
    const double f = 2.0 / std::sqrt(std::numbers::pi * td);
    if (last < kDirectSumPoints) {
        // Forward substitution through the lower-triangular sum, in the order it was formed.
        std::vector<double> w(cells(std::max(last, 1) + 1), 0.0);
        for (int k = 1; k <= last; ++k)
            w[cells(k)] = std::sqrt(k + 1.0) - 2.0 * std::sqrt(static_cast<double>(k)) + std::sqrt(k - 1.0);
        for (int j = 1; j <= last; ++j) {
            double history = 0.0;
            for (int k = 1; k <= j - 1; ++k)
                history += y[cells(k)] * w[cells(j - k)];
            y[cells(j)] = y[cells(j)] / f - history;
        }
    } else {
        // x = (1/c) * (D / f), with the reciprocal series of the kernel; D(0) takes no part.
        std::vector<double> c(cells(last + 1));
        semiDifferenceKernel(c);
        std::vector<double> inverse(c.size());
        seriesReciprocal(c, inverse);
        std::vector<double> d(c.size());
        for (int j = 1; j <= last; ++j)
            d[cells(j)] = y[cells(j)] / f;
        causalConvolution(inverse, d, y.first(cells(last + 1)));
    }
    y[0] = 0.0;
}

std::size_t transformWorkSize(int nPoints) {
    return 3 * cells(nPoints + 1);
}

double abscissaStep(std::span<const double> E) {
    if (E.size() < 3)
        raise(failure_text::subscriptOutOfRange);
    return std::fabs(E[2] - E[1]);
}

void semiDifferentiate(ColumnRef y, int first, int lastIndex, double td, std::span<double> work) {
    const int L = lastIndex;
    if (L < 2)
        raise(failure_text::subscriptOutOfRange); // the end formula reads D(L - 2)
    y.requireRange(0, L);
    const double y0 = y.at(first);
    requireNonZero(td);
    if (!(td > 0.0))
        raise(failure_text::invalidCall); // square root of a negative drop time
    const double f = 2.0 / std::sqrt(std::numbers::pi * td);

    if (L + 1 > kDirectSumPoints) {
        semiDifferentiateLong(y, L, y0, f);
    } else {
        semiDifferentiateDirect(y, L, y0, f, work);
    }
    // Linear extrapolation to the ends. D(0) is still 0 when D(L) is formed, and D(3) is the unwritten
    // cell D(N) when L = 2.
    y[L] = 2.0 * y[L - 1] - (L - 2 == 0 ? 0.0 : y[L - 2]);
    const double d3 = L >= 3 ? y[3] : 0.0;
    y[0] = y[1] - (d3 - y[2]);
}

void integrate(ColumnRef y, int lastIndex, double h, double v) {
    const int L = lastIndex;
    if (L < 0)
        raise(failure_text::subscriptOutOfRange);
    y.requireRange(0, L);
    requireNonZero(v);
    double charge = 0.0; // V A, divided by v at the end of each step
    double previous = y[0];
    for (int j = 1; j <= L; ++j) {
        const double current = y[j];
        charge += h / 2.0 * (current + previous);
        previous = current;
        y[j] = charge / v;
    }
    y[0] = L >= 1 ? y[1] : 0.0; // S(0) = S(1)
}

void semiIntegrate(ColumnRef y, int first, int lastIndex, double h, double v, double td,
                   std::span<double> work) {
    integrate(y, lastIndex, h, v);
    semiDifferentiate(y, first, lastIndex, td, work);
}

void differentiate(ColumnRef y, int lastIndex, int nPoints, int lastPoint, double h, double v) {
    const int L = lastIndex;
    const int N = nPoints;
    const int P = lastPoint;
    // D has cells 0..N and the ends read D(N - 3); the differences read y(L + 1).
    if (N < 3 || L < 0 || L > N || P < 0 || P > N)
        raise(failure_text::subscriptOutOfRange);
    y.requireRange(0, std::max(N, L + 1));
    requireNonZero(h);

    // In place: `previous` keeps the unmodified y(j - 1) while D(j) overwrites y(j).
    double previous = y[0];
    y[0] = (y[1] - y[0]) / h;
    for (int j = 1; j <= L; ++j) {
        const double current = y[j];
        y[j] = (y[j + 1] - previous) / (2.0 * h);
        previous = current;
    }
    for (int j = L + 1; j <= N; ++j)
        y[j] = 0.0;
    const double end = y[N - 3];
    y[L] = end;
    y[N] = end;
    y[P] = end;
    for (int i = 0; i <= N; ++i)
        y[i] *= v;
}

void smooth(ColumnRef y, int lastIndex, int nPoints, std::span<double> work) {
    const int L = lastIndex;
    const int N = nPoints;
    if (L < 0 || L > N)
        raise(failure_text::subscriptOutOfRange);
    y.requireRange(0, std::max(L, N - 4));
    WorkArea area(work, cells(N + 1));
    const std::span<double> copy = area.take(cells(N + 1));
    const auto W = [&](int i) -> double& { return copy[cells(i)]; };
    for (int i = 0; i <= L; ++i)
        W(i) = y[i];

    // Spikes, in ascending order on the array being changed, so a repaired point counts as a
    // neighbour of the next one.
    for (int i = 4; i <= N - 4; ++i) {
        const double jumpLeft = std::fabs(W(i) - W(i - 1));
        const double jumpRight = std::fabs(W(i) - W(i + 1));
        if (std::fabs(W(i - 1) - W(i - 2)) < jumpLeft && std::fabs(W(i + 1) - W(i + 2)) < jumpRight)
            W(i) = (W(i - 1) + W(i + 1)) / 2.0;
    }
    // Quadratic least-squares fit over seven points: weights -2, 3, 6, 7, 6, 3, -2 over 21.
    for (int i = 4; i <= N - 4; ++i) {
        y[i] = (-2.0 * (W(i - 3) + W(i + 3)) + 3.0 * (W(i - 2) + W(i + 2)) + 6.0 * (W(i - 1) + W(i + 1)) +
                7.0 * W(i)) /
               21.0;
    }
}

void logWave(ColumnRef y, int lastIndex) {
    const int L = lastIndex;
    if (L < 3)
        raise(failure_text::subscriptOutOfRange); // the end formula reads G(L - 3)
    y.requireRange(0, L);
    const double upper = y[L]; // i lim1, A
    const double lower = y[1]; // i lim2, A
    // In place: G(j) needs only y(j) and the two limits saved above.
    for (int j = 2; j <= L - 1; ++j) {
        double g = 0.0;
        if (!logRatio(std::fabs(upper - y[j]), y[j] - lower, g))
            g = 0.0;
        y[j] = g;
    }
    // G(3) is the unwritten G(L) when L = 3, and G(0) is 0 until the end.
    const double g3 = L - 1 >= 3 ? y[3] : 0.0;
    y[1] = 2.0 * y[2] - g3;
    y[L] = 2.0 * y[L - 1] - (L - 3 >= 1 ? y[L - 3] : 0.0);
    y[0] = 0.0;
}

void logSemiIntegral(ColumnRef y, int first, int lastPoint, int nPoints, double h, double v, double td,
                     std::span<double> work) {
    const int F = first;
    const int P = lastPoint;
    const int N = nPoints;
    const int L = N - 1;
    if (F < 0 || P > N || L < 0)
        raise(failure_text::subscriptOutOfRange);
    if (F <= P)
        y.requireRange(F, P);
    WorkArea area(work, cells(N + 1) + semiDifferentiateWork(L));
    const std::span<double> current = area.take(cells(N + 1)); // i of F..P, A; then the logarithms
    const auto W = [&](int i) -> double& { return current[cells(i)]; };
    for (int i = F; i <= P; ++i)
        W(i) = y[i];

    semiIntegrate(y, F, L, h, v, td, area.rest());
    const double limit = y[L]; // I lim, A s^1/2
    for (int j = 2; j <= L; ++j) {
        double g = 0.0;
        if (logRatio(limit - y[j], W(j), g))
            W(j) = g;
    }
    W(0) = 2.0 * W(1) - W(2);
    W(L) = 2.0 * W(L) - W(L - 1);
    for (int i = F; i <= P; ++i)
        y[i] = W(i);
}

void reverseRange(ColumnRef y, int first, int lastPoint) {
    if (first > lastPoint)
        return;
    y.requireRange(first, lastPoint);
    for (int i = first, k = lastPoint; i < k; ++i, --k)
        std::swap(y[i], y[k]);
}

void scaleRange(ColumnRef y, int first, int lastPoint, double k) {
    if (first > lastPoint)
        return;
    y.requireRange(first, lastPoint);
    for (int i = first; i <= lastPoint; ++i)
        y[i] *= k;
}

void shiftRange(ColumnRef y, int first, int lastPoint, double y0) {
    if (first > lastPoint)
        return;
    y.requireRange(first, lastPoint);
    for (int i = first; i <= lastPoint; ++i)
        y[i] -= y0;
}

} // namespace tessaly
