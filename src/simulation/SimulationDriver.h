#pragma once
// The simulation driver: one simulated current curve from the committed experiment.

#include "curves/CurveStore.h"
#include "model/ExperimentParams.h"

#include <optional>
#include <string>

namespace tessaly {

struct SimulationOutcome {
    std::optional<std::string> failure;        // description of the failure that ended the run
    std::optional<std::string> digitalFailure; // description of a failure inside the digital model
    int negativeConcentrations = 0;            // of the digital model
    double surfaceAreaFactor = 0;              // of the digital model's grid, 0 when none was built
    int maxIterations = 0;                     // most solver iterations of one digital time step
    std::optional<double> typedGridError;      // of a digital run on a typed grid (DigitalOutcome)
    int column = 0;                            // the curve column the run wrote (0: none)
};

// Runs in order: curve column, run constants, potential programme, clearing, currents (analytical or
// digital), after-pass, baseline, noise, copy-out into column CurveNo. The committed values must be
// current (the caller runs the species commit first). A failure ends the run at once and is returned;
// the store keeps what was written before it.
SimulationOutcome Simulate(ExperimentParams& p, CurveStore& store, bool overlap);

// The text of the "Simulation Error" message for a failure description.
std::string simulationErrorText(const std::string& description);

} // namespace tessaly
