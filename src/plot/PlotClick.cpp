#include "plot/PlotClick.h"

#include "base/NumberText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace tessaly {

namespace {

constexpr double kLabelRise = 0.08; // of the larger of |Ymax| and |Ymin|, above Ymax

} // namespace

bool insideFrame(const PlotState& state, double x, double y) {
    return state.Xmin <= x && x <= state.Xmax && state.Ymin <= y && y <= state.Ymax;
}

std::string singlePrecisionText(double value) {
    const float single = static_cast<float>(value);
    if (!std::isfinite(single))
        return generalForm(static_cast<double>(single));
    // A single carries about seven significant decimal digits: show no more than that, as the
    // decimal number those digits spell (not the binary value of the single widened to double).
    char digits[32];
    std::snprintf(digits, sizeof digits, "%.7g", static_cast<double>(single));
    return generalForm(std::strtod(digits, nullptr));
}

ClickLabel clickLabel(const PlotState& state, double x, double y) {
    ClickLabel label;
    label.x = (state.Xmin + state.Xmax) / 2.0;
    label.y = state.Ymax + kLabelRise * std::max(state.Ymax, std::fabs(state.Ymin));
    label.text = "x=" + singlePrecisionText(x) + ", y=" + singlePrecisionText(y);
    return label;
}

void printClickLabel(const ClickLabel& label, Canvas& canvas) {
    canvas.text(label.x, label.y, label.text, TextAnchor::TopCentre);
}

} // namespace tessaly
