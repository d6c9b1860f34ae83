#pragma once
// Time lines of the kinetic solver (ConvolutionKinetics.h) for the potential programmes: the steps of a
// sweep, and the potential levels of the stepped programmes with their sampling instants, each level on a
// mesh graded towards its beginning, where a potential step sets the surface in motion.

#include "simulation/ConvolutionKinetics.h"

#include <vector>

namespace tessaly {

// A sampling instant inside a level: offset from the level's beginning (s, 0 < offset <= duration) and
// the slot that receives the rates.
struct LevelSample {
    double offset = 0.0;
    int slot = 0;
};

class TimelineBuilder {
public:
    explicit TimelineBuilder(int samples);

    // One step of a linear sweep: the potential moves to E over `length` seconds and the rates at its
    // end go to `slot` (-1: none). The first step of a time line starts from the bulk.
    void sweepStep(double length, double E, int slot);

    // A potential level held for `duration` seconds, sampled at the given instants (sorted by offset).
    // The mesh is graded from the level's beginning: a geometric layer from 1e-6 of the first sampling
    // time, then nodes at (i/32)² of it, then steps of 1/16 of the time since the level began
    // (quadratic interpolation from the third step of the graded part on), every sampling instant a
    // node. restart: the surface starts from the bulk at the level's beginning.
    void level(double duration, double E, const std::vector<LevelSample>& samples, bool restart = false);

    KineticTimeline finish();

private:
    // The mesh of a level: its step lengths (as indices), where quadratic interpolation may be used, and
    // which node carries which of the level's samples.
    struct Pattern {
        double duration = 0.0;
        std::vector<double> offsets; // of the samples
        std::vector<int> lengths;
        std::vector<bool> quadratic;
        std::vector<int> sampleAt;    // per node: index into the level's samples, or -1
        std::vector<int> sampleCount; // per node: how many samples fall on it (0 to 2)
    };

    KineticTimeline m_timeline;
    double m_stretch = 0.0; // time since the last restart, s
    std::vector<Pattern> m_patterns;

    int lengthIndex(double h);
    void addStep(int length, double E, bool quadratic, bool restart, int slot);
    const Pattern& pattern(double duration, const std::vector<LevelSample>& samples);
};

} // namespace tessaly
