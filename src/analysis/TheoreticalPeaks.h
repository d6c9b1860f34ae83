#pragma once
// Theoretical peak and limiting currents: what textbook voltammetric theory predicts for the committed
// experiment, one reversible and one irreversible line per charge reaction, as result lines (each
// ending in CR LF). Potentials are written with "0.000" and followed by " V, ", currents with
// "0.####E-0" and followed by " A, ". Reduction currents are positive.

#include "model/ExperimentParams.h"

#include <string>

namespace tessaly {

// The header and the lines of every charge reaction. Reads the committed values (the caller runs the
// species commit first), the selections, the reaction tables, the radius and thickness texts.
// Never fails: a value whose expression is undefined is left out of its line.
std::string TheoreticalPeaks(const ExperimentParams& p);

// The quantities of one charge reaction the formulas use.
struct ReactionTheory {
    int reaction = 1;
    double n = 1;        // electrons
    double alpha = 0.5;  // transfer coefficient
    double nf = 0;       // nF/RT, 1/V
    double E0 = 0;       // formal potential with the pH and coupled-reaction shifts, V
    double halfWave = 0; // reversible planar half-wave potential E0 + ln(sqrt(D_R / D_O)) / nf, V; with
                         // a fast follow-up reaction the apparent one that places the reversible peak
    // Reversible sweep: peak function and Ep/2 - Ep (RT/nF). A follow-up reaction in its pure kinetic
    // zone (EC, EC2) turns the Nernstian peak (0.4463, 2.2) into that of an irreversible-like wave
    // without a reverse peak.
    double sweepPeak = 0.4463;
    double sweepHalfWidth = 2.2;
    bool reversePeak = true;
    double C = 0;        // bulk concentration of the oxidised form, mol/L
    double D = 0;        // its diffusion coefficient, cm2/s
    double CR = 0;       // bulk concentration of the reduced form, mol/L
    double DR = 0;       // its diffusion coefficient, cm2/s
    double ks = 0;       // standard heterogeneous rate constant, cm/s (1/s for surface couples)
    double nFAC = 0;     // n * FaradayArea * C, C/cm (times a velocity in cm/s gives A)
    double nFACR = 0;    // the same for the reduced form, C/cm
    bool nernstian = false; // the mechanism keeps the Nernst ratio: no irreversible limit exists

    // Only the reduced form is in solution: the first sweep oxidises it.
    bool reducedOnly() const { return !(C > 0) && CR > 0; }
};

// The quantities of charge reaction j (1..NumCharge) of the committed experiment.
ReactionTheory reactionTheory(const ExperimentParams& p, int j);

} // namespace tessaly
