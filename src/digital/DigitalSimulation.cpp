// One digital run: the grid and the per-unit-time coefficients once, then for every data point its time
// steps (StepIntegrator: second order in time, restarted at every jump of the applied potential), the
// currents of the couples, adsorbed stores and double layer, and the samples of the technique.

#include "digital/DigitalSimulation.h"

#include "base/Checked.h"
#include "base/Failure.h"
#include "base/PhysicalConstants.h"
#include "curves/MeasuredData.h"
#include "digital/AccuracyControl.h"
#include "digital/Adsorption.h"
#include "digital/BlockTridiagonalSolver.h"
#include "digital/ChemistryBlocks.h"
#include "digital/DigitalGrid.h"
#include "digital/DigitalModel.h"
#include "digital/StepIntegrator.h"
#include "digital/SubStepProgramme.h"
#include "digital/SurfaceBlock.h"
#include "digital/TransportTerms.h"
#include "model/ExperimentKinds.h"

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>
#if defined(__SSE2__)
#include <xmmintrin.h>
#endif

namespace tessaly {

namespace {

constexpr double kLitrePerCm3 = 0.001;       // mol/L -> mol/cm3
constexpr int kSecondOrderIterations = 10;
// The output keeps the applied potential of the time steps 1..4999 (the store shows it as EApplied).
constexpr int kAppliedSteps = 5000;

// Currents of one time step, A: per couple (faradaic) and the total with charging.
struct StepCurrents {
    std::array<double, kMaxCouples + 1> couple{};
    double total = 0;
};

// applied[index] = value, growing the list to hold the index.
void setApplied(std::vector<double>& applied, long long index, double value) {
    const auto i = static_cast<std::size_t>(index);
    if (i >= applied.size())
        applied.resize(i + 1);
    applied[i] = value;
}

// Whether a division by zero, an overflow or an invalid operation has been flagged since the flags
// were last cleared: on x86-64, where double arithmetic runs in SSE, one read of MXCSR (the point loop
// asks once per point); elsewhere the library's test.
bool arithmeticFlagged() {
#if defined(__SSE2__)
    constexpr unsigned kInvalid = 0x01, kDivideByZero = 0x04, kOverflow = 0x08;
    return (_mm_getcsr() & (kInvalid | kDivideByZero | kOverflow)) != 0;
#else
    return std::fetestexcept(FE_DIVBYZERO | FE_OVERFLOW | FE_INVALID) != 0;
#endif
}

// Where a run's currents go: the output's columns (the run shown), or only the total of each point.
struct RunOutput {
    const DigitalOutput* columns = nullptr;
    std::vector<double>* totals = nullptr; // indexed by point
};

class DigitalRun {
public:
    // `control` (may be null) sees the points of this pass counted after `passOffset` points.
    DigitalRun(const DigitalModel& model, const DigitalProgramme& programme, RunOutput output,
               DigitalOutcome& outcome, RunControl* control = nullptr, int passOffset = 0)
        : m_model(model), m_programme(programme), m_output(output), m_outcome(outcome), m_control(control),
          m_passOffset(passOffset),
          m_secondOrder(std::span<const ChemicalStep>(m_model.step.data(), static_cast<std::size_t>(m_model.steps))) {}

    void run();

private:
    void prepare();
    void resetProfile();
    StepCurrents step(double applied, double dt);
    void writePoint(int point, const StepCurrents& first, const StepCurrents& second);
    bool ramp() const { return kind::asTechnique(m_model.technique) == kind::Technique::LinearSweep; }

    DigitalModel m_model;
    const DigitalProgramme& m_programme;
    RunOutput m_output;
    DigitalOutcome& m_outcome;
    RunControl* m_control;
    int m_passOffset;
    SecondOrderChemistry m_secondOrder;
    StepRule m_stepRule;
    SubStepPlan m_plan; // the typed grid's steps
    DigitalGrid m_grid;

    SpeciesProfile m_lowerRate; // 1/s
    SpeciesProfile m_upperRate; // 1/s
    DenseMatrix m_reaction{};   // first-order chemistry K, 1/s
    StepIntegrator m_integrator;
    SurfaceRows m_surfaceBase; // the supply part of the surface rows
    SurfaceRows m_surface;
    std::array<RateTracker, kMaxCouples> m_rateTrackers{};

