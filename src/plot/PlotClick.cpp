#include "plot/PlotClick.h"

#include "base/NumberText.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

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

namespace {

std::string_view trim(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

// One axis: "Q = value unit", the value scaled to a prefix for amperes and mol/L.
std::string axisReadout(std::string_view title, double low, double high, double value) {
    const auto slash = title.find('/');
    const std::string quantity(trim(title.substr(0, slash)));
    const std::string unit(slash == std::string_view::npos ? std::string_view()
                                                           : trim(title.substr(slash + 1)));
    double scale = 1.0;
    std::string prefix;
    if (unit == "A" || unit == "M") {
        static constexpr std::pair<double, const char*> kPrefixes[] = {
            {1.0, ""}, {1e-3, "m"}, {1e-6, "\u00b5"}, {1e-9, "n"}, {1e-12, "p"}, {1e-15, "f"}};
        const double magnitude = std::max(std::fabs(low), std::fabs(high));
        for (const auto& [factor, name] : kPrefixes) {
            scale = factor;
            prefix = name;
            if (magnitude >= factor)
                break;
        }
    }
    const double span = std::fabs(high - low) / scale;
    int decimals = 0;
    if (span > 0.0 && std::isfinite(span))
        decimals = std::clamp(static_cast<int>(std::ceil(-std::log10(span / 1000.0))), 0, 12);
    double shown = value / scale;
    if (std::fabs(shown) < 0.5 * std::pow(10.0, -decimals))
        shown = 0.0; // no "-0.000"
    char digits[64];
    std::snprintf(digits, sizeof digits, "%.*f", decimals, shown);
    std::string text = (quantity.empty() ? std::string("x") : quantity) + " = " + digits;
    if (!unit.empty())
        text += " " + prefix + unit;
    return text;
}

} // namespace

std::string pointerReadout(std::string_view xTitle, std::string_view yTitle, const PlotState& frame, double x,
                           double y) {
    return axisReadout(xTitle, frame.Xmin, frame.Xmax, x) + "   " +
           axisReadout(yTitle, frame.Ymin, frame.Ymax, y);
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
