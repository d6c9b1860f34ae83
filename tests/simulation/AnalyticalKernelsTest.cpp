// The analytical kernels against closed forms of electrochemical theory: Cottrell, the Nernstian step,
// diffusion to a sphere, Randles–Ševčík, first-order relaxation, Langmuir, Levich and the surface bell.

#include "simulation/AnalyticalKernels.h"

#include "base/Failure.h"
#include "curves/CurveStore.h"
#include "support/StepSuperposition.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <vector>

namespace tessaly {
namespace {

constexpr double kF = 96484.6;                          // C/mol
constexpr double kFRT25 = 96484.6 / (8.31441 * 298.14); // F/RT at 25 °C, 1/V
constexpr double kPi = std::numbers::pi;

// Relative comparison with a stated tolerance.
void expectRelative(double actual, double expected, double tolerance) {
    EXPECT_NEAR(actual, expected, tolerance * std::fabs(expected)) << "expected " << expected;
}

// A reduction, O only in solution, D = 1e-5 cm²/s for both forms, at the formal potential 0 V.
StepArgs reduction(double ks, double alpha, double t) {
    StepArgs a;
    a.ks = ks;
    a.alpha = alpha;
    a.Cox = 1.0;
    a.sqrtDox = std::sqrt(1e-5);
    a.sqrtDred = std::sqrt(1e-5);
    a.t = t;
    return a;
}

double cottrell(const StepArgs& a, double t) {
    return a.n * a.Cox * a.sqrtDox / std::sqrt(kPi * t);
}

// ---- error functions -------------------------------------------------------------------------------

TEST(ErfcScaled, MatchesLibraryOverBothBranches) {
    EXPECT_EQ(ErfcScaled(0.0), 1.0);
    // Worst relative deviation measured on this grid: 4.3e-8 (continued fraction just above 1.5).
    for (double x = -3.0; x <= 26.0; x += 0.01)
        expectRelative(ErfcScaled(x), std::exp(x * x) * std::erfc(x), 1e-7);
}

TEST(ErfcScaled, BranchesMeetAtOneAndAHalf) {
    // The series serves |x| < 1.5 and the continued fraction |x| >= 1.5; measured gap 3.5e-8.
    for (double edge : {1.5, -1.5})
        expectRelative(ErfcScaled(std::nextafter(edge, 0.0)), ErfcScaled(edge), 1e-7);
}

TEST(ErfcScaled, ReflectionForNegativeArgument) {
    const double e = std::exp(1.0);
    expectRelative(ErfcScaled(-1.0), 2.0 * e - e * std::erfc(1.0), 1e-10);
}

TEST(Erf, LimitsAndLibraryValues) {
    EXPECT_EQ(Erf(11.0), 1.0);
    EXPECT_EQ(Erf(0.0), 0.0);
    for (double x = -5.0; x <= 10.5; x += 0.01)
        EXPECT_NEAR(Erf(x), std::erf(x), 1e-8) << "x = " << x; // measured 5.7e-9
}

// ---- single steps ------------------------------------------------------------------------------------

TEST(StepCurrentPlanar, LargeOverpotentialGivesCottrell) {
    struct Row {
        double ks, alpha, n, t, overpotential; // cm/s, -, -, s, V
    };
    const Row rows[] = {{1e-2, 0.5, 1, 0.01, -0.6},
                        {1e-3, 0.3, 2, 1.0, -0.5},
                        {1.0, 0.7, 1, 10.0, -0.4},
                        {1e4, 0.5, 3, 1e-4, -0.3}};
    const KernelContext ctx{kFRT25, 0.0};
    for (const Row& r : rows) {
        StepArgs a = reduction(r.ks, r.alpha, r.t);
        a.n = r.n;
        a.E = r.overpotential;
        expectRelative(StepCurrentPlanar(ctx, a), cottrell(a, r.t), 1e-3);
    }
}

TEST(StepCurrentPlanar, FastKineticsIsNernstian) {
    struct Row {
        double overpotential, n, Cred, Dox, Dred; // V, -, mol/L, cm²/s, cm²/s
    };
    const Row rows[] = {{-0.1, 1, 0.0, 1e-5, 1e-5}, {0.0, 1, 0.0, 1e-5, 1e-5}, {0.05, 2, 0.5, 1e-5, 2e-5},
                        {0.02, 1, 1.0, 2e-5, 5e-6}, {0.1, 1, 2.0, 7e-6, 1e-5}, {-0.03, 1, 0.3, 1e-5, 4e-6}};
    const KernelContext ctx{kFRT25, 0.0};
    for (const Row& r : rows) {
        StepArgs a = reduction(1e8, 0.5, 0.01);
        a.E = r.overpotential;
        a.n = r.n;
        a.Cred = r.Cred;
        a.sqrtDox = std::sqrt(r.Dox);
        a.sqrtDred = std::sqrt(r.Dred);
        expectRelative(StepCurrentPlanar(ctx, a), ReversibleCurrent(ctx, a), 1e-6);
    }
}

TEST(ReversibleCurrent, CottrellLimitsOfBothForms) {
    const KernelContext ctx{kFRT25, 0.0};
    StepArgs a = reduction(0.0, 0.5, 0.1);
    a.sqrtDred = std::sqrt(4e-6);
    a.E = -0.5; // all O reduced at the surface
    expectRelative(ReversibleCurrent(ctx, a), cottrell(a, a.t), 1e-6);
    a.Cox = 0.0;
    a.Cred = 2.0;
    a.E = 0.5; // all R oxidised: anodic Cottrell current of R
    expectRelative(ReversibleCurrent(ctx, a), -a.n * a.Cred * a.sqrtDred / std::sqrt(kPi * a.t), 1e-6);
    // Half-wave potential of the Nernstian step, E0 + (RT/2nF)·ln(Dred/Dox).
    a.Cox = 1.0;
    a.Cred = 0.0;
    a.E = std::log(a.sqrtDred / a.sqrtDox) / kFRT25;
    expectRelative(ReversibleCurrent(ctx, a), 0.5 * cottrell(a, a.t), 1e-12);
}

TEST(StepCurrentSpherical, PlanarLimitAndDiffusionToASphere) {
    StepArgs a = reduction(0.01, 0.5, 0.01);
    a.E = -0.6;
    const KernelContext infinite{kFRT25, INFINITY};
    EXPECT_EQ(StepCurrentSpherical(infinite, a), StepCurrentPlanar(infinite, a));
    const KernelContext huge{kFRT25, 1e12};
    expectRelative(StepCurrentSpherical(huge, a), StepCurrentPlanar(huge, a), 1e-9);

    // Diffusion-limited current at a sphere: n·C·(√D/√(π·t) + D/r) at every time.
    const double r = 1e-3; // cm
    const KernelContext sphere{kFRT25, r};
    const double D = a.sqrtDox * a.sqrtDox;
    for (double t : {1e-3, 0.1, 10.0, 1e3}) {
        a.t = t;
        expectRelative(StepCurrentSpherical(sphere, a), cottrell(a, t) + a.n * a.Cox * D / r, 1e-3);
    }
    a.t = 1e5; // long times: the steady state n·C·D/r
    expectRelative(StepCurrentSpherical(sphere, a), a.n * a.Cox * D / r, 1e-3);
}

// ---- sweep ----------------------------------------------------------------------------------------------

TEST(SweepWeights, SecondDifferencesOfRootK) {
    std::vector<double> w(kPointCapacity);
    buildSweepWeights(kMaxPoint, w);
    double sum = 0.0;
    for (int k = 1; k <= kMaxPoint; ++k)
        sum += w[k];
    // Σ_{k=1}^{K} = √(K+1) − √K − 1 by telescoping; far out w_k ≈ −k^(−3/2)/4.
    EXPECT_NEAR(sum, std::sqrt(kMaxPoint + 1.0) - std::sqrt(double(kMaxPoint)) - 1.0, 1e-13);
    EXPECT_NEAR(w[1], std::sqrt(2.0) - 2.0, 1e-15);
    expectRelative(w[kMaxPoint], -0.25 * std::pow(kMaxPoint, -1.5), 1e-6);
}

// A linear sweep of 1 mV steps, v = 0.1 V/s, from 0.3 V positive of E0 down to `last` points later.
struct Sweep {
    std::vector<double> E = std::vector<double>(kPointCapacity);
    std::vector<double> weights = std::vector<double>(kPointCapacity);
    std::vector<double> history = std::vector<double>(kPointCapacity);
    SuperpositionContext ctx;
    explicit Sweep(int last) {
        for (int i = 0; i <= last; ++i)
            E[i] = 0.3 - 0.001 * i;
        buildSweepWeights(last, weights);
        ctx = {{kFRT25, 0.0}, E, weights};
    }
};

struct Peak {
    double current;  // mol/L·cm/s
    double E, Ehalf; // peak and half-peak potentials, V
};

Peak sweepPeak(const Sweep& s, const StepArgs& base, int last) {
    Peak p{0.0, 0.0, 0.0};
    std::vector<double> i(static_cast<std::size_t>(last) + 1);
    for (int m = 1; m <= last; ++m) {
        StepArgs a = base;
        a.E = s.E[m];
        i[m] = SweepCurrent(s.ctx, a, m);
        if (i[m] > p.current)
            p = {i[m], s.E[m], 0.0};
    }
    for (int m = 2; m <= last && s.E[m] > p.E; ++m)
        if (i[m] >= 0.5 * p.current && i[m - 1] < 0.5 * p.current)
            p.Ehalf = s.E[m - 1] + (s.E[m] - s.E[m - 1]) * (0.5 * p.current - i[m - 1]) / (i[m] - i[m - 1]);
    return p;
}

TEST(SweepCurrent, FastCoupleMeetsRandlesSevcik) {
    const Sweep s(600);
    const StepArgs a = reduction(1e4, 0.5, 0.01); // TimeGrid = 1 mV / (0.1 V/s)
    const Peak p = sweepPeak(s, a, 600);
    const double v = 0.1, D = 1e-5; // V/s, cm²/s
    // Randles–Ševčík per cm² at 1 mol/L: 0.4463·nFC·√(nFvD/RT), C in mol/cm³.
    const double randlesSevcik = 0.4463 * kF * 1e-3 * std::sqrt(kFRT25 * v * D);
    expectRelative(p.current * kF * 1e-3, randlesSevcik, 0.01);
    EXPECT_NEAR(p.E, -0.0285, 0.0015);                // Ep − E0 = −1.109 RT/nF
    EXPECT_NEAR(p.Ehalf - p.E, 2.20 / kFRT25, 0.001); // Ep/2 − Ep = 2.20 RT/nF = 56.5 mV
}

// ---- the history buffer reproduces the direct sums to the last bit ----------------------------------

TEST(History, SweepAndPulseSumsAreBitForBitDirect) {
    constexpr int last = 400;
    std::vector<double> E(kPointCapacity), weights(kPointCapacity), planar(kPointCapacity),
        spherical(kPointCapacity), pulse(kPointCapacity);
    for (int i = 0; i <= last; ++i) // a cycle: 200 mV down, then back up
        E[i] = i <= 200 ? 0.1 - 0.001 * i : -0.1 + 0.001 * (i - 200);
    buildSweepWeights(last, weights);
    const SuperpositionContext ctx{{kFRT25, 5e-4}, E, weights};
    StepArgs a = reduction(0.01, 0.4, 0.01);
    a.Cred = 0.3;
    a.sqrtDred = std::sqrt(7e-6);
    a.dE = -0.025;
    fillStepHistory(ctx, a, StepGeometry::Planar, 1, last, planar);
    fillStepHistory(ctx, a, StepGeometry::Spherical, 1, last, spherical);
    for (double tsa : {0.3, 1.0}) {
        buildPulseWeights(tsa, last, pulse);
        for (int m = 1; m <= last; ++m) {
            a.E = E[m];
            EXPECT_EQ(SweepCurrent(ctx, a, m), SweepCurrentFromHistory(ctx, a, m, planar));
            EXPECT_EQ(PulseCurrentPlanar(ctx, a, m, tsa),
                      PulseCurrentPlanarFromHistory(ctx, a, m, tsa, planar, pulse));
            EXPECT_EQ(PulseCurrentSpherical(ctx, a, m, tsa),
                      PulseCurrentSphericalFromHistory(ctx, a, m, tsa, planar, pulse));
            EXPECT_EQ(PulseCurrentCylindrical(ctx, a, m, tsa),
                      PulseCurrentCylindricalFromHistory(ctx, a, m, tsa, spherical, pulse));
        }
    }
    // Weights built for another sampling fraction are refused.
    EXPECT_THROW(PulseCurrentPlanarFromHistory(ctx, a, 5, 0.5, planar, pulse), Failure);
}

// ---- pulse trains -------------------------------------------------------------------------------------

TEST(PulseCurrent, FirstStepIsTheStepResponse) {
    std::vector<double> E(kPointCapacity, 0.0);
    const SuperpositionContext ctx{{kFRT25, 1e-3}, E, {}};
    StepArgs a = reduction(0.05, 0.5, 0.05);
    a.E = -0.02;
    a.dE = -0.05;
    StepArgs atPulse = a;
    atPulse.E = a.E + a.dE;
    for (double tsa : {0.1, 0.5, 1.0}) {
        expectRelative(PulseCurrentPlanar(ctx, a, 1, tsa), StepCurrentPlanar(ctx, atPulse) / std::sqrt(tsa),
                       1e-15);
        expectRelative(PulseCurrentSpherical(ctx, a, 1, tsa),
                       StepCurrentSpherical(ctx, atPulse) / std::sqrt(tsa), 1e-15);
        expectRelative(PulseCurrentCylindrical(ctx, a, 1, tsa),
                       StepCurrentSpherical(ctx, atPulse) / std::sqrt(tsa), 1e-15);
    }
}

TEST(PulseCurrent, StaircaseAtLimitingPotentialDecaysAsCottrell) {
    // Every step at a diffusion-limited potential: the superposition telescopes to the Cottrell (planar)
    // or Cottrell-plus-steady-state (sphere) current at the time since the first step, (m − 1 + tsa)·td.
    std::vector<double> E(kPointCapacity, -0.6);
    const double r = 1e-3, td = 0.01; // cm, s
    const SuperpositionContext ctx{{kFRT25, r}, E, {}};
    StepArgs a = reduction(0.01, 0.5, td);
    a.E = -0.6;
    for (int m : {2, 10, 100, 1000}) {
        for (double tsa : {0.25, 1.0}) {
            const double t = (m - 1 + tsa) * td;
            expectRelative(PulseCurrentPlanar(ctx, a, m, tsa), cottrell(a, t), 1e-3);
        }
        const double t = m * td; // tsa = 1: the radial term is sampled as it is at the step's end
        expectRelative(PulseCurrentSpherical(ctx, a, m, 1.0), cottrell(a, t) + a.Cox * 1e-5 / r, 1e-3);
    }
}

TEST(Kernels, IndexBeyondTheProgrammeIsAFailure) {
    std::vector<double> E(kPointCapacity, 0.0), weights(kPointCapacity + 1, 0.0);
    const SuperpositionContext ctx{{kFRT25, 1e-3}, E, weights};
    const StepArgs a = reduction(0.01, 0.5, 0.01);
    try {
        SweepCurrent(ctx, a, kMaxPoint + 2); // reads E[5001]
        ADD_FAILURE() << "no failure raised";
    } catch (const Failure& f) {
        EXPECT_EQ(f.description(), "Subscript out of range");
    }
    EXPECT_NO_THROW(SweepCurrent(ctx, a, kMaxPoint + 1));
    EXPECT_THROW(PulseCurrentPlanar(ctx, a, kMaxPoint + 2, 1.0), Failure);
    EXPECT_NO_THROW(buildSweepWeights(kMaxPoint + 1, weights)); // the buffer holds index 5001
    EXPECT_THROW(buildSweepWeights(kMaxPoint + 2, weights), Failure);
    const SuperpositionContext shortProgramme{{kFRT25, 1e-3}, std::span<const double>(E).first(10), weights};
    EXPECT_THROW(SweepCurrent(shortProgramme, a, 11), Failure);
}

// ---- relaxation, rotating electrode, surface couples ------------------------------------------------

TEST(ThinLayerCurrent, RelaxesToNernstianFraction) {
    const KernelContext ctx{kFRT25, 0.0};
    for (double overpotential : {-0.05, 0.0, 0.03}) {
        StepArgs a = reduction(0.02, 0.4, 0.5);
        a.E = overpotential;
        double fraction = 1.0;
        for (int step = 0; step < 2000; ++step)
            fraction = ThinLayerCurrent(ctx, a, fraction);
        // Oxidised fraction at equilibrium: 1/(1 + exp(−nF(E − E0)/RT)).
        expectRelative(fraction, 1.0 / (1.0 + std::exp(-kFRT25 * overpotential)), 1e-9);
        // First-order relaxation: two steps of t are one step of 2t.
        const double twice = ThinLayerCurrent(ctx, a, ThinLayerCurrent(ctx, a, 0.9));
        a.t *= 2.0;
        expectRelative(twice, ThinLayerCurrent(ctx, a, 0.9), 1e-12);
    }
}

TEST(AdsorbedCurrent, LangmuirTotalSplitByNernst) {
    const KernelContext ctx{kFRT25, 0.0};
    const double b = 1e4, C = 1e-4, gammaMax = 2e-10; // L/mol, mol/L, mol/cm²
    const double langmuir = gammaMax * b * C / (1.0 + b * C);
    for (double overpotential : {-0.04, 0.0, 0.02, 0.1}) {
        StepArgs a = reduction(0.1, 0.5, 1e6); // a long step reaches equilibrium
        a.E = overpotential;
        const double oxidised = AdsorbedCurrent(ctx, a, b, C, C, gammaMax, 0.0);
        const double reduced = langmuir - oxidised;
        expectRelative(oxidised / reduced, std::exp(kFRT25 * overpotential), 1e-9);
    }
}

TEST(RotatingCurrent, LevichLimitAndReversibleHalfWave) {
    const KernelContext ctx{kFRT25, 0.0};
    const double nu = 0.01, omega = 100.0, Dox = 1e-5, Dred = 6e-6; // cm²/s, rad/s, cm²/s
    const double mO = 0.62 * std::pow(Dox, 2.0 / 3.0) * std::pow(nu, -1.0 / 6.0) * std::sqrt(omega); // cm/s
    const double mR = 0.62 * std::pow(Dred, 2.0 / 3.0) * std::pow(nu, -1.0 / 6.0) * std::sqrt(omega);
    StepArgs a = reduction(0.01, 0.5, 0.0);
    a.E = -0.6;
    expectRelative(RotatingCurrent(ctx, a, 1.0 / mO, 1.0 / mR), a.n * a.Cox * mO, 1e-3); // Levich
    // Nernstian wave: half the limit at E1/2 = E0 + (RT/nF)·ln(mR/mO).
    a.ks = 1e6;
    a.E = std::log(mR / mO) / kFRT25;
    expectRelative(RotatingCurrent(ctx, a, 1.0 / mO, 1.0 / mR), 0.5 * a.Cox * mO, 1e-6);
}

TEST(ThinFilmReversibleCurrent, BellOfANernstianSurfaceCouple) {
    const KernelContext ctx{kFRT25, 0.0};
    for (double n : {1.0, 2.0}) {
        EXPECT_DOUBLE_EQ(ThinFilmReversibleCurrent(ctx, 0.0, n, 0.0, 1.0, 1.0, 1.0, 1.0), 1.0);
        // Full width at half height 2·ln(3 + 2√2)·RT/nF = 90.6/n mV at 25 °C.
        const double halfWidth = std::log(3.0 + 2.0 * std::sqrt(2.0)) / (n * kFRT25);
        EXPECT_NEAR(2.0 * halfWidth, 0.0906 / n, 5e-5);
        for (double side : {-1.0, 1.0})
            EXPECT_NEAR(ThinFilmReversibleCurrent(ctx, side * halfWidth, n, 0.0, 1.0, 1.0, 1.0, 1.0), 0.5,
                        1e-12);
        // Unequal adsorption strengths move the peak to E0 − (RT/nF)·ln(x7/x4).
        const double shifted = -std::log(5.0) / (n * kFRT25);
        EXPECT_DOUBLE_EQ(ThinFilmReversibleCurrent(ctx, shifted, n, 0.0, 1.0, 5.0, 1.0, 1.0), 1.0);
    }
}

} // namespace
} // namespace tessaly
