#include "curves/Convolution.h"

#include "base/Failure.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstddef>
#include <numbers>
#include <vector>

namespace tessaly {

namespace {

using Complex = std::complex<double>;

// Below this many output points the direct sum is as fast as the transform and exact in its order.
constexpr std::size_t kDirectLimit = 256;

// In-place iterative radix-2 transform of a power-of-two length, X(k) = sum_j x(j) exp(-2 pi i jk/M)
// (inverse: the conjugate kernel, unscaled). The twiddle factors are evaluated each from its own angle,
// not by recurrence, so that their error does not grow with M.
void fft(std::vector<Complex>& x, bool inverse) {
    const std::size_t m = x.size();
    for (std::size_t i = 1, j = 0; i < m; ++i) {
        std::size_t bit = m >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(x[i], x[j]);
    }
    std::vector<Complex> twiddle(m / 2);
    const double sign = inverse ? 1.0 : -1.0;
    for (std::size_t k = 0; k < m / 2; ++k) {
        const double angle = sign * 2.0 * std::numbers::pi * static_cast<double>(k) / static_cast<double>(m);
        twiddle[k] = Complex(std::cos(angle), std::sin(angle));
    }
    for (std::size_t length = 2; length <= m; length <<= 1) {
        const std::size_t half = length / 2;
        const std::size_t step = m / length;
        for (std::size_t start = 0; start < m; start += length) {
            for (std::size_t k = 0; k < half; ++k) {
                const Complex u = x[start + k];
                const Complex v = x[start + k + half] * twiddle[k * step];
                x[start + k] = u + v;
                x[start + k + half] = u - v;
            }
        }
    }
}

// sqrt(sum v^2), scaled so that it neither overflows nor underflows.
double euclideanNorm(std::span<const double> values) {
    double largest = 0.0;
    for (const double v : values)
        largest = std::max(largest, std::fabs(v));
    if (largest == 0.0 || !std::isfinite(largest))
        return largest;
    double sum = 0.0;
    for (const double v : values)
        sum += (v / largest) * (v / largest);
    return largest * std::sqrt(sum);
}

} // namespace

void causalConvolutionDirect(std::span<const double> a, std::span<const double> b, std::span<double> out) {
    for (std::size_t j = 0; j < out.size(); ++j) {
        double sum = 0.0;
        const std::size_t kLow = j >= b.size() ? j - b.size() + 1 : 0;
        const std::size_t kHigh = std::min(j, a.size() == 0 ? 0 : a.size() - 1);
        for (std::size_t k = kLow; k <= kHigh && k < a.size(); ++k)
            sum += a[k] * b[j - k];
        out[j] = sum;
    }
}

void causalConvolutionFft(std::span<const double> a, std::span<const double> b, std::span<double> out) {
    const std::size_t n = out.size();
    std::fill(out.begin(), out.end(), 0.0);
    const std::span<const double> x = a.first(std::min(a.size(), n));
    const std::span<const double> y = b.first(std::min(b.size(), n));
    const double scaleX = euclideanNorm(x);
    const double scaleY = euclideanNorm(y);
    if (n == 0 || scaleX == 0.0 || scaleY == 0.0)
        return;
    // The first n terms of the linear convolution are free of wrap-around when M >= x + y - 1.
    std::size_t m = 1;
    while (m < x.size() + y.size() - 1)
        m <<= 1;
    // Both real sequences in one complex transform, z = x + i y, each scaled to unit norm so that the
    // rounding of one does not drown the other; the two spectra separate by conjugate symmetry,
    // X(k) = (Z(k) + Z*(M - k)) / 2 and Y(k) = (Z(k) - Z*(M - k)) / 2i.
    std::vector<Complex> z(m);
    for (std::size_t k = 0; k < x.size(); ++k)
        z[k].real(x[k] / scaleX);
    for (std::size_t k = 0; k < y.size(); ++k)
        z[k].imag(y[k] / scaleY);
    fft(z, false);
    std::vector<Complex> product(m);
    for (std::size_t k = 0; k < m; ++k) {
        const Complex mirror = std::conj(z[(m - k) & (m - 1)]);
        const Complex spectrumX = 0.5 * (z[k] + mirror);
        const Complex spectrumY = Complex(0.0, -0.5) * (z[k] - mirror);
        product[k] = spectrumX * spectrumY;
    }
    fft(product, true);
    const double factor = scaleX * scaleY / static_cast<double>(m);
    for (std::size_t j = 0; j < n; ++j)
        out[j] = product[j].real() * factor;
}

void causalConvolution(std::span<const double> a, std::span<const double> b, std::span<double> out) {
    if (out.size() <= kDirectLimit)
        causalConvolutionDirect(a, b, out);
    else
        causalConvolutionFft(a, b, out);
}

void seriesReciprocal(std::span<const double> a, std::span<double> out) {
    const std::size_t n = out.size();
    if (n == 0)
        return;
    if (a.empty() || a[0] == 0.0)
        raise(failure_text::divisionByZero);
    std::fill(out.begin(), out.end(), 0.0);
    out[0] = 1.0 / a[0];
    std::vector<double> product(n);
    std::vector<double> correction(n);
    // With g correct to m terms, a g = 1 + z^m e(z); the next m terms of 1/a are -(g e) up to z^m.
    for (std::size_t m = 1; m < n; m <<= 1) {
        const std::size_t next = std::min(2 * m, n);
        const std::span<double> ag(product.data(), next);
        causalConvolution(a.first(std::min(a.size(), next)), out.first(m), ag);
        const std::span<const double> e(product.data() + m, next - m);
        const std::span<double> ge(correction.data(), next - m);
        causalConvolution(out.first(m), e, ge);
        for (std::size_t k = 0; k < next - m; ++k)
            out[m + k] = -ge[k];
    }
}

} // namespace tessaly
