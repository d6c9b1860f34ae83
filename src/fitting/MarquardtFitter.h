#pragma once
// Box-bounded Levenberg–Marquardt least squares with central-difference derivatives.
//
// The fitter knows nothing of the model: it sees a parameter vector, a measured curve and an objective that
// turns the one into a simulated curve of the same length. One call of `MarquardtFit` is one outer
// iteration (one Jacobian, then as many damping trials as it takes to lower the least square); the caller
// repeats calls and decides when to stop, carrying λ, the least square and the counters in a
// `MarquardtState` between calls so that the damping adapts across iterations.
//
// The method works on the normal equations scaled to a unit diagonal (Marquardt's scaling):
//   K. Levenberg, Q. Appl. Math. 2 (1944) 164; D. W. Marquardt, J. SIAM 11 (1963) 431;
//   P. R. Bevington, Data Reduction and Error Analysis for the Physical Sciences (1969), ch. 11.
//
// Indexing: every vector here is 0-based; parameter k of the design's 1..p numbering is index k − 1, and
// point FirstPoint of the fitted range is index 0 of the measured and model spans.

#include "base/Failure.h"

#include <cstddef>
#include <functional>
#include <span>
#include <vector>

namespace tessaly {

inline constexpr int kMaxFitParameters = 140; // largest number of fitted parameters
inline constexpr int kMaxFitPoints = 1000000; // largest fitted range (points): the store's limit

inline constexpr double kDerivativeStepFraction = 0.01;    // central-difference step, fraction of P or range
inline constexpr double kFrozenDiagonal = 1e-20;           // A_kk below this freezes parameter k
inline constexpr double kPivotFloor = 1e-15;               // smallest pivot magnitude in the elimination
inline constexpr double kInitialLambda = 1e-4;             // λ of the first damped trial ever made
inline constexpr double kLambdaLimit = 1000.0;             // damping trials continue while λ ≤ this
inline constexpr double kLeastSquareTolerance = 1e-10;     // flag −1 when SS < this × data variance
inline constexpr double kRelativeDecreaseTolerance = 2e-4; // flag −2 when the relative decrease is below

// The objective: fills `model` (one value per point of the fitted range, same length as the measured
// curve) for the parameter vector `params` (0-based, length p). Exceptions it throws pass through the
// fitter unchanged.
using FitObjectiveFunction = std::function<void(std::span<const double> params, std::span<double> model)>;

// Evaluates several independent parameter vectors at once (the derivative probes of one Jacobian):
// model j receives the curve of parameter vector j. An implementation may run them in parallel; it must
// give each the same curve the single objective would.
using FitBatchObjective = std::function<void(std::span<const std::span<const double>> params,
                                             std::span<const std::span<double>> models)>;

// Convergence flag of one call; the values are the ones the fit report prints.
enum class MarquardtOutcome : int {
    Continue = 1,            // the least square went down noticeably: call again
    LeastSquareReached = -1, // SS < 1e-10 × variance of the data
    DecreaseTooSmall = -2,   // relative decrease of SS below 2e-4 (includes a failed damping sequence)
};

// State carried by the caller between calls. Zero-initialised for a new fit.
struct MarquardtState {
    double lambda = 0.0;      // damping factor λ (dimensionless, on the scaled normal equations)
    double leastSquare = 0.0; // SS = Σ (f − y)² at the current parameters, in squared data units
    int marquardtCount = 0;   // damped trials made so far ("No. of MARQUARDS")
    int objectiveCount = 0;   // counted objective evaluations ("No. of object fun.")
    bool started = false;     // the first evaluation of SS has been made
    int flag = 0;             // convergence flag of the last call (0 before the first call)
};

// The least square at the parameters a fit starts from is not a finite number (a simulated point overflowed
// or is undefined, or the residuals overflow). The fit cannot start from there; nothing was changed.
class NonFiniteFit : public Failure {
public:
    using Failure::Failure;
};

inline constexpr const char* kNonFiniteStartText =
    "The simulated curve at the starting values is not a finite number (overflow or an undefined "
    "operation), so the fit cannot start there; nothing was changed";
inline constexpr const char* kNoSimulationFinishedText =
    "No simulation of the fit finished, so there is nothing to compare with the measured curve; the "
    "parameters were left as they were before the fit";
inline constexpr const char* kNonFiniteEndText =
    "The simulated curve at the fitted values is not a finite number (overflow or an undefined "
    "operation); the parameters were left as they were before the fit";

// Limits and selection of the fitted parameters (0-based, length p each).
struct FitBounds {
    std::span<const double> lower; // Pmin
    std::span<const double> upper; // Pmax
    std::span<const bool> free;    // false holds the parameter at its current value
};

class MarquardtWorkspace;

// Evaluates SS = Σ_i (f_i − y_i)² for the parameters P + step clamped into [lower, upper] (step all zeros
// for a plain evaluation), counting one objective evaluation in `state`. The clamped parameters and their
// model stay in the workspace for the caller of the trial.
double ComputeSumOfSquares(std::span<const double> params, std::span<const double> step,
                           const FitBounds& bounds, std::span<const double> measured,
                           const FitObjectiveFunction& objective, MarquardtState& state,
                           MarquardtWorkspace& workspace);

// One outer iteration of the bounded Levenberg–Marquardt method. `params` (length p, 1 ≤ p ≤ 140) is
// updated in place to the accepted (clamped) trial; `measured` holds the fitted range (1..kMaxFitPoints points);
// `variance` is the variance of the measured data, which sets the absolute least-square tolerance.
// Sizes out of range raise a Failure ("Subscript out of range").
//
// A trial whose least square is not finite (a simulated point overflowed or is undefined) is never
// accepted: it counts as a failed damping trial and λ rises; when λ passes its limit without a finite,
// lower trial the parameters stay where they were (flag −2). A start whose least square is not finite
// raises NonFiniteFit with the parameters, λ and the state unchanged. A parameter whose derivative
// column is not finite is frozen for the iteration, as one whose curve does not respond to it.
MarquardtOutcome MarquardtFit(std::span<double> params, std::span<const double> measured,
                              const FitBounds& bounds, double variance, const FitObjectiveFunction& objective,
                              MarquardtState& state, MarquardtWorkspace& workspace,
                              const FitBatchObjective* probeBatch = nullptr);

// Jacobian, normal equations and model buffers, kept across calls: storage grows on first use (or when a
// larger problem arrives) and is reused afterwards, so an iteration allocates nothing.
class MarquardtWorkspace {
public:
    MarquardtWorkspace();

