#include "digital/SubStepProgramme.h"

#include "base/Checked.h"
#include "base/Failure.h"
#include "model/ExperimentKinds.h"

#include <algorithm>
#include <cmath>

namespace tessaly {

namespace {

using kind::Technique;

Technique techniqueOf(int code) {
    return kind::asTechnique(code);
}

long long clampStep(long long step, long long subSteps) {
    return std::clamp<long long>(step, 1, subSteps);
}

// Rounds a step count to the nearest integer (ties to even); counts beyond one run's limit (or NaN)
// are refused with the cause named.
long long stepCount(double value) {
    if (!(std::fabs(value) <= static_cast<double>(kMaxRunSteps)))
        raise(runStepsLimitText());
    return static_cast<long long>(std::nearbyint(value));
}

bool squareWave(int technique) {
    return traits(techniqueOf(technique)).squareWave;
}

// Adds the segment (start, end] of `level`; a segment that would have no length only adds its samples
// to the previous one.
void addSegment(PointSchedule& schedule, double start, double end, int level, int samples) {
    if (end <= start) {
        if (schedule.count > 0)
            schedule.segment[static_cast<std::size_t>(schedule.count - 1)].samples |= samples;
        return;
    }
    PointSegment& s = schedule.segment[static_cast<std::size_t>(schedule.count++)];
    s.duration = end - start;
    s.level = level;
    s.samples = samples;
}

// A sampling fraction kept inside (0, 1]: a sample needs some time after the start of its period.
double fractionOf(double value) {
    constexpr double kEarliest = 1e-3;
    return std::clamp(value, kEarliest, 1.0);
}

} // namespace

const char* runStepsLimitText() {
    return "The time grid gives more than 100000000 time steps in one run";
}

bool freshStartOf(int technique, int electrode) {
    const Technique t = techniqueOf(technique);
    const bool dropping = kind::asElectrode(electrode) == kind::Electrode::DroppingMercury;
    return t == Technique::DcVoltammetry ||
           ((t == Technique::NormalPulse || t == Technique::DifferentialPulse) && dropping);
}

SubStepPlan planSubSteps(const SubStepTiming& timing) {
    if (!(timing.timeStep > 0))
        raise(failure_text::divisionByZero);
    SubStepPlan plan;
    plan.technique = timing.technique;
    plan.subSteps = std::max<long long>(squareWave(timing.technique) ? 2 : 1,
                                        stepCount(timing.dropTime / timing.timeStep));
    const long long n = plan.subSteps;
    const double nd = static_cast<double>(n);
    switch (techniqueOf(timing.technique)) {
    case Technique::DcVoltammetry:
    case Technique::Staircase:
        plan.firstSample = plan.secondSample = clampStep(stepCount(timing.sample1 * nd), n);
        break;
    case Technique::NormalPulse: {
        // Normal pulse: the sample lies in the pulse, at the fraction tsa1 of the pulse. (As a fraction
        // of the drop time, the default 0.88 would sample the base potential before a last-tenth pulse.)
        plan.switchStep =
            std::clamp<long long>(stepCount((timing.dropTime - timing.pulseTime) / timing.timeStep), 0, n);
        const long long pulseSteps = n - plan.switchStep;
        plan.firstSample = plan.secondSample =
            pulseSteps > 0
                ? plan.switchStep + clampStep(stepCount(timing.sample1 * static_cast<double>(pulseSteps)), pulseSteps)
                : n;
        break;
    }
    case Technique::DifferentialPulse:
        plan.firstSample = clampStep(stepCount(timing.sample1 * nd), n);
        plan.secondSample = clampStep(stepCount(timing.sample2 * nd), n);
        plan.switchStep =
            std::clamp<long long>(stepCount((timing.dropTime - timing.pulseTime) / timing.timeStep), 0, n);
        break;
    case Technique::SquareWave:
    case Technique::AdditiveSquareWave:
        plan.switchStep = std::clamp<long long>(stepCount(nd / 2), 1, n - 1);
        plan.firstSample = std::clamp<long long>(stepCount(timing.sample1 * nd / 2), 1, plan.switchStep);
        plan.secondSample =
            std::clamp<long long>(stepCount((1 + timing.sample2) * nd / 2), plan.switchStep + 1, n);
        break;
    default:
        plan.firstSample = plan.secondSample = n;
        break;
    }
    plan.freshStart = freshStartOf(timing.technique, timing.electrode);
    return plan;
}

double levelPotential(int technique, int level, double fraction, double e, double ePrevious,
                      double startPotential, double pulse, double direction) {
    switch (techniqueOf(technique)) {
    case Technique::LinearSweep:
        // A linear ramp from the previous point's potential, reaching the point's own at its end.
        return ePrevious + (e - ePrevious) * fraction;
    case Technique::NormalPulse:
        return level == 0 ? startPotential : e + pulse;
    case Technique::DifferentialPulse:
        return level == 0 ? e : e + pulse;
    case Technique::SquareWave:
    case Technique::AdditiveSquareWave: {
        const double forward = (direction < 0 ? -1.0 : 1.0) * std::fabs(pulse);
        return level == 0 ? e + forward : e - forward;
    }
    default:
        return e;
    }
}

double subStepPotential(const SubStepPlan& plan, long long m, double e, double ePrevious, double startPotential,
                        double pulse, double direction) {
    const int level = m <= plan.switchStep ? 0 : 1;
    return levelPotential(plan.technique, level, static_cast<double>(m) / static_cast<double>(plan.subSteps), e,
                          ePrevious, startPotential, pulse, direction);
}

double pointCurrent(int technique, double first, double second) {
    switch (techniqueOf(technique)) {
    case Technique::DifferentialPulse:
        return second - first;
    case Technique::SquareWave:
    case Technique::AdditiveSquareWave:
        return first - second;
    default:
        return second;
    }
}

PointSchedule typedSchedule(const SubStepPlan& plan, double timeStep) {
    // Cut points in steps: the switch and the samples; the level of a step is 0 up to the switch.
    std::array<long long, 4> cuts{plan.switchStep, plan.firstSample, plan.secondSample, plan.subSteps};
    std::sort(cuts.begin(), cuts.end());
    PointSchedule schedule;
    schedule.duration = static_cast<double>(plan.subSteps) * timeStep;
    const bool twoLevels = traits(techniqueOf(plan.technique)).pulsed; // a base (or forward) and a pulse level
    long long done = 0;
    for (const long long cut : cuts) {
        if (cut <= done || cut > plan.subSteps)
            continue;
        PointSegment& s = schedule.segment[static_cast<std::size_t>(schedule.count++)];
        s.steps = cut - done;
        s.duration = static_cast<double>(s.steps) * timeStep;
        s.level = twoLevels && cut > plan.switchStep ? 1 : 0;
        s.samples = (cut == plan.firstSample ? kFirstSample : 0) | (cut == plan.secondSample ? kSecondSample : 0);
        done = cut;
    }
    return schedule;
}

PointSchedule sampledSchedule(const ScheduleTiming& t) {
    PointSchedule schedule;
    const double td = t.dropTime;
    schedule.duration = td;
    const bool fresh = freshStartOf(t.technique, t.electrode);
    const int both = kFirstSample | kSecondSample;
    switch (techniqueOf(t.technique)) {
    case Technique::DcVoltammetry:
    case Technique::Staircase: {
        const double sample = fractionOf(t.sample1) * td;
        addSegment(schedule, 0, sample, 0, both);
        if (!fresh)
            addSegment(schedule, sample, td, 0, 0);
        break;
    }
    case Technique::NormalPulse: {
        const double tp = std::clamp(t.pulseTime, 0.0, td);
        const double base = td - tp;
        const double sample = base + fractionOf(t.sample1) * tp;
        addSegment(schedule, 0, base, 0, 0);
        addSegment(schedule, base, sample, 1, both);
        if (!fresh)
            addSegment(schedule, sample, td, 1, 0);
        break;
    }
    case Technique::DifferentialPulse: {
        const double tp = std::clamp(t.pulseTime, 0.0, td);
        const double base = td - tp;
        const double first = fractionOf(t.sample1) * td;
        const double second = fractionOf(t.sample2) * td;
        // Cut instants in time order with the samples they carry.
        struct Cut {
            double time;
            int samples;
        };
        std::array<Cut, 4> cuts{Cut{base, 0}, Cut{first, kFirstSample}, Cut{second, kSecondSample}, Cut{td, 0}};
        std::stable_sort(cuts.begin(), cuts.end(), [](const Cut& a, const Cut& b) { return a.time < b.time; });
        const double last = fresh ? std::max(first, second) : td;
        double done = 0;
        for (const Cut& cut : cuts) {
            if (cut.time > last)
                break;
            addSegment(schedule, done, cut.time, cut.time <= base ? 0 : 1, cut.samples);
            done = std::max(done, cut.time);
        }
        break;
    }
    case Technique::SquareWave:
    case Technique::AdditiveSquareWave: {
        const double half = td / 2;
        const double first = fractionOf(t.sample1) * half;
        const double second = half + fractionOf(t.sample2) * half;
        addSegment(schedule, 0, first, 0, kFirstSample);
        addSegment(schedule, first, half, 0, 0);
        addSegment(schedule, half, second, 1, kSecondSample);
        addSegment(schedule, second, td, 1, 0);
        break;
    }
    default:
        addSegment(schedule, 0, td, 0, both);
        break;
    }
    return schedule;
}

double earliestSampleAfterJump(const ScheduleTiming& t) {
    const double td = t.dropTime;
    const double tp = std::clamp(t.pulseTime, 0.0, td);
    switch (techniqueOf(t.technique)) {
    case Technique::LinearSweep:
        return 0;
    case Technique::DcVoltammetry:
    case Technique::Staircase:
        return fractionOf(t.sample1) * td;
    case Technique::NormalPulse:
        return fractionOf(t.sample1) * tp;
    case Technique::DifferentialPulse: {
        const double base = td - tp;
        const auto sinceJump = [&](double at) { return at <= base ? at : at - base; };
        return std::min(sinceJump(fractionOf(t.sample1) * td), sinceJump(fractionOf(t.sample2) * td));
    }
    case Technique::SquareWave:
    case Technique::AdditiveSquareWave:
        return std::min(fractionOf(t.sample1), fractionOf(t.sample2)) * td / 2;
    default:
        return td;
    }
}

} // namespace tessaly
