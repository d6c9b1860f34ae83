#include "model/FitLimits.h"

#include "base/NumberText.h"

#include <algorithm>
#include <cmath>

namespace tessaly {

WidenedLimits widenedLimits(double value, double minimum, double maximum, LimitScale scale) {
    WidenedLimits w;
    if (!std::isfinite(value))
        return w;
    if (value < minimum) {
        switch (scale) {
        case LimitScale::Factor:
            w.minimum = value > 0 ? value / kLimitFactor : value * kLimitFactor;
            break;
        case LimitScale::Potential:
            w.minimum = value - kLimitPotentialMargin;
            break;
        case LimitScale::TransferCoefficient:
            w.minimum = std::max(0.0, value - kLimitAlphaMargin);
            break;
        }
    }
    if (value > maximum) {
        switch (scale) {
        case LimitScale::Factor:
            w.maximum = value > 0 ? value * kLimitFactor : value / kLimitFactor;
            break;
        case LimitScale::Potential:
            w.maximum = value + kLimitPotentialMargin;
            break;
        case LimitScale::TransferCoefficient:
            w.maximum = std::min(1.0, value + kLimitAlphaMargin);
            break;
        }
    }
    return w;
}

void widenLimitTexts(std::string& minText, std::string& maxText, double value, LimitScale scale,
                     const char* mask) {
    const WidenedLimits w = widenedLimits(value, leadingNumber(minText), leadingNumber(maxText), scale);
    if (w.minimum)
        minText = formatMask(*w.minimum, mask);
    if (w.maximum)
        maxText = formatMask(*w.maximum, mask);
}

} // namespace tessaly
