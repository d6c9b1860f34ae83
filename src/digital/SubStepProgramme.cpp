#include "digital/SubStepProgramme.h"

#include "base/Checked.h"
#include "model/ExperimentKinds.h"

#include <algorithm>
#include <cmath>

namespace tessaly {

namespace {

using kind::Technique;

int clampStep(int step, int subSteps) {
    return std::clamp(step, 1, subSteps);
}

} // namespace

SubStepPlan planSubSteps(const SubStepTiming& timing) {
    if (!(timing.timeStep > 0))
        raise(failure_text::divisionByZero);
    SubStepPlan plan;
    plan.technique = timing.technique;
    const Technique technique = kind::asTechnique(timing.technique);
    const bool squareWave = traits(technique).squareWave;
    plan.subSteps = std::max(squareWave ? 2 : 1, toInt16(timing.dropTime / timing.timeStep));
    const int n = plan.subSteps;
    const double nd = n;
    switch (technique) {
    case Technique::DcVoltammetry:
    case Technique::Staircase:
        plan.firstSample = plan.secondSample = clampStep(toInt16(timing.sample1 * nd), n);
        break;
    case Technique::NormalPulse: {
        // Normal pulse: the sample lies in the pulse, at the fraction tsa1 of the pulse. (As a fraction
        // of the drop time, the default 0.88 would sample the base potential before a last-tenth pulse.)
        plan.switchStep = std::clamp(toInt16((timing.dropTime - timing.pulseTime) / timing.timeStep), 0, n);
        const int pulseSteps = n - plan.switchStep;
        plan.firstSample = plan.secondSample =
            pulseSteps > 0 ? plan.switchStep + clampStep(toInt16(timing.sample1 * pulseSteps), pulseSteps)
                           : n;
        break;
    }
    case Technique::DifferentialPulse:
        plan.firstSample = clampStep(toInt16(timing.sample1 * nd), n);
        plan.secondSample = clampStep(toInt16(timing.sample2 * nd), n);
        plan.switchStep = std::clamp(toInt16((timing.dropTime - timing.pulseTime) / timing.timeStep), 0, n);
        break;
    case Technique::SquareWave:
    case Technique::AdditiveSquareWave:
        plan.switchStep = std::clamp(toInt16(nd / 2), 1, n - 1);
        plan.firstSample = std::clamp(toInt16(timing.sample1 * nd / 2), 1, plan.switchStep);
        plan.secondSample = std::clamp(toInt16((1 + timing.sample2) * nd / 2), plan.switchStep + 1, n);
        break;
    default:
        plan.firstSample = plan.secondSample = n;
        break;
    }
    // Sampled-current voltammetry samples every potential on a new drop; the pulse techniques do so at
    // a dropping electrode.
    const bool dropping = kind::asElectrode(timing.electrode) == kind::Electrode::DroppingMercury;
    plan.freshStart =
        technique == Technique::DcVoltammetry ||
        ((technique == Technique::NormalPulse || technique == Technique::DifferentialPulse) && dropping);
    return plan;
}

double subStepPotential(const SubStepPlan& plan, int m, double e, double ePrevious, double startPotential,
                        double pulse, double direction) {
    switch (kind::asTechnique(plan.technique)) {
    case Technique::LinearSweep:
        // A linear ramp from the previous point's potential, reaching the point's own at the last step.
        return ePrevious + (e - ePrevious) * m / plan.subSteps;
    case Technique::NormalPulse:
        return m <= plan.switchStep ? startPotential : e + pulse;
    case Technique::DifferentialPulse:
        return m <= plan.switchStep ? e : e + pulse;
    case Technique::SquareWave:
    case Technique::AdditiveSquareWave: {
        const double forward = (direction < 0 ? -1.0 : 1.0) * std::fabs(pulse);
        return m <= plan.switchStep ? e + forward : e - forward;
    }
    default:
        return e;
    }
}

double pointCurrent(const SubStepPlan& plan, double first, double second) {
    switch (kind::asTechnique(plan.technique)) {
    case Technique::DifferentialPulse:
        return second - first;
    case Technique::SquareWave:
    case Technique::AdditiveSquareWave:
        return first - second;
    default:
        return second;
    }
}

} // namespace tessaly
