#pragma once
// The applied potential of every point for the built-in techniques.

#include "model/SimulationInput.h"
#include "simulation/SimulationResult.h"

namespace tessaly {

// Writes E[0..NPoints-1], NPoints, LastIndex and NForward of the run (stage Counted) for techniques 1..8;
// a designed or imported waveform (techniques 9, 10) and a fit's measured curve give their potentials as
// they are, the measured curve with NForward = NPoints/2. Raises "Subscript out of range" past point 5000
// and "Overflow" for a count beyond 16 bits; the potentials written before stay in out.E.
void buildPotentialProgramme(const SimulationInput& in, SimulationResult& out);

} // namespace tessaly
