#pragma once
// What one simulation run works on: the committed experiment it reads, the result it writes, and the
// run constants.

#include "model/SimulationInput.h"
#include "simulation/RunConstants.h"
#include "simulation/SimulationResult.h"

namespace tessaly {

struct SimulationContext {
    const SimulationInput& input;
    SimulationResult& result;
    const RunConstants& run;
};

} // namespace tessaly
