#include "simulation/AnalyticalKernels.h"

#include "base/Checked.h"
#include "base/Failure.h"
#include "curves/MeasuredData.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace tessaly {

namespace {

constexpr double kSqrt2 = 1.4142135623731;   // √2 to the digits the continued fraction was tuned with
constexpr double kSqrtPi = 1.77245385090552; // √π

// Forward and backward Butler–Volmer rate constants at the potential of a, cm/s.
struct Rates {
    double kf;
    double kb;
};

Rates butlerVolmer(double fRT, const StepArgs& a) {
    const double xi = a.n * fRT * (a.E - a.E0); // reduced overpotential
    return {a.ks * std::exp(-a.alpha * xi / a.nuOx), a.ks * std::exp((1.0 - a.alpha) * xi / a.nuRed)};
}

// n times the net surface flux that the rates would carry at bulk concentrations, mol/L·cm/s.
double kineticFlux(const Rates& r, const StepArgs& a) {
    return a.n * (r.kf * a.Cox / a.nuOx - r.kb * a.Cred / a.nuRed);
}

// Raises "Subscript out of range" unless index lies in the longest programme (0..kMaxImportPoints)
// and in the buffer.
void requireIndex(int index, std::span<double> buffer) {
    const long long high = std::min<long long>(kMaxImportPoints, static_cast<long long>(buffer.size()) - 1);
    if (index < 0 || index > high)
        raise(failure_text::subscriptOutOfRange);
}

} // namespace

// ---- error functions -------------------------------------------------------------------------------

double ErfcScaled(double x) {
    if (std::isnan(x))
        return x;
    const double q = x * x;
    if (std::fabs(x) >= 1.5) {
        // Continued fraction of the Mills ratio R(y) = 1/(y + 1/(y + 2/(y + 3/(y + ...)))), y = √2·x,
        // evaluated from the tail; exp(x²)·erfc(x) = √(2/π)·R(√2·x). Negative x by reflection,
        // erfc(−x) = 2 − erfc(x).
        double s = 0.0;
        if (x <= 0.0) {
            x = -x;
            s = 2.0 * std::exp(q);
        }
        int terms = static_cast<int>(32.0 / x) + 2;
        double c = 1.0 / (kSqrt2 * x);
        do {
            c = c * terms;
            c = 1.0 / (kSqrt2 * x + c);
            terms = terms - 1;
        } while (terms != 0);
        const double v = c * kSqrt2 / kSqrtPi;
        return s == 0.0 ? s + v : s - v;
    }
    // Maclaurin series of erf, erf(x) = (2/√π)·Σ (−1)^k x^(2k+1)/(k!(2k+1)), summed in nested form from
    // the tail; the ratio of successive terms is (½ − k)·x²/((k + ½)·k).
    int terms = static_cast<int>(9.0 * std::fabs(x)) + 2;
    double a = terms / (q + terms);
    do {
        a = (0.5 - terms) * a * q / ((terms + 0.5) * terms) + 1.0;
        terms = terms - 1;
    } while (terms != 0);
    const double erf = 2.0 * a * x / kSqrtPi;
    return std::exp(q) * (1.0 - erf);
}

double Erf(double x) {
    if (x > 10.0)
        return 1.0;
    return 1.0 - ErfcScaled(x) / std::exp(x * x);
}

// ---- single potential steps ------------------------------------------------------------------------

// Quasi-reversible step at a plane: the surface flux decays as exp(λ²)·erfc(λ), λ = (kf/√Dox + kb/√Dred)·√t
// (Delahay, New Instrumental Methods in Electrochemistry, 1954; Bard & Faulkner, 2nd ed., §5.5).
double StepCurrentPlanar(const KernelContext& ctx, const StepArgs& a) {
    const Rates r = butlerVolmer(ctx.fRT, a);
    const double h = r.kf / a.sqrtDox + r.kb / a.sqrtDred; // 1/√s
    const double lambda = h * std::sqrt(a.t);
    return kineticFlux(r, a) * ErfcScaled(lambda);
}

// At a sphere of radius r the radial term √Dox/r joins the kinetic ones; the current tends to the steady
// fraction ρ of the kinetic flux instead of decaying to zero.
double StepCurrentSpherical(const KernelContext& ctx, const StepArgs& a) {
    const Rates r = butlerVolmer(ctx.fRT, a);
    const double radial = a.sqrtDox / ctx.electrodeRadius;          // 1/√s
    const double h = r.kf / a.sqrtDox + r.kb / a.sqrtDred + radial; // 1/√s
    const double rho = radial / h;
    return kineticFlux(r, a) * (rho + (1.0 - rho) * ErfcScaled(h * std::sqrt(a.t)));
}

