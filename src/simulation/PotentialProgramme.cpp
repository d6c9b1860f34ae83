#include "simulation/PotentialProgramme.h"

#include "curves/HeadedTable.h"

#include <cmath>

namespace tessaly {
namespace {

// E[i] = value, growing the programme as it is written; a programme of more points than the curve
// store holds is refused, naming the limit.
void setPotential(std::vector<double>& E, long long i, double value) {
    if (i >= kMaxImportPoints)
        raise(importLimitText());
    const auto index = static_cast<std::size_t>(checkedIndex(i, 0, kMaxImportPoints - 1));
    if (index == E.size())
        E.push_back(value);
    else if (index > E.size())
        E.resize(index + 1);
    E[index] = value;
}

// Staircase from StartPotential towards EndPotential; the point that reaches or passes the end
// potential is the last of the sweep. Potentials are start + i * step (not accumulated, so no drift),
// and "reaches" allows for binary rounding: a point within 1e-9 step of the end potential is the end
// potential (0.2 - 120 * 0.005 is -0.39999999999999997 in binary, which is -0.4 V).
int buildSweep(const CommittedValues& c, double scanSign, std::vector<double>& E) {
    const double start = c.StartPotential;
    const double end = c.EndPotential;
    const double step = c.StepPotential;
    const double tolerance = 1e-9 * std::fabs(step);
    // A sweep that cannot end within the store's points is refused before it is written.
    if (std::fabs(end - start) - tolerance > static_cast<double>(kMaxImportPoints - 1) * std::fabs(step))
        raise(importLimitText());
    setPotential(E, 0, start);
    for (long long i = 1;; ++i) {
        double e =
            scanSign > 0 ? start + static_cast<double>(i) * step : start - static_cast<double>(i) * step;
        const bool reached = scanSign > 0 ? e >= end - tolerance : e <= end + tolerance;
        if (reached && std::fabs(e - end) <= tolerance)
            e = end;
        setPotential(E, i, e);
        if (reached)
            return static_cast<int>(i + 1);
    }
}

// Repeats the first block of `period` points for cycles 2..cycleCount.
void repeatCycles(std::vector<double>& E, int period, double cycleCount) {
    for (int cycle = 2; cycle <= cycleCount; ++cycle)
        for (int j = 0; j < period; ++j)
            setPotential(E, static_cast<long long>(cycle - 1) * period + j, E[static_cast<std::size_t>(j)]);
}

// A point count rounded to the nearest integer (halves to even): "Overflow" for a NaN or a count beyond
// any integer, the store's limit for a count beyond the points it holds.
int pointCount(double count) {
    if (!(std::fabs(count) < 1e15))
        raise(failure_text::overflow);
    const double rounded = std::nearbyint(count);
    if (rounded > kMaxImportPoints)
        raise(importLimitText());
    if (rounded < 0)
        raise(failure_text::overflow);
    return static_cast<int>(rounded);
}

void counted(SimulationResult& out, int nPoints, int nForward) {
    out.NPoints = nPoints;
    out.LastIndex = nPoints - 1;
    out.NForward = nForward;
    out.stage = SimulationResult::Stage::Counted;
}

// Potential step chronoamperometry: the start potential, or cycles of steps to the end potential and back.
void buildSteps(const CommittedValues& c, SimulationResult& out) {
    const double count = 1 + c.ExperimentTime / c.DropTime;
    if (!std::isfinite(count))
        raise(c.DropTime == 0 ? failure_text::divisionByZero : failure_text::overflow);
    const int nPoints = pointCount(count);
    std::vector<double>& E = out.E;
    if (c.CycleCount == 0.5) {
        counted(out, nPoints, nPoints);
        for (int k = 0; k <= out.LastIndex; ++k)
            setPotential(E, k, c.StartPotential);
        return;
    }
    counted(out, nPoints, pointCount((nPoints - 1) / 2.0 / c.CycleCount));
    const int half = out.NForward;
    const int period = 2 * half;
    for (int k = 0; k < half; ++k)
        setPotential(E, k, c.StartPotential);
    for (int k = half; k < period; ++k)
        setPotential(E, k, c.EndPotential);
    repeatCycles(E, period, c.CycleCount);
    // Points after the last whole block (the rounding of NForward leaves up to a few) continue
    // the programme: they are the first points of the next block, at the start potential (all of them
    // when the experiment is too short for a block of one step each way).
    const long long wholeBlocks = static_cast<long long>(period) * static_cast<long long>(c.CycleCount);
    for (long long k = wholeBlocks; k <= out.LastIndex; ++k) {
        const auto inBlock = static_cast<std::size_t>(k - wholeBlocks);
        setPotential(E, k, inBlock < static_cast<std::size_t>(period) ? E[inBlock] : c.StartPotential);
    }
}

} // namespace

void buildPotentialProgramme(const SimulationInput& in, SimulationResult& out) {
    const CommittedValues& c = in.committed;
    out.E.clear();
    out.E.reserve(kPointCapacity); // a reused result keeps the capacity; longer programmes grow it
    if (in.source != ProgrammeSource::Built) {
        // A waveform as designed or read; a measured curve, whose sweep is taken to turn halfway.
        const int points = in.givenPoints();
        out.E.assign(in.given->potentials.begin(), in.given->potentials.end());
        const bool measured = in.source == ProgrammeSource::Measured;
        counted(out, points, measured ? pointCount(points / 2.0) : points);
        return;
    }
    if (in.technique == kind::Technique::PotentialStep) {
        buildSteps(c, out);
        return;
    }
    const double scanSign = c.EndPotential > c.StartPotential ? 1.0 : -1.0;
    const int nForward = buildSweep(c, scanSign, out.E);
    counted(out, pointCount(2.0 * nForward * c.CycleCount), nForward);
    if (c.CycleCount >= 1)
        for (int j = 0; j < nForward; ++j)
            setPotential(out.E, nForward + j, out.E[static_cast<std::size_t>(nForward - 1 - j)]);
    repeatCycles(out.E, 2 * nForward, c.CycleCount);
}

} // namespace tessaly
