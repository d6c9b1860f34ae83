#pragma once
// What the mechanism formulas of one analytical run share: the run's input and result, the kernel
// context, the per-reaction constants prepared before the point loop, the surface state that advances
// point by point (thin layers, adsorbed amounts) and the superposition buffers, all sized once per run.
//
// Sign convention of every faradaic current: a reduction (O + ne -> R) is positive.

#include "simulation/AnalyticalKernels.h"
#include "simulation/AnalyticalMechanisms.h"
#include "simulation/FilmPreconcentration.h"
#include "simulation/SimulationContext.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <vector>

namespace tessaly {

inline constexpr int kMaxAnalyticalReactions = 3; // the analytical mechanisms have at most three couples

// Time law of a step response relative to the diffusion step response at the run's TimeGrid τ: the planar
// diffusion law √(τ/t), or that law multiplied by the catalytic regeneration of an EC' couple.
struct ResponseLaw {
    double timeGrid = 0.0;      // τ, s
    double catalyticRate = 0.0; // k of the catalytic regeneration, 1/s (0: pure diffusion)
    // R(t) = K(t)/K₀(τ): K the current of a unit step under the law, K₀ that of diffusion alone; t > 0, s.
    double operator()(double t) const;
};

// Constants of one charge reaction for the whole run.
struct ReactionConstants {
    int ox = 0;                   // species number of the oxidised form
    int red = 0;                  // species number of the reduced form
    double n = 1.0;               // electrons
    double nf = 0.0;              // n·F/RT, 1/V
    double RTnF = 0.0;            // RT/(nF), V
    double Dox = 0.0, Dred = 0.0; // diffusion coefficients, cm²/s
    StepArgs step;                // kernel arguments with the apparent E0 and the effective bulk
                                  // concentrations, t = TimeGrid; E is set per evaluation
    double formalPotential = 0.0; // E0 with the pH shift, before the shifts of coupled chemistry, V
    ResponseLaw law;              // time law of the superpositions
    double invTransferOx = 0.0;   // rotating electrode: reciprocal Levich coefficients 1/m of the two
    double invTransferRed = 0.0;  // forms, s/cm
    double surfaceTotal = 0.0; // adsorbed couples: Langmuir total Γ, mol/cm²; thin layer: C·h, mol/L·cm
    double surfaceState = 0.0; // relaxing quantity carried from point to point (fraction, Γ_O or the
                               // reduced form in a preconcentrated film, mol/L)
};

// Potential levels inside one point of a pulse programme (differential pulse, square wave, staircase)
// and the instants at which the current is sampled; times are measured from the start of the point.
struct LevelScheme {
    int levels = 1;                       // 1 or 2 levels per point
    std::array<double, 2> offset{};       // potential of level l relative to E[i], V
    bool directed = false;                // offsets point along the scan direction of each point (square
                                          // wave): level l lies at E[i] + direction(i)·offset[l]
    std::array<double, 2> start{}, end{}; // level l lasts from start[l] to end[l], s
    int samples = 1;                      // 1 or 2 sampling instants
    std::array<double, 2> sampleTime{};   // s
    double period = 0.0;                  // duration of one point, s
};

// Buffers of the superpositions. Every vector holds the run's points 0..NPoints and is sized once per
// run, only when the run's technique needs it.
struct SuperpositionBuffers {
    std::vector<double> sweepWeights;                                     // SweepWeights[k]
    std::array<std::vector<double>, kMaxAnalyticalReactions + 1> history; // planar step responses
    // Level superposition: weights[s][l][d] and the histories of the two levels of every reaction.
    std::array<std::array<std::vector<double>, 2>, 2> levelWeights;
    std::array<std::array<std::vector<double>, 2>, kMaxAnalyticalReactions + 1> levelHistory;
    // The history sums of a run longer than the classic store, formed once by transform (see
    // fillHistorySums): historySum[j][k] of the sweep, levelHistorySum[j][s][l][k] of sample s and level l.
    // Empty for shorter runs, whose sums run point by point.
    std::array<std::vector<double>, kMaxAnalyticalReactions + 1> historySum;
    std::array<std::array<std::array<std::vector<double>, 2>, 2>, kMaxAnalyticalReactions + 1>
        levelHistorySum;
};

// Rates of the kinetic solver for the whole run (MechanismKinetics.cpp), read back point by point.
struct KineticCurrents {
    bool active = false;
    int reactions = 0;
    int slotsPerPoint = 1;     // 2: slot 2k + s holds sample s of point k; 1: slot k
    std::vector<double> rates; // rates[slot·reactions + j − 1], mol/L·cm/s
};

struct MechanismRun {
    MechanismRun(const SimulationInput& input, SimulationResult& result, const RunConstants& run)
        : in(input), c(input.committed), out(result), E(result.E), times(result.times), constants(run) {}

