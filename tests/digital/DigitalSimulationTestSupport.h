#pragma once
// Experiments for the digital-simulation tests: a mechanism typed into the dialog texts, committed
// through the commit chain, with the potential programme written into the store as the driver does.

#include "curves/CurveStore.h"
#include "curves/RunTable.h"
#include "digital/DigitalSimulation.h"
#include "model/Commits.h"
#include "model/ExperimentParams.h"
#include "model/SimulationInput.h"

#include <cmath>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

namespace tessaly::digital_test {

inline constexpr double kF = 96484.6;        // C/mol
inline constexpr double kR = 8.31441;        // J/(mol K)
inline constexpr double kT = 298.14;         // K, 25 C as committed
inline constexpr double kf = kF / (kR * kT); // F/RT, 1/V

inline std::string text(double value) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.10g", value);
    return buffer;
}

// A + e = B (E' = 0, ks = 1e4 cm/s), 1 mM A, D = 1e-5 cm2/s, area 1 cm2, planar, 25 C; the digital
// grid chosen automatically, as in a new experiment.
inline ExperimentParams reversibleCouple() {
    ExperimentParams p;
    p.CheckDigital = true;
    p.charge[12] = "A";
    p.charge[16] = "B";
    p.Eze[1] = "0";
    p.ks[1] = "1e4";
    p.alph[1] = "0.5";
    p.ARE = "1";
    p.txttemp = "25";
    for (int s = 1; s <= kMaxSpecies; ++s) {
        p.D[s] = "1e-5";
        p.C[s] = "0";
        p.TextB[s] = "0";
    }
    p.C[1] = "1e-3";
    p.TextExpanding = "0.5";
    p.optTech = 1;
    p.Electrode = 1;
    return p;
}

// The grid as typed: time step dt (s) and space grid factor (Auto digital model unticked).
inline void typedGrid(ExperimentParams& p, double dt, double expansion = 0.5) {
    p.CheckAuto = false;
    p.TextTimeGrid = text(dt);
    p.TextExpanding = text(expansion);
}

// Potential-step chronoamperometry: `points` points of td seconds at the step potential; a typed time
// grid when timeGrid > 0, the automatic grid otherwise.
inline void chronoamperometry(ExperimentParams& p, double potential, double td, double timeGrid, int points) {
    p.optTech = 8;
    p.Estart = text(potential);
    p.td = text(td);
    p.TextTexp = text(td * (points - 1));
    if (timeGrid > 0)
        typedGrid(p, timeGrid, 0.5);
}

// Linear sweep from start to end in steps of `step` V at `rate` V/s; `cycle` adds the reverse sweep;
// subSteps > 0 types a time grid of that many steps per point (the space grid factor as it stands),
// 0 leaves the grid to the automatic model.
struct Sweep {
    double start = 0.3;
    double end = -0.3;
    double step = 0.001;
    double rate = 0.1;
    bool cycle = false;
    int subSteps = 0;
};

inline void sweep(ExperimentParams& p, const Sweep& s) {
    p.optTech = 1;
    p.Estart = text(s.start);
    p.Eend = text(s.end);
    p.Estep = text(s.step);
    p.V = text(s.rate);
    p.td = text(s.step / s.rate);
    if (s.subSteps > 0) {
        p.CheckAuto = false;
        p.TextTimeGrid = text(s.step / s.rate / s.subSteps);
    }
    p.ComboScan = s.cycle ? 1 : 0;
}

// The committed experiment and its programme in a store; runs the digital model.
struct DigitalRunResult {
    DigitalOutcome outcome;
    std::unique_ptr<CurveStore> store;
    int total = 2;     // the total-current column
    double area = 0;   // committed electrode area, cm2
    double radius = 0; // committed electrode radius, cm
    double current(int k) const { return store->ComponentCurrent(k, total); }
};