    SpeciesVector m_supply{}; // beta_s, cm/s
    std::array<RatePair, kMaxCouples> m_rates{};
    std::array<AdsorbedStore, kMaxCouples> m_adsorbed{};
    std::array<double, kMaxCouples> m_adsorbedBefore{}; // Gamma_O one step earlier, mol/cm2
    SpeciesVector m_surfaceNow{};                         // C_s(0) after the last step, mol/L
    SpeciesVector m_sampledSurface{};                     // C_s(0) at the last sample, mol/L

    // Step history.
    double m_elapsed = 0;       // time since the last potential jump, s
    double m_lastApplied = 0;   // applied potential of the previous step, V
    double m_beforeApplied = 0; // and of the one before, V
    double m_lastTotal = 0;     // total current of the previous step, A
    double m_beforeTotal = 0;   // and of the one before, A
    long long m_stepIndex = 0;
};

void DigitalRun::prepare() {
    const DigitalModel& m = m_model;
    const auto diffusion = std::span<const double>(m.diffusion.data(), m.diffusion.size());
    if (m.autoGrid) {
        const AutomaticModel automatic = chooseAutomaticModel(m);
        m_stepRule = automatic.steps;
        m_grid = buildDigitalGrid(automatic.grid);
    } else {
        m_plan = planSubSteps(
            {m.technique, m.electrode, m.timeStep, m.dropTime, m.pulseTime, m.sample1, m.sample2});
        if (static_cast<double>(m_plan.subSteps) * m.points > static_cast<double>(kMaxRunSteps))
            raise(runStepsLimitText());
        GridInputs in;
        in.electrode = m.electrode;
        in.timeStep = m.timeStep;
        in.expansion = m.expansion;
        in.radius = m.radius;
        in.rotation = m.rotation;
        in.viscosity = m.viscosity;
        in.thickness = m.thickness;
        in.maxDiffusion = *std::max_element(m.diffusion.begin() + 1, m.diffusion.begin() + m.species + 1);
        in.minDiffusion = *std::min_element(m.diffusion.begin() + 1, m.diffusion.begin() + m.species + 1);
        in.points = m.points;
        in.subSteps = m_plan.subSteps;
        m_grid = buildDigitalGrid(in);
    }
    m_outcome.automaticGrid = m.autoGrid;
    m_outcome.surfaceAreaFactor = m_grid.surfaceAreaFactor;
    m_outcome.cells = m_grid.cells;

    fillTransportRates(m_grid, diffusion, m.species, m.rotation, m.viscosity, m_lowerRate, m_upperRate, m_supply);
    prepareSurfaceRows(std::span<const double>(m_supply.data(), m_supply.size()), m.species, m_surfaceBase);
    for (int k = 0; k < m.couples; ++k)
        m_rateTrackers[k] = RateTracker(rateLawOf(m.couple[k], m.fRT));
    const bool coupled = fillFirstOrderBlock(std::span(m.step.data(), static_cast<std::size_t>(m.steps)), m.species,
                                             m_reaction);
    IntegratorSetup setup;
    setup.species = m.species;
    setup.cells = m_grid.cells;
    setup.closedEnd = m_grid.thinFilm;
    setup.lower = &m_lowerRate;
    setup.upper = &m_upperRate;
    setup.firstOrder = coupled ? &m_reaction : nullptr;
    setup.secondOrder = m_secondOrder.empty() ? nullptr : &m_secondOrder;
    setup.iterationLimit = m_secondOrder.empty() ? 1 : kSecondOrderIterations;
    m_integrator.prepare(setup);
}

// Bulk concentrations everywhere, the adsorbed couples at equilibrium with the start potential, and
// no step history: the next step restarts.
void DigitalRun::resetProfile() {
    const DigitalModel& m = m_model;
    m_integrator.reset(std::span<const double>(m.bulk.data(), m.bulk.size()));
    for (int s = 1; s <= m.species; ++s)
        m_surfaceNow[s] = m.bulk[s];
    for (int k = 0; k < m.couples; ++k)
        if (m.couple[k].adsorbed) {
            m_adsorbed[k] = initialAdsorbedStore(m.couple[k], butlerVolmer(m.couple[k], m.startPotential, m.fRT),
                                                 m.bulk, m.adsorbCoef, m.maxAdsorb, m.species);
            m_adsorbedBefore[k] = m_adsorbed[k].oxidised;
        }
}

StepCurrents DigitalRun::step(double applied, double dt) {
    const DigitalModel& m = m_model;
    StepCurrents out;
    const StepFormula f = m_integrator.formula(dt);

    // The electrode sees the applied potential less the ohmic drop of the last current (reduction
    // currents are positive, so a cathodic current moves the electrode positive of the applied value).
    const double drop = m.resistance * m_lastTotal;
    const double electrode = applied + drop;
    for (int k = 0; k < m.couples; ++k) {
        const ChargeCouple& couple = m.couple[k];
        m_rates[k] = m_rateTrackers[k].at(electrode);
        if (!couple.adsorbed)
            continue;
        // The adsorbed amounts take the same step formula as the solution (second order in a sweep,
        // and at equilibrium with the step's end potential for a fast couple).
        const double before = m_adsorbed[k].oxidised;
        const double rate =
            stepAdsorbedStore(m_adsorbed[k], m_rates[k], f.tau, f.alpha, f.beta, m_adsorbedBefore[k]);
        m_adsorbedBefore[k] = before;
        out.couple[k + 1] = couple.electrons * kFaraday * m.area * rate;
    }
    const auto couples = std::span<const ChargeCouple>(m.couple.data(), static_cast<std::size_t>(m.couples));
    updateSurfaceRows(couples, m_rates, m_surfaceBase, m.species, m_surface);

    m_integrator.advance(dt, m_surface);
    ++m_outcome.timeSteps;
    const SpeciesProfile& profile = m_integrator.profile();
    for (int s = 1; s <= m.species; ++s)
        m_surfaceNow[s] = profile[s][0];

    const double faradayArea = kFaraday * m.area * kLitrePerCm3;
    double faradaic = 0;
    for (int k = 0; k < m.couples; ++k) {
        if (!m.couple[k].adsorbed)
            out.couple[k + 1] = m.couple[k].electrons * faradayArea *
                                couplingRate(m.couple[k], m_rates[k],
                                             std::span<const double>(m_surfaceNow.data(), m_surfaceNow.size()));
        faradaic += out.couple[k + 1];
    }

    // Double layer in series with the uncompensated resistance: i = i_f + Cdl dE_dl/dt with the
    // double-layer potential E_dl = E + Ru i, i.e. i = i_f - Cdl dE/dt - tau_c di/dt (tau_c = Ru Cdl),
    // the derivatives taken by the step formula D x = (x(n+1) - alpha x(n) + beta x(n-1))/tau. After a
    // potential step the charging current decays as exp(-t/tau_c); in a sweep it tends to Cdl v.
    if (m.resistance > 0 || m.capacitance > 0) {
        const double lag = m.resistance * m.capacitance / f.tau;
        const double charging = m.capacitance * f.derivative(applied, m_lastApplied, m_beforeApplied);
        out.total = (faradaic - charging + lag * (f.alpha * m_lastTotal - f.beta * m_beforeTotal)) / (1 + lag);
    } else {
        out.total = faradaic;
    }
    m_beforeTotal = m_lastTotal;
    m_lastTotal = out.total;
    m_beforeApplied = m_lastApplied;
    m_lastApplied = applied;
    return out;
}

void DigitalRun::writePoint(int point, const StepCurrents& first, const StepCurrents& second) {
    const DigitalModel& m = m_model;
    const int technique = m.technique;
    if (m_output.totals != nullptr)
        (*m_output.totals)[static_cast<std::size_t>(point)] = pointCurrent(technique, first.total, second.total);
    if (m_output.columns == nullptr)
        return;
    RunTable& currents = *m_output.columns->currents;
    const int couples = m.couples;
    // Columns up to 3 couples + 1 and the species are within the table's capacity (at most 5 couples
    // and 16 species); the point was checked by the run.
    const bool twoSamples = traits(kind::asTechnique(technique)).twoSamples;
    for (int k = 1; k <= couples; ++k) {
        currents(point, k) = pointCurrent(technique, first.couple[k], second.couple[k]);
        if (twoSamples) {
            currents.at(point, couples + 1 + k) = first.couple[k];
            currents.at(point, 2 * couples + 1 + k) = second.couple[k];
        }
    }
    currents(point, couples + 1) = pointCurrent(technique, first.total, second.total);
    RunTable& surface = *m_output.columns->surface;
    for (int s = 1; s <= m.species; ++s)
        surface(point, s) = m_sampledSurface[s];
}

void DigitalRun::run() {
    prepare();
    const DigitalModel& m = m_model;
    const int firstPoint = checkedIndex(m_programme.firstPoint, 0, kMaxImportPoints);
    const int lastPoint = m_programme.lastPoint < firstPoint
                              ? firstPoint - 1
                              : checkedIndex(m_programme.lastPoint, 0, kMaxImportPoints);
    const auto potentials = static_cast<long long>(m_programme.E.size());
    checkedIndex(std::max(lastPoint, firstPoint - 1), 0, potentials - 1);
    resetProfile();
    m_lastApplied = m_programme.E[static_cast<std::size_t>(std::max(0, firstPoint - 1))];
    m_beforeApplied = m_lastApplied;
    // Scan direction of the point (+1 anodic, -1 cathodic): the sign of its step from the previous point,
    // kept through a repeated potential (the turn of a cycle), the programme's sense before the first step.
    double direction = m.endPotential > m.startPotential ? 1.0 : -1.0;
    int previousSlope = 0;
    const bool fresh = freshStartOf(m.technique, m.electrode);
    const ScheduleTiming timing{m.technique, m.electrode, m.dropTime, m.pulseTime, m.sample1, m.sample2};
    const PointSchedule schedule = m.autoGrid ? sampledSchedule(timing) : typedSchedule(m_plan, m.timeStep);
    const double inverseDuration = 1 / schedule.duration;

    for (int point = firstPoint; point <= lastPoint; ++point) {
        reachPoint(m_control, m_passOffset + point - 1);
        const double e = m_programme.E[static_cast<std::size_t>(point)];
        const double ePrevious = m_programme.E[static_cast<std::size_t>(std::max(0, point - 1))];
        if (e != ePrevious)
            direction = e > ePrevious ? 1.0 : -1.0;
        // A sweep turns (its ramp changes sense, or holds at the switching potential): the current of a
        // thin layer or an adsorbed couple, proportional to dE/dt, jumps there, so the step formula
        // restarts and the steps grade up from the turn as after a potential jump.
        const int slope = e > ePrevious ? 1 : (e < ePrevious ? -1 : 0);
        const bool turn = ramp() && point > firstPoint && slope != previousSlope;
        previousSlope = slope;
        if (fresh)
            resetProfile();
        const auto potentialAt = [&](int level, double t) {
            return levelPotential(m.technique, level, t * inverseDuration, e, ePrevious, m.startPotential, m.pulse,
                                  direction);
        };

        StepCurrents first;
        StepCurrents second;
        StepCurrents now;
        long long stepsOfPoint = 0;
        double start = 0; // of the segment, s from the point's start
        for (int i = 0; i < schedule.count; ++i) {
            const PointSegment& segment = schedule.segment[static_cast<std::size_t>(i)];
            const double end = start + segment.duration;
            // A jump of the applied potential (or no history at all) restarts the step formula.
            const bool jump = m_integrator.lastStep() == 0 || (turn && i == 0) ||
                              (!ramp() && potentialAt(segment.level, end) != m_lastApplied);
            if (jump) {
                m_elapsed = 0;
                m_integrator.restart(); // the step formula restarts with a backward-Euler step
            }
            const auto advance = [&](double dt, double t) {
                const double applied = potentialAt(segment.level, t);
                ++m_stepIndex;
                if (m_output.columns != nullptr && m_stepIndex < kAppliedSteps)
                    setApplied(*m_output.columns->applied, m_stepIndex, applied);
                now = step(applied, dt);
                m_elapsed += dt;
                ++stepsOfPoint;
            };
            if (segment.steps > 0) {
                // Typed grid: steps of exactly dt; the ramp's fraction counts whole steps.
                for (long long k = 1; k <= segment.steps; ++k)
                    advance(m.timeStep, start + static_cast<double>(k) * m.timeStep);
            } else {
                // Automatic: steps below the rule's length for the time since the jump at the segment's
                // end, growing at most twofold from the previous one, then uniform to the end.
                const double target = targetStep(m_stepRule, m_elapsed + segment.duration);
                double t = start;
                double remaining = segment.duration;
                while (!jump && kLargestStepRatio * m_integrator.lastStep() < target &&
                       kLargestStepRatio * m_integrator.lastStep() < remaining) {
                    const double dt = kLargestStepRatio * m_integrator.lastStep();
                    t += dt;
                    remaining = end - t;
                    advance(dt, t);
                }
                const double count = std::max(1.0, std::ceil(remaining / target * (1 - 1e-12)));
                const double dt = remaining / count;
                for (double k = 1; k <= count; ++k)
                    advance(dt, k == count ? end : t + k * dt);
            }
            if (segment.samples & kFirstSample)
                first = now;
            if (segment.samples & kSecondSample) {
                second = now;
                m_sampledSurface = m_surfaceNow;
            }
            start = end;
        }
        m_outcome.subSteps = std::max(m_outcome.subSteps, stepsOfPoint);
        m_outcome.maxIterations = m_integrator.maxIterations();
        writePoint(point, first, second);
        // Stop at the first point whose arithmetic failed; the points before it stay.
        if (arithmeticFlagged())
            FloatingPointGuard::check();
    }
    m_outcome.negativeConcentrations =
        static_cast<int>(std::min<std::int64_t>(m_integrator.negatives(), std::numeric_limits<int>::max()));
}

// How far the typed-grid run's currents (column `total` of the output) lie from those of the automatic
// model, as a fraction of the automatic model's largest current; empty when that run fails.
std::optional<double> typedGridDistance(const DigitalModel& typed, const DigitalProgramme& programme,
                                        const RunTable& currents, int total, RunControl* control) {
    DigitalModel automatic = typed;
    automatic.autoGrid = true;
    std::vector<double> reference(static_cast<std::size_t>(std::max(programme.lastPoint, 0)) + 1, 0.0);
    DigitalOutcome outcome;
    try {
        DigitalRun run(automatic, programme, RunOutput{nullptr, &reference}, outcome, control,
                       std::max(programme.lastPoint, 0));
        run.run();
    } catch (const Failure&) {
        FloatingPointGuard::clear();
        return std::nullopt;
    }
    double scale = 0;
    double difference = 0;
    for (int k = programme.firstPoint; k <= programme.lastPoint; ++k) {
        const double r = reference[static_cast<std::size_t>(k)];
        scale = std::max(scale, std::fabs(r));
        difference = std::max(difference, std::fabs(currents(k, total) - r));
    }
    if (!(scale > 0))
        return std::nullopt;
    return difference / scale;
}

} // namespace

DigitalOutcome DigitalSimulate(const SimulationInput& in, const DigitalProgramme& programme,
                               const DigitalOutput& output) {
    DigitalOutcome outcome;
    try {
        FloatingPointGuard::clear();
        const DigitalModel model = readDigitalModel(in, programme.points);
        // A run on a typed grid makes a second pass on the automatic grid: the progress counts both.
        const bool comparePass = !model.autoGrid && in.source != ProgrammeSource::Measured;
        if (in.control)
            in.control->setTotal(std::max(programme.lastPoint, 0) * (comparePass ? 2 : 1));
        DigitalRun run(model, programme, RunOutput{&output, nullptr}, outcome, in.control);
        run.run();
        if (comparePass)
            outcome.typedGridError =
                typedGridDistance(model, programme, *output.currents, model.couples + 1, in.control);
    } catch (const Failure& failure) {
        FloatingPointGuard::clear();
        outcome.failure = failure.description();
    }
    return outcome;
}

std::string typedGridReport(double error) {
    char figure[32];
    const double percent = 100 * error;
    if (percent < 0.1)
        return "Digital model: the typed time grid and space grid factor keep the current within about 0.1 % "
               "of converged";
    std::snprintf(figure, sizeof figure, percent < 10 ? "%.1f" : "%.0f", percent);
    return std::string("Digital model: the typed time grid and space grid factor leave the current about ") + figure +
           " % from converged (Auto digital model: within 0.1 %)";
}

} // namespace tessaly