// With the Nernst ratio θ = Cox(0)/Cred(0) held at the surface and the fluxes of O and R balanced, the
// converted flux is √Dox·(Cox − θ·Cred)/((1 + θ·√(Dox/Dred))·√(π·t)). The reduced form's term therefore
// carries √Dox: for Cox = 0 and θ → ∞ it becomes the anodic Cottrell flux √Dred·Cred/√(π·t), and it is the
// limit of StepCurrentPlanar for a large ks.
double ReversibleCurrent(const KernelContext& ctx, const StepArgs& a) {
    const double theta = std::exp(a.n * ctx.fRT * (a.E - a.E0));
    return a.n * (a.Cox * a.sqrtDox / a.nuOx - theta * a.Cred * a.sqrtDox / a.nuRed) /
           ((1.0 + theta * a.sqrtDox / a.sqrtDred) * kSqrtPi * std::sqrt(a.t));
}

// ---- superpositions over the programme ---------------------------------------------------------------

void buildSweepWeights(int lastIndex, std::span<double> weights) {
    requireIndex(lastIndex, weights);
    weights[0] = 0.0;
    for (int k = 1; k <= lastIndex; ++k) {
        // √(k+1) − 2√k + √(k−1) written without cancellation: the direct form loses six digits at k = 5000.
        const double lo = std::sqrt(k - 1.0);
        const double mid = std::sqrt(static_cast<double>(k));
        const double hi = std::sqrt(k + 1.0);
        weights[static_cast<std::size_t>(k)] = -2.0 / ((hi + lo) * (hi + mid) * (mid + lo));
    }
}

// ---- first-order relaxation, rotating electrode, surface couples ------------------------------------

// Over one step of length t a first-order exchange O ⇌ R with rates kf, kb moves any quantity a fraction
// 1 − exp(−(kf + kb)·t) of the way to its equilibrium.
double ThinLayerCurrent(const KernelContext& ctx, const StepArgs& a, double previous) {
    const Rates r = butlerVolmer(ctx.fRT, a);
    const double e = std::exp(-(r.kf + r.kb) * a.t);
    return e * previous + (1.0 - e) * r.kb / (r.kf + r.kb);
}

double AdsorbedCurrent(const KernelContext& ctx, const StepArgs& a, double adsorbCoef, double concOx,
                       double concRed, double maxAdsorb, double previous) {
    const Rates r = butlerVolmer(ctx.fRT, a);
    const double e = std::exp(-(r.kf + r.kb) * a.t);
    const double equilibrium = r.kb * adsorbCoef * concOx * maxAdsorb /
                               ((r.kf + r.kb) + r.kb * adsorbCoef * concOx + r.kf * adsorbCoef * concRed);
    return e * previous + (1.0 - e) * equilibrium;
}

double levichTransfer(double D, double omega, double viscosity) {
    return 0.62 * std::pow(viscosity, -1.0 / 6.0) * std::sqrt(omega) * std::pow(D, 2.0 / 3.0);
}

// Koutecký–Levich: the kinetic current n·(kf·Cox − kb·Cred) limited in series by the Levich mass
// transfer of both species (Bard & Faulkner, 2nd ed., §9.3).
double RotatingCurrent(const KernelContext& ctx, const StepArgs& a, double invMassTransferOx,
                       double invMassTransferRed) {
    const double xi = a.n * ctx.fRT * (a.E - a.E0);
    const double kf = a.ks * std::exp(-a.alpha * xi / a.nuOx);
    const double kb = a.ks * std::exp((1.0 - a.alpha) * xi / a.nuOx);
    const double kinetic = a.n * (kf * a.Cox / a.nuOx - kb * a.Cred / a.nuRed);
    return kinetic / (1.0 + kf * invMassTransferOx + kb * invMassTransferRed);
}

// Nernstian surface couple: the converted fraction is 1/(1 + w), and its potential derivative gives the
// bell w/(1 + w)², normalised here to 1 at its top (Laviron, J. Electroanal. Chem. 52 (1974) 355).
double ThinFilmReversibleCurrent(const KernelContext& ctx, double E, double n, double E0, double x4,
                                 double x7, double x8, double x9) {
    const double s = std::sqrt(x8 * x9);
    const double w = (x7 / x4) * std::exp(n * ctx.fRT * (E - E0) / s);
    return 4.0 * w / ((1.0 + w) * (1.0 + w) * x8 * x9);
}

} // namespace tessaly
