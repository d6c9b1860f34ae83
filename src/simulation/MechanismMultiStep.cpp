// Mechanisms 13 and 14: two or three consecutive Nernstian couples A + ne <-> B, B + ne <-> C (,
// C + ne <-> D) under techniques 1, 2 and 3.
//
// With planar diffusion the surface concentration of every species follows from the semi-integrals J_j of
// the fluxes of the couples (Oldham & Spanier, The Fractional Calculus, 1974, §11):
//     C_s(0) = C_s + (J_(s−1) − J_s)/√D_s,     J_0 = J_S = 0,
// and every couple holds its Nernst ratio C_j(0) = θ_j·C_(j+1)(0), θ_j = exp(n_j·F(E − E0_j)/RT). These
// S − 1 linear equations are tridiagonal in J and are solved at each potential; the later steps' surface
// concentrations follow from the earlier ones through the shared species. Column j holds n_j·J_j, the
// semi-integral of reaction j's current, which the after-pass semi-differentiates (technique 1 at
// electrodes 1-4); techniques 2 and 3 take n_j·J_j/√(π·TimeGrid), the current of a step. At a sphere the
// same equations with r/D_s in place of 1/√D_s give the steady radial fluxes that are added.

#include "base/Checked.h"
#include "curves/CurveStore.h"
#include "simulation/MechanismRun.h"

#include <cmath>
#include <numbers>

