#pragma once
// The limits of a fitted quantity when its value is typed: left alone while they still contain it; a
// limit the value has passed moves beyond it by the quantity's margin (a factor of 10 for rate constants,
// diffusion coefficients and concentrations, 0.1 V for a formal potential, 0.1 for a transfer
// coefficient, within 0..1), so a fit started there can move either way.

#include <optional>
#include <string>

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

// The same on the limit texts of a dialog: a limit that moves is rewritten in the number mask `mask`
// ("#.###e-#"), a limit that still holds the value keeps its text.
void widenLimitTexts(std::string& minText, std::string& maxText, double value, LimitScale scale,
                     const char* mask);

// The rule as the dialogs tell it to the user.
inline constexpr const char* kLimitRuleText =
    "A typed start value leaves its limits alone while they contain it; a limit it passes moves beyond it: "
    "x10 for rate constants, D, C, Ru, Cdl and the area, 0.1 V for E', 0.1 for a (within 0..1).";

} // namespace tessaly
