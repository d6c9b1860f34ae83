#pragma once
// Test curves from voltammetric theory, written into a curve store the way the simulation lays them
// out (points 0..N-1, FirstPoint = 1, LastPoint = N - 2, NForward points per sweep).
//
// The reversible linear-sweep current at a planar electrode with equal diffusion coefficients is the
// semi-derivative of the Nernstian converted fraction g(t) = 1/(1 + exp(nf (E(t) - E1/2))):
//   i(t) = nFAC sqrt(D) d^1/2 g / dt^1/2 = nFAC sqrt(D) [g(0)/sqrt(pi t) + (1/sqrt(pi)) int_0^t g'(u)
//   (t-u)^-1/2 du]
// (Nicholson & Shain 1964; Oldham & Spanier 1974). The integral is evaluated by product integration
// over a piecewise-linear g on sub-intervals finer than the sampling, which is exact for the
// interpolant, so the curve is an independent solution of the same physics as the simulator's.

#include "curves/CurveStore.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace tessaly::testing {

struct SweepSetup {
    double start = 0.3;                       // V
    double step = 0.001;                      // V per point (the sweep runs negative)
    int forward = 601;                        // points of the forward sweep
    bool cycle = false;                       // a mirrored reverse sweep follows
    double scanRate = 0.1;                    // V/s
    double halfWave = 0.0;                    // E1/2, V
    double nf = 96484.6 / (8.31441 * 298.14); // nF/RT, 1/V
    double nFACsqrtD = 1.0;                   // n F A C sqrt(D), A s^1/2
    int column = 1;
    int substeps = 8; // product-integration intervals per point
};

inline double convertedFraction(const SweepSetup& s, double e) {
    return 1.0 / (1.0 + std::exp(s.nf * (e - s.halfWave)));
}

// Writes E and the reversible current into the store; returns the time per point, s.
inline double writeReversibleSweep(CurveStore& store, const SweepSetup& s) {
    const double td = s.step / s.scanRate;
    const int n = s.cycle ? 2 * s.forward : s.forward;
    const double switchTime = (s.forward - 0.5) * td; // the reverse samples mirror the forward ones
    const auto potential = [&](double t) {
        if (!s.cycle || t <= switchTime)
            return s.start - s.scanRate * t;
        return s.start - s.scanRate * switchTime + s.scanRate * (t - switchTime);
    };
    const int m = s.substeps;
    const double dt = td / m;
    const int intervals = (n - 1) * m;
    std::vector<double> g(static_cast<std::size_t>(intervals) + 1);
    for (int q = 0; q <= intervals; ++q)
        g[static_cast<std::size_t>(q)] = convertedFraction(s, potential(q * dt));

    for (int k = 0; k < n; ++k) {
        const double t = k * td;
        store.E[k] = k < s.forward ? s.start - k * s.step : store.E[2 * s.forward - 1 - k];
        double d = 0.0;
        if (k > 0) {
            d = g[0] / std::sqrt(std::numbers::pi * t);
            for (int q = 0; q < k * m; ++q) {
                const double slope =
                    (g[static_cast<std::size_t>(q) + 1] - g[static_cast<std::size_t>(q)]) / dt;
                d += 2.0 * slope * (std::sqrt(t - q * dt) - std::sqrt(t - (q + 1) * dt)) /
                     std::sqrt(std::numbers::pi);
            }
        }
        store.Curve(k, s.column) = s.nFACsqrtD * d;
    }
    store.NPoints = n;
    store.LastIndex = n - 1;
    store.FirstPoint = 1;
    store.LastPoint = n - 2;
    store.NForward = s.forward;
    store.NCurves = std::max(store.NCurves, s.column);
    store.CurveNo = s.column;
    for (int k = 0; k < n; ++k)
        store.XAxis[k] = store.E[k];
    return td;
}

// A sampled-current (DC or normal pulse) wave of limiting current id: i = id/(1 + exp(nf (E - E1/2))),
// on a potential grid start - k step, k = 0..n-1.
inline void writeSigmoid(CurveStore& store, double start, double step, int n, double halfWave, double nf,
                         double id, int column = 1) {
    for (int k = 0; k < n; ++k) {
        store.E[k] = start - k * step;
        store.XAxis[k] = store.E[k];
        store.Curve(k, column) = id / (1.0 + std::exp(nf * (store.E[k] - halfWave)));
    }
    store.NPoints = n;
    store.LastIndex = n - 1;
    store.FirstPoint = 1;
    store.LastPoint = n - 2;
    store.NForward = n;
    store.NCurves = std::max(store.NCurves, column);
    store.CurveNo = column;
}

} // namespace tessaly::testing
