#include "fitting/FitObjective.h"

#include "fitting/FitParameters.h"
#include "simulation/SimulationDriver.h"

#include <algorithm>

namespace tessaly {

SimulationOutcome simulateNextToCurrentCurve(ExperimentParams& p, CurveStore& store, bool overlap) {
    const int saved = store.CurveNo;
    store.CurveNo = saved + 1;
    SimulationOutcome outcome = Simulate(p, store, overlap);
    store.CurveNo = saved;
    return outcome;
}

FitObjective::FitObjective(ExperimentParams& p, CurveStore& store, bool overlap, std::vector<int> codes,
                           int first, int last)
    : m_params(p), m_store(store), m_overlap(overlap), m_codes(std::move(codes)), m_first(first),
      m_last(last) {}

void FitObjective::operator()(std::span<const double> params, std::span<double> model) {
    for (std::size_t k = 0; k < m_codes.size() && k < params.size(); ++k)
        fitParameter(m_params.committed, m_codes[k]) = params[k];

    const SimulationOutcome outcome = simulateNextToCurrentCurve(m_params, m_store, m_overlap);
    if (outcome.failure && !m_firstFailure)
        m_firstFailure = outcome.failure;
    if (outcome.digitalFailure && !m_firstDigitalFailure)
        m_firstDigitalFailure = outcome.digitalFailure;
    if (m_params.DigitalFlag) {
        m_negativeConcentrations = outcome.negativeConcentrations;
        m_maxIterations = std::max(m_maxIterations, outcome.maxIterations);
        m_surfaceAreaFactor = outcome.surfaceAreaFactor;
    }

    // The column the run wrote (CurveNo + 1, unless overlapped plotting moved it); after a failed
    // run the column keeps what it held.
    const int column =
        checkedIndex(outcome.column != 0 ? outcome.column : m_store.CurveNo + 1, 0, kMaxColumn);
    for (int i = m_first; i <= m_last; ++i) {
        const std::size_t k = static_cast<std::size_t>(i - m_first);
        if (k < model.size())
            model[k] = m_store.Curve.at(i, column);
    }
}

} // namespace tessaly
