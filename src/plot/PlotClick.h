#pragma once
// Clicks on the plot: whether a point lies in the frame of the last drawing (the pointer is a cross
// there and a click prints its coordinates), and the coordinate text a click prints above the graph.

#include "plot/Canvas.h"
#include "plot/PlotState.h"

#include <string>
#include <string_view>

namespace tessaly {

// Xmin <= x <= Xmax and Ymin <= y <= Ymax, in plot coordinates.
bool insideFrame(const PlotState& state, double x, double y);

// The text "x=…, y=…" with both coordinates in single precision (seven significant digits) in the
// general number form, and where it goes: ((Xmin + Xmax)/2, Ymax + 0.08·max(Ymax, |Ymin|)), its top
// centred on that point.
struct ClickLabel {
    double x = 0.0; // anchor, abscissa units
    double y = 0.0; // anchor, ordinate units
    std::string text;
};
ClickLabel clickLabel(const PlotState& state, double x, double y);

// Prints a click label on the canvas (after the plot has been redrawn).
void printClickLabel(const ClickLabel& label, Canvas& canvas);

// The pointer's place as the status bar reads it out: the quantity and unit of each axis from its
// title ("E /V", "i /A"), currents and concentrations with the SI prefix that suits the frame, and as
// many decimals as resolve a thousandth of the frame: "E = 0.215 V   i = 1.23 µA".
std::string pointerReadout(std::string_view xTitle, std::string_view yTitle, const PlotState& frame, double x,
                           double y);

// A value as single precision shows it in the general number form ("0.1" for 0.1, "0.3333333" for
// 1/3, "1.5E-06" for 1.5e-6).
std::string singlePrecisionText(double value);

} // namespace tessaly
