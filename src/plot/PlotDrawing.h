#pragma once
// The plot: the curves of the curve store against an abscissa, in a frame whose limits are either
// the manual limits of the options or found from the data and rounded out to whole decade units,
// with tick labels that are integers in units of the axis' decade and the decade printed once after
// each axis title.

#include "base/UserPort.h"
#include "curves/CurveStore.h"
#include "plot/Canvas.h"
#include "plot/PlotOptions.h"
#include "plot/PlotState.h"

#include <span>
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

    double curve(int i, int c) const {
        return curves[static_cast<std::size_t>(i) * static_cast<std::size_t>(columns) +
                      static_cast<std::size_t>(c)];
    }
};

// The view of the store's active range, its curves, styles, colours and titles against an abscissa
// (the store's `E` or `XAxis`).
PlotInput plotInputOf(const CurveStore& store, const PointArray& abscissa);

enum class PlotResult {
    Drawn,
    NoData, // the X range is empty: the caller shows kNoDataText, titled kNoDataTitle, with the error icon
};

inline constexpr const char* kNoDataText = "Error: No data!";
inline constexpr const char* kNoDataTitle = "Error";
inline constexpr MessageIcon kNoDataIcon = MessageIcon::Critical;

struct PlotOutcome {
    PlotResult result = PlotResult::NoData;
    double XDecade = 1.0; // unit of the X tick labels, abscissa units
    double YDecade = 1.0; // unit of the Y tick labels, ordinate units
    UserScale scale;      // coordinate system in force at the end of the drawing
};

// Draws the plot on the canvas, after clearing it. Reads the options afresh (grid and overlap
// switches and manual limits go into `state`), finds and rounds the automatic limits, and leaves the
// frame limits of this drawing in `state`. Slots 1..6 are drawn in the style their option buttons
// give; curves beyond them in `CurveStyle`. An index beyond the arrays raises "Subscript out of
// range" before anything is drawn.
PlotOutcome drawPlot(const PlotInput& input, const PlotOptions& options, PlotState& state, Canvas& canvas);

} // namespace tessaly
