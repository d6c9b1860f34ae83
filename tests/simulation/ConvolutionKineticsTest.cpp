// The integral-equation solver and its parts against closed forms: the exponential sum of the diffusion
// kernel, a single potential step from the bulk (the Butler–Volmer step responses, exact for any ks at a
// plane and, with equal diffusion coefficients, at a sphere), the diffusion-limited catalytic current,
// and the meshes of the time lines.

#include "base/Failure.h"
#include "simulation/AnalyticalKernels.h"
#include "simulation/ConvolutionKinetics.h"
#include "simulation/ExponentialSum.h"
#include "simulation/KineticTimeline.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <vector>

namespace tessaly {
namespace {

constexpr double kFRT25 = 96484.6 / (8.31441 * 298.14); // F/RT at 25 °C, 1/V
constexpr double kPi = std::numbers::pi;

TEST(ExponentialSum, DiffusionKernelToBetterThan1e7) {
    struct Range {
        double low, high; // s
    };
    for (const Range r : {Range{1e-3, 1e3}, Range{1e-9, 50}, Range{0.01, 0.02}, Range{2.5e-8, 2e3}}) {
        const ExponentialSum sum = diffusionKernelExponentials(r.low, r.high);
        double worst = 0;
        for (int i = 0; i <= 400; ++i) {
            const double u = r.low * std::pow(r.high / r.low, i / 400.0);
            double s = 0;
            for (std::size_t m = 0; m < sum.rate.size(); ++m)
                s += sum.weight[m] * std::exp(-sum.rate[m] * u);
            worst = std::max(worst, std::fabs(s * std::sqrt(kPi * u) - 1));
        }
        EXPECT_LT(worst, 1e-7) << r.low << " .. " << r.high;
        EXPECT_EQ(sum.rate[0], 0.0);
    }
    EXPECT_THROW(diffusionKernelExponentials(0, 1), Failure);
    EXPECT_THROW(diffusionKernelExponentials(2, 1), Failure);
}

// O + e -> R at E0 = 0, 1 mM O and 0.2 mM R; D_O = 1e-5, D_R = 0.6e-5 cm²/s unless the sphere needs them
// equal.
struct Couple {
    double ks = 0.01, alpha = 0.4, DO = 1e-5, DR = 0.6e-5, radius = 0; // radius 0: a plane
};

KineticSystem couple(const Couple& c) {
    KineticSystem s;
    const int O = s.addSpecies(1e-3);
    const int R = s.addSpecies(0.2e-3);
    KineticReaction r;
    r.ox = O;
    r.red = R;
    r.ks = c.ks;
    r.alpha = c.alpha;
    s.reactions.push_back(r);
    const auto radial = [&](double D) { return c.radius > 0 ? std::sqrt(D) / c.radius : 0.0; };
    s.couple(O, 0, 0.0, radial(c.DO), -1 / std::sqrt(c.DO));
    s.couple(R, 0, 0.0, radial(c.DR), 1 / std::sqrt(c.DR));
    return s;
}

// One level at E sampled at the given times (s).
KineticTimeline stepTimeline(double E, const std::vector<double>& times) {
    TimelineBuilder b(static_cast<int>(times.size()));
    std::vector<LevelSample> samples;
    for (std::size_t i = 0; i < times.size(); ++i)
        samples.push_back({times[i], static_cast<int>(i)});
    b.level(times.back(), E, samples);
    return b.finish();
}

// The Butler–Volmer step from the bulk: exp(λ²)erfc(λ) at a plane (any D_O, D_R) and its spherical form
// (equal D), from slow (ks = 1e-4 cm/s) to Nernstian (1e6 cm/s) transfer, on both sides of E0; every
// sample within 3e-4 of the closed form.
TEST(ConvolutionKinetics, SinglePotentialStepMeetsTheStepKernels) {
    const std::vector<double> times = {1e-3, 4e-3, 0.02, 0.1, 0.5, 1.0};
    for (double radius : {0.0, 0.01, 0.001})
        for (double ks : {1e-4, 1e-2, 1.0, 1e6})
            for (double E : {-0.2, 0.02, 0.15}) {
                Couple c;
                c.ks = ks;
                c.radius = radius;
                if (radius > 0)
                    c.DR = c.DO; // the spherical step kernel holds for equal coefficients
                std::vector<double> rates(times.size());
                solveKinetics(couple(c), kFRT25, stepTimeline(E, times), rates);
                const KernelContext ctx{kFRT25, radius};
                for (std::size_t i = 0; i < times.size(); ++i) {
                    const StepArgs a{E, ks, c.alpha, 1, 0, 1e-3, std::sqrt(c.DO), times[i], 0.2e-3,
                                     std::sqrt(c.DR), 0, 1, 1};
                    const double exact = radius > 0 ? StepCurrentSpherical(ctx, a) : StepCurrentPlanar(ctx, a);
                    EXPECT_NEAR(rates[i] / exact, 1.0, 2.5e-4)
                        << "r " << radius << ", ks " << ks << ", E " << E << ", t " << times[i];
                }
            }
}

// B lost at k (EC'), diffusion-limited: the current of a step is n·C·√D·(e^(−kt)/√(πt) + √k·erf(√(kt)))
// (Delahay & Stiehl, J. Am. Chem. Soc. 74 (1952) 3500).
TEST(ConvolutionKinetics, CatalyticStepMeetsDelahayAndStiehl) {
    const double D = 1e-5, k = 50.0; // cm²/s, 1/s
    KineticSystem s;
    const int A = s.addSpecies(1e-3);
    const int B = s.addSpecies(0.0);
    KineticReaction r;
    r.ox = A;
    r.red = B;
    r.ks = 1e4;
    s.reactions.push_back(r);
    s.couple(A, 0, k, 0.0, -1 / std::sqrt(D));
    s.couple(B, 0, k, 0.0, 1 / std::sqrt(D));
    const std::vector<double> times = {1e-3, 0.01, 0.05, 0.2, 1.0};
    std::vector<double> rates(times.size());
    solveKinetics(s, kFRT25, stepTimeline(-0.5, times), rates);
    for (std::size_t i = 0; i < times.size(); ++i) {
        const double t = times[i];
        const double exact =
            1e-3 * std::sqrt(D) * (std::exp(-k * t) / std::sqrt(kPi * t) + std::sqrt(k) * std::erf(std::sqrt(k * t)));
        EXPECT_NEAR(rates[i] / exact, 1.0, 3e-4) << "t " << t;
    }
}

// Two potential steps onto a Nernstian couple: the second level's current is the superposition of two
// Cottrell terms with the Nernstian surface changes, exactly.
TEST(ConvolutionKinetics, NernstianDoubleStepIsASuperposition) {
    Couple c;
    c.ks = 1e8;
    c.DR = c.DO;
    TimelineBuilder b(2);
    b.level(0.1, 0.01, {{0.1, 0}});
    b.level(0.1, -0.03, {{0.1, 1}});
    std::vector<double> rates(2);
    solveKinetics(couple(c), kFRT25, b.finish(), rates);
    // Converted part of O at the surface, (C_O − θ·C_R)/(1 + θ)·√D per unit: the semi-integral.
    const auto semiIntegral = [&](double E) {
        const double theta = std::exp(kFRT25 * E);
        return std::sqrt(c.DO) * (1e-3 - theta * 0.2e-3) / (1 + theta);
    };
    const double first = semiIntegral(0.01), second = semiIntegral(-0.03);
    EXPECT_NEAR(rates[0] / (first / std::sqrt(kPi * 0.1)), 1.0, 1e-6);
    const double both = first / std::sqrt(kPi * 0.2) + (second - first) / std::sqrt(kPi * 0.1);
    EXPECT_NEAR(rates[1] / both, 1.0, 1e-6);
}

TEST(KineticTimeline, SamplesAreNodesAndPeriodicLevelsShareTheirSteps) {
    TimelineBuilder b(40);
    std::vector<LevelSample> base(1), pulse(1);
    for (int i = 0; i < 20; ++i) {
        base[0] = {0.45, 2 * i};
        pulse[0] = {0.05, 2 * i + 1};
        b.level(0.45, -0.01 * i, base);
        b.level(0.05, -0.01 * i - 0.05, pulse);
    }
    const KineticTimeline t = b.finish();
    EXPECT_LT(t.lengths.size(), 80u); // two patterns
    EXPECT_NEAR(t.span, 10.0, 1e-9);
    EXPECT_TRUE(t.steps.front().restart);
    double time = 0;
    int sampled = 0;
    for (const KineticStep& s : t.steps) {
        time += t.lengths[static_cast<std::size_t>(s.length)];
        if (s.sample >= 0) {
            const int point = s.sample / 2;
            const double expected = point * 0.5 + (s.sample % 2 == 0 ? 0.45 : 0.5);
            EXPECT_NEAR(time, expected, 1e-12);
            ++sampled;
        }
    }
    EXPECT_EQ(sampled, 40);
    EXPECT_NEAR(time, 10.0, 1e-9);

    // Coinciding instants share their node; an instant beyond the level is refused.
    TimelineBuilder twice(2);
    twice.level(1.0, 0.0, {{0.5, 0}, {0.5, 1}});
    const KineticTimeline both = twice.finish();
    int nodes = 0;
    for (const KineticStep& s : both.steps)
        nodes += s.sample >= 0 ? 1 : 0;
    EXPECT_EQ(nodes, 1);
    TimelineBuilder beyond(1);
    EXPECT_THROW(beyond.level(1.0, 0.0, {{1.5, 0}}), Failure);
}

} // namespace
} // namespace tessaly
