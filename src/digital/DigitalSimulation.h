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
    long long subSteps = 0;             // most time steps of one data point
    long long timeSteps = 0;            // time steps solved in the run
    bool automaticGrid = false;         // the run chose its own time steps and space grid
    // A run on a typed time grid and space grid factor: how far its current lies from that of the
    // automatic model (which is within 0.1 % of converged), as a fraction of the largest current. Set
    // for runs shown to the user, not for the fitter's.
    std::optional<double> typedGridError;
};

// Fills the ComponentCurrent columns and SurfaceConc of the points FirstPoint..LastPoint from the
// potentials E. Returns normally after a failure; the points computed so far stay.
DigitalOutcome DigitalSimulate(const ExperimentParams& p, CurveStore& store);

// The report line of a typed-grid run's distance from converged, for example
// "Digital model: the typed time grid and space grid factor leave the current about 42 % from
// converged (Auto digital model: within 0.1 %)".
std::string typedGridReport(double error);

} // namespace tessaly
