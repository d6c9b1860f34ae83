#include "digital/DigitalGrid.h"

#include "base/Checked.h"
#include "base/Failure.h"
#include "base/NumberText.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace tessaly {

namespace {

// DM of the designed grid: 0.45 keeps the first cell about 1.5 sqrt(D dt) wide, which resolves a sweep
// with one time step per point (Feldberg's expanding grid needs a first cell of that order).
constexpr double kBaseModelDiffusion = 0.45;
// Cells across a geometric length: the first cell is at most a tenth of a radius or Levich layer and
// a twentieth of a film.
constexpr double kCellsPerLength = 10;
constexpr double kCellsPerFilm = 20;
// The designed grid reaches six diffusion lengths sqrt(D_max T) of the whole run.
constexpr double kDiffusionLengths = 6;
// Below this expansion factor the grid is taken as uniform (the limit beta -> 0).
constexpr double kUniformExpansion = 1e-9;

double squared(double x) {
    return x * x;
}

// Position (in h) of face i and centre i of the grid of expansion beta.
double facePosition(int i, double beta, double e1) {
    if (e1 == 0)
        return i - 1.0;
    return std::expm1((i - 1) * beta) / e1;
}

double centrePosition(int i, double beta, double e1) {
    if (e1 == 0)
        return i - 0.5;
    return std::expm1((i - 0.5) * beta) / e1;
}

// Cell count for a grid that must reach `length` (in h): the face F_(n+1) nearest to it.
double cellsToReach(double length, double beta, double e1) {
    if (e1 == 0)
        return length;
    return std::log1p(e1 * length) / beta;
}

// Conductance of the layer between positions x0 < x1 (in h from the surface) per unit electrode
// area: the steady flux through it is D/h * conductance * (C(x0) - C(x1)). These are the exact
// steady-state conductances of a slab, a cylindrical and a spherical shell, so the grid carries a
// steady radial profile without discretisation error.
double layerConductance(GridGeometry geometry, double rho, double x0, double x1) {
    switch (geometry) {
    case GridGeometry::planar:
        return 1 / (x1 - x0);
    case GridGeometry::cylindrical:
        return 1 / (rho * std::log1p((x1 - x0) / (rho + x0)));
    case GridGeometry::spherical:
        return (rho + x0) * (rho + x1) / ((x1 - x0) * rho * rho);
    }
    return 0;
}

// Volume of the cell between faces f0 < f1 per unit electrode area, in h.
double cellVolume(GridGeometry geometry, double rho, double f0, double f1) {
    const double outer = rho + f1;
    const double inner = rho + f0;
    switch (geometry) {
    case GridGeometry::planar:
        return f1 - f0;
    case GridGeometry::cylindrical:
        return (f1 - f0) * (outer + inner) / (2 * rho);
    case GridGeometry::spherical:
        return (f1 - f0) * (outer * outer + outer * inner + inner * inner) / (3 * rho * rho);
    }
    return 0;
}

void fillCoefficients(DigitalGrid& grid) {
    const int n = grid.cells;
    const double rho = grid.rho;
    grid.lower.assign(static_cast<std::size_t>(n) + 2, 0.0);
    grid.upper.assign(static_cast<std::size_t>(n) + 2, 0.0);
    // Conductance between node j - 1 and node j (node 0 the surface at position 0), carried from one
    // cell to the next.
    double inner = layerConductance(grid.geometry, rho, 0.0, grid.centre[1]);
    grid.surfaceConductance = inner;
    for (int j = 1; j <= n; ++j) {
        const double outer = layerConductance(grid.geometry, rho, grid.centre[j], grid.centre[j + 1]);
        const double volume = cellVolume(grid.geometry, rho, grid.face[j], grid.face[j + 1]);
        grid.lower[j] = inner / volume;
        grid.upper[j] = outer / volume;
        inner = outer;
    }
    grid.surfaceAreaFactor = 1 / cellVolume(grid.geometry, rho, grid.face[1], grid.face[2]);
}

} // namespace

GridGeometry geometryOfElectrode(int electrode) {
    if (electrode == kExtraPlanarElectrode)
        return GridGeometry::planar;
    if (electrode < 1 || electrode > kElectrodeCount)
        raise(failure_text::invalidCall);
    switch (traits(kind::asElectrode(electrode)).grid) {
    case kind::DiffusionGeometry::Planar:
        return GridGeometry::planar;
    case kind::DiffusionGeometry::Cylindrical:
        return GridGeometry::cylindrical;
    case kind::DiffusionGeometry::Spherical:
        return GridGeometry::spherical;
    }
    raise(failure_text::invalidCall);
}

