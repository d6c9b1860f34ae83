#pragma once
// The concentration profile of a run and its advance in time: BDF2 with variable steps,
//   (C(n+1) - alpha*C(n) + beta*C(n-1)) / tau = L*C(n+1),
//   omega = dt(n+1)/dt(n),  tau = dt(n+1)(1 + omega)/(1 + 2 omega),
//   alpha = (1 + omega)^2/(1 + 2 omega),  beta = omega^2/(1 + 2 omega),
// started (at the beginning and after every jump of the applied potential) by one backward-Euler step
// (alpha = 1, beta = 0, tau = dt), whose damping absorbs the singular start of the current after a jump
// (Britz, Digital Simulation in Electrochemistry, 3rd ed. (2005), section 9.3; Hairer & Wanner, Solving
// Ordinary Differential Equations II (1996), section III.5). Both have the form of one implicit step of
// length tau, so the cell rows are eliminated once for each tau in use and every step is one sweep in,
// one surface solve and one sweep out; second-order chemistry re-linearises each step (Newton, started
// from the profile extrapolated from the last two steps).

#include "digital/BlockTridiagonalSolver.h"

#include <cstdint>
#include <span>
#include <vector>

namespace tessaly {

// The step formula of one step.
struct StepFormula {
    double tau = 0;   // s
    double alpha = 1; // weight of C(n)
    double beta = 0;  // weight of C(n-1)
    // The formula's derivative of a quantity x at the end of the step: (x(n+1) - alpha x(n) + beta x(n-1))/tau.
    double derivative(double next, double now, double before) const {
        return (next - alpha * now + (beta != 0 ? beta * before : 0.0)) / tau;
    }
};

// Largest ratio of consecutive steps the variable-step BDF2 takes (it is zero-stable below
// 1 + sqrt(2)); a larger growth of the step restarts with a backward-Euler step.
inline constexpr double kLargestStepRatio = 2.0;

// BDF2 for a step dt after one of previousDt, backward Euler when previousDt is 0 (a restart) or the
// step grows more than kLargestStepRatio-fold.
StepFormula stepFormula(double dt, double previousDt);

// What a run integrates: species and cells, the exchange rates of the cell balances per unit time
// (1/s; see TransportTerms.h), the first-order chemistry K (1/s) and the second-order chemistry.
struct IntegratorSetup {
    int species = 1;
    int cells = 1;
    bool closedEnd = false;        // the last cell does not exchange with the outer cell (a film)
    const SpeciesProfile* lower = nullptr;
    const SpeciesProfile* upper = nullptr;
    const DenseMatrix* firstOrder = nullptr;          // null without first-order chemistry
    const ReactionLinearisation* secondOrder = nullptr; // null without second-order chemistry
    int iterationLimit = 1;                           // Newton iterations of a second-order step
};

class StepIntegrator {
public:
    // Takes the set-up (the profiles it points to must outlive the integrator's use).
    void prepare(const IntegratorSetup& setup);
    // Every species at its bulk value (bulk[s], s = 1..S) in every cell; the next step restarts.
    void reset(std::span<const double> bulk);
    // The next step restarts the formula (the applied potential jumps).
    void restart() { m_lastStep = 0; }
    double lastStep() const { return m_lastStep; }
    // The formula the next step of length dt takes.
    const StepFormula& formula(double dt);
    // Advances by dt; the surface rows hold the rate constants at the end of the step.
    void advance(double dt, const SurfaceRows& rows);

    const SpeciesProfile& profile() const { return m_now; }
    int maxIterations() const { return m_maxIterations; }
    std::int64_t negatives() const { return m_negatives; }

private:
    struct CachedMatrix {
        double tau = 0;
        unsigned long long lastUse = 0;
        StepMatrix matrix;
    };
    const StepMatrix& stepMatrix(double tau);
    void advanceSecondOrder(const StepFormula& f, double dt, const SurfaceRows& rows);

    IntegratorSetup m_setup;
    SpeciesProfile m_now;    // C(n), mol/L
    SpeciesProfile m_before; // C(n-1), then the new profile
    SurfaceSolver m_surface;
    std::vector<CachedMatrix> m_matrices;
    CachedMatrix* m_lastMatrix = nullptr;
    unsigned long long m_uses = 0;
    double m_lastStep = 0; // dt of the previous step, s; 0: the next step restarts
    StepFormula m_formula; // for the step and previous step below
    double m_formulaStep = -1;
    double m_formulaPrevious = -1;
    // Second-order chemistry: the step's system, the solver's scratch, the first iterate.
    BlockSystem m_system;
    SolverWorkspace m_work;
    SpeciesProfile m_start;
    int m_maxIterations = 0;
    std::int64_t m_negatives = 0;
};

} // namespace tessaly
