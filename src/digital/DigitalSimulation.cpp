// One digital run: the grid and coefficients once, then for every data point its time steps, each a
// fully implicit step of the diffusion-reaction equations solved by the block-tridiagonal solver.

#include "digital/DigitalSimulation.h"

#include "base/Checked.h"
#include "base/Failure.h"
#include "base/PhysicalConstants.h"
#include "digital/Adsorption.h"
#include "digital/BlockTridiagonalSolver.h"
#include "digital/ChemistryBlocks.h"
#include "digital/DigitalGrid.h"
#include "digital/DigitalModel.h"
#include "digital/SubStepProgramme.h"
#include "digital/SurfaceBlock.h"
#include "digital/TransportTerms.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

namespace tessaly {

namespace {

constexpr double kLitrePerCm3 = 0.001; // mol/L -> mol/cm3
constexpr int kSecondOrderIterations = 10;
// EApplied keeps the applied potential of the time steps of indices 1..4999.
constexpr int kAppliedSteps = 5000;

// Currents of one time step, A: per couple (faradaic) and the total with charging.
struct StepCurrents {
    std::array<double, kMaxCouples + 1> couple{};
    double total = 0;
};

class DigitalRun {
public:
    DigitalRun(const ExperimentParams& p, CurveStore& store, DigitalOutcome& outcome)
        : m_model(readDigitalModel(p)), m_store(store), m_outcome(outcome),
          m_system(std::make_unique<BlockSystem>()), m_work(std::make_unique<SolverWorkspace>()),
          m_secondOrder(
              std::span<const ChemicalStep>(m_model.step.data(), static_cast<std::size_t>(m_model.steps))) {}

    void run();

private:
    void prepare();
    void resetProfile();
    StepCurrents step(double applied);
    void writePoint(int point, const StepCurrents& first, const StepCurrents& second);