std::string gridTooLongText(long long cells) {
    return "The space grid needs " + std::to_string(cells) + " cells, more than " + std::to_string(kMaxCells);
}

double modelDiffusionCoefficient(const GridInputs& in) {
    const double fineness = in.maxDiffusion * in.timeStep; // cm2
    double extra = 0;
    if (in.rotation > 0) {
        // Levich layer of the slowest species (Levich, Physicochemical Hydrodynamics (1962)).
        const double layer =
            1.61 * std::cbrt(in.minDiffusion) * std::pow(in.viscosity, 1.0 / 6) / std::sqrt(in.rotation);
        extra = fineness / squared(layer / kCellsPerLength);
    }
    if (in.electrode == kThinFilmElectrode)
        extra = fineness / squared(in.thickness / kCellsPerFilm);
    else if (geometryOfElectrode(in.electrode) != GridGeometry::planar)
        extra += fineness / squared(in.radius / kCellsPerLength);
    return kBaseModelDiffusion + extra;
}

DigitalGrid buildDigitalGrid(const GridInputs& in) {
    if (!(in.timeStep > 0) || !(in.maxDiffusion > 0) || in.expansion < 0 || in.subSteps < 1 || in.points < 1)
        raise(failure_text::invalidCall);
    GridSpec shape;
    shape.electrode = in.electrode;
    shape.expansion = in.expansion;
    shape.radius = in.radius;
    const double dm = modelDiffusionCoefficient(in);
    shape.firstCell = std::sqrt(in.maxDiffusion * in.timeStep / dm);
    if (in.electrode == kThinFilmElectrode)
        shape.reach = in.thickness;
    else // the whole run lasts points * subSteps * dt
        shape.reach = kDiffusionLengths *
                     std::sqrt(in.maxDiffusion * static_cast<double>(in.points) *
                               static_cast<double>(in.subSteps) * in.timeStep);
    return buildDigitalGrid(shape);
}

double cellsNeeded(const GridSpec& shape) {
    const double beta = shape.expansion < kUniformExpansion ? 0.0 : shape.expansion;
    const double e1 = std::expm1(beta);
    if (shape.electrode == kThinFilmElectrode)
        return std::max(1.0, std::nearbyint(cellsToReach(shape.reach / shape.firstCell, beta, e1)));
    // The last face F_(n+1) at or past the reach, rounded to the nearest face, then one cell more.
    return std::nearbyint(cellsToReach(shape.reach / shape.firstCell, beta, e1) + 1);
}

DigitalGrid buildDigitalGrid(const GridSpec& shape) {
    if (!(shape.firstCell > 0) || shape.expansion < 0 || !(shape.reach > 0))
        raise(failure_text::invalidCall);
    DigitalGrid grid;
    grid.geometry = geometryOfElectrode(shape.electrode);
    grid.thinFilm = shape.electrode == kThinFilmElectrode;
    grid.expansion = shape.expansion < kUniformExpansion ? 0.0 : shape.expansion;
    const double beta = grid.expansion;
    const double e1 = std::expm1(beta);
    grid.firstCell = shape.firstCell;

    const double cells = cellsNeeded(shape);
    // A factor so large that exp(factor) overflows gives no grid at all: say which field to change.
    const double farthest =
        std::isfinite(cells) ? facePosition(static_cast<int>(std::min<double>(cells, kMaxCells)) + 2, beta, e1) : 0;
    if (!std::isfinite(e1) || !std::isfinite(cells) || !std::isfinite(farthest))
        raise("The Space grid factor " + generalForm(shape.expansion) +
              " is too large: the grid's cells would grow past any finite size; use a factor from 0.01 to 1");
    if (!(cells <= kMaxCells))
        raise(gridTooLongText(std::isfinite(cells) ? static_cast<long long>(cells) : -1));
    grid.cells = static_cast<int>(cells);

    const std::size_t count = static_cast<std::size_t>(grid.cells) + 3;
    grid.face.resize(count);
    grid.centre.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        grid.face[i] = facePosition(static_cast<int>(i), beta, e1);
        grid.centre[i] = centrePosition(static_cast<int>(i), beta, e1);
    }
    if (grid.thinFilm) // the far face of the last cell is the far side of the film
        grid.firstCell = shape.reach / grid.face[static_cast<std::size_t>(grid.cells) + 1];
    if (grid.geometry != GridGeometry::planar) {
        if (!(shape.radius > 0))
            raise(failure_text::divisionByZero);
        grid.rho = shape.radius / grid.firstCell;
    }
    fillCoefficients(grid);
    return grid;
}

} // namespace tessaly
