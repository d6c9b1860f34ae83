#pragma once
// The finite-difference simulation of a general mechanism at any electrode.

#include "curves/RunTable.h"
#include "model/SimulationInput.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

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

// The programme a run follows: the potential of every point and the range of points it computes.
struct DigitalProgramme {
    std::span<const double> E; // V, of points 0..lastPoint at least
    int firstPoint = 1;
    int lastPoint = 0;
    int points = 0; // NPoints of the programme
};

// Where a run writes: the currents of points firstPoint..lastPoint (column k the couple k, couples + 1 the
// total, and for the two-sample techniques the samples in couples + 1 + k and 2 couples + 1 + k), their
// surface concentrations, and the applied potential of the time steps 1..4999 at those indices (the list
// grows to hold them).
struct DigitalOutput {
    RunTable* currents = nullptr;
    RunTable* surface = nullptr;
    std::vector<double>* applied = nullptr;
};

// The digital simulation of the input's experiment over the programme. Returns normally after a
// failure; the points computed so far stay. A run on a typed grid whose programme is not a fit's
// measured curve also estimates how far the grid leaves it from converged.
DigitalOutcome DigitalSimulate(const SimulationInput& in, const DigitalProgramme& programme,
                               const DigitalOutput& output);

// The report line of a typed-grid run's distance from converged, for example
// "Digital model: the typed time grid and space grid factor leave the current about 42 % from
// converged (Auto digital model: within 0.1 %)".
std::string typedGridReport(double error);

} // namespace tessaly
