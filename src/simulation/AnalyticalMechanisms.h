#pragma once
// The analytical path of a simulation: the current of every point and every charge reaction from
// the closed-form and semi-analytical expressions of the selected mechanism.

#include "simulation/SimulationContext.h"

namespace tessaly {

// Fills the ComponentCurrent columns (per reaction, total, sampled groups) and SurfaceConc of points
// FirstPoint + 1 .. LastPoint; points 0, 1 and NPoints - 1 keep their cleared zero. The total column
// carries the double-layer charging current lagged by the cell time constant. Failures propagate.
void AnalyticalCurrents(const SimulationContext& ctx);

// The semi-differentiation after-pass of the reversible mechanisms under a sweep at planar and
// (hemi)spherical electrodes (their formulas give the converted fraction; its semi-derivative is the
// sweep current). Does nothing for other combinations.
void applyAnalyticalAfterPass(const SimulationContext& ctx);

} // namespace tessaly
