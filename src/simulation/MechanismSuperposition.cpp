// Superpositions of potential steps over the programme of a run: the linear sweep, the staircase, the
// two-level pulse programmes (differential pulse, square wave) and the step sequence of
// chronoamperometry. The step response of a potential level is evaluated once per run and read from a
// buffer by the O(N²) sums (SuperpositionPath::History), or afresh (SuperpositionPath::Direct).
//
// A potential level L held from t_a to t_b contributes f(L, τ)·(R(t − t_a) − R(t − t_b)) at time t, with
// f the diffusion step response at the run's TimeGrid τ and R(t) = √(τ/t) the time law of diffusion:
// exact for a Nernstian couple, whose surface condition is linear in the converted fraction (Bard &
// Faulkner, Electrochemical Methods, 2nd ed., §5.7 and §7.3). Couples with a finite rate constant are
// solved by the kinetic solver instead (MechanismKinetics.cpp).

#include "base/Checked.h"
#include "curves/Convolution.h"
#include "curves/CurveStore.h"
#include "simulation/MechanismRun.h"

#include <cmath>
#include <cstddef>
#include <numbers>

namespace tessaly {
namespace {

using kind::Technique;

constexpr double kPi = std::numbers::pi;

std::size_t at(int i) {
    return static_cast<std::size_t>(i);
}

// Current of a unit potential step under the law, per unit n·C·√D: (√(πkt)·erf(√(kt)) + exp(−kt))/√(πt),
// the catalytic (EC') response of Delahay and Stiehl, J. Am. Chem. Soc. 74 (1952) 3500; 1/√(πt) for k = 0.
double unitStepCurrent(double k, double t) {
    const double x = std::sqrt(k * t);
    return (std::sqrt(kPi) * x * std::erf(x) + std::exp(-k * t)) / std::sqrt(kPi * t);
}

// Sizes a buffer to the run's points 0..NPoints; a reused buffer of that size allocates nothing.
void sizeBuffer(const MechanismRun& run, std::vector<double>& buffer) {
    if (buffer.size() != run.rows())
        buffer.assign(run.rows(), 0.0);
}

StepKind historyKind(const MechanismRun& run) {
    if (run.family() == kind::MechanismFamily::Reversible)
        return StepKind::Nernstian;
    return StepKind::Planar;
}

void fillHistory(const MechanismRun& run, int j, StepKind kind, double offset, int last,
                 std::vector<double>& history) {
    sizeBuffer(run, history);
    for (int i = 1; i <= last; ++i)
        history[at(i)] = stepResponse(run, j, kind, run.potential(i) + offset, run.timeGrid);
}

// The step responses of level l at every point of the programme.
void fillLevelHistory(const MechanismRun& run, int j, int l, int last, std::vector<double>& history) {
    sizeBuffer(run, history);
    const StepKind kind = historyKind(run);
    for (int i = 1; i <= last; ++i)
        history[at(i)] = stepResponse(run, j, kind, run.potential(i) + run.levelOffset(l, i), run.timeGrid);
}

// Level scheme of the pulse techniques. Differential pulse (4): the base potential for DropTime − PulseTime,
// then the pulse for PulseTime, sampled at the fractions SampleFrac1 and SampleFrac2 of the drop time (the
// base sample before the pulse begins, for example 0.88·td when the pulse is the last tenth). Square
// wave (5, 6) of amplitude Esw = |PulsePotential|: the forward pulse E + Esw·direction for one
// half-period PulseTime, then the reverse pulse E − Esw·direction, each sampled at its own fraction
// (direction +1 on an anodic, −1 on a cathodic scan). Staircase (7): one level of DropTime sampled at
// SampleFrac1.
} // namespace

LevelScheme levelSchemeOf(const MechanismRun& run) {
    const CommittedValues& c = run.c;
    LevelScheme s;
    switch (run.technique) {
    case Technique::DifferentialPulse: {
        const double base = c.DropTime - c.PulseTime;
        s.levels = 2;
        s.offset = {0.0, c.PulsePotential};
        s.start = {0.0, base};
        s.end = {base, c.DropTime};
        s.samples = 2;
        s.sampleTime = {c.SampleFrac1 * c.DropTime, c.SampleFrac2 * c.DropTime};
        s.period = c.DropTime;
        break;
    }
    case Technique::SquareWave:
    case Technique::AdditiveSquareWave:
        s.levels = 2;
        s.offset = {std::fabs(c.PulsePotential), -std::fabs(c.PulsePotential)};
        s.directed = true;
        s.start = {0.0, c.PulseTime};
        s.end = {c.PulseTime, 2.0 * c.PulseTime};
        s.samples = 2;
        s.sampleTime = {c.SampleFrac1 * c.PulseTime, c.PulseTime + c.SampleFrac2 * c.PulseTime};
        s.period = 2.0 * c.PulseTime;
        break;
    default:
        s.levels = 1;
        s.start = {0.0, 0.0};
        s.end = {run.timeGrid, 0.0};
        s.samples = 1;
        s.sampleTime = {c.SampleFrac1 * run.timeGrid, 0.0};
        s.period = run.timeGrid;
        break;
    }
    return s;
}

namespace {

// weights[s][l][d]: contribution of level l of the point d periods before the sampled one to sample s.
void fillLevelWeights(MechanismRun& run, int last) {
    const LevelScheme& s = run.levels;
    const ResponseLaw& law = run.reaction[1].law;
    for (int sample = 0; sample < s.samples; ++sample) {
        const double ts = s.sampleTime[static_cast<std::size_t>(sample)];
        // A sampling instant on a level boundary (to rounding) belongs to the end of the earlier level.
        const double tie = 1e-9 * s.period; // s
        for (int l = 0; l < s.levels; ++l) {
            std::vector<double>& w = run.buffers.levelWeights[at(sample)][at(l)];
            sizeBuffer(run, w);
            const double a = s.start[at(l)];
            const double b = s.end[at(l)];
            if (a >= ts - tie)
                w[0] = 0.0; // the level begins after this sampling instant
            else if (b < ts - tie)
                w[0] = law(ts - a) - law(ts - b);
            else
                w[0] = law(ts - a);
            for (int d = 1; d <= last; ++d)
                w[at(d)] = law(d * s.period + ts - a) - law(d * s.period + ts - b);
        }
    }
}

} // namespace

double ResponseLaw::operator()(double t) const {
    if (catalyticRate == 0.0)
        return std::sqrt(timeGrid / t);
    return unitStepCurrent(catalyticRate, t) / unitStepCurrent(0.0, timeGrid);
}

double catalyticFactor(double rate, double t) {
    const double x = std::sqrt(rate * t);
    return std::sqrt(kPi) * x * Erf(x) + std::exp(-rate * t);
}

void fillHistorySums(const MechanismRun& run, std::span<const double> history,
                     std::span<const double> weights, std::vector<double>& sums) {
    const std::size_t rows = run.rows();
    if (rows <= static_cast<std::size_t>(kPointCapacity) || history.size() < rows || weights.size() < rows) {
        sums.clear();
        return;
    }
    // The sums leave out i = 0 and i = k: a history without its point 0 and weights without their own
    // term w[0] give exactly those sums as a causal convolution.
    std::vector<double> h(history.begin(), history.begin() + static_cast<std::ptrdiff_t>(rows));
    std::vector<double> w(weights.begin(), weights.begin() + static_cast<std::ptrdiff_t>(rows));
    h[0] = 0.0;
    w[0] = 0.0;
    sums.assign(rows, 0.0);
    causalConvolution(h, w, sums);
}

double stepResponse(const MechanismRun& run, int j, StepKind kind, double E, double t) {
    StepArgs a = run.reaction[at(j)].step;
    a.E = E;
    a.t = t;
    switch (kind) {
    case StepKind::Spherical:
        return StepCurrentSpherical(run.kernel, a);
    case StepKind::Nernstian:
        return ReversibleCurrent(run.kernel, a);
    case StepKind::Planar:
        break;
    }
    return StepCurrentPlanar(run.kernel, a);
}

void prepareSuperpositions(MechanismRun& run) {
    const int last = checkedIndex(run.out.LastPoint, 0, kMaxRunIndex);
    const bool history = run.path == SuperpositionPath::History;
    // The Nernstian couples of mechanisms 11 and 12 superpose their step responses; mechanisms 1 to 10
    // under these programmes are solved by the kinetic solver (MechanismKinetics.cpp), 13 and 14 keep
    // their own history (MechanismMultiStep.cpp) and 15 to 18 need none.
    const bool nernstian = run.family() == kind::MechanismFamily::Reversible;
    switch (run.technique) {
    case Technique::LinearSweep:
        if (!nernstian)
            return;
        sizeBuffer(run, run.buffers.sweepWeights);
        buildSweepWeights(last, run.buffers.sweepWeights);
        if (history)
            for (int j = 1; j <= run.numCharge; ++j) {
                fillHistory(run, j, historyKind(run), 0.0, last, run.buffers.history[at(j)]);
                fillHistorySums(run, run.buffers.history[at(j)], run.buffers.sweepWeights,
                                run.buffers.historySum[at(j)]);
            }
        return;
    case Technique::DifferentialPulse:
    case Technique::SquareWave:
    case Technique::AdditiveSquareWave:
    case Technique::Staircase:
        if (!nernstian)
            return;
        run.levels = levelSchemeOf(run);
        fillLevelWeights(run, last);
        if (history)
            for (int j = 1; j <= run.numCharge; ++j)
                for (int l = 0; l < run.levels.levels; ++l) {
                    fillLevelHistory(run, j, l, last, run.buffers.levelHistory[at(j)][at(l)]);
                    for (int s = 0; s < run.levels.samples; ++s)
                        fillHistorySums(run, run.buffers.levelHistory[at(j)][at(l)],
                                        run.buffers.levelWeights[at(s)][at(l)],
                                        run.buffers.levelHistorySum[at(j)][at(s)][at(l)]);
                }
        return;
    case Technique::PotentialStep:
        run.stepCount = 0;
        for (int k = 1; k <= last; ++k) {
            if (k > 1 && run.potential(k) == run.potential(k - 1))
                continue;
            if (run.stepCount >= static_cast<int>(run.stepPoints.size()))
                raise(failure_text::subscriptOutOfRange);
            run.stepPoints[at(run.stepCount++)] = k;
        }
        return;
    default:
        return;
    }
}

double nernstianSweep(const MechanismRun& run, int j, int k) {
    double s = stepResponse(run, j, StepKind::Nernstian, run.potential(k), run.timeGrid);
    const std::vector<double>& w = run.buffers.sweepWeights;
    const std::vector<double>& sums = run.buffers.historySum[at(j)];
    if (run.path == SuperpositionPath::History && !sums.empty())
        return 2.0 * (s + sums[at(k)]);
    for (int i = 1; i <= k - 1; ++i) {
        const double f = run.path == SuperpositionPath::History
                             ? run.buffers.history[at(j)][at(i)]
                             : stepResponse(run, j, StepKind::Nernstian, run.potential(i), run.timeGrid);
        s += f * w[at(k - i)];
    }
    return 2.0 * s;
}

double levelSuperposition(const MechanismRun& run, int j, int k, int s, StepKind current) {
    const LevelScheme& scheme = run.levels;
    const StepKind kind = historyKind(run);
    // At a sphere whose history is planar, the radial flux follows the surface state of the level that is
    // on at the sampling instant; it is added once, for that level, and not weighted by the planar law of
    // the superposition (which would let a steady flux decay as t^-1/2 and leave a net square-wave current
    // on the diffusion plateau).
    const bool radialOnce = current == StepKind::Spherical && kind == StepKind::Planar;
    const StepKind own = radialOnce ? StepKind::Planar : current;
    int active = -1; // the level on at the sampling instant
    double sum = 0.0;
    for (int l = 0; l < scheme.levels; ++l) {
        const std::vector<double>& w = run.buffers.levelWeights[at(s)][at(l)];
        if (w[0] != 0.0) {
            sum += stepResponse(run, j, own, run.potential(k) + run.levelOffset(l, k), run.timeGrid) * w[0];
            active = l;
        }
        const std::vector<double>& sums = run.buffers.levelHistorySum[at(j)][at(s)][at(l)];
        if (run.path == SuperpositionPath::History && !sums.empty()) {
            sum += sums[at(k)];
        } else if (run.path == SuperpositionPath::History) {
            const double* h = run.buffers.levelHistory[at(j)][at(l)].data();
            for (int i = 1; i <= k - 1; ++i)
                sum += h[i] * w[at(k - i)];
        } else {
            for (int i = 1; i <= k - 1; ++i)
                sum += stepResponse(run, j, kind, run.potential(i) + run.levelOffset(l, i), run.timeGrid) *
                       w[at(k - i)];
        }
    }
    if (radialOnce && active >= 0) {
        const double e = run.potential(k) + run.levelOffset(active, k);
        sum += stepResponse(run, j, StepKind::Spherical, e, run.timeGrid) -
               stepResponse(run, j, StepKind::Planar, e, run.timeGrid);
    }
    return sum;
}

double stepSequence(const MechanismRun& run, int j, int k, StepKind kind) {
    const double tau = run.timeGrid;
    const double rate = run.reaction[at(j)].law.catalyticRate;
    // Step response at elapsed time t, with the catalytic regeneration of an EC' couple.
    auto response = [&](double E, double t) {
        const double f = stepResponse(run, j, kind, E, t);
        return rate == 0.0 ? f : f * catalyticFactor(rate, t);
    };
    double sum = 0.0;
    for (int b = 0; b < run.stepCount; ++b) {
        const int first = run.stepPoints[at(b)];
        if (first > k)
            break;
        const double level = run.potential(first);
        sum += response(level, (k - first + 1) * tau);
        if (b + 1 < run.stepCount && run.stepPoints[at(b + 1)] <= k)
            sum -= response(level, (k - run.stepPoints[at(b + 1)] + 1) * tau);
    }
    return sum;
}

} // namespace tessaly
