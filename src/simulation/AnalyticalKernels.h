#pragma once
// Numerical kernels of the analytical simulation path: the scaled complementary error function, the
// current after a potential step for a Butler–Volmer charge transfer (planar and spherical diffusion),
// the weights that superpose such steps over a sweep, the Nernstian step current, first-order
// relaxation of thin-layer and adsorbed amounts, the Koutecký–Levich current of a rotating electrode and
// the bell of a Nernstian surface couple.
//
// Every kernel is a pure function. Faradaic kernels return n times the net surface flux, in mol/L·cm/s;
// the caller multiplies by FaradayArea (electrode area · F · 0.001) to obtain amperes.

#include <span>

namespace tessaly {

// Buffers indexed by a point of the programme (weights) hold the run's points; an index beyond the
// buffer, or beyond the longest programme (kMaxImportPoints), is a "Subscript out of range" failure.

// Read-only values of a run that the kernels consult besides their arguments.
struct KernelContext {
    double fRT = 0.0;             // F/(R·T), 1/V
    double electrodeRadius = 0.0; // ElectrodeRadius, cm (spherical kernels only)
};

// The thirteen arguments of the step kernel, in the order the kernels document them.
struct StepArgs {
    double E = 0.0;        // applied potential of the point (base potential for pulse kernels), V
    double ks = 0.0;       // standard heterogeneous rate constant, cm/s
    double alpha = 0.5;    // transfer coefficient
    double n = 1.0;        // number of electrons
    double E0 = 0.0;       // (apparent) formal potential, V
    double Cox = 0.0;      // bulk concentration of the oxidised species, mol/L
    double sqrtDox = 0.0;  // square root of its diffusion coefficient, cm/s^0.5
    double t = 0.0;        // time since the step (TimeGrid for the sweep and pulse kernels), s
    double Cred = 0.0;     // bulk concentration of the reduced species, mol/L
    double sqrtDred = 0.0; // square root of its diffusion coefficient, cm/s^0.5
    double dE = 0.0;       // pulse height, V (only the pulse kernels use it)
    double nuOx = 1.0;     // stoichiometric number of the oxidised species
    double nuRed = 1.0;    // stoichiometric number of the reduced species
};

// ---- error functions -------------------------------------------------------------------------------

// exp(x²)·erfc(x) for either sign of x: a continued fraction for |x| ≥ 1.5, the power series of erf below.
double ErfcScaled(double x);
// erf(x); exactly 1 for x > 10.
double Erf(double x);

// ---- single potential steps ------------------------------------------------------------------------

// Current after a potential step to a.E with Butler–Volmer kinetics and semi-infinite planar diffusion,
// at time a.t after the step. a.dE takes no part. Result in mol/L·cm/s (times FaradayArea: A).
double StepCurrentPlanar(const KernelContext& ctx, const StepArgs& a);
// The same step at a sphere of radius ctx.electrodeRadius: the planar response plus the radial term that
// leads to the steady state n·(kf·Cox/nuOx − kb·Cred/nuRed)·ρ. a.dE takes no part.
double StepCurrentSpherical(const KernelContext& ctx, const StepArgs& a);

// Nernstian step current at planar diffusion, time a.t after the step (reads E, n, E0, Cox, sqrtDox, t,
// Cred, sqrtDred, nuOx, nuRed of a). Result in mol/L·cm/s.
double ReversibleCurrent(const KernelContext& ctx, const StepArgs& a);

// ---- superpositions over the programme ---------------------------------------------------------------

// SweepWeights[k] = √(k+1) − 2√k + √(k−1), k = 1..lastIndex (weights[0] = 0, unused): the weights of the
// sweep convolution. Raises "Subscript out of range" when weights cannot hold index lastIndex.
void buildSweepWeights(int lastIndex, std::span<double> weights);

// ---- first-order relaxation, rotating electrode, surface couples ------------------------------------

// Oxidised fraction of a thin layer after one time step a.t, starting from `previous`: it relaxes with rate
// kf + kb towards its Nernstian equilibrium kb/(kf + kb). Reads E, ks, alpha, n, E0, t, nuOx, nuRed of a.
double ThinLayerCurrent(const KernelContext& ctx, const StepArgs& a, double previous);

// Adsorbed amount of the oxidised form after one time step a.t, starting from `previous` (mol/cm²): it
// relaxes towards kb·b·cOx·Γmax/((kf + kb) + kb·b·cOx + kf·b·cRed), a Langmuir-limited equilibrium.
// Reads E, ks, alpha, n, E0, t, nuOx, nuRed of a.
//   adsorbCoef  b, adsorption coefficient, L/mol
//   concOx      concentration entering the oxidised form's Langmuir term, mol/L
//   concRed     concentration entering the reduced form's Langmuir term, mol/L
//   maxAdsorb   Γmax, maximum adsorbed amount, mol/cm²
double AdsorbedCurrent(const KernelContext& ctx, const StepArgs& a, double adsorbCoef, double concOx,
                       double concRed, double maxAdsorb, double previous);

// Levich mass-transfer coefficient D/δ of a rotating disk or a stirred solution,
// 0.62·D^(2/3)·ω^(1/2)·ν^(−1/6), cm/s (Bard & Faulkner, 2nd ed., 9.3.22); D in cm²/s, ω in rad/s, ν the
// kinematic viscosity in cm²/s.
double levichTransfer(double D, double omega, double viscosity);

// Steady current at a rotating disk in Koutecký–Levich form, n·(kf·Cox/nuOx − kb·Cred/nuRed)/(1 + kf/mO +
// kb/mR). Reads E, ks, alpha, n, E0, Cox, Cred, nuOx, nuRed of a; both rate-constant exponents are divided
// by nuOx.
//   invMassTransferOx   1/mO, reciprocal Levich mass-transfer coefficient of the oxidised species, s/cm
//   invMassTransferRed  1/mR, the same for the reduced species, s/cm
double RotatingCurrent(const KernelContext& ctx, const StepArgs& a, double invMassTransferOx,
                       double invMassTransferRed);

// Normalised current of a Nernstian adsorbed or thin-film couple: 4w/((1 + w)²·x8·x9) with
// w = (x7/x4)·exp(n·fRT·(E − E0)/√(x8·x9)). A bell of height 1 at w = 1 when x8·x9 = 1; x7/x4 shifts it
// along the potential axis (a ratio of the couple's adsorption strengths), √(x8·x9) widens it.
double ThinFilmReversibleCurrent(const KernelContext& ctx, double E, double n, double E0, double x4,
                                 double x7, double x8, double x9);

} // namespace tessaly
