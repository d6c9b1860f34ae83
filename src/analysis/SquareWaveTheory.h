#pragma once
// The reversible square-wave voltammogram at a planar electrode by the series of Osteryoung and
// O'Dea (O'Dea, Osteryoung & Osteryoung, Anal. Chem. 53 (1981) 695; Osteryoung & O'Dea, Electroanal.
// Chem. 14 (1986) 209): with equal diffusion coefficients the surface stays Nernstian, so the current
// at time t of any potential programme is the superposition of Cottrell responses,
//   i(t) = nFAC sqrt(D/pi) sum_h (g_h - g_(h-1)) / sqrt(t - t_h),   g = 1/(1 + exp(nf (E - E1/2))),
// over the potential levels h that began at t_h < t. The programme is a staircase of step dEs from
// Estart with a square wave of amplitude Esw on each tread: the forward pulse E + Esw, in the scan
// direction (E - Esw on a cathodic scan), for the first half-period tp, then the reverse pulse, sampled
// at fractions f1 and f2 of each half; the net current is the forward sample minus the reverse one.

namespace tessaly {

struct SquareWaveProgramme {
    double start = 0;      // first tread potential, V
    double step = 0;       // tread step, V, signed in the scan direction
    double amplitude = 0;  // Esw, V (its magnitude counts: the first half-period is the forward one)
    double halfPeriod = 0; // tp, s
    double fraction1 = 1;  // sampling fraction of the first half-period
    double fraction2 = 1;  // of the second
    int treads = 0;        // treads of the scan
};

struct SquareWavePeak {
    double psi = 0;       // net current (forward sample - reverse) / (nFAC sqrt(D)), s^-1/2, signed:
                          // positive for a reduction on a cathodic scan
    double potential = 0; // tread potential of the largest net current, V
};

// The tread with the largest |net current| of a reversible couple of half-wave potential halfWave (V)
// and nf = nF/RT (1/V). Multiply psi by nFAC sqrt(D) for the current in A.
SquareWavePeak reversibleSquareWavePeak(const SquareWaveProgramme& programme, double nf, double halfWave);

} // namespace tessaly
