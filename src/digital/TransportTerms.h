#pragma once
// The diffusion (and, at a rotating electrode, convection) terms of the cell balances per unit time:
//   dC_s(j)/dt = lower[s][j]*(C_s(j-1) - C_s(j)) + upper[s][j]*(C_s(j+1) - C_s(j)),
// and the surface supply supply[s] (cm/s), the flux from the first cell per unit C_s(1) - C_s(0);
// computed once per run, a step tau multiplies the rates by tau.

#include "digital/BlockTridiagonalSolver.h"
#include "digital/DigitalGrid.h"

#include <span>

namespace tessaly {

// Levich's axial velocity near a rotating disk, v_z = -kLevichVelocity * omega^1.5 * nu^-0.5 * z^2
// (cm/s, towards the electrode; Levich, Physicochemical Hydrodynamics (1962)).
inline constexpr double kLevichVelocity = 0.51023;

// Fills lower and upper (1/s) for species 1..species and cells 1..grid.cells (both sized here), and
// supply[s]. diffusion[s] is D_s (cm2/s); rotation omega (rad/s, 0 for a still solution); viscosity nu
// (cm2/s). A thin film has no flux through its far side: its last cell does not couple to the outer
// cell.
//
// At a rotating planar disk, dC/dt = D C'' + a z^2 C' (a = kLevichVelocity omega^1.5 nu^-0.5) is
// written with its integrating factor w = exp(a z^3 / 3D) as dC/dt = (w D C')'/w, and every exchange
// between two nodes takes the exact conductance D / integral(dz/w) of the layer between them
// (exponential fitting; Il'in, Mat. Zametki 6 (1969) 237; Scharfetter & Gummel, IEEE Trans.
// Electron Devices 16 (1969) 64): the steady convective-diffusion profile, and with it the Levich
// current, is then carried without discretisation error on any grid, and every coupling stays
// positive. Elsewhere the convection takes the three-point derivative of the uneven grid.
void fillTransportRates(const DigitalGrid& grid, std::span<const double> diffusion, int species,
                        double rotation, double viscosity, SpeciesProfile& lower, SpeciesProfile& upper,
                        SpeciesVector& supply);

// integral from s0 to s1 of exp(s0^3 - s^3) ds (0 <= s0 <= s1): the layer integral of the rotating
// disk in units of (3D/a)^(1/3), relative to the weight at its inner end.
double levichLayerIntegral(double s0, double s1);

} // namespace tessaly