inline void writeProgramme(const ExperimentParams& p, CurveStore& store) {
    const CommittedValues& c = p.committed;
    if (p.Technique == 8) {
        store.NPoints = static_cast<int>(std::lround(1 + c.ExperimentTime / c.DropTime));
        for (int k = 0; k < store.NPoints; ++k)
            store.E[k] = c.StartPotential;
    } else {
        const double sign = c.EndPotential > c.StartPotential ? 1.0 : -1.0;
        const int forward =
            static_cast<int>(std::lround(std::fabs(c.EndPotential - c.StartPotential) / c.StepPotential)) + 1;
        for (int k = 0; k < forward; ++k)
            store.E[k] = c.StartPotential + sign * k * c.StepPotential;
        store.NPoints = forward;
        if (c.CycleCount >= 1) {
            for (int j = 0; j < forward; ++j)
                store.E[forward + j] = store.E[forward - 1 - j];
            store.NPoints = 2 * forward;
        }
    }
    store.LastIndex = store.NPoints - 1;
    store.FirstPoint = 1;
    store.LastPoint = store.NPoints - 2;
}

// The digital model of p's committed experiment over the store's programme; its currents, surface
// concentrations and applied potentials are left in the store's tables as a simulation stores them.
inline DigitalOutcome simulateDigitally(const ExperimentParams& p, CurveStore& store) {
    RunTable currents, surface;
    currents.reset(store.NPoints + 1);
    surface.reset(store.NPoints + 1);
    std::vector<double> applied;
    const DigitalOutcome outcome = DigitalSimulate(
        simulationInputOf(p), DigitalProgramme{store.E.span(), store.FirstPoint, store.LastPoint, store.NPoints},
        DigitalOutput{&currents, &surface, &applied});
    for (int k = 0; k <= store.NPoints; ++k)
        for (int c = 1; c <= kMaxColumn; ++c) {
            store.ComponentCurrent(k, c) = currents(k, c);
            store.SurfaceConc(k, c) = surface(k, c);
        }
    for (std::size_t i = 1; i < applied.size(); ++i)
        store.EApplied[static_cast<int>(i)] = applied[i];
    return outcome;
}

inline DigitalRunResult runDigital(ExperimentParams p) {
    Notices notices;
    commitSpecies(p, notices);
    DigitalRunResult result;
    result.store = std::make_unique<CurveStore>();
    writeProgramme(p, *result.store);
    result.total = p.NumCharge + 1;
    result.area = p.committed.ElectrodeArea;
    result.radius = p.committed.ElectrodeRadius;
    result.outcome = simulateDigitally(p, *result.store);
    return result;
}

// Extremum of the total current over points [from, to]: its potential refined by the parabola
// through the extreme point and its neighbours, and its current.
struct Peak {
    double potential = 0; // V
    double current = 0;   // A
    int index = 0;
};

inline Peak findPeak(const DigitalRunResult& r, int from, int to, bool maximum) {
    int best = from;
    for (int k = from; k <= to; ++k) {
        const double value = r.current(k);
        if (maximum ? value > r.current(best) : value < r.current(best))
            best = k;
    }
    Peak peak;
    peak.index = best;
    const double y0 = r.current(best - 1);
    const double y1 = r.current(best);
    const double y2 = r.current(best + 1);
    const double curvature = y0 - 2 * y1 + y2;
    const double shift = curvature == 0 ? 0.0 : 0.5 * (y0 - y2) / curvature; // in points
    const double step = r.store->E[best + 1] - r.store->E[best];
    peak.potential = r.store->E[best] + shift * step;
    peak.current = y1 - 0.25 * (y0 - y2) * shift;
    return peak;
}

// Randles-Sevcik peak of a reversible couple, A (F A C sqrt(n F v D / RT) * 0.4463 n).
inline double randlesSevcik(int n, double area, double conc, double diffusion, double rate) {
    return 0.4463 * n * kF * area * conc * 1e-3 * std::sqrt(n * kf * rate * diffusion);
}

// Cottrell current of a planar electrode, A.
inline double cottrell(int n, double area, double conc, double diffusion, double t) {
    return n * kF * area * conc * 1e-3 * std::sqrt(diffusion / (std::numbers::pi * t));
}

} // namespace tessaly::digital_test
