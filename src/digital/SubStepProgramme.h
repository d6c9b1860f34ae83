#pragma once
// The time steps inside one data point: its potential levels, where it is sampled, and how the two
// samples of the pulse techniques form the point's current.
//
// A point is cut into segments at the instants where its potential jumps and where it is sampled.
// With a typed time grid (Auto digital model unticked) every step lasts the typed dt: the point has
// n_t = round(td/dt) steps and the samples fall on the steps the technique's rounding names. The
// automatic model samples at the exact instants instead and lets the run choose the steps of each
// segment. A step covers (t - dt, t] and takes the potential at its end t.

#include <array>

namespace tessaly {

struct SubStepPlan {
    int technique = 1;
    long long subSteps = 1;     // n_t
    long long firstSample = 1;  // s1
    long long secondSample = 1; // s2 (= s1 for single-sample techniques)
    long long switchStep = 0;   // the last step before the pulse (techniques 3, 4) or half period (5, 6)
    bool freshStart = false;    // each point starts from the initial profile (a new drop)
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

// Most time steps one run may take (each point's share of them counted): a typed time grid that
// needs more is refused with the failure runStepsLimitText describes.
inline constexpr long long kMaxRunSteps = 100000000;

// The description of that refusal, naming its cause.
const char* runStepsLimitText();

// n_t = round(td/dt), at least 1 (at least 2 for the square waves, whose period has two halves);
// samples and switch as the technique defines them, each sample kept inside 1..n_t. A time step that
// is not positive raises "Division by zero"; more than kMaxRunSteps steps in one point the failure
// named by runStepsLimitText.
SubStepPlan planSubSteps(const SubStepTiming& timing);

// Whether the technique's points each start from the initial profile (sampled-current voltammetry,
// and the pulse techniques at a dropping electrode).
bool freshStartOf(int technique, int electrode);

// Applied potential (V) of step m of a point with potential e, the previous point's potential
// ePrevious, the programme's start potential, the pulse height (V) and the scan direction of the point
// (+1 towards positive potentials, -1 towards negative ones). The square waves put the forward pulse
// first: e + direction |pulse| for the first half period, e - direction |pulse| for the second, an
// amplitude Esw = |pulse| whatever the sign typed.
double subStepPotential(const SubStepPlan& plan, long long m, double e, double ePrevious, double startPotential,
                        double pulse, double direction);

// The point's current from the currents sampled at s1 and s2 (A). Differential pulse: i(s2) - i(s1),
// the pulse minus the base current. Square waves: i(s1) - i(s2), the forward minus the reverse half
// period, so that a reduction on a cathodic scan gives a positive peak. Other techniques: the single
// sample.
double pointCurrent(int technique, double first, double second);
inline double pointCurrent(const SubStepPlan& plan, double first, double second) {
    return pointCurrent(plan.technique, first, second);
}

// --- segments ----------------------------------------------------------------------------------------

inline constexpr int kFirstSample = 1;
inline constexpr int kSecondSample = 2;

struct PointSegment {
    double duration = 0;  // s
    long long steps = 0;  // time steps of the segment; 0: chosen by the run
    int level = 0;        // 0: the point's first potential level, 1: its second (pulse, reverse half)
    int samples = 0;      // kFirstSample and/or kSecondSample: sampled at the segment's end
};

struct PointSchedule {
    std::array<PointSegment, 6> segment{};
    int count = 0;
    double duration = 0; // the point's time, s: the ramp of a sweep runs over it
};

// The segments of a typed time grid: n_t steps of dt, cut at the switch and sample steps.
PointSchedule typedSchedule(const SubStepPlan& plan, double timeStep);

struct ScheduleTiming {
    int technique = 1;
    int electrode = 1;
    double dropTime = 0;  // td, s
    double pulseTime = 0; // tp, s
    double sample1 = 1;   // tsa1
    double sample2 = 1;   // tsa2
};

// The segments of the automatic model: the potential levels of the technique and the exact sampling
// instants (tsa1 td for sampled-current and staircase voltammetry, tsa1 tp into the normal pulse,
// tsa1 td and tsa2 td for the differential pulse, tsa1 and tsa2 of each half period for the square
// waves, the end of the point otherwise). A sampling instant on a level boundary belongs to the end
// of the earlier level. A point that starts from the initial profile ends at its last sample.
PointSchedule sampledSchedule(const ScheduleTiming& timing);

// Applied potential of a level at the fraction `fraction` (0..1) of the point's time: the sweep ramps
// from ePrevious to e; the pulse techniques take the levels of subStepPotential.
double levelPotential(int technique, int level, double fraction, double e, double ePrevious,
                      double startPotential, double pulse, double direction);

// Time from the latest potential jump to the earliest sample of a point (s): what the sampled current
// must resolve. Zero for the sweep, which has no jump after its start.
double earliestSampleAfterJump(const ScheduleTiming& timing);

} // namespace tessaly
