#pragma once
// The O(N²) superpositions of step responses over a programme, which the analytical path replaced by its
// kinetic solver and its history buffers: the direct sums (SweepCurrent, PulseCurrent*), which evaluate
// every earlier step response afresh, and the *FromHistory forms, which read the earlier step responses
// from a buffer filled once by fillStepHistory. Both perform the same additions in the same order, so
// their results are identical to the last bit. The kernel tests check them against Randles–Ševčík and
// Cottrell, and the benchmarks use them as the baseline of the superposition the mechanisms no longer do.

#include "base/Failure.h"
#include "curves/CurveStore.h"
#include "simulation/AnalyticalKernels.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <span>

namespace tessaly {

// The kernel context with the programme the sums run over.
struct SuperpositionContext : KernelContext {
    std::span<const double> potentials;   // potential programme E[0..LastIndex], V
    std::span<const double> sweepWeights; // SweepWeights[0..LastIndex] from buildSweepWeights
};

// Diffusion field of the step responses stored by fillStepHistory.
enum class StepGeometry { Planar, Spherical };

namespace superposition_detail {

// Raises "Subscript out of range" unless index lies in the programme (0..5000) and in the buffer.
inline void requireIndex(int index, std::span<const double> buffer) {
    const long long high = std::min<long long>(kMaxPoint, static_cast<long long>(buffer.size()) - 1);
    if (index < 0 || index > high)
        raise(failure_text::subscriptOutOfRange);
}

inline void requireIndex(int index, std::span<double> buffer) {
    requireIndex(index, std::span<const double>(buffer));
}

// Weight of the step response i in the pulse sum of step m, k = m − i: 1/√(k + tsa) − 1/√(k − 1 + tsa).
// One function serves the direct sum and the weight table so that both round alike.
inline double pulseWeight(int k, double tsa) {
    return 1.0 / std::sqrt(k + tsa) - 1.0 / std::sqrt(k - 1 + tsa);
}

using StepKernel = double (*)(const KernelContext&, const StepArgs&);

// Pulse superposition evaluating every step response afresh.
inline double pulseDirect(const SuperpositionContext& ctx, const StepArgs& a, int m, double tsa,
                          StepKernel current, StepKernel history) {
    StepArgs pulse = a;
    pulse.E = a.E + a.dE;
    double s = current(ctx, pulse) / std::sqrt(tsa);
    if (m <= 1)
        return s;
    requireIndex(m - 1, ctx.potentials);
    StepArgs earlier = a;
    for (int i = 1; i <= m - 1; ++i) {
        earlier.E = ctx.potentials[static_cast<std::size_t>(i)];
        s = s + history(ctx, earlier) * pulseWeight(m - i, tsa);
    }
    return s;
}

// Pulse superposition reading the step responses and weights from buffers; same additions, same order.
inline double pulseFromHistory(const SuperpositionContext& ctx, const StepArgs& a, int m, double tsa,
                               StepKernel current, std::span<const double> history,
                               std::span<const double> weights) {
    StepArgs pulse = a;
    pulse.E = a.E + a.dE;
    double s = current(ctx, pulse) / std::sqrt(tsa);
    if (m <= 1)
        return s;
    requireIndex(m - 1, history);
    requireIndex(m - 1, weights);
    // A table built for another sampling fraction would silently give a different current.
    if (weights[1] != pulseWeight(1, tsa))
        raise(failure_text::invalidCall);
    const double* h = history.data();
    const double* w = weights.data();
    for (int i = 1; i <= m - 1; ++i)
        s = s + h[i] * w[m - i];
    return s;
}

} // namespace superposition_detail

// SweepCurrent: point m of a staircase, 2·(f(a.E) + Σ_{i=1}^{m−1} f(E[i])·SweepWeights[m−i]), with f the
// planar step response at t = a.t (TimeGrid) and E[i] the programme of ctx. PulseCurrent*: a staircase or
// pulse current sampled at the fraction tsa (0.1..1) of step m, f(a.E + a.dE)/√tsa plus the history
// Σ_{i=1}^{m−1} f(E[i])·(1/√(m−i+tsa) − 1/√(m−i−1+tsa)); planar: f planar throughout; spherical: the
// current step spherical, the history planar; cylindrical: f spherical throughout. fillStepHistory:
// history[i] = the step response at E[i] for i = first..last. buildPulseWeights: pulseWeights[k] =
// 1/√(k+tsa) − 1/√(k−1+tsa). An index beyond the programme, beyond 5000 or beyond a buffer raises
// "Subscript out of range".

// A linear sweep as a staircase whose surface condition is interpolated linearly between points: the
// semi-integral of a piecewise-linear converted fraction gives twice the step response at the point
// itself plus the earlier responses weighted by the second differences of √k (Oldham & Spanier, The
// Fractional Calculus, 1974; Oldham, Anal. Chem. 44 (1972) 196).
inline double SweepCurrent(const SuperpositionContext& ctx, const StepArgs& a, int m) {
    double s = StepCurrentPlanar(ctx, a);
    if (m > 1) {
        superposition_detail::requireIndex(m - 1, ctx.potentials);
        superposition_detail::requireIndex(m - 1, ctx.sweepWeights);
        StepArgs earlier = a;
        for (int i = 1; i <= m - 1; ++i) {
            earlier.E = ctx.potentials[static_cast<std::size_t>(i)];
            s = s + StepCurrentPlanar(ctx, earlier) * ctx.sweepWeights[static_cast<std::size_t>(m - i)];
        }
    }
    return 2.0 * s;
}

inline double PulseCurrentPlanar(const SuperpositionContext& ctx, const StepArgs& a, int m, double tsa) {
    return superposition_detail::pulseDirect(ctx, a, m, tsa, StepCurrentPlanar, StepCurrentPlanar);
}

// The current step sees the sphere (so that a single step is the spherical response); the history is
// superposed with planar responses, whose telescoping sum leaves the Cottrell decay of earlier steps.
inline double PulseCurrentSpherical(const SuperpositionContext& ctx, const StepArgs& a, int m, double tsa) {
    return superposition_detail::pulseDirect(ctx, a, m, tsa, StepCurrentSpherical, StepCurrentPlanar);
}

inline double PulseCurrentCylindrical(const SuperpositionContext& ctx, const StepArgs& a, int m, double tsa) {
    return superposition_detail::pulseDirect(ctx, a, m, tsa, StepCurrentSpherical, StepCurrentSpherical);
}

// ---- the same superpositions from a precomputed history ----------------------------------------------

inline void fillStepHistory(const SuperpositionContext& ctx, const StepArgs& a, StepGeometry geometry,
                            int first, int last, std::span<double> history) {
    if (last < first)
        return;
    superposition_detail::requireIndex(first, ctx.potentials);
    superposition_detail::requireIndex(last, ctx.potentials);
    superposition_detail::requireIndex(last, history);
    const superposition_detail::StepKernel step = geometry == StepGeometry::Planar ? StepCurrentPlanar : StepCurrentSpherical;
    StepArgs earlier = a;
    for (int i = first; i <= last; ++i) {
        earlier.E = ctx.potentials[static_cast<std::size_t>(i)];
        history[static_cast<std::size_t>(i)] = step(ctx, earlier);
    }
}

inline void buildPulseWeights(double tsa, int lastIndex, std::span<double> pulseWeights) {
    superposition_detail::requireIndex(lastIndex, pulseWeights);
    pulseWeights[0] = 0.0;
    for (int k = 1; k <= lastIndex; ++k)
        pulseWeights[static_cast<std::size_t>(k)] = superposition_detail::pulseWeight(k, tsa);
}

inline double SweepCurrentFromHistory(const SuperpositionContext& ctx, const StepArgs& a, int m,
                                      std::span<const double> history) {
    double s = StepCurrentPlanar(ctx, a);
    if (m > 1) {
        superposition_detail::requireIndex(m - 1, history);
        superposition_detail::requireIndex(m - 1, ctx.sweepWeights);
        const double* h = history.data();
        const double* w = ctx.sweepWeights.data();
        for (int i = 1; i <= m - 1; ++i)
            s = s + h[i] * w[m - i];
    }
    return 2.0 * s;
}

inline double PulseCurrentPlanarFromHistory(const SuperpositionContext& ctx, const StepArgs& a, int m,
                                            double tsa, std::span<const double> history,
                                            std::span<const double> pulseWeights) {
    return superposition_detail::pulseFromHistory(ctx, a, m, tsa, StepCurrentPlanar, history, pulseWeights);
}

inline double PulseCurrentSphericalFromHistory(const SuperpositionContext& ctx, const StepArgs& a, int m,
                                               double tsa, std::span<const double> history,
                                               std::span<const double> pulseWeights) {
    return superposition_detail::pulseFromHistory(ctx, a, m, tsa, StepCurrentSpherical, history,
                                                  pulseWeights);
}

inline double PulseCurrentCylindricalFromHistory(const SuperpositionContext& ctx, const StepArgs& a, int m,
                                                 double tsa, std::span<const double> history,
                                                 std::span<const double> pulseWeights) {
    return superposition_detail::pulseFromHistory(ctx, a, m, tsa, StepCurrentSpherical, history,
                                                  pulseWeights);
}

} // namespace tessaly
