#pragma once
// Between the commands' state and the simulation: the one adapter that reads a run's input from the
// committed experiment (and the store's potentials when the programme is given), and the copy of a
// run's result into the curve store, in the layout and with the side effects the commands have always
// shown.

#include "curves/CurveStore.h"
#include "model/ExperimentParams.h"
#include "model/SimulationInput.h"
#include "simulation/SimulationResult.h"

#include <optional>
#include <string>

namespace tessaly {

// The input of a run of the committed experiment p: its selections, counts, tables and committed values
// (the commits must be current: the commands run the species commit first). A designed or imported
// waveform (techniques 9, 10) gives the store's potentials and times of points 0..NPoints-1; with
// `measured` (a fit) the store's potentials are the measured curve's, and nothing else of the store is
// read. No dialog text is read.
SimulationInput makeSimulationInput(const ExperimentParams& p, const CurveStore& store, bool measured);

// What storing a run tells the command that ran it.
struct SimulationOutcome {
    std::optional<std::string> failure;        // the run's failure, or one of the copy into the column
    std::optional<std::string> digitalFailure; // a failure inside the digital model
    int negativeConcentrations = 0;            // of the digital model
    double surfaceAreaFactor = 0;              // of the digital model's grid, 0 when none was built
    int maxIterations = 0;                     // most solver iterations of one digital time step
    std::optional<double> typedGridError;      // of a digital run on a typed grid (DigitalOutcome)
    int column = 0;                            // the curve column the run wrote (0: none)
    bool notFinite = false; // the run finished with an infinite or NaN number: nothing was stored
};

// Copies a run into the store as far as it got: the potentials written (E), NPoints, LastIndex and
// NForward, the range FirstPoint..LastPoint, EApplied with the currents (ComponentCurrent) and surface
// concentrations (SurfaceConc) of points 0..NPoints, and, when the run finished, XAxis = E and the total
// current as curve `column` of points 0..NPoints. The point one past the last keeps the store's
// potential, as the run never writes it. A column outside 0..16 fails the copy of the curve. A finished
// run whose potentials or currents are not all finite is a failure that leaves the store untouched.
SimulationOutcome storeSimulation(const SimulationResult& r, CurveStore& store, int column);

// Why a run of this input would compute nothing, or nothing when it computes currents: an imported
// waveform (technique 10) without points, or an analytical run of a technique, mechanism and electrode
// that no analytical formula answers (the digital simulation covers every combination). The text names
// the combination, for the result window.
std::optional<std::string> nothingToCompute(const SimulationInput& in);

// The analytical path leaves its time step in the committed TimeGrid (the digital model's stays).
void keepRunTimeGrid(ExperimentParams& p, const SimulationResult& r);

} // namespace tessaly