namespace tessaly {
namespace {

struct Chain {
    int couples = 2;
    std::array<double, 4> flux{}; // J_1..J_(S−1): semi-integral (mol/L·cm/s^½) or steady flux (mol/L·cm/s)
    std::array<double, 5> surface{}; // C_1(0)..C_S(0), mol/L
};

// Solves the Nernstian chain at potential E. transport(s) is 1/√D_s (planar semi-integral) or r/D_s
// (steady sphere).
Chain solveChain(const MechanismRun& run, double E, bool steadySphere) {
    const CommittedValues& c = run.c;
    Chain chain;
    chain.couples = run.numCharge;
    const int species = chain.couples + 1;
    std::array<double, 5> g{}, bulk{};
    for (int s = 1; s <= species; ++s) {
        const double D = c.DiffCoef[static_cast<std::size_t>(s)];
        g[static_cast<std::size_t>(s)] = steadySphere ? run.kernel.electrodeRadius / D : 1.0 / std::sqrt(D);
        bulk[static_cast<std::size_t>(s)] = c.InitConc[static_cast<std::size_t>(s)];
    }
    // Thomas algorithm on a_j·J_(j−1) + b_j·J_j + c_j·J_(j+1) = d_j, j = 1..couples.
    std::array<double, 4> cPrime{}, dPrime{};
    for (int j = 1; j <= chain.couples; ++j) {
        const ReactionConstants& r = run.reaction[static_cast<std::size_t>(j)];
        const double q = std::exp(r.nf * (E - r.step.E0));
        const double gj = g[static_cast<std::size_t>(j)];
        const double gNext = g[static_cast<std::size_t>(j + 1)];
        const double a = j > 1 ? gj : 0.0;
        const double b = -(gj + q * gNext);
        const double cc = j < chain.couples ? q * gNext : 0.0;
        const double d = q * bulk[static_cast<std::size_t>(j + 1)] - bulk[static_cast<std::size_t>(j)];
        const double m = j > 1 ? b - a * cPrime[static_cast<std::size_t>(j - 1)] : b;
        cPrime[static_cast<std::size_t>(j)] = cc / m;
        dPrime[static_cast<std::size_t>(j)] =
            (d - (j > 1 ? a * dPrime[static_cast<std::size_t>(j - 1)] : 0.0)) / m;
    }
    for (int j = chain.couples; j >= 1; --j) {
        const double next = j < chain.couples ? chain.flux[static_cast<std::size_t>(j + 1)] : 0.0;
        chain.flux[static_cast<std::size_t>(j)] =
            dPrime[static_cast<std::size_t>(j)] - cPrime[static_cast<std::size_t>(j)] * next;
    }
    for (int s = 1; s <= species; ++s) {
        const double in = s > 1 ? chain.flux[static_cast<std::size_t>(s - 1)] : 0.0;
        const double out = s <= chain.couples ? chain.flux[static_cast<std::size_t>(s)] : 0.0;
        chain.surface[static_cast<std::size_t>(s)] =
            bulk[static_cast<std::size_t>(s)] + (in - out) * g[static_cast<std::size_t>(s)];
    }
    return chain;
}

// A sweep whose point loop leaves the semi-integral for the after-pass.
bool afterPass(const MechanismRun& run) {
    return kind::semiIntegralAfterPass(run.technique, run.electrode, run.mechanism);
}

} // namespace

void prepareMultiStep(MechanismRun& run) {
    if (run.technique != kind::Technique::LinearSweep || afterPass(run))
        return;
    // Other electrodes under a sweep: the semi-derivative is summed directly, from a history of the
    // Nernstian step currents n_j·J_j/√(π·TimeGrid).
    const int last = checkedIndex(run.out.LastPoint, 0, kMaxRunIndex);
    const std::size_t rows = run.rows();
    run.buffers.sweepWeights.assign(rows, 0.0);
    buildSweepWeights(last, run.buffers.sweepWeights);
    const double step = 1.0 / std::sqrt(std::numbers::pi * run.timeGrid);
    for (int j = 1; j <= run.numCharge; ++j)
        run.buffers.history[static_cast<std::size_t>(j)].assign(rows, 0.0);
    for (int i = 1; i <= last; ++i) {
        const Chain chain = solveChain(run, run.potential(i), false);
        for (int j = 1; j <= run.numCharge; ++j)
            run.buffers.history[static_cast<std::size_t>(j)][static_cast<std::size_t>(i)] =
                run.reaction[static_cast<std::size_t>(j)].n * chain.flux[static_cast<std::size_t>(j)] * step;
    }
    for (int j = 1; j <= run.numCharge; ++j)
        fillHistorySums(run, run.buffers.history[static_cast<std::size_t>(j)], run.buffers.sweepWeights,
                        run.buffers.historySum[static_cast<std::size_t>(j)]);
}

void multiStepCurrents(MechanismRun& run, int k, int j) {
    if (!kind::hasAnalyticalKernel(run.technique, run.electrode, run.mechanism))
        return;
    const ReactionConstants& r = run.reaction[static_cast<std::size_t>(j)];
    const double fa = run.constants.FaradayArea;
    const double E = run.potential(k) + run.pulseHeight;
    const Chain chain = solveChain(run, E, false);
    const double semiIntegral = r.n * chain.flux[static_cast<std::size_t>(j)];
    const double radial =
        run.spherical() ? r.n * solveChain(run, E, true).flux[static_cast<std::size_t>(j)] : 0.0;
    if (j == 1)
        for (int s = 1; s <= run.numCharge + 1; ++s)
            run.setSurface(k, s, chain.surface[static_cast<std::size_t>(s)]);

    if (afterPass(run)) {
        run.setCurrent(k, j, fa * semiIntegral);
        if (run.spherical())
            run.setSamples(k, j, fa * radial, 0.0);
        return;
    }
    if (run.technique == kind::Technique::LinearSweep) {
        const std::vector<double>& h = run.buffers.history[static_cast<std::size_t>(j)];
        const std::vector<double>& w = run.buffers.sweepWeights;
        const std::vector<double>& sums = run.buffers.historySum[static_cast<std::size_t>(j)];
        double s = semiIntegral / std::sqrt(std::numbers::pi * run.timeGrid);
        if (!sums.empty())
            s += sums[static_cast<std::size_t>(k)];
        else
            for (int i = 1; i <= k - 1; ++i)
                s += h[static_cast<std::size_t>(i)] * w[static_cast<std::size_t>(k - i)];
        run.setCurrent(k, j, fa * 2.0 * s);
        return;
    }
    run.setCurrent(k, j, fa * (semiIntegral / std::sqrt(std::numbers::pi * run.sampleTime) + radial));
}

} // namespace tessaly
