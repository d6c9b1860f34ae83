#pragma once
// The time steps inside one data point: how many, the applied potential of each, which of them are
// sampled, and how the two samples of the pulse techniques form the point's current.
//
// A time step m = 1..n_t of a point covers ((m - 1) dt, m dt] of the point's time; the fully implicit
// step takes the potential at the end of that interval, so step n_t sits at the point's potential.

namespace tessaly {

struct SubStepPlan {
    int technique = 1;
    int subSteps = 1;        // n_t
    int firstSample = 1;     // s1
    int secondSample = 1;    // s2 (= s1 for single-sample techniques)
    int switchStep = 0;      // the last step before the pulse (techniques 3, 4) or half period (5, 6)
    bool freshStart = false; // each point starts from the initial profile (a new drop)
};

struct SubStepTiming {
    int technique = 1;
    int electrode = 1;
    double timeStep = 0;  // dt, s
    double dropTime = 0;  // td, the time of one point, s
    double pulseTime = 0; // tp, s
    double sample1 = 1;   // tsa1, fraction of the point's (or half period's) time
    double sample2 = 1;   // tsa2
};

// n_t = round(td/dt), at least 1 (at least 2 for the square waves, whose period has two halves);
// samples and switch as the technique defines them, each sample kept inside 1..n_t.
SubStepPlan planSubSteps(const SubStepTiming& timing);

// Applied potential (V) of step m of a point with potential e, the previous point's potential
// ePrevious, the programme's start potential, the pulse height (V) and the scan direction of the point
// (+1 towards positive potentials, -1 towards negative ones). The square waves put the forward pulse
// first: e + direction |pulse| for the first half period, e - direction |pulse| for the second, an
// amplitude Esw = |pulse| whatever the sign typed.
double subStepPotential(const SubStepPlan& plan, int m, double e, double ePrevious, double startPotential,
                        double pulse, double direction);

// The point's current from the currents sampled at s1 and s2 (A). Differential pulse: i(s2) - i(s1),
// the pulse minus the base current. Square waves: i(s1) - i(s2), the forward minus the reverse half
// period, so that a reduction on a cathodic scan gives a positive peak. Other techniques: the single
// sample.
double pointCurrent(const SubStepPlan& plan, double first, double second);

} // namespace tessaly
