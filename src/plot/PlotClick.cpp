#include "plot/PlotClick.h"

#include "base/NumberText.h"

#include <algorithm>
#include <cfloat>
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
    // Round to single precision where it can hold the value (beyond its range the cast is undefined),
    // then show no more than the seven significant decimal digits a single carries, as the decimal
    // number those digits spell rather than the binary value of the single widened to double.
    const double single =
        std::fabs(value) <= FLT_MAX ? static_cast<double>(static_cast<float>(value)) : value;
    char digits[32];
    std::snprintf(digits, sizeof digits, "%.7g", single);
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
