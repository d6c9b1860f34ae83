#pragma once
// Curve transforms on plain point arrays: semi-differentiation and semi-integration, derivative,
// integral, smoothing, the two logarithmic wave analyses, scaling, shifting and reversing. They know
// nothing of the curve store: the caller passes the column (ColumnRef: a plain array, or one column of a
// point-major table such as Curve[i][c] with 17 doubles per point) and the indices and constants.
//
// Index conventions, as the curve store keeps them (its arrays hold indices 0..5000 or more):
//   lastIndex  L = LastIndex, the last index that holds data (NPoints - 1);
//   nPoints    N = NPoints, the number of stored points;
//   first      F = FirstPoint, lastPoint P = LastPoint: the active range F..P.
// The points are taken as equally spaced: h = |E[2] - E[1]| (V) in potential, td (s) in time, with scan
// rate v (V/s). Indices outside the array raise "Subscript out of range" before anything is written;
// h = 0, td = 0 or v = 0 raise "Division by zero" where the transform divides by them.
//
// Work buffers: a transform that needs scratch space uses the caller's `work` when it holds at least
// transformWorkSize(N) doubles (so a caller that keeps one buffer of transformWorkSize(5001) never
// allocates); otherwise it allocates one vector for the call.

#include "curves/ColumnRef.h"

#include <cstddef>
#include <span>

namespace tessaly {

// Doubles of work buffer that is enough for any transform of up to nPoints points.
std::size_t transformWorkSize(int nPoints);

// The abscissa step h = |E[2] - E[1]|, V.
double abscissaStep(std::span<const double> E);

// Semi-derivative with respect to time by the Riemann-Liouville sum (the G1 algorithm of Oldham &
// Spanier, "The Fractional Calculus", 1974), relative to the baseline y(F):
//   D(j) = 2/sqrt(pi td) [ (y(j) - y(F)) + sum_{k=1..j-1} (y(k) - y(F)) w(j - k) ],  j = 1..L-1,
//   w(k) = sqrt(k + 1) - 2 sqrt(k) + sqrt(k - 1);
// then D(L) = 2 D(L-1) - D(L-2) and D(0) = D(1) - (D(3) - D(2)); y(0..L) = D. td is the time per
// point, s. Needs L >= 2 (4 points for meaningful ends). Up to 5001 points the sum is formed term by
// term (O(L^2), the weights computed once per call); a longer curve is convolved with the weights by
// fast Fourier transform in O(L log L), which agrees with the direct sum to rounding.
void semiDifferentiate(ColumnRef y, int first, int lastIndex, double td, std::span<double> work = {});

// The kernel of the semi-difference sum: c(0) = 1, c(k) = w(k) for k = 1..c.size() - 1, computed
// without the cancellation of the three square roots.
void semiDifferenceKernel(std::span<double> c);

// The inverse of semiDifferentiate's sum over points 1..last (before its end extrapolation): the sum
// is lower-triangular with diagonal f = 2/sqrt(pi td), so x(1..last) follows from D(1..last) by forward
// substitution (up to 5001 points, in the order the sum was formed) or, for a longer curve, by one
// convolution with the reciprocal series of the weights, O(L log L). x is relative to the baseline
// the semi-derivative subtracted; y(0) = 0. y holds D on entry and x on return.
void undoSemiDifferentiate(std::span<double> y, int last, double td);

// Trapezoid integral in potential divided by the scan rate, so that a current (A) becomes a charge
// (C): S(j) = S(j-1) + h/2 (y(j) + y(j-1)), S(0) = S(1), y(0..L) = S / v. h in V, v in V/s.
void integrate(ColumnRef y, int lastIndex, double h, double v);

// Semi-integral with respect to time: integrate, then semiDifferentiate. A current (A) becomes its
// semi-integral (A s^1/2).
void semiIntegrate(ColumnRef y, int first, int lastIndex, double h, double v, double td,
                   std::span<double> work = {});

// Time derivative dy/dt = v dy/dE by central differences (forward difference at point 0); the ends
// D(L), D(N) and D(P) take the value of D(N-3). Writes y(0..N): one cell beyond the stored data, so
// N must be an index of the array. Needs N >= 3.
void differentiate(ColumnRef y, int lastIndex, int nPoints, int lastPoint, double h, double v);

// Spike removal followed by the 7-point quadratic Savitzky-Golay filter (Savitzky & Golay, Anal.
// Chem. 36 (1964) 1627), on points 4..N-4; the points nearer the ends keep their values. A point is a
// spike when it jumps from both neighbours by more than they differ from their own outer neighbours;
// it is replaced by the mean of its neighbours before the filter runs.
void smooth(ColumnRef y, int lastIndex, int nPoints, std::span<double> work = {});

// Log((i lim1 - i)/(i - i lim2)) of a wave between the limiting currents i lim1 = y(L) and
// i lim2 = y(1): G(j) = log10(|y(L) - y(j)| / (y(j) - y(1))) for j = 2..L-1, 0 where the ratio is
// not positive or the denominator is 0; G(1) = 2 G(2) - G(3), G(L) = 2 G(L-1) - G(L-3), G(0) = 0.
// Needs L >= 3. For a Nernstian wave the result is linear in E with slope nF/(RT ln 10).
void logWave(ColumnRef y, int lastIndex);

// Log((I lim - I)/i) of an irreversible wave through its semi-integral I: the current i of F..P is
// kept, the column is semi-integrated (with L = N - 1), I lim = I(L), and
// W(j) = log10((I lim - I(j)) / i(j)) for j = 2..L, where the argument is positive (elsewhere W(j)
// keeps the current copied, or 0 outside F..P); W(0) = 2 W(1) - W(2), W(L) = 2 W(L) - W(L-1), and
// y(F..P) = W. The caller sets the store's LastIndex to N - 1, as this transform assumes.
void logSemiIntegral(ColumnRef y, int first, int lastPoint, int nPoints, double h, double v, double td,
                     std::span<double> work = {});

// Reverses the order of the points of the active range: point i swaps with point F + P - i. Used on
// both the potentials E and the curve column. Nothing happens when F > P.
void reverseRange(ColumnRef y, int first, int lastPoint);

// y(i) = k y(i) for i = F..P (ScaleX on E, ScaleY on a curve).
void scaleRange(ColumnRef y, int first, int lastPoint, double k);

// y(i) = y(i) - y0 for i = F..P (Move Y).
void shiftRange(ColumnRef y, int first, int lastPoint, double y0);

} // namespace tessaly
