#pragma once
// The inputs of one digital run, read once from the committed experiment: species, couples,
// chemical steps, timing, geometry and cell constants.

#include "digital/ChemistryBlocks.h"
#include "digital/SurfaceBlock.h"
#include "model/SimulationInput.h"

#include <array>

namespace tessaly {

inline constexpr int kMaxCouples = 5;

struct DigitalModel {
    int species = 0;
    int couples = 0;
    int steps = 0;
    std::array<double, kMaxSolverSpecies + 1> diffusion{};  // D_s, cm2/s
    std::array<double, kMaxSolverSpecies + 1> bulk{};       // initial concentration C_s, mol/L
    std::array<double, kMaxSolverSpecies + 1> adsorbCoef{}; // b_s, 1/M
    std::array<double, kMaxSolverSpecies + 1> maxAdsorb{};  // Gamma_max,s, mol/cm2
    std::array<ChargeCouple, kMaxCouples> couple{};
    std::array<ChemicalStep, kMaxChemicalSteps> step{};
    bool secondOrder = false;

    int technique = 1;
    int electrode = 1;
    double timeStep = 0;       // dt, s
    double dropTime = 0;       // td, s
    double pulseTime = 0;      // tp, s
    double sample1 = 1;        // tsa1
    double sample2 = 1;        // tsa2
    double pulse = 0;          // Epulse, V
    double startPotential = 0; // V
    double endPotential = 0;   // V
    double stepPotential = 0;  // Estep, V
    double scanRate = 0;       // v, V/s
    double radius = 0;         // cm
    double area = 0;           // cm2
    double rotation = 0;       // rad/s
    double viscosity = 0;      // cm2/s
    double fRT = 0;            // F/RT, 1/V
    double resistance = 0;     // Ru, ohm
    double capacitance = 0;    // Cdl, F
    double expansion = 0.5;    // space grid factor beta
    double thickness = 0;      // film thickness, cm
    bool autoGrid = false;     // Auto digital model: the run chooses its time steps and space grid
    int points = 1;            // NPoints of the run's programme
};

// Reads the committed values, the counts and the reaction tables of a run's input; raises "Subscript out
// of range" for counts or species numbers beyond the model's capacities.
DigitalModel readDigitalModel(const SimulationInput& in, int points);

} // namespace tessaly
