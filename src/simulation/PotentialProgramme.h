#pragma once
// The applied potential of every point for the built-in techniques.

#include "model/SimulationInput.h"
#include "simulation/SimulationResult.h"

namespace tessaly {

// Writes E[0..NPoints-1], NPoints, LastIndex and NForward of the run (stage Counted) for techniques 1..8;
// a designed or imported waveform (techniques 9, 10) and a fit's measured curve give their potentials as
// they are, the measured curve with NForward = NPoints/2. A programme of more than kMaxImportPoints
// points (1,000,000, the most the curve store holds) is refused with importLimitText(); a count that is
// no number is an "Overflow". The potentials written before a failure stay in out.E.
void buildPotentialProgramme(const SimulationInput& in, SimulationResult& out);

} // namespace tessaly
