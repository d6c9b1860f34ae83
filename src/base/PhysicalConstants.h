#pragma once
// The physical constants of the program, each defined once. Every simulated current, fitted constant and
// report number depends on these values, so they stay as the program has always used them (close to the
// 1973 CODATA set, and an absolute zero of -273.14 C) rather than the latest recommended ones.

namespace tessaly {

inline constexpr double kFaraday = 96484.6;      // F, C/mol
inline constexpr double kGasConstant = 8.31441;  // R, J/(mol K)
inline constexpr double kCelsiusOffset = 273.14; // K: T = t(C) + 273.14

// F in C per mmol: n F A C times this scale gives amperes for C in mol/L (= mmol/cm3) and fluxes in cm/s.
inline constexpr double kFaradayPerMillimole = kFaraday / 1000; // C/mmol
static_assert(kFaradayPerMillimole == 96.4846);

// F/RT at 25 C, 1/V: the start-up value, before the first commit reads the temperature.
inline constexpr double kFRT25 = kFaraday / (kGasConstant * (25 + kCelsiusOffset));

} // namespace tessaly