    DigitalModel m_model;
    CurveStore& m_store;
    DigitalOutcome& m_outcome;
    std::unique_ptr<BlockSystem> m_system;
    std::unique_ptr<SolverWorkspace> m_work;
    SecondOrderChemistry m_secondOrder;
    DigitalGrid m_grid;
    SubStepPlan m_plan;
    std::array<double, kMaxSolverSpecies + 1> m_supply{}; // beta_s, cm/s
    std::array<RatePair, kMaxCouples> m_rates{};
    std::array<AdsorbedStore, kMaxCouples> m_adsorbed{};
    std::array<double, kMaxSolverSpecies + 1> m_sampledSurface{}; // C_s(0) at the last sample, mol/L
    int m_iterationLimit = 1;
    std::int64_t m_negatives = 0;
    double m_previousTotal = 0;   // total current of the previous time step, A
    double m_previousApplied = 0; // applied potential of the previous time step, V
};

void DigitalRun::prepare() {
    const DigitalModel& m = m_model;
    m_plan =
        planSubSteps({m.technique, m.electrode, m.timeStep, m.dropTime, m.pulseTime, m.sample1, m.sample2});
    m_outcome.subSteps = m_plan.subSteps;

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
    in.points = std::max(1, m_store.NPoints);
    in.subSteps = m_plan.subSteps;
    m_grid = buildDigitalGrid(in);
    m_outcome.surfaceAreaFactor = m_grid.surfaceAreaFactor;
    m_outcome.cells = m_grid.cells;

    BlockSystem& system = *m_system;
    system.cells = m_grid.cells;
    system.species = m.species;
    fillTransportTerms(m_grid, m.diffusion, m.species, m.timeStep, m.rotation, m.viscosity, system);
    system.coupled = fillFirstOrderBlocks(std::span(m.step.data(), static_cast<std::size_t>(m.steps)),
                                          m.species, m_grid.cells, system);
    m_iterationLimit = m_secondOrder.empty() ? 1 : kSecondOrderIterations;
    for (int s = 1; s <= m.species; ++s)
        m_supply[s] = m.diffusion[s] * m_grid.surfaceConductance / m_grid.firstCell;
}

// Bulk concentrations everywhere, and the adsorbed couples at equilibrium with the start potential.
void DigitalRun::resetProfile() {
    const DigitalModel& m = m_model;
    for (int s = 1; s <= m.species; ++s)
        std::fill(m_system->conc[s].begin(), m_system->conc[s].end(), m.bulk[s]);
    for (int k = 0; k < m.couples; ++k)
        if (m.couple[k].adsorbed)
            m_adsorbed[k] =
                initialAdsorbedStore(m.couple[k], butlerVolmer(m.couple[k], m.startPotential, m.fRT), m.bulk,
                                     m.adsorbCoef, m.maxAdsorb, m.species);
}

StepCurrents DigitalRun::step(double applied) {
    const DigitalModel& m = m_model;
    BlockSystem& system = *m_system;
    StepCurrents out;

    // The electrode sees the applied potential less the ohmic drop of the last current (reduction
    // currents are positive, so a cathodic current moves the electrode positive of the applied value).
    const double electrode = applied + m.resistance * m_previousTotal;
    const double adsorbedFactor = kFaraday * m.area / m.timeStep;
    for (int k = 0; k < m.couples; ++k) {
        m_rates[k] = butlerVolmer(m.couple[k], electrode, m.fRT);
        if (m.couple[k].adsorbed)
            out.couple[k + 1] = m.couple[k].electrons * adsorbedFactor *
                                relaxAdsorbedStore(m_adsorbed[k], m_rates[k], m.timeStep);
    }
    const auto couples = std::span<const ChargeCouple>(m.couple.data(), static_cast<std::size_t>(m.couples));
    fillSurfaceBlock(couples, m_rates, m_supply, m.species, system);

    if (m_iterationLimit > 1) {
        const IterationSummary summary =
            SolveBlockTridiagonalIterated(system, *m_work, m_secondOrder, m_iterationLimit, m_negatives);
        m_outcome.maxIterations = std::max(m_outcome.maxIterations, summary.iterations);
    } else {
        SolveBlockTridiagonal(system, *m_work);
        m_outcome.maxIterations = std::max(m_outcome.maxIterations, 1);
    }
    ++m_outcome.timeSteps;

    const double faradayArea = kFaraday * m.area * kLitrePerCm3;
    double faradaic = 0;
    for (int k = 0; k < m.couples; ++k) {
        if (!m.couple[k].adsorbed)
            out.couple[k + 1] =
                m.couple[k].electrons * faradayArea * couplingRate(m.couple[k], m_rates[k], system.conc);
        faradaic += out.couple[k + 1];
    }

    // Double layer in series with the uncompensated resistance: i = i_f + Cdl dE_dl/dt with the
    // double-layer potential E_dl = E + Ru i, by the implicit step
    //   i (1 + tau/dt) = i_f - Cdl (E - E_prev)/dt + (tau/dt) i_prev,  tau = Ru Cdl,
    // whose charging current after a potential step decays as exp(-t/tau) and tends to Cdl v in a sweep.
    if (m.resistance > 0 || m.capacitance > 0) {
        const double lag = m.resistance * m.capacitance / m.timeStep;
        const double charging = m.capacitance * (applied - m_previousApplied) / m.timeStep;
        out.total = (faradaic - charging + lag * m_previousTotal) / (1 + lag);
    } else {
        out.total = faradaic;
    }
    m_previousTotal = out.total;
    m_previousApplied = applied;
    return out;
}

void DigitalRun::writePoint(int point, const StepCurrents& first, const StepCurrents& second) {
    const DigitalModel& m = m_model;
    PointTable& currents = m_store.ComponentCurrent;
    const int couples = m.couples;
    const bool twoSamples = traits(kind::asTechnique(m.technique)).twoSamples;
    for (int k = 1; k <= couples; ++k) {
        currents.at(point, k) = pointCurrent(m_plan, first.couple[k], second.couple[k]);
        if (twoSamples) {
            currents.at(point, couples + 1 + k) = first.couple[k];
            currents.at(point, 2 * couples + 1 + k) = second.couple[k];
        }
    }
    currents.at(point, couples + 1) = pointCurrent(m_plan, first.total, second.total);
    for (int s = 1; s <= m.species; ++s)
        m_store.SurfaceConc.at(point, s) = m_sampledSurface[s];
}

void DigitalRun::run() {
    prepare();
    resetProfile();
    const int firstPoint = m_store.FirstPoint;
    const int lastPoint = m_store.LastPoint;
    m_previousApplied = m_store.E.at(std::max(0, firstPoint - 1));
    // Scan direction of the point (+1 anodic, -1 cathodic): the sign of its step from the previous point,
    // kept through a repeated potential (the turn of a cycle), the programme's sense before the first step.
    double direction = m_model.endPotential > m_model.startPotential ? 1.0 : -1.0;
    int stepIndex = 0;

    for (int point = firstPoint; point <= lastPoint; ++point) {
        const double e = m_store.E.at(point);
        const double ePrevious = m_store.E.at(std::max(0, point - 1));
        if (e != ePrevious)
            direction = e > ePrevious ? 1.0 : -1.0;
        if (m_plan.freshStart)
            resetProfile();

        StepCurrents first;
        StepCurrents second;
        for (int m = 1; m <= m_plan.subSteps; ++m) {
            const double applied =
                subStepPotential(m_plan, m, e, ePrevious, m_model.startPotential, m_model.pulse, direction);
            ++stepIndex;
            if (stepIndex < kAppliedSteps)
                m_store.EApplied[stepIndex] = applied;
            const StepCurrents now = step(applied);
            if (m == m_plan.firstSample)
                first = now;
            if (m == m_plan.secondSample) {
                second = now;
                for (int s = 1; s <= m_model.species; ++s)
                    m_sampledSurface[s] = m_system->conc[s][0];
            }
        }
        writePoint(point, first, second);
        // Stop at the first point whose arithmetic failed; the points before it stay.
        FloatingPointGuard::check();
    }
    m_outcome.negativeConcentrations =
        static_cast<int>(std::min<std::int64_t>(m_negatives, std::numeric_limits<int>::max()));
}

} // namespace

DigitalOutcome DigitalSimulate(const ExperimentParams& p, CurveStore& store) {
    DigitalOutcome outcome;
    try {
        FloatingPointGuard::clear();
        DigitalRun run(p, store, outcome);
        run.run();
    } catch (const Failure& failure) {
        FloatingPointGuard::clear();
        outcome.failure = failure.description();
    }
    return outcome;
}

} // namespace tessaly
