#pragma once
// One simulation into a curve store as the Simulate command runs it: the slot rules give the column,
// the run's result goes into the store and its time step into the committed TimeGrid. With the store's
// FitMode the programme is the store's curve, as in a fit. For the tests and benchmarks that read a run
// from the store.

#include "curves/CurveStore.h"
#include "model/ExperimentParams.h"
#include "simulation/SimulationAdapter.h"
#include "simulation/SimulationDriver.h"

namespace tessaly {

// The run goes through `run`, whose buffers serve the next run as the workbench's last run does.
inline SimulationOutcome simulateIntoStore(ExperimentParams& p, CurveStore& store, SimulationResult& run,
                                           bool overlap = false) {
    PrepareCurveSlots(store, overlap, p.NumCharge);
    const int column = store.CurveNo;
    Simulate(makeSimulationInput(p, store, store.FitMode), run);
    keepRunTimeGrid(p, run);
    return storeSimulation(run, store, column);
}

inline SimulationOutcome simulateIntoStore(ExperimentParams& p, CurveStore& store, bool overlap = false) {
    SimulationResult run;
    return simulateIntoStore(p, store, run, overlap);
}

} // namespace tessaly