    // The Jacobian at `params` by the fitter's central differences over `points` points, every probe
    // through `probes`: p contiguous columns of `points` values (a parameter not free has a zero column).
    // The uncertainties of a finished fit are taken from it.
    std::span<const double> jacobianAt(std::span<const double> params, const FitBounds& bounds, int points,
                                       const FitBatchObjective& probes);

    // Between full central-difference Jacobians, up to `updates` iterations take the Jacobian from a
    // Broyden rank-one update of the last one (C. G. Broyden, Math. Comp. 19 (1965) 577), in variables
    // scaled by the derivative steps, instead of 2p probe simulations. A full Jacobian is taken again when
    // a trial on an updated one fails to lower the least square, and before the fit may stop on a small
    // decrease, so the stopping rule is always judged on a true Jacobian. 0 (the default): never.
    void setBroydenUpdates(int updates) { m_broydenLimit = updates; }

private:
    friend MarquardtOutcome MarquardtFit(std::span<double>, std::span<const double>, const FitBounds&, double,
                                         const FitObjectiveFunction&, MarquardtState&, MarquardtWorkspace&,
                                         const FitBatchObjective*);
    friend double ComputeSumOfSquares(std::span<const double>, std::span<const double>, const FitBounds&,
                                      std::span<const double>, const FitObjectiveFunction&, MarquardtState&,
                                      MarquardtWorkspace&);

    void prepare(int parameterCount, int pointCount);
    // Makes the model of the last evaluation the model of the parameters `at`.
    void keepTrialModel(std::span<const double> at);
    // The Jacobian of the model at `params` by central differences, every probe through `probes`.
    void differentiate(std::span<const double> params, const FitBounds& bounds,
                       const FitBatchObjective& probes);
    // SS and the model at `params` (a start, or parameters the caller moved); NonFiniteFit when SS is not
    // finite, with `state` unchanged.
    void evaluateAt(std::span<const double> params, const FitBounds& bounds, std::span<const double> measured,
                    const FitObjectiveFunction& objective, MarquardtState& state);
    // The central-difference Jacobian, probed through the batch when there is one.
    void fullJacobian(std::span<const double> params, const FitBounds& bounds, const FitObjectiveFunction& objective,
                      const FitBatchObjective* probeBatch);
    // The Jacobian moved to the current parameters by a rank-one update from the previous ones.
    void broydenUpdate(std::span<const double> params, const FitBounds& bounds);
    // Notes the parameters and model a step left, for the next update.
    void rememberStepStart(std::span<const double> params);
    // The scaled normal equations and gradient of the current Jacobian and residual.
    void formNormalEquations(std::span<const double> measured, std::span<const bool> free);
    double* normalRow(int k) { return &m_normal[static_cast<std::size_t>(k) * m_stride]; }
    double* dampedRow(int k) { return &m_damped[static_cast<std::size_t>(k) * m_stride]; }
    double* jacobianColumn(int k) { return &m_jacobian[static_cast<std::size_t>(k) * m_points]; }

    int m_params = 0;                  // p of the current problem
    int m_points = 0;                  // points of the current problem
    std::size_t m_stride = 0;          // row length of the normal matrices: p + 1 (matrix and gradient)
    std::vector<double> m_normal;      // scaled JᵀJ | Jᵀ(y − f), p × (p + 1)
    std::vector<double> m_damped;      // damped copy eliminated in each trial, p × (p + 1)
    std::vector<double> m_scale;       // s_k = √A_kk
    std::vector<double> m_step;        // unscaled trial step δ
    std::vector<double> m_trial;       // clamped parameters of the last ComputeSumOfSquares
    std::vector<double> m_jacobian;    // ∂f_i/∂P_k, one contiguous column per parameter
    std::vector<double> m_residual;    // y − f at the current parameters, for the gradient
    std::vector<double> m_minusModels; // f at P − δ_k of every parameter
    std::vector<double> m_probeSets;   // the 2p probe parameter vectors of one Jacobian
    std::vector<std::span<const double>> m_probeParams; // views of the probe vectors, in probing order
    std::vector<std::span<double>> m_probeModels;       // where each probe's curve goes
    std::vector<std::size_t> m_probed;                  // parameters probed (a zero step is not)
    std::vector<double> m_model;                        // f of the last ComputeSumOfSquares (the trial)
    std::vector<double> m_current;                      // f at the accepted parameters
    std::vector<double> m_currentAt;                    // the parameters m_current belongs to
    bool m_currentValid = false;
    int m_broydenLimit = 0;             // updated Jacobians allowed between full ones
    int m_broydenAge = 0;               // updated Jacobians since the last full one
    bool m_broydenReady = false;        // the last call accepted a step from m_previousAt
    std::vector<double> m_previousAt;   // parameters before the last accepted step
    std::vector<double> m_previousModel; // f there
};

} // namespace tessaly
