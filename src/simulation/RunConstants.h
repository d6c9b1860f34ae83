#pragma once
// Quantities derived once at the start of every simulation run.

#include "base/PhysicalConstants.h"
#include "model/SimulationInput.h"

namespace tessaly {

struct RunConstants {
    double FaradayArea = 0;     // ElectrodeArea * F * 0.001 (mol/L -> mol/cm3): kernel value -> A
    double fRT = 0;             // F/RT, 1/V
    double RTF = 0;             // RT/F, V
    double ScanSign = -1;       // +1 when the programme rises towards EndPotential, else -1
    double TimeGrid = 0;        // s per point of the analytical path
    double PulseHeight = 0;     // V, the pulse of the pulsed techniques (3..6), else 0
    double HalfPulse = 0;       // V, square-wave amplitude
    int TotalCurrentColumn = 2; // NumCharge + 1
    int SecondSampleBase = 3;   // 2 NumCharge + 1
};

RunConstants computeRunConstants(const SimulationInput& in);

} // namespace tessaly
