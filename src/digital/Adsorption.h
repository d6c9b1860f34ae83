#pragma once
// Couples that react between adsorbed forms: O(ads) + n e = R(ads) on the electrode surface
// (Laviron, J. Electroanal. Chem. 52 (1974) 355). The adsorbed amounts are surface stores: their sum,
// the couple's Langmuir amount at the start, is kept through the run (strong adsorption: the forms
// neither leave nor join the solution on the time scale of the experiment), and the electron
// transfer moves material between them with first-order surface rate constants kf and kb (1/s).

#include "digital/SurfaceBlock.h"

#include <span>

namespace tessaly {

struct AdsorbedStore {
    double total = 0;    // Gamma_O + Gamma_R, mol/cm2
    double oxidised = 0; // Gamma_O, mol/cm2
};

// Langmuir amount of the couple, Gamma_max(O) b_O (C_O + C_R) / (1 + sum_s b_s C_s) (one isotherm for
// both forms), partitioned between O and R at equilibrium with the start rates.
// conc, adsorbCoef (1/M) and maxAdsorb (mol/cm2) are indexed by species 1..species.
AdsorbedStore initialAdsorbedStore(const ChargeCouple& couple, RatePair startRates,
                                   std::span<const double> conc, std::span<const double> adsorbCoef,
                                   std::span<const double> maxAdsorb, int species);

// Advances the store by one step of the run's step formula, with the rates at the end of the step:
//   Gamma_O(n+1) - alpha Gamma_O(n) + beta Gamma_O(n-1) = tau (-kf Gamma_O(n+1) + kb Gamma_R(n+1)),
// which is second order in a sweep and, for a fast couple, keeps the amounts at equilibrium with the
// potential of the step's end. `before` is Gamma_O(n-1) (not read when beta is 0). Returns the rate
// of reduction dGamma_R/dt at the end of the step (mol/cm2/s).
double stepAdsorbedStore(AdsorbedStore& store, RatePair rates, double tau, double alpha, double beta,
                         double before);

} // namespace tessaly
