#pragma once
// A measured cyclic voltammogram as instrument software writes it, for the long-curve benchmarks: one
// cycle 0.5 -> -0.5 -> 0.5 V with a reduction peak (forward) and an oxidation peak (reverse) of sech^2
// shape 30 mV wide, tab columns with a header, currents anodic positive in A.

#include <cmath>
#include <cstdio>
#include <string>

namespace tessaly::bench {

// `points` samples `secondsPerPoint` apart; `backgroundSlope` (A/V) adds a sloping background.
inline std::string measuredCycleText(int points, double secondsPerPoint, double backgroundSlope) {
    std::string text = "Time (s)\tPotential applied (V)\tWE(1).Current (A)\tScan\n";
    text.reserve(static_cast<std::size_t>(points) * 40);
    char line[96];
    const int half = points / 2;
    for (int k = 0; k < points; ++k) {
        const bool forward = k < half;
        const int j = forward ? k : points - 1 - k;
        const double E = 0.5 - 1.0 * j / (half - 1);
        const double x = (E + (forward ? 0.03 : -0.03)) / 0.03;
        const double i = (forward ? -1e-6 : 0.8e-6) / (std::cosh(x) * std::cosh(x)) - backgroundSlope * E;
        std::snprintf(line, sizeof line, "%.6f\t%.7f\t%.6e\t1\n", secondsPerPoint * k, E, i);
        text += line;
    }
    return text;
}

} // namespace tessaly::bench
