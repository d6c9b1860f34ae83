#pragma once
// Causal convolution of sampled sequences and the reciprocal of a power series, the two operations
// behind the fractional transforms of long curves. A direct sum costs n^2/2 multiply-adds for n output
// points; above a few hundred points the product is formed through a fast Fourier transform in
// O(n log n) instead (Cooley & Tukey, Math. Comp. 19 (1965) 297). Both forms agree to rounding:
// the transform's error is of the order of 1e-16 log2(n) |a| |b| (Euclidean norms).

#include <span>

namespace tessaly {

// out[j] = sum_{k=0..j} a[k] b[j - k] for j = 0..out.size() - 1; a and b are read where they hold
// values (missing terms are zero). out may not overlap a or b. Chooses the direct sum for short
// sequences and the transform for long ones.
void causalConvolution(std::span<const double> a, std::span<const double> b, std::span<double> out);

// The two forms, for callers and tests that need one of them.
void causalConvolutionDirect(std::span<const double> a, std::span<const double> b, std::span<double> out);
void causalConvolutionFft(std::span<const double> a, std::span<const double> b, std::span<double> out);

// The first out.size() coefficients of 1 / a(z), a(z) = sum_k a[k] z^k, by Newton's iteration
// g <- g (2 - a g), which doubles the number of correct coefficients per step; O(n log n). Solving
// the lower-triangular Toeplitz system a * x = d is then one convolution: x = (1/a) * d. Raises
// "Division by zero" when a[0] is 0.
void seriesReciprocal(std::span<const double> a, std::span<double> out);

} // namespace tessaly
