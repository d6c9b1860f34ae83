#pragma once
// The diffusion (and, at a rotating electrode, convection) terms of the cell balances of one time
// step: the coupling vectors a, c and the diagonal b = 1 + a + c of every species and cell, computed
// once per run.

#include "digital/BlockTridiagonalSolver.h"
#include "digital/DigitalGrid.h"

#include <span>

namespace tessaly {

// Levich's axial velocity near a rotating disk, v_z = -kLevichVelocity * omega^1.5 * nu^-0.5 * z^2
// (cm/s, towards the electrode; Levich, Physicochemical Hydrodynamics (1962)).
inline constexpr double kLevichVelocity = 0.51023;

// Fills system.a, b, c for species 1..species and cells 1..grid.cells. diffusion[s] is D_s (cm2/s);
// dt the time step (s); rotation omega (rad/s, 0 for a still solution); viscosity nu (cm2/s). A thin
// film has no flux through its far side: its last cell does not couple to the outer cell.
void fillTransportTerms(const DigitalGrid& grid, std::span<const double> diffusion, int species, double dt,
                        double rotation, double viscosity, BlockSystem& system);

} // namespace tessaly
