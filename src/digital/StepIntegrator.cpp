#include "digital/StepIntegrator.h"

#include "base/Checked.h"
#include "base/Failure.h"

#include <algorithm>

namespace tessaly {

namespace {

// Eliminated step matrices kept per run (one per step length in use).
constexpr std::size_t kStepMatrixCache = 24;

} // namespace

StepFormula stepFormula(double dt, double previousDt) {
    if (!(previousDt > 0) || dt > kLargestStepRatio * previousDt)
        return {dt, 1.0, 0.0};
    const double omega = dt / previousDt;
    const double denominator = 1 + 2 * omega;
    return {dt * (1 + omega) / denominator, (1 + omega) * (1 + omega) / denominator, omega * omega / denominator};
}

void StepIntegrator::prepare(const IntegratorSetup& setup) {
    if (setup.lower == nullptr || setup.upper == nullptr || setup.iterationLimit < 1)
        raise(failure_text::invalidCall);
    checkedIndex(setup.cells, 1, kMaxCells);
    checkedIndex(setup.species, 1, kMaxSolverSpecies);
    m_setup = setup;
    m_now.resize(setup.species, setup.cells);
    m_before.resize(setup.species, setup.cells);
    m_matrices.clear();
    m_matrices.reserve(kStepMatrixCache); // entries stay in place: m_lastMatrix points at one
    m_lastMatrix = nullptr;
    m_lastStep = 0;
    m_formulaStep = m_formulaPrevious = -1;
    m_maxIterations = 0;
    m_negatives = 0;
    if (setup.secondOrder != nullptr) {
        m_system.resize(setup.species, setup.cells);
        m_system.coupled = setup.firstOrder != nullptr;
        m_start.resize(setup.species, setup.cells);
    }
}

void StepIntegrator::reset(std::span<const double> bulk) {
    for (int s = 1; s <= m_setup.species; ++s) {
        m_now.fill(s, bulk[static_cast<std::size_t>(s)]);
        m_before.fill(s, bulk[static_cast<std::size_t>(s)]);
    }
    m_lastStep = 0;
}

const StepFormula& StepIntegrator::formula(double dt) {
    if (dt != m_formulaStep || m_lastStep != m_formulaPrevious) {
        m_formula = stepFormula(dt, m_lastStep);
        m_formulaStep = dt;
        m_formulaPrevious = m_lastStep;
    }
    return m_formula;
}

const StepMatrix& StepIntegrator::stepMatrix(double tau) {
    ++m_uses;
    if (m_lastMatrix != nullptr && m_lastMatrix->tau == tau) {
        m_lastMatrix->lastUse = m_uses;
        return m_lastMatrix->matrix;
    }
    for (CachedMatrix& c : m_matrices)
        if (c.tau == tau) {
            c.lastUse = m_uses;
            m_lastMatrix = &c;
            return c.matrix;
        }
    CachedMatrix* slot = nullptr;
    if (m_matrices.size() < kStepMatrixCache)
        slot = &m_matrices.emplace_back();
    else
        slot = &*std::min_element(m_matrices.begin(), m_matrices.end(),
                                  [](const CachedMatrix& a, const CachedMatrix& b) { return a.lastUse < b.lastUse; });
    slot->tau = tau;
    slot->lastUse = m_uses;
    slot->matrix.eliminate(*m_setup.lower, *m_setup.upper, m_setup.firstOrder, m_setup.species, m_setup.cells, tau,
                           m_setup.closedEnd);
    m_lastMatrix = slot;
    return slot->matrix;
}

void StepIntegrator::advance(double dt, const SurfaceRows& rows) {
    const StepFormula f = formula(dt);
    if (m_setup.secondOrder != nullptr) {
        advanceSecondOrder(f, dt, rows);
    } else {
        const StepMatrix& matrix = stepMatrix(f.tau);
        // The surface system depends on the rate constants only: factorised first, it overlaps the
        // sweep in. The new profile is formed in the buffer of C(n-1), which the sweep in reads just
        // before it overwrites each cell; then C(n) becomes C(n-1).
        m_surface.factorise(matrix, rows);
        matrix.sweepIn(m_now, m_before, f.alpha, f.beta, m_before);
        m_surface.solve(rows, m_before);
        matrix.sweepOut(m_before);
        m_now.swap(m_before);
        m_maxIterations = std::max(m_maxIterations, 1);
    }
    m_lastStep = dt;
}

void StepIntegrator::advanceSecondOrder(const StepFormula& f, double dt, const SurfaceRows& rows) {
    const int n = m_setup.cells;
    const int species = m_setup.species;
    BlockSystem& system = m_system;
    const double omega = f.beta > 0 ? dt / m_lastStep : 0.0;
    for (int s = 1; s <= species; ++s) {
        const auto now = m_now[s];
        const auto before = m_before[s];
        const auto lower = (*m_setup.lower)[s];
        const auto upper = (*m_setup.upper)[s];
        for (int j = 1; j <= n; ++j) {
            const double a = f.tau * lower[j];
            const double c = m_setup.closedEnd && j == n ? 0.0 : f.tau * upper[j];
            system.a[s][j] = a;
            system.c[s][j] = c;
            system.b[s][j] = 1 + a + c;
            system.conc[s][j] = f.alpha * now[j] - f.beta * before[j];
            // First iterate: the profile extrapolated linearly from the last two steps.
            m_start[s][j] = now[j] + omega * (now[j] - before[j]);
        }
        system.conc[s][n + 1] = now[n + 1];
        m_start[s][n + 1] = now[n + 1];
    }
    if (m_setup.firstOrder != nullptr)
        for (int s = 1; s <= species; ++s)
            for (int t = 1; t <= species; ++t)
                system.reaction(s, t) = f.tau * (*m_setup.firstOrder)(s, t);
    system.surface = rows;
    const IterationSummary summary = SolveBlockTridiagonalIterated(system, m_work, *m_setup.secondOrder, f.tau,
                                                                   m_setup.iterationLimit, m_negatives, &m_start);
    m_maxIterations = std::max(m_maxIterations, summary.iterations);
    for (int s = 1; s <= species; ++s)
        for (int j = 0; j <= n; ++j)
            m_before[s][j] = system.conc[s][j];
    m_now.swap(m_before);
}

} // namespace tessaly
