#pragma once
// Charge transfer with finite rate constants at an electrode fed by diffusion, solved as the classical
// integral equation of voltammetry: the surface concentration of every species is its bulk value plus the
// convolution of the past fluxes with the diffusion kernel of its field, and the rate of every charge
// transfer at each instant satisfies its Butler–Volmer condition with those surface concentrations
// (Nicholson & Shain, Anal. Chem. 36 (1964) 706; Nicholson, Anal. Chem. 37 (1965) 1351; Bard & Faulkner,
// Electrochemical Methods, 2nd ed., §6.2, §6.5 and §12.3).
//
// The unknown carried through time is, for every transport channel, the surface deviation X that the
// rate v of one reaction sustains through
//
//     v(t) = ∫_0^t e^(−k(t−τ))/√(π(t−τ))·(X' + k·X)(τ) dτ + a·X(t)        (Laplace: v̂ = (√(p + k) + a)·X̂),
//
// plane diffusion for k = a = 0, a species lost in a first-order homogeneous reaction for k > 0, the
// steady radial flux of a sphere of radius r for a = √D/r. X is piecewise linear on the first two steps
// after a restart and piecewise quadratic (through the two preceding nodes) afterwards; the integrals of
// the kernel over each step are exact, and the history is carried by the exponential sum of the kernel
// (ExponentialSum.h), so a run of N steps costs O(N). The scheme holds X (the surface concentrations)
// rather than the flux, so a potential step onto a Nernstian couple, whose flux is singular, is as well
// posed as a slow step: the rate follows from X at every node for any ks from 0 to infinity.

#include <array>
#include <span>
#include <vector>

namespace tessaly {

inline constexpr int kMaxKineticReactions = 3;
inline constexpr int kMaxKineticChannels = 8;
inline constexpr int kMaxKineticSpecies = 8;

// One charge transfer O + ne -> R with Butler–Volmer kinetics; its rate v (mol/L·cm/s) is
// kf·C_O(0)/nuOx − kb·C_R(0)/nuRed, a reduction positive.
struct KineticReaction {
    int ox = 0;          // species index of O in the system
    int red = 1;         // species index of R
    double n = 1.0;      // electrons
    double nuOx = 1.0;   // stoichiometric numbers, dividing the Butler–Volmer exponents as the step
    double nuRed = 1.0;  // kernels do
    double ks = 0.0;     // standard rate constant, cm/s
    double alpha = 0.5;  // transfer coefficient
    double E0 = 0.0;     // formal potential, V
};

// X of one reaction's rate under one transport operator (k, a).
struct KineticChannel {
    int reaction = 0;
    double decay = 0.0;  // k, 1/s
    double radial = 0.0; // a, 1/√s
};

struct KineticSpecies {
    double bulk = 0.0;                                  // mol/L
    std::array<double, kMaxKineticChannels> coupling{}; // C(0) = bulk + Σ_c coupling[c]·X_c, √s/cm
};

// A monomer in fast equilibrium with its dimer, 2A ⇌ C with K = [A]²/[C] (mol/L): the total
// T = [A] + 2[C] diffuses, and the monomer at the surface is its equilibrium share
// [A] = (K/4)·(√(1 + 8T/K) − 1).
struct DimerEquilibrium {
    int monomer = -1; // species index of A (its couplings are not used), -1: none
    int total = -1;   // species index of T
    double K = 0.0;   // mol/L
};

// Dimerisation 2B -> C, −d[B]/dt = k·[B]², of the product of a charge transfer: B is lost at the
// pseudo-first-order rate (2/3)·k·C_B(0) of the reaction layer, whose steady flux √(2kD/3)·C_B(0)^(3/2)
// it reproduces exactly in the kinetic zone (Olmstead, Hamilton & Nicholson, Anal. Chem. 41 (1969) 260).
struct SecondOrderLoss {
    int channel = -1;          // channel whose decay follows the surface concentration, -1: none
    int species = 0;           // species index of B
    double rateConstant = 0.0; // k, L/(mol·s)
};

struct KineticSystem {
    std::vector<KineticReaction> reactions;
    std::vector<KineticChannel> channels;
    std::vector<KineticSpecies> species;
    DimerEquilibrium dimer;
    SecondOrderLoss dimerisation;

    // The channel of reaction j under (decay, radial), added when new.
    int channel(int reaction, double decay, double radial);
    // C_s(0) gains coupling·X of that channel.
    void couple(int speciesIndex, int reaction, double decay, double radial, double coupling);
    // A species with its bulk concentration, returning its index.
    int addSpecies(double bulk);
};

// One step of the time line: the applied potential is held (or, for a sweep, reached at the step's end)
// through the step, and the kinetic condition holds at its end.
struct KineticStep {
    int length = 0;         // index into KineticTimeline::lengths
    double E = 0.0;         // potential at the end of the step, V
    bool quadratic = false; // X quadratic through the two preceding nodes (otherwise linear)
    bool restart = false;   // the surface starts from the bulk at the beginning of this step
    int sample = -1;        // slot of the rates at the end of the step, or -1
    int secondSample = -1;  // a second slot sampled at the same instant, or -1
};

struct KineticTimeline {
    std::vector<double> lengths; // distinct step lengths, s
    std::vector<KineticStep> steps;
    int samples = 0;   // number of sample slots
    double span = 0.0; // longest stretch of time between restarts, s
};

// Rates v_j (mol/L·cm/s, reduction positive) of every reaction at every sample slot:
// rates[slot·reactions + j]. fRT = F/RT, 1/V. Raises a failure for an inconsistent system or time line.
void solveKinetics(const KineticSystem& system, double fRT, const KineticTimeline& timeline,
                   std::span<double> rates);

} // namespace tessaly
