#pragma once
// The finite-difference simulation of a general mechanism at any electrode.

#include "curves/CurveStore.h"
#include "model/ExperimentParams.h"

#include <optional>
#include <string>

namespace tessaly {

struct DigitalOutcome {
    int negativeConcentrations = 0;     // concentrations below zero met by the iterated solver
    std::optional<std::string> failure; // description of the failure that stopped the run
    double surfaceAreaFactor = 0;       // g of the grid geometry (1 planar), 0 when no grid was built
    int maxIterations = 0;              // most solver iterations one time step needed
    int cells = 0;                      // space cells n of the grid, 0 when no grid was built
    int subSteps = 0;                   // time steps per data point
    long long timeSteps = 0;            // time steps solved in the run
};

// Fills the ComponentCurrent columns and SurfaceConc of the points FirstPoint..LastPoint from the
// potentials E. Returns normally after a failure; the points computed so far stay.
DigitalOutcome DigitalSimulate(const ExperimentParams& p, CurveStore& store);

} // namespace tessaly
