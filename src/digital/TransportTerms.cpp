#include "digital/TransportTerms.h"

#include <cmath>

namespace tessaly {

namespace {

// Convection towards the electrode, dC/dt = |v_z| dC/dz, added to the coefficients of cell j. The
// derivative is the three-point one of the uneven grid (second order); where it would make the lower
// coupling negative (cell Peclet number above 2) the upwind difference, which takes the bulk-side
// neighbour only, keeps the scheme monotone. Both keep b = 1 + a + c.
void addConvection(const DigitalGrid& grid, int j, double velocityStep, double& a, double& c) {
    const double below = j == 1 ? 0.0 : grid.centre[j - 1];
    const double dMinus = grid.centre[j] - below;
    const double dPlus = grid.centre[j + 1] - grid.centre[j];
    const double u = velocityStep * grid.centre[j] * grid.centre[j]; // |v| dt / h
    const double lowerShare = u * dPlus / (dMinus * (dMinus + dPlus));
    if (lowerShare <= a) {
        a -= lowerShare;
        c += u * dMinus / (dPlus * (dMinus + dPlus));
    } else {
        c += u / dPlus;
    }
}

} // namespace

void fillTransportTerms(const DigitalGrid& grid, std::span<const double> diffusion, int species, double dt,
                        double rotation, double viscosity, BlockSystem& system) {
    const int n = grid.cells;
    const double h = grid.firstCell;
    // |v_z| dt / h at z = h N is velocityStep * N^2.
    const double velocityStep =
        rotation > 0 ? kLevichVelocity * std::pow(rotation, 1.5) / std::sqrt(viscosity) * h * dt : 0.0;
    for (int s = 1; s <= species; ++s) {
        const double lambda = diffusion[s] * dt / (h * h);
        for (int j = 1; j <= n; ++j) {
            double a = lambda * grid.lower[j];
            double c = lambda * grid.upper[j];
            if (velocityStep > 0)
                addConvection(grid, j, velocityStep, a, c);
            if (grid.thinFilm && j == n)
                c = 0;
            system.a[s][j] = a;
            system.c[s][j] = c;
            system.b[s][j] = 1 + a + c;
        }
    }
}

} // namespace tessaly