    const SimulationInput& in;
    const CommittedValues& c;
    SimulationResult& out;
    std::span<const double> E;     // the programme's potential of every point, V
    std::span<const double> times; // s, a waveform's time of every point (techniques 9, 10)
    const RunConstants& constants;
    SuperpositionPath path = SuperpositionPath::History;

    kind::Mechanism mechanism = kind::Mechanism::SimpleCharge;
    kind::Technique technique = kind::Technique::LinearSweep;
    kind::Electrode electrode = kind::Electrode::PlanarDisk;
    int numCharge = 1;
    double timeGrid = 0.0;      // s per point
    double sampleTime = 0.0;    // sampled-current and normal-pulse voltammetry: the sample's time after
                                // the step, SampleFrac1 of the drop or pulse, s (TimeGrid otherwise)
    double pulseHeight = 0.0;   // V
    double filmThickness = 0.0; // thin film: thickness l of the layer, cm
    KernelContext kernel;
    // Thin film after a deposition step: the step, and what it left per reaction.
    std::optional<PreconcentrationStep> preconcentration;
    std::array<FilmLoad, kMaxAnalyticalReactions + 1> filmLoad{};
    std::array<ReactionConstants, kMaxAnalyticalReactions + 1> reaction{};
    LevelScheme levels;
    SuperpositionBuffers buffers;
    KineticCurrents kinetic;
    // Points at which a chronoamperometric programme changes potential (potential step), in order.
    std::array<int, 64> stepPoints{};
    int stepCount = 0;

