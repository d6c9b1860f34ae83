#pragma once
// The bridge between a parameter vector and the simulation: the trial values go into the committed
// snapshot (the dialog texts are not touched), the driver simulates the measured curve's potentials
// into the column after the current curve, and the simulated points of the fitted range come back.

#include "curves/CurveStore.h"
#include "model/ExperimentParams.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tessaly {

class FitObjective {
public:
    // codes: the fitted quantities in parameter order; [first, last]: the fitted points.
    FitObjective(ExperimentParams& p, CurveStore& store, bool overlap, std::vector<int> codes, int first,
                 int last);

    // Writes the parameters, simulates, and copies the simulated points first..last into model.
    void operator()(std::span<const double> params, std::span<double> model);

    // The first failure a simulation reported during the fit (later ones repeat it).
    const std::optional<std::string>& firstFailure() const { return m_firstFailure; }
    const std::optional<std::string>& firstDigitalFailure() const { return m_firstDigitalFailure; }
    int negativeConcentrations() const { return m_negativeConcentrations; }
    int maxIterations() const { return m_maxIterations; }
    double surfaceAreaFactor() const { return m_surfaceAreaFactor; }

private:
    ExperimentParams& m_params;
    CurveStore& m_store;
    bool m_overlap;
    std::vector<int> m_codes;
    int m_first;
    int m_last;
    std::optional<std::string> m_firstFailure;
    std::optional<std::string> m_firstDigitalFailure;
    int m_negativeConcentrations = 0;
    int m_maxIterations = 0;
    double m_surfaceAreaFactor = 0;
};

// Simulates once into column CurveNo + 1 (CurveNo is restored), as a fit evaluation does.
struct SimulationOutcome;
SimulationOutcome simulateNextToCurrentCurve(ExperimentParams& p, CurveStore& store, bool overlap);

} // namespace tessaly
