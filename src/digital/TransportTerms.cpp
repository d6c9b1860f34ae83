#include "digital/TransportTerms.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tessaly {

namespace {

// Convection towards the electrode, dC/dt = |v_z| dC/dz, added to the rates of cell j: the three-point
// derivative of the uneven grid (second order); where it would make the lower rate negative (cell
// Peclet number above 2) the upwind difference, which takes the bulk-side neighbour only, keeps the
// scheme monotone. Used for a curved electrode under rotation.
void addConvection(const DigitalGrid& grid, int j, double velocityRate, double& a, double& c) {
    const double below = j == 1 ? 0.0 : grid.centre[j - 1];
    const double dMinus = grid.centre[j] - below;
    const double dPlus = grid.centre[j + 1] - grid.centre[j];
    const double u = velocityRate * grid.centre[j] * grid.centre[j]; // |v|/h, 1/s
    const double lowerShare = u * dPlus / (dMinus * (dMinus + dPlus));
    if (lowerShare <= a) {
        a -= lowerShare;
        c += u * dMinus / (dPlus * (dMinus + dPlus));
    } else {
        c += u / dPlus;
    }
}

// Gauss-Legendre nodes and weights on [-1, 1], eight points.
constexpr std::array<double, 4> kNodes{0.1834346424956498, 0.5255324099163290, 0.7966664774136267,
                                       0.9602898564975363};
constexpr std::array<double, 4> kWeights{0.3626837833783620, 0.3137066458778873, 0.2223810344533745,
                                         0.1012285362903763};

double gaussLegendre(double s0, double from, double to) {
    const double middle = 0.5 * (from + to);
    const double half = 0.5 * (to - from);
    const double base = s0 * s0 * s0;
    double sum = 0;
    for (std::size_t i = 0; i < kNodes.size(); ++i)
        for (const double sign : {-1.0, 1.0}) {
            const double s = middle + sign * half * kNodes[i];
            sum += kWeights[i] * std::exp(base - s * s * s);
        }
    return sum * half;
}

} // namespace

double levichLayerIntegral(double s0, double s1) {
    // Pieces on which the exponent s^3 - s0^3 grows from 0 to 1/2, 1, 2, ..., 32 and 46: each is smooth
    // for the eight-point rule, and beyond exp(-46) nothing counts.
    const double base = s0 * s0 * s0;
    double sum = 0;
    double from = s0;
    for (const double exponent : {0.5, 1.0, 2.0, 4.0, 8.0, 16.0, 32.0, 46.0}) {
        const double to = std::min(s1, std::cbrt(base + exponent));
        if (to > from)
            sum += gaussLegendre(s0, from, to);
        from = to;
        if (from >= s1)
            break;
    }
    return sum;
}

void fillTransportRates(const DigitalGrid& grid, std::span<const double> diffusion, int species,
                        double rotation, double viscosity, SpeciesProfile& lower, SpeciesProfile& upper,
                        SpeciesVector& supply) {
    const int n = grid.cells;
    lower.resize(species, n);
    upper.resize(species, n);
    const double h = grid.firstCell;
    const double velocity = rotation > 0 ? kLevichVelocity * std::pow(rotation, 1.5) / std::sqrt(viscosity) : 0.0;
    const bool fitted = velocity > 0 && grid.geometry == GridGeometry::planar;
    for (int s = 1; s <= species; ++s) {
        const double d = diffusion[s];
        if (fitted && d > 0) {
            // Length unit of the weight, L = (3D/a)^(1/3), cm; node positions in it.
            const double unit = std::cbrt(3 * d / velocity);
            const auto at = [&](int j) { return j == 0 ? 0.0 : grid.centre[j] * h / unit; };
            // layer[j]: integral between node j and node j + 1 relative to the weight at node j, cm.
            double inner = levichLayerIntegral(0.0, at(1)) * unit;
            supply[s] = d / inner;
            for (int j = 1; j <= n; ++j) {
                const double volume = (grid.face[j + 1] - grid.face[j]) * h; // cm
                const double outer = levichLayerIntegral(at(j), at(j + 1)) * unit;
                const double rise = at(j) * at(j) * at(j) - at(j - 1) * at(j - 1) * at(j - 1);
                lower[s][j] = d * std::exp(-rise) / (volume * inner);
                upper[s][j] = grid.thinFilm && j == n ? 0.0 : d / (volume * outer);
                inner = outer;
            }
            continue;
        }
        const double rate = d / (h * h); // 1/s
        supply[s] = d * grid.surfaceConductance / h;
        // |v_z|/h at z = h N is velocityRate * N^2.
        const double velocityRate = velocity * h;
        for (int j = 1; j <= n; ++j) {
            double a = rate * grid.lower[j];
            double c = rate * grid.upper[j];
            if (velocity > 0)
                addConvection(grid, j, velocityRate, a, c);
            if (grid.thinFilm && j == n)
                c = 0;
            lower[s][j] = a;
            upper[s][j] = c;
        }
    }
}

} // namespace tessaly
