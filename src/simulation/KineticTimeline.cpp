#include "simulation/KineticTimeline.h"

#include "base/Failure.h"

#include <algorithm>
#include <cmath>

namespace tessaly {
namespace {

// Mesh of a level, in units of its first sampling time L1. After a potential step the surface deviation
// of a fast couple settles within 1/H² (H = kf/√D_O + kb/√D_R, down to 1e-14 s) and that of a slow one
// moves as √t; a geometric layer from 1e-6 resolves the first (the ramp that stands for the settled
// jump misplaces its charge by h/4 of the time since the step, a relative error of 3e-7 at L1), nodes
// at (i/32)² the second, and beyond L1 steps of t/16 follow the relaxation. The quadratic interpolant
// then meets the exact step responses within 2e-4 wherever the transfer rate lies (typically 3e-5), the
// error falling as the square of the step.
constexpr double kFirstNode = 1e-6;
constexpr int kGraded = 32;
constexpr double kGrowth = 0.0625; // step growth beyond the first sampling time, h = t/16
constexpr double kSnap = 0.3;     // a node closer than 0.3 steps to a sampling instant moves onto it

// Spacing the mesh aims at, offset t into the level (units of L1).
double spacing(double t) {
    const double graded = 1.0 / (kGraded * kGraded);
    if (t < graded)
        return 2.0 * t; // geometric, ratio 3
    if (t < 1.0)
        return (2.0 * kGraded * std::sqrt(t) + 1.0) * graded; // (i/32)² → ((i+1)/32)²
    return kGrowth * t;
}

// Offset from which the step may use quadratic interpolation: the third graded node.
constexpr double kQuadraticFrom = 4.0 / (kGraded * kGraded) * (1.0 - 1e-12);

} // namespace

TimelineBuilder::TimelineBuilder(int samples) {
    m_timeline.samples = samples;
}

int TimelineBuilder::lengthIndex(double h) {
    std::vector<double>& lengths = m_timeline.lengths;
    for (std::size_t i = lengths.size(); i-- > 0;)
        if (lengths[i] == h)
            return static_cast<int>(i);
    lengths.push_back(h);
    return static_cast<int>(lengths.size()) - 1;
}

void TimelineBuilder::addStep(int length, double E, bool quadratic, bool restart, int slot) {
    restart = restart || m_timeline.steps.empty();
    if (restart)
        m_stretch = 0.0;
    m_stretch += m_timeline.lengths[static_cast<std::size_t>(length)];
    m_timeline.span = std::max(m_timeline.span, m_stretch);
    m_timeline.steps.push_back({length, E, quadratic, restart, slot});
}

void TimelineBuilder::sweepStep(double length, double E, int slot) {
    if (!(length > 0))
        raise(failure_text::invalidCall);
    addStep(lengthIndex(length), E, true, false, slot);
}

const TimelineBuilder::Pattern& TimelineBuilder::pattern(double duration, const std::vector<LevelSample>& samples) {
    for (const Pattern& p : m_patterns) {
        if (p.duration != duration || p.offsets.size() != samples.size())
            continue;
        bool same = true;
        for (std::size_t s = 0; s < samples.size() && same; ++s)
            same = p.offsets[s] == samples[s].offset;
        if (same)
            return p;
    }
    if (!(duration > 0) || !std::isfinite(duration))
        raise(failure_text::invalidCall);
    Pattern p;
    p.duration = duration;
    for (const LevelSample& s : samples) {
        if (!(s.offset > 0) || s.offset > duration || (!p.offsets.empty() && s.offset < p.offsets.back()))
            raise(failure_text::invalidCall);
        p.offsets.push_back(s.offset);
    }
    // Fixed nodes: the sampling instants and the level's end, in units of L1.
    const double L1 = p.offsets.empty() ? duration : p.offsets.front();
    std::vector<double> fixed;
    for (double o : p.offsets)
        if (fixed.empty() || o / L1 > fixed.back())
            fixed.push_back(o / L1);
    if (fixed.empty() || duration / L1 > fixed.back())
        fixed.push_back(duration / L1);
    double t = 0.0;
    std::size_t next = 0; // the next fixed node
    std::size_t sample = 0;
    while (next < fixed.size()) {
        const double h = t == 0.0 ? kFirstNode : spacing(t);
        double u = t + h;
        if (u >= fixed[next] - kSnap * h)
            u = fixed[next++];
        // Lengths are formed from the level-relative offsets, so every level of a periodic programme
        // shares them.
        p.lengths.push_back(lengthIndex(u * L1 - t * L1));
        p.quadratic.push_back(t >= kQuadraticFrom);
        const auto first = static_cast<int>(sample);
        while (sample < p.offsets.size() && p.offsets[sample] / L1 <= u)
            ++sample;
        const int count = static_cast<int>(sample) - first;
        if (count > 2)
            raise(failure_text::invalidCall);
        p.sampleAt.push_back(count > 0 ? first : -1);
        p.sampleCount.push_back(count);
        t = u;
    }
    m_patterns.push_back(std::move(p));
    return m_patterns.back();
}

void TimelineBuilder::level(double duration, double E, const std::vector<LevelSample>& samples, bool restart) {
    const Pattern& p = pattern(duration, samples);
    for (std::size_t i = 0; i < p.lengths.size(); ++i) {
        addStep(p.lengths[i], E, p.quadratic[i], restart && i == 0, -1);
        // Coinciding sampling instants share their node: each of them receives the rates.
        if (p.sampleAt[i] >= 0) {
            const auto first = static_cast<std::size_t>(p.sampleAt[i]);
            m_timeline.steps.back().sample = samples[first].slot;
            if (p.sampleCount[i] > 1)
                m_timeline.steps.back().secondSample = samples[first + 1].slot;
        }
    }
}

KineticTimeline TimelineBuilder::finish() {
    return std::move(m_timeline);
}

} // namespace tessaly
