#pragma once
// The simulation: a function from the committed experiment (SimulationInput) to one simulated curve with
// everything the run computed on the way (SimulationResult). It reads nothing else and writes nothing
// else; the commands build the input and store the result (simulation/SimulationAdapter.h).

#include "model/SimulationInput.h"
#include "simulation/SimulationResult.h"

#include <string>

namespace tessaly {

// Runs in order: run constants, potential programme, clearing, currents (analytical or digital),
// after-pass, baseline and noise (none for a measured programme). The result's buffers are reused. A
// failure ends the run at once: out.failure holds its description, out.stage how far the run got, and
// what was written before stays. A run whose control (in.control) asks it to stop ends at the next point
// the same way, with out.cancelled set. A failure inside the digital model is its own (out.digital.failure):
// the run goes on with the points computed before it.
void Simulate(const SimulationInput& in, SimulationResult& out);

// The description of a run its control stopped.
inline constexpr const char* kRunCancelledText = "The simulation was cancelled";

// The same into a new result.
SimulationResult Simulate(const SimulationInput& in);

// The text of the "Simulation Error" message for a failure description.
std::string simulationErrorText(const std::string& description);

} // namespace tessaly
