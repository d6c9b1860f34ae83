#include "simulation/PotentialProgramme.h"

#include <cmath>

namespace tessaly {
namespace {

// Staircase from StartPotential towards EndPotential; the point that reaches or passes the end
// potential is the last of the sweep. Potentials are start + i * step (not accumulated, so no drift),
// and "reaches" allows for binary rounding: a point within 1e-9 step of the end potential is the end
// potential (0.2 - 120 * 0.005 is -0.39999999999999997 in binary, which is -0.4 V).
int buildSweep(const CommittedValues& c, double scanSign, CurveStore& store) {
    const double start = c.StartPotential;
    const double end = c.EndPotential;
    const double step = c.StepPotential;
    const double tolerance = 1e-9 * std::fabs(step);
    store.E.at(0) = start;
    for (long long i = 1;; ++i) {
        double e =
            scanSign > 0 ? start + static_cast<double>(i) * step : start - static_cast<double>(i) * step;
        const bool reached = scanSign > 0 ? e >= end - tolerance : e <= end + tolerance;
        if (reached && std::fabs(e - end) <= tolerance)
            e = end;
        store.E.at(i) = e;
        if (reached)
            return static_cast<int>(i + 1);
    }
}

// Repeats the first block of `period` points for cycles 2..cycleCount.
void repeatCycles(CurveStore& store, int period, double cycleCount) {
    for (int cycle = 2; cycle <= cycleCount; ++cycle)
        for (int j = 0; j < period; ++j)
            store.E.at(static_cast<long long>(cycle - 1) * period + j) = store.E[j];
}

} // namespace

void buildPotentialProgramme(const ExperimentParams& p, CurveStore& store, bool fitMode) {
    const CommittedValues& c = p.committed;
    if (fitMode) {
        store.NForward = toInt16(store.NPoints / 2.0);
        return;
    }
    const kind::Technique technique = p.technique();
    if (traits(technique).waveform) { // E and NPoints as the waveform set them
        store.NForward = store.NPoints;
        return;
    }
    if (technique == kind::Technique::PotentialStep) {
        const double count = 1 + c.ExperimentTime / c.DropTime;
        if (!std::isfinite(count))
            raise(c.DropTime == 0 ? failure_text::divisionByZero : failure_text::overflow);
        store.NPoints = toInt16(count);
        store.LastIndex = store.NPoints - 1;
        if (c.CycleCount == 0.5) {
            store.NForward = store.NPoints;
            for (int k = 0; k <= store.LastIndex; ++k)
                store.E.at(k) = c.StartPotential;
            return;
        }
        store.NForward = toInt16((store.NPoints - 1) / 2.0 / c.CycleCount);
        const int period = 2 * store.NForward;
        for (int k = 0; k < store.NForward; ++k)
            store.E.at(k) = c.StartPotential;
        for (int k = store.NForward; k < period; ++k)
            store.E.at(k) = c.EndPotential;
        repeatCycles(store, period, c.CycleCount);
        // Points after the last whole block (the rounding of NForward leaves up to a few) continue
        // the programme: they are the first points of the next block, at the start potential.
        const long long wholeBlocks = static_cast<long long>(period) * static_cast<long long>(c.CycleCount);
        for (long long k = wholeBlocks; k <= store.LastIndex; ++k)
            store.E.at(k) = store.E.at(k - wholeBlocks);
        return;
    }
    const double scanSign = c.EndPotential > c.StartPotential ? 1.0 : -1.0;
    store.NForward = buildSweep(c, scanSign, store);
    store.NPoints = toInt16(2.0 * store.NForward * c.CycleCount);
    store.LastIndex = store.NPoints - 1;
    if (c.CycleCount >= 1)
        for (int j = 0; j < store.NForward; ++j)
            store.E.at(store.NForward + j) = store.E[store.NForward - 1 - j];
    repeatCycles(store, 2 * store.NForward, c.CycleCount);
}

} // namespace tessaly
