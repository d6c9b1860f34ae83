#pragma once
// Conversions between the current of a charge reaction and the surface concentrations of its two
// species, on the curves of the store.
//
// The special conversions use the closed forms of a simple charge transfer (E, mechanism 1) and of
// the catalytic scheme (EC', mechanism 8) under planar semi-infinite diffusion:
//   sweep (techniques 1, 7):   i = nFA sqrt(D) d^1/2 (C* - C0) / dt^1/2        (Oldham & Spanier 1974)
//   pulse or step:            i = nFA sqrt(D / (pi t)) (C* - C0)                (Cottrell)
//   catalytic steady state:   i = nFA sqrt(D k C_Z) (C* - C0)                   (Saveant & Vianello 1965)
// each divided by the stoichiometric number of the species and signed + for the oxidised, - for the
// reduced species. The general conversions use the Butler-Volmer rate law of each reaction.
//
// Columns: a surface-concentration display holds species s in Curve column s (as C0 vs E leaves it);
// a current display holds the current of charge reaction j in column j.

#include "curves/CurveStore.h"
#include "model/ExperimentParams.h"

#include <optional>
#include <string_view>

namespace tessaly {

inline constexpr int kOxidisedSpecies = 1;
inline constexpr int kReducedSpecies = 2;

// The current factor K of charge reaction j for one of its species (kOxidisedSpecies or
// kReducedSpecies) and the special mechanism (SimpleCharge or Catalytic): the current is K (C* - C0) before
// the sweep or pulse transform; A / (mol/L).
double specialConversionFactor(const ExperimentParams& p, int reaction, int species,
                               kind::Mechanism mechanism);

// Co0 to i1 / Cr0 to i1 (mechanism 1) and Co0 to i8 / Cr0 to i8 (mechanism 8): column j becomes the
// current of reaction j computed from the surface concentration of its oxidised (species 1) or
// reduced (species 2) form; then the derivative for techniques 4 and 5 and the semi-derivative for a
// sweep of mechanism 1. Sets the current titles, NCurves = CurvesPerRun = NumCharge and CurveNo.
void Co0toI1(CurveStore& store, const ExperimentParams& p, kind::Mechanism mechanism, int species);

// i1 to C0 / i8 to C0: the inverse of Co0toI1. The current of reaction j (column j) is taken back
// through the exact inverse of the discrete transform Co0toI1 applied (the semi-integral that undoes
// the G1 semi-derivative sum term by term, or the summation that undoes the central differences),
// then divided by each species' factor; the surface concentrations of the two species of every
// reaction go to their columns. The surface is taken at its bulk composition at the first point of
// the active range (the transforms do not keep that constant). Sets the C0 titles.
void I1toC0(CurveStore& store, const ExperimentParams& p, kind::Mechanism mechanism);

// The current scale of the general conversions, 96.4846 * ElectrodeArea (A per mol/L and cm/s; times
// the surface area factor g of the last digital simulation at a non-planar electrode). No value when
// the electrode is not planar and no non-planar digital simulation has run (g = 0 or 1).
std::optional<double> generalCurrentScale(const ExperimentParams& p, double surfaceAreaFactor);

// The messages of the general conversions when generalCurrentScale has no value.
inline constexpr std::string_view kItoC0NeedsDigitalText =
    "Please run digital simulation for non-planar electrode before run this";
inline constexpr std::string_view kC0toINeedsDigitalText =
    "Please run digital simulation for non-planar electrode before run this.";

// Co0 and Cr0 to i: the Butler-Volmer current scale * n (kf C_O / nuO - kb C_R / nuR) of every charge
// reaction from the surface concentrations in columns O(j) and R(j). One reaction: column 1; several:
// columns 1..NumCharge and their sum in column NumCharge + 1.
void ConcentrationToCurrent(CurveStore& store, const ExperimentParams& p, double scale);

// i to C0: the inverse of ConcentrationToCurrent. For each reaction the rate law gives one equation in
// the two surface concentrations; the second is the balance of the diffusive fluxes of the couple,
// sqrt(D_O) (C*_O - C_O) / nuO = sqrt(D_R) (C_R - C*_R) / nuR, which holds exactly for planar
// diffusion of a single couple and for equal diffusion coefficients at any electrode. Species that
// take part in no charge reaction show their bulk concentration.
void CurrentToConcentration(CurveStore& store, const ExperimentParams& p, double scale);

} // namespace tessaly
