#pragma once
// The plot: the curves of the curve store against an abscissa, in a frame whose limits are either
// the manual limits of the options or found from the data and rounded out to whole decade units,
// with tick labels that are integers in units of the axis' decade and the decade printed once after
// each axis title.

#include "base/UserPort.h"
#include "plot/Canvas.h"
#include "plot/PlotLimits.h"
#include "plot/PlotOptions.h"
#include "plot/PlotState.h"
#include "plot/PlotView.h"

namespace tessaly {

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

// Draws the plot on the canvas, after clearing it, in the frame `plotLimits` gives. Reads the options
// afresh (grid and overlap switches and manual limits go into `state`) and leaves the frame limits of
// this drawing in `state`. Slots 1..6 are drawn in the style their option buttons
// give; curves beyond them in `CurveStyle`. The curves that have a name are listed in a legend. An
// index beyond the arrays raises "Subscript out of range" before anything is drawn. A usable `view`
// (the user's zoom or pan) replaces the frame of the options, with marks on round multiples.
PlotOutcome drawPlot(const PlotInput& input, const PlotOptions& options, PlotState& state, Canvas& canvas,
                     const ViewRange* view = nullptr);

} // namespace tessaly
