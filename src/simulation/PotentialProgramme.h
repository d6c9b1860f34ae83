#pragma once
// The applied potential of every point for the built-in techniques.

#include "curves/CurveStore.h"
#include "model/ExperimentParams.h"

namespace tessaly {

// Writes E[0..NPoints-1], NPoints, LastIndex and NForward for techniques 1..8; leaves a designed or
// imported waveform (techniques 9, 10) as it is. With fitMode the measured potentials stay and only
// NForward is derived. Raises "Subscript out of range" past point 5000 and "Overflow" for a count
// beyond 16 bits.
void buildPotentialProgramme(const ExperimentParams& p, CurveStore& store, bool fitMode);

} // namespace tessaly