    // Writes reaction j's current of point k (A) into column j.
    void setCurrent(int k, int j, double current) { out.currents.at(k, j) = current; }
    // Writes the two sampled currents (A) into the groups NumCharge+1+j and 2·NumCharge+1+j.
    void setSamples(int k, int j, double first, double second) {
        out.currents.at(k, numCharge + 1 + j) = first;
        out.currents.at(k, 2 * numCharge + 1 + j) = second;
    }
    // Writes the surface concentration of species s at point k, mol/L.
    void setSurface(int k, int s, double concentration) { out.surface.at(k, s) = concentration; }
    // Sign of the potential change into point k: −1, 0 or +1.
    double sweepDirection(int k) const {
        const double de = E[at(k)] - E[at(k - 1)];
        return de > 0 ? 1.0 : (de < 0 ? -1.0 : 0.0);
    }
    // Scan direction of point k, +1 anodic or −1 cathodic: the sign of the last potential change up to k
    // (a repeated potential, the turn of a cycle, keeps the direction it follows), and ScanSign before the
    // first change.
    double scanDirection(int k) const {
        for (int i = k; i >= 1; --i)
            if (E[at(i)] != E[at(i - 1)])
                return E[at(i)] > E[at(i - 1)] ? 1.0 : -1.0;
        return constants.ScanSign;
    }
    // Potential of level l of point k relative to E[k], V.
    double levelOffset(int l, int k) const {
        const double offset = levels.offset[static_cast<std::size_t>(l)];
        return levels.directed ? scanDirection(k) * offset : offset;
    }
    bool spherical() const { return traits(electrode).sphericalKernel; }
    // Cells of a buffer indexed by the run's points 0..NPoints.
    std::size_t rows() const { return static_cast<std::size_t>(std::max(out.NPoints, 0)) + 1; }
    // Electrodes whose current carries a radial term beside the planar one: the spheres and the cylinder
    // (whose term is that of a sphere of twice its radius, see kernel.electrodeRadius).
    bool radial() const { return traits(electrode).radialTerm; }
    kind::MechanismFamily family() const { return traits(mechanism).family; }
    // The Koutecky-Levich current of a rotating electrode replaces the formulas of every family but the
    // surface-confined couples, which do not see the convection.
    bool rotating() const { return c.RotationRate > 0 && family() != kind::MechanismFamily::Adsorbed; }
    // Potential of point k, V.
    double potential(int k) const { return E[at(k)]; }
    // Time of point k of a waveform, s.
    double time(int k) const { return times[at(k)]; }

private:
    static std::size_t at(int k) { return static_cast<std::size_t>(k); }
};

// ---- preparation (MechanismCoupledChemistry.cpp) -----------------------------------------------------

// Apparent formal potential, effective bulk concentrations and time law of reaction j: the thin-film
// shift, the pH shift, the equilibria and follow-up reactions of mechanisms 5 to 10, the catalytic rate
// of mechanism 8 and the cumulative feed of the consecutive couples of mechanisms 2, 3, 13 and 14.
void prepareReaction(MechanismRun& run, int j);

// ---- superpositions (MechanismSuperposition.cpp) ------------------------------------------------------

// √(πkt)·erf(√(kt)) + exp(−kt): the catalytic (EC') regeneration factor of a step current at time t, s,
// for the pseudo-first-order rate k, 1/s (Delahay and Stiehl, J. Am. Chem. Soc. 74 (1952) 3500).
double catalyticFactor(double rate, double t);

// Step response of reaction j at potential E and time t after the step (per unit FaradayArea).
enum class StepKind { Planar, Spherical, Nernstian };
double stepResponse(const MechanismRun& run, int j, StepKind kind, double E, double t);

// Buffers and tables of the run's technique, filled before the point loop for every reaction.
void prepareSuperpositions(MechanismRun& run);
// sums[k] = sum_{i=1..k-1} history[i] weights[k - i] for every point of a run longer than the classic
// store (5001 points), by one convolution in O(N log N) instead of O(N^2) per run; the sums agree with
// the point-by-point ones to rounding. For a shorter run `sums` is emptied: the sums run point by point
// in their exact order. history[0] and weights[0] take no part.
void fillHistorySums(const MechanismRun& run, std::span<const double> history,
                     std::span<const double> weights, std::vector<double>& sums);
// Potential levels and sampling instants of one point of the differential-pulse, square-wave and
// staircase programmes.
LevelScheme levelSchemeOf(const MechanismRun& run);

// The same sum with the Nernstian step response (reversible couples without the after-pass).
double nernstianSweep(const MechanismRun& run, int j, int k);
// Level superposition (differential pulse, square wave, staircase of a non-diffusive law): the current
// at sampling instant s of point k.
double levelSuperposition(const MechanismRun& run, int j, int k, int s, StepKind current);
// Chronoamperometry (technique 8): the step responses of the programme's potential steps superposed at
// the elapsed times of point k (point k lies k·TimeGrid after the first step).
double stepSequence(const MechanismRun& run, int j, int k, StepKind kind);

// ---- the mechanism families --------------------------------------------------------------------------

// Per-run preparation of the families that carry state or a history of their own.
void prepareMultiStep(MechanismRun& run);
void prepareAdsorbed(MechanismRun& run);

// Mechanisms 1 to 10 (MechanismSimpleCharge.cpp).
void kineticChargeCurrents(MechanismRun& run, int k, int j);
// Mechanisms 1 to 10 by the integral-equation solver (MechanismKinetics.cpp): whether it computes this
// run (every combination of the kernel table except the exact single-step closed forms and the thin
// layer), the solution for the whole run, and the current of reaction j at point k from it.
bool kineticSolverApplies(const MechanismRun& run);
void prepareKinetics(MechanismRun& run);
void kineticSolverCurrents(MechanismRun& run, int k, int j);
// Mechanisms 11 and 12 (MechanismReversible.cpp).
void reversibleCouplesCurrents(MechanismRun& run, int k, int j);
// Mechanisms 13 and 14 (MechanismMultiStep.cpp).
void multiStepCurrents(MechanismRun& run, int k, int j);
// Mechanisms 15 to 18 (MechanismAdsorbed.cpp).
void adsorbedCurrents(MechanismRun& run, int k, int j);
// Thin film after a preconcentration step (MechanismStripping.cpp): whether the mechanism and technique
// have a thin-film kernel that the deposited film replaces, the deposition, and the current of reaction j
// at point k.
bool filmStrips(kind::Mechanism mechanism, kind::Technique technique);
void prepareStripping(MechanismRun& run);
void strippingCurrents(MechanismRun& run, int k, int j);
// Rotating electrode (MechanismRotating.cpp): the Koutecký–Levich current replaces the diffusion one.
void prepareRotating(MechanismRun& run);
void rotatingCurrents(MechanismRun& run, int k, int j);

} // namespace tessaly
