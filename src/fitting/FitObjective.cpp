#include "fitting/FitObjective.h"

#include "fitting/FitParameters.h"
#include "simulation/SimulationAdapter.h"
#include "simulation/SimulationDriver.h"

#include <algorithm>

namespace tessaly {

namespace {

std::vector<int> pointRange(int first, int last) {
    std::vector<int> points;
    for (int i = first; i <= last; ++i)
        points.push_back(i);
    return points;
}

} // namespace

FitObjective::FitObjective(const SimulationInput& input, std::vector<int> codes, int first, int last,
                           std::vector<double> held)
    : FitObjective(input, std::move(codes), pointRange(first, last), std::move(held), {}) {}

FitObjective::FitObjective(const SimulationInput& input, std::vector<int> codes, std::vector<int> points,
                           std::vector<double> held, std::vector<FitTie> ties)
    : m_trial(input), m_codes(std::move(codes)), m_points(std::move(points)), m_ties(std::move(ties)),
      m_column(std::move(held)) {}

void FitObjective::operator()(std::span<const double> params, std::span<double> model) {
    for (std::size_t k = 0; k < m_codes.size() && k < params.size(); ++k)
        fitParameter(m_trial.committed, m_codes[k]) = params[k];
    for (const FitTie& tie : m_ties)
        fitParameter(m_trial.committed, tie.code) = fitParameter(m_trial.committed, tie.master);

    Simulate(m_trial, m_result);
    ++m_evaluations;
    if (m_result.failure && !m_firstFailure)
        m_firstFailure = m_result.failure;
    if (m_result.digital.failure && !m_firstDigitalFailure)
        m_firstDigitalFailure = m_result.digital.failure;
    if (m_trial.digital) {
        m_negativeConcentrations = m_result.digital.negativeConcentrations;
        m_maxIterations = std::max(m_maxIterations, m_result.digital.maxIterations);
        m_surfaceAreaFactor = m_result.digital.surfaceAreaFactor;
    }
    if (m_result.finished() && m_result.NPoints >= m_offset) {
        const int last = m_result.NPoints - m_offset;
        m_column.resize(static_cast<std::size_t>(last) + 1);
        for (int k = 0; k <= last; ++k)
            m_column[static_cast<std::size_t>(k)] = m_result.total(m_offset + k);
        m_anyFinished = true;
    }

    const long long lastHeld = static_cast<long long>(m_column.size()) - 1;
    for (std::size_t k = 0; k < m_points.size() && k < model.size(); ++k)
        model[k] = m_column[static_cast<std::size_t>(checkedIndex(m_points[k], 0, lastHeld))];
}

std::vector<double> heldColumn(const CurveStore& store, int column) {
    const int c = checkedIndex(column, 0, kMaxColumn);
    const int last = std::clamp(store.NPoints, 0, store.Curve.points() - 1);
    std::vector<double> held(static_cast<std::size_t>(last) + 1);
    for (int k = 0; k <= last; ++k)
        held[static_cast<std::size_t>(k)] = store.Curve(k, c);
    return held;
}

SimulationOutcome storeFitRun(const FitObjective& objective, ExperimentParams& p, CurveStore& store,
                              int column) {
    if (objective.evaluations() == 0)
        return {};
    for (const int code : objective.codes())
        fitParameter(p.committed, code) = fitParameter(objective.trial().committed, code);
    for (const FitTie& tie : objective.ties())
        fitParameter(p.committed, tie.code) = fitParameter(objective.trial().committed, tie.code);
    const SimulationResult& run = objective.result();
    keepRunTimeGrid(p, run);
    SimulationOutcome outcome;
    if (objective.historyOffset() == 0) {
        outcome = storeSimulation(run, store, column);
        if (run.finished() || !objective.anyFinished())
            return outcome;
    } else {
        outcome.failure = run.failure;
        outcome.digitalFailure = run.digital.failure;
        if (!objective.anyFinished())
            return outcome;
    }
    // The last trial failed, or ran preceding cycles: the column shows the curve of the measured cycle of
    // the last trial that finished.
    const std::vector<double>& curve = objective.column();
    const int c = checkedIndex(column, 0, kMaxColumn);
    for (std::size_t k = 0; k < curve.size(); ++k) {
        const int i = static_cast<int>(k);
        store.XAxis.at(i) = store.E.at(i);
        store.Curve.at(i, c) = curve[k];
    }
    return outcome;
}

} // namespace tessaly
