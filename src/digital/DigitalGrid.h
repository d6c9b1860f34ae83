#pragma once
// The space grid of the digital simulation: an exponentially expanding box grid in units of the first
// cell width h, its cell count, and the exchange coefficients of every cell in planar, cylindrical and
// spherical geometry. Built once per run.
//
// Faces F_i = (e^((i-1)beta) - 1)/(e^beta - 1) and centres N_i = (e^((i-1/2)beta) - 1)/(e^beta - 1):
// F_1 = 0 is the electrode surface, F_2 = 1, and cell i lies between F_i and F_(i+1) (Feldberg,
// J. Electroanal. Chem. 127 (1981) 1; Britz, Digital Simulation in Electrochemistry, 3rd ed. (2005),
// chapter 7).

#include "digital/BlockTridiagonalSolver.h"
#include "model/ExperimentKinds.h"

#include <string>
#include <vector>

namespace tessaly {

enum class GridGeometry { planar, cylindrical, spherical };

// Geometry class of an electrode number, from the electrode's diffusion geometry: planar 1, 8, 9, 11;
// cylindrical 5, 6, 10; spherical 2, 3, 4, 7; and the number 12, which no dialog offers, as planar. Any
// other number raises "Invalid procedure call or argument".
GridGeometry geometryOfElectrode(int electrode);

inline constexpr int kExtraPlanarElectrode = 12;
inline constexpr int kThinFilmElectrode = kind::code(kind::Electrode::ThinFilm);

// What a grid must be: its first cell, its expansion, and how far it reaches.
struct GridSpec {
    int electrode = 1;
    double firstCell = 0;   // h, cm (for a film, the first estimate: the film is then divided exactly)
    double expansion = 0.5; // beta, space grid factor (0 gives a uniform grid)
    double reach = 0;       // cm from the surface the last face must pass (a film: its thickness)
    double radius = 0;      // electrode radius, cm (curved electrodes)
};

// The designed grid of a typed time step (the grid the instrument dialog's space grid factor sets).
struct GridInputs {
    int electrode = 1;
    double timeStep = 0;     // dt, s
    double expansion = 0.5;  // beta, space grid factor (0 gives a uniform grid)
    double radius = 0;       // electrode radius, cm
    double rotation = 0;     // omega, rad/s
    double viscosity = 0.01; // nu, kinematic viscosity, cm2/s
    double thickness = 0;    // film thickness of the thin-film electrode, cm
    double maxDiffusion = 0; // D_max, cm2/s
    double minDiffusion = 0; // D_min, cm2/s
    int points = 0;          // NPoints of the run
    long long subSteps = 1;  // time steps per point
};

struct DigitalGrid {
    GridGeometry geometry = GridGeometry::planar;
    bool thinFilm = false;
    double expansion = 0;         // beta
    double firstCell = 0;         // h, cm
    double rho = 0;               // electrode radius / h
    int cells = 0;                // n: cells 1..n, the outer cell n + 1
    double surfaceAreaFactor = 1; // g: electrode area over the volume of cell 1 (in h), 1 when planar
    double surfaceConductance =
        0; // gamma_1: the surface flux per electrode area is D/h * gamma_1 * (C(0) - C(1))
    std::vector<double> face;   // F_i, i = 0..n + 2
    std::vector<double> centre; // N_i, i = 0..n + 2
    std::vector<double> lower;  // exchange of cell j with j - 1 per unit D dt/h^2, j = 1..n
    std::vector<double> upper;  // exchange of cell j with j + 1 per unit D dt/h^2, j = 1..n

    // The distance from the surface to the centre of cell 1, cm.
    double firstCentre() const { return firstCell * centre[1]; }
};

// The model diffusion coefficient DM = D_max dt / h^2 chosen for the fastest species: 0.45, raised when
// a geometric length L (the Levich layer of a rotating electrode, a radius, a film thickness) needs a
// finer first cell, so that h <= L/10 (L/20 for a film).
double modelDiffusionCoefficient(const GridInputs& in);

// The designed grid: h = sqrt(D_max dt / DM), reaching six diffusion lengths of the whole run (a film:
// its thickness). Raises a failure when it would need more than 199 cells.
DigitalGrid buildDigitalGrid(const GridInputs& in);

// Builds a grid of the given shape (first cell, expansion, extent); raises a failure when it would
// need more than 199 cells.
DigitalGrid buildDigitalGrid(const GridSpec& shape);

// Cells a grid of that shape needs (before the limit of 199 is applied).
double cellsNeeded(const GridSpec& shape);

// Description of the failure of a grid longer than the cell capacity.
std::string gridTooLongText(long long cells);

} // namespace tessaly
