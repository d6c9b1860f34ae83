#pragma once
// The limits of a fitted quantity when its value is typed: left alone while they still contain it; a
// limit the value has passed moves beyond it by the quantity's margin (a factor of 10 for rate constants,
// diffusion coefficients and concentrations, 0.1 V for a formal potential, 0.1 for a transfer
// coefficient, within 0..1), so a fit started there can move either way.

#include <optional>

namespace tessaly {

inline constexpr double kLimitFactor = 10;        // rate constants, D, C
inline constexpr double kLimitPotentialMargin = 0.1; // V, E'
inline constexpr double kLimitAlphaMargin = 0.1;  // alpha

enum class LimitScale { Factor, Potential, TransferCoefficient };

struct WidenedLimits {
    std::optional<double> minimum; // the new minimum, when it moves
    std::optional<double> maximum; // the new maximum, when it moves
};

WidenedLimits widenedLimits(double value, double minimum, double maximum, LimitScale scale);

} // namespace tessaly
