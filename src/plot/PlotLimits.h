#pragma once
// The frame of a plot without drawing it: what a drawing reads from the curve store, and the limits
// it draws in (the manual limits of the options, or the data's range rounded out to whole decade
// units). The painter draws in these limits, and Find Peak measures peaks against the same Y range,
// so both see one frame whether or not a window has painted.

#include "curves/CurveStore.h"
#include "plot/PlotOptions.h"
#include "plot/PlotState.h"

#include <span>
#include <string>
#include <string_view>

namespace tessaly {

// What one drawing reads from the curve store. The spans view the store's whole arrays; nothing is
// copied.
struct PlotInput {
    int first = 0;                      // first point of the active range
    int last = -1;                      // last point of the active range, inclusive
    std::span<const double> abscissa;   // abscissa of each point (potential, V, or time, s)
    std::span<const double> curves;     // ordinates, point-major: point i of curve c at i·columns + c
    int columns = 17;                   // curve columns per point (column 0 is never drawn)
    int NCurves = 0;                    // the plot draws columns 1..NCurves
    std::span<const int> CurveStyle;    // drawing style of each curve, indexed by column
    std::span<const Colour> CurveColor; // colour of each curve, indexed by column
    std::string_view XTitle;
    std::string_view YTitle;
    std::span<const std::string> CurveName; // legend name of each curve by column; empty: no legend

    double curve(int i, int c) const {
        return curves[static_cast<std::size_t>(i) * static_cast<std::size_t>(columns) +
                      static_cast<std::size_t>(c)];
    }
};

// The view of the store's active range, its curves, styles, colours and titles against an abscissa
// (the store's `E` or `XAxis`).
PlotInput plotInputOf(const CurveStore& store, const PointArray& abscissa);

// The frame of one drawing and the units of its tick labels.
struct PlotLimits {
    double Xmin = 0.0;    // left frame limit, abscissa units (V or s)
    double Xmax = 0.0;    // right frame limit, abscissa units
    double Ymin = 0.0;    // lower frame limit, ordinate units (A, mol/L or V)
    double Ymax = 0.0;    // upper frame limit, ordinate units
    double XDecade = 1.0; // unit of the X tick labels, abscissa units
    double YDecade = 1.0; // unit of the Y tick labels, ordinate units
    // A frame the user zoomed or panned to: its edges are not whole decade units, so the marks stand
    // on round multiples of a step (alignedMarks) and are labelled in units of XDecade and YDecade.
    bool aligned = false;

    // An empty X range draws nothing: the caller reports "no data".
    bool hasXRange() const { return Xmax - Xmin != 0.0; }
};

// The limits a drawing of `input` under `options` uses. An automatic X range spans the abscissa of
// the active range; an automatic Y range spans curves 1..NCurves and always reaches 0 from above and
// starts at most at 10 from below; both are then rounded out to whole decade units (an X range that
// starts at exactly 0, a time axis, keeps 0). A manual range is the options' texts read as numbers.
// An index beyond the arrays raises "Subscript out of range".
PlotLimits plotLimits(const PlotInput& input, const PlotOptions& options);

// Keeps a drawing's frame in the plot state, where the mouse handlers test clicks against it.
void keepFrame(const PlotLimits& limits, PlotState& state);

} // namespace tessaly
