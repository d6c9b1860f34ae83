#pragma once
// The analytical path of a simulation: the current of every point and every charge reaction from
// the closed-form and semi-analytical expressions of the selected mechanism.

#include "simulation/SimulationContext.h"

namespace tessaly {

// How the O(N²) superpositions of sweeps and pulse programmes read the step responses of earlier points.
// Both give the same currents to the last bit.
enum class SuperpositionPath {
    History, // from buffers filled once per run: no exponential inside the O(N²) sums
    Direct,  // every earlier step response evaluated afresh (the baseline of the benchmark)
};

// Fills the result's current columns (per reaction, total, sampled groups) and surface concentrations of
// points FirstPoint + 1 .. LastPoint; points 0, 1 and NPoints - 1 keep their cleared zero. The total
// column carries the double-layer charging current lagged by the cell time constant. Failures propagate.
void AnalyticalCurrents(const SimulationContext& ctx, SuperpositionPath path = SuperpositionPath::History);

// The semi-differentiation after-pass of the reversible mechanisms 11 to 14 under a sweep (technique 1)
// at planar and (hemi)spherical electrodes 1 to 4: their formulas give the semi-integral of the current,
// n·√D·C times the converted fraction; its semi-derivative is the sweep current. The radial part of the
// spheres is added afterwards and the total column becomes the sum of the reactions. Does nothing for
// other combinations, nor at a rotating electrode, whose Koutecký–Levich current is already a current.
void applyAnalyticalAfterPass(const SimulationContext& ctx);

} // namespace tessaly
