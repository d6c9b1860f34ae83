#pragma once
// What one simulation run works on: the experiment (committed values, counts, reaction tables), the
// curve store it writes, and the run constants.

#include "curves/CurveStore.h"
#include "model/ExperimentParams.h"
#include "simulation/RunConstants.h"

namespace tessaly {

struct SimulationContext {
    const ExperimentParams& params;
    CurveStore& store;
    const RunConstants& run;
};

} // namespace tessaly
