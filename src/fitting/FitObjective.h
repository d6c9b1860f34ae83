#pragma once
// The bridge between a parameter vector and the simulation: the trial values go into the objective's own
// copy of the run's input (neither the experiment nor the curve store is touched), the simulation runs
// over the measured curve's potentials, and the simulated points of the fitted range come back.

#include "curves/CurveStore.h"
#include "model/ExperimentParams.h"
#include "model/SimulationInput.h"
#include "simulation/SimulationResult.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tessaly {

// A quantity that follows another: every trial writes the value of `master` into `code` as well (D of
// two species kept equal, alpha of two steps).
struct FitTie {
    int code = 0;
    int master = 0;
};

class FitObjective {
public:
    // input: the experiment over the measured potentials (the objective copies it; the potentials stay
    // shared); codes: the fitted quantities in parameter order; [first, last]: the fitted points; held:
    // the fitted column's curve of points 0..NPoints before the fit, which a failed trial leaves in place.
    FitObjective(const SimulationInput& input, std::vector<int> codes, int first, int last,
                 std::vector<double> held);
    // The same over a chosen list of fitted points (a fit window), with ties.
    FitObjective(const SimulationInput& input, std::vector<int> codes, std::vector<int> points,
                 std::vector<double> held, std::vector<FitTie> ties);

    // Writes the parameters into the copy, simulates, and copies the simulated points first..last into
    // model (a failed simulation: the last finished trial's points, or the held ones).
    void operator()(std::span<const double> params, std::span<double> model);

    // The input with the last trial's values, and that trial's run.
    const SimulationInput& trial() const { return m_trial; }
    const SimulationResult& result() const { return m_result; }
    // The fitted column as the trials leave it: the curve of the last finished trial (points 0..NPoints),
    // or the one it held before; and whether any trial finished.
    const std::vector<double>& column() const { return m_column; }
    bool anyFinished() const { return m_anyFinished; }
    // Trials simulated so far.
    int evaluations() const { return m_evaluations; }
    const std::vector<int>& codes() const { return m_codes; }
    const std::vector<int>& points() const { return m_points; }
    const std::vector<FitTie>& ties() const { return m_ties; }
    // History: the run simulates `offset` points (whole preceding cycles) before the measured curve's
    // point 0; the column and the fitted points are those after them.
    void setHistoryOffset(int offset) { m_offset = offset; }
    int historyOffset() const { return m_offset; }

    // The first failure a simulation reported during the fit (later ones repeat it).
    const std::optional<std::string>& firstFailure() const { return m_firstFailure; }
    const std::optional<std::string>& firstDigitalFailure() const { return m_firstDigitalFailure; }
    int negativeConcentrations() const { return m_negativeConcentrations; }
    int maxIterations() const { return m_maxIterations; }
    double surfaceAreaFactor() const { return m_surfaceAreaFactor; }

private:
    SimulationInput m_trial;
    SimulationResult m_result;
    std::vector<int> m_codes;
    std::vector<int> m_points;
    std::vector<FitTie> m_ties;
    int m_offset = 0;
    std::vector<double> m_column;
    bool m_anyFinished = false;
    int m_evaluations = 0;
    std::optional<std::string> m_firstFailure;
    std::optional<std::string> m_firstDigitalFailure;
    int m_negativeConcentrations = 0;
    int m_maxIterations = 0;
    double m_surfaceAreaFactor = 0;
};

// The fitted column's curve of points 0..NPoints (as many as the store holds) as the store holds it
// before a fit.
std::vector<double> heldColumn(const CurveStore& store, int column);

// Leaves the store and the experiment as the fit's last simulation leaves them: that run in the store (with
// a history, only the curve of the measured cycle, in the fitted column), the
// fitted column (and XAxis = E) showing the objective's curve once a trial has finished, the committed
// values of the fitted quantities at that trial's, and the run's time step in the committed TimeGrid.
// Nothing changes before the first trial.
struct SimulationOutcome;
SimulationOutcome storeFitRun(const FitObjective& objective, ExperimentParams& p, CurveStore& store,
                              int column);

} // namespace tessaly
