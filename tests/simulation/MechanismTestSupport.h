#pragma once
// Shared by the mechanism tests: an experiment set up through its dialog texts and committed as the
// Simulate command commits it, the run itself, and the curve features that theory predicts (peak,
// half-peak potential, width at half height, wave midpoint).

#include "curves/CurveStore.h"
#include "model/Commits.h"
#include "model/ExperimentParams.h"
#include "simulation/AnalyticalMechanisms.h"
#include "simulation/RunConstants.h"
#include "simulation/SimulationDriver.h"
#include "support/SimulateIntoStore.h"

#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <numbers>
#include <string>

namespace tessaly::testing {

inline constexpr double kF = 96484.6;                        // C/mol
inline constexpr double kFRT = 96484.6 / (8.31441 * 298.14); // F/RT at 25 °C, 1/V
inline constexpr double kRTF = 1.0 / kFRT;                   // V
inline constexpr double kPi = std::numbers::pi;
inline constexpr double kD = 1e-5;       // cm²/s
inline constexpr double kC = 1e-3;       // mol/L
inline constexpr double kArea = 7.85e-3; // cm², the default planar disk

// nFAC in A·s^½/cm (with C in mol/cm³), the prefactor of every diffusion current.
inline double nFAC(double n, double area = kArea, double conc = kC) {
    return n * kF * area * conc * 1e-3;
}

// A 1 mM reduction A + ne = B at E0 = 0 V, D = 1e-5 cm²/s, swept from +0.3 V to −0.3 V in 1 mV steps at
// 0.1 V/s (td = 0.01 s), planar disk of 7.85e-3 cm², 25 °C.
inline std::unique_ptr<ExperimentParams> sweepExperiment(int mechanism, double n = 1) {
    auto p = std::make_unique<ExperimentParams>();
    p->mech = mechanism;
    p->optTech = 1;
    p->Electrode = 1;
    p->Estart = "0.3";
    p->Eend = "-0.3";
    p->Estep = "0.001";
    p->V = "0.1";
    p->td = "0.01";
    p->tp = "0.01";
    p->Epulse = "0";
    p->tsa1 = "1";
    p->tsa2 = "1";
    for (int i = 1; i <= kMaxCharge; ++i) {
        p->Eze[i] = "0";
        p->charge[10 * i + 4] = std::to_string(static_cast<int>(n));
    }
    return p;
}

// Runs the species commit and the simulation; fails the test on a simulation error.
inline void simulate(ExperimentParams& p, CurveStore& store) {
    Notices notices;
    commitSpecies(p, notices);
    const SimulationOutcome outcome = simulateIntoStore(p, store);
    ASSERT_FALSE(outcome.failure.has_value()) << *outcome.failure;
}

// Total current of point k of the last run, A.
inline double current(const CurveStore& store, int k) {
    return store.Curve(k, store.CurveNo);
}

struct Peak {
    int index = 0;
    double potential = 0; // V, by a parabola through the three highest points
    double height = 0;    // A
};

// The largest value of sign·i over points first..last.
inline Peak findPeak(const CurveStore& store, int first, int last, double sign = 1.0) {
    Peak p;
    double best = -1e300;
    for (int k = first; k <= last; ++k)
        if (sign * current(store, k) > best) {
            best = sign * current(store, k);
            p.index = k;
        }
    const int k = p.index;
    const double y0 = sign * current(store, k - 1), y1 = best, y2 = sign * current(store, k + 1);
    const double h = store.E[k + 1] - store.E[k];
    const double denom = y0 - 2 * y1 + y2;
    const double shift = denom != 0 ? 0.5 * (y0 - y2) / denom : 0.0;
    p.potential = store.E[k] + shift * h;
    p.height = sign * (y1 - 0.25 * (y0 - y2) * shift);
    return p;
}

// Potential at which sign·i crosses level between points from and to (walking from `from` towards `to`),
// by linear interpolation.
inline double crossing(const CurveStore& store, int from, int to, double level, double sign = 1.0) {
    const int step = to > from ? 1 : -1;
    for (int k = from; k != to; k += step) {
        const double a = sign * current(store, k) - level;
        const double b = sign * current(store, k + step) - level;
        if ((a >= 0) != (b >= 0))
            return store.E[k] + (store.E[k + step] - store.E[k]) * a / (a - b);
    }
    ADD_FAILURE() << "level " << level << " not crossed";
    return 0;
}

} // namespace tessaly::testing
