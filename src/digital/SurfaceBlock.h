#pragma once
// Charge transfer at the electrode: Butler-Volmer rate constants of each couple at the electrode
// potential, the surface rows of the block system (flux balance of every species), and the rate of
// each couple from the new surface concentrations.

#include "digital/BlockTridiagonalSolver.h"

#include <cmath>
#include <span>

namespace tessaly {

// a O + n e = b R, with h protons taken up on reduction.
struct ChargeCouple {
    int ox = 0;            // species of the oxidised form (0: none)
    int red = 0;           // species of the reduced form (0: none)
    int electrons = 1;     // n
    double nuOx = 1;       // a
    double nuRed = 1;      // b
    double ks = 0;         // standard rate constant, cm/s (1/s for an adsorbed couple)
    double alpha = 0.5;    // transfer coefficient
    double formal = 0;     // formal potential E', V
    double protonTerm = 0; // h * 2.303 (pH - 7): shifts the formal potential by -protonTerm/(n f)
    bool adsorbed = false; // the couple reacts between adsorbed forms only
};

struct RatePair {
    double kf = 0; // reduction, cm/s (1/s adsorbed)
    double kb = 0; // oxidation, cm/s (1/s adsorbed)
};

// With x = n f (E - E') + protonTerm: kf = ks exp(-alpha x / a), kb = ks exp((1 - alpha) x / b).
// potential in V, fRT = F/RT in 1/V.
RatePair butlerVolmer(const ChargeCouple& couple, double potential, double fRT);

// Net reduction rate of a couple, r = kf C_O(0)/a - kb C_R(0)/b (mol/L * cm/s); the couple consumes
// a*r of O and produces b*r of R per unit area and its current is n F A r.
// surface[s] is C_s(0), mol/L (index 0 unused).
double couplingRate(const ChargeCouple& couple, RatePair rates, std::span<const double> surface);

// The exponents of butlerVolmer folded once per run: kf = ks exp(forward (E - E') + forwardShift) and
// kb = ks exp(backward (E - E') + backwardShift), with forward = -alpha n f / a and
// backward = (1 - alpha) n f / b (1/V).
struct RateLaw {
    double ks = 0;
    double formal = 0;
    double forward = 0;
    double backward = 0;
    double forwardShift = 0;
    double backwardShift = 0;
};
RateLaw rateLawOf(const ChargeCouple& couple, double fRT);
inline RatePair ratesAt(const RateLaw& law, double potential) {
    const double x = potential - law.formal;
    return {law.ks * std::exp(law.forward * x + law.forwardShift),
            law.ks * std::exp(law.backward * x + law.backwardShift)};
}

// The rate constants of a couple at the potentials of successive steps. A ramp moves the potential by
// the same amount at every step, so each rate constant changes by the same factor: while the step
// repeats (to 1e-9 of itself) the constants are carried by that factor, and computed afresh every
// sixteenth step and whenever the step changes (a jump, the turn of a sweep, an ohmic drop), which
// keeps them within 1e-13 of the exponentials.
class RateTracker {
public:
    RateTracker() = default;
    explicit RateTracker(const RateLaw& law) : m_law(law) {}
    RatePair at(double potential);

private:
    RateLaw m_law;
    int m_calls = 0;     // up to 2: whether m_last and m_step hold a potential and a step yet
    double m_last = 0;   // potential of the last call, V
    double m_step = 0;   // its step from the one before, V
    RatePair m_rates;
    RatePair m_factors;  // exp(forward * step), exp(backward * step)
    int m_carried = 0;   // calls since the constants were computed afresh (0: no factors yet)
};

// Surface rows of every species s = 1..species:
//   supply[s] (C_s(1) - C_s(0)) = sum over couples of the consumption of s,
// supply[s] = D_s/(distance to the first centre) in cm/s. Couples sharing species (consecutive or
// parallel electron transfers) add into the same rows, so the rows balance the fluxes of any scheme.
// Adsorbed couples take no part (their forms are surface stores, Adsorption.h). A species with no
// supply and no reaction keeps C(0) = C(1).
//
// The rows are filled in two parts: prepareSurfaceRows once per run (the supply of every species),
// updateSurfaceRows at every step (the couples' rate constants). `base` holds the prepared rows.
void prepareSurfaceRows(std::span<const double> supply, int species, SurfaceRows& base);
void updateSurfaceRows(std::span<const ChargeCouple> couples, std::span<const RatePair> rates,
                       const SurfaceRows& base, int species, SurfaceRows& rows);

} // namespace tessaly
