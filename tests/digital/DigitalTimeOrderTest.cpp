// The order of the time integration, on a fixed space grid fine enough that its own error stays two
// orders below the time error: halving the step divides the error by about four, after a potential
// jump (the Cottrell transient, restarted by one backward-Euler step), across a second jump that the
// integrator restarts at, and in a sweep.

#include "digital/DigitalGrid.h"
#include "digital/StepIntegrator.h"
#include "digital/SurfaceBlock.h"
#include "digital/TransportTerms.h"

#include <array>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <numbers>
#include <vector>

namespace tessaly {
namespace {

constexpr double kD = 1e-5;                   // cm2/s
constexpr double kFRT = 96484.6 / (8.31441 * 298.14); // 1/V

// A planar grid with a first cell of 0.1 um and cells growing by 5 %: at t >= 0.05 s the diffusion
// length is over 100 first cells, and the box scheme's error (about 0.06 h^2/(D t)) is below 1e-7.
struct FineGrid {
    DigitalGrid grid;
    SpeciesProfile lower, upper;
    SpeciesVector supply{};
    explicit FineGrid(int species) {
        GridSpec shape;
        shape.electrode = 1;
        shape.firstCell = 1e-5;
        shape.expansion = 0.05;
        shape.reach = 6 * std::sqrt(kD * 1.0);
        grid = buildDigitalGrid(shape);
        std::array<double, kMaxSolverSpecies + 1> diffusion{};
        diffusion.fill(kD);
        fillTransportRates(grid, diffusion, species, 0, 0.01, lower, upper, supply);
    }
};

// The reduction A + e = B (ks 1e4 cm/s, E0 = 0) from 1 mM A, integrated with steps of dt under the
// applied potential E(t); `jumps` are the instants at which E jumps (the integrator restarts there,
// as the run does). Returns the current density n F D dC/dx (A/cm2) at the sampling times.
std::vector<double> integrate(const std::function<double(double)>& potential, const std::vector<double>& jumps,
                              double dt, const std::vector<double>& samples) {
    FineGrid fine(2);
    StepIntegrator integrator;
    IntegratorSetup setup;
    setup.species = 2;
    setup.cells = fine.grid.cells;
    setup.lower = &fine.lower;
    setup.upper = &fine.upper;
    integrator.prepare(setup);
    const std::array<double, 3> bulk{0.0, 1e-3, 0.0};
    integrator.reset(bulk);
    SurfaceRows base, rows;
    prepareSurfaceRows(fine.supply, 2, base);
    ChargeCouple couple;
    couple.ox = 1;
    couple.red = 2;
    couple.ks = 1e4;
    const RateLaw law = rateLawOf(couple, kFRT);
    const std::array<ChargeCouple, 1> couples{couple};
    std::vector<double> currents;
    const long long steps = std::llround(samples.back() / dt);
    std::size_t nextSample = 0;
    std::size_t nextJump = 0;
    for (long long k = 1; k <= steps; ++k) {
        const double t = k * dt;
        if (nextJump < jumps.size() && t > jumps[nextJump] + 1e-12) {
            integrator.restart();
            ++nextJump;
        }
        const std::array<RatePair, 1> rates{ratesAt(law, potential(t))};
        updateSurfaceRows(couples, rates, base, 2, rows);
        integrator.advance(dt, rows);
        if (nextSample < samples.size() && std::abs(t - samples[nextSample]) < 1e-9) {
            const SpeciesProfile& c = integrator.profile();
            currents.push_back(96484.6 * 1e-3 * (rates[0].kf * c[1][0] - rates[0].kb * c[2][0]));
            ++nextSample;
        }
    }
    return currents;
}

double cottrell(double t) {
    return 96484.6 * 1e-6 * std::sqrt(kD / (std::numbers::pi * t));
}

// Ratio of the errors at dt and dt/2 (the error of the finest run is the reference's).
double order(double coarse, double fine, double exact) {
    return std::log2(std::abs(coarse - exact) / std::abs(fine - exact));
}

// The start's own error (the backward-Euler step over the singular onset) dies away faster than
// dt^2, so at 25 to 100 steps after the jump the ratio lies between four and six; a first-order step
// would give two.
TEST(DigitalTimeOrder, CottrellTransientConvergesAsTheSquareOfTheStep) {
    const std::vector<double> samples{0.5, 1.0};
    const auto step = [](double) { return -0.5; };
    const std::vector<double> a = integrate(step, {}, 0.02, samples);
    const std::vector<double> b = integrate(step, {}, 0.01, samples);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double exact = cottrell(samples[i]);
        EXPECT_NEAR(order(a[i], b[i], exact), 2.25, 0.45) << "t = " << samples[i];
        EXPECT_NEAR(b[i] / exact, 1.0, 1e-4) << "t = " << samples[i];
    }
}

// A double step: to the limiting potential for 0.1 s, then back where A is stable. The current of the
// second step is the superposition of the two Cottrell transients; the integrator restarts at the
// jump, so the order holds through it.
TEST(DigitalTimeOrder, RestartKeepsTheOrderAcrossAPotentialJump) {
    const std::vector<double> samples{0.2, 0.3};
    const auto doubleStep = [](double t) { return t <= 0.1 + 1e-12 ? -0.5 : 0.5; };
    const std::vector<double> a = integrate(doubleStep, {0.1}, 0.004, samples);
    const std::vector<double> b = integrate(doubleStep, {0.1}, 0.002, samples);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double t = samples[i];
        const double exact = cottrell(t) - cottrell(t - 0.1);
        EXPECT_NEAR(order(a[i], b[i], exact), 2.0, 0.35) << "t = " << t;
        EXPECT_NEAR(b[i] / exact, 1.0, 1e-3) << "t = " << t;
    }
}

// A sweep at 0.1 V/s from 0.3 V: against the same grid at a step 16 times shorter, the error of the
// peak region falls fourfold with every halving of the step.
TEST(DigitalTimeOrder, SweepConvergesAsTheSquareOfTheStep) {
    const std::vector<double> samples{3.0, 3.3, 3.6};
    const auto sweep = [](double t) { return 0.3 - 0.1 * t; };
    const std::vector<double> reference = integrate(sweep, {}, 0.01 / 16, samples);
    const std::vector<double> a = integrate(sweep, {}, 0.02, samples);
    const std::vector<double> b = integrate(sweep, {}, 0.01, samples);
    for (std::size_t i = 0; i < samples.size(); ++i)
        EXPECT_NEAR(order(a[i], b[i], reference[i]), 2.0, 0.2) << "t = " << samples[i];
}

} // namespace
} // namespace tessaly
