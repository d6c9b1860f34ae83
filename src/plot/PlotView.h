#pragma once
// Exploring the plot: a frame the user chose by zooming (wheel or box) or panning (drag), in the units
// of the axes. It replaces the frame of the options until the user returns to it (Home, double-click)
// or a command draws anew. The arithmetic here is free of any window.

#include "plot/PlotLimits.h"
#include "plot/PlotState.h"

namespace tessaly {

struct ViewRange {
    double Xmin = 0.0; // left edge, abscissa units
    double Xmax = 1.0; // right edge, abscissa units
    double Ymin = 0.0; // lower edge, ordinate units
    double Ymax = 1.0; // upper edge, ordinate units
};

// The frame of the last drawing.
ViewRange frameView(const PlotState& state);

// The view scaled by `factorX` and `factorY` (below 1 zooms in) about the point (x, y), which stays
// where it is on the screen.
ViewRange zoomedAbout(const ViewRange& view, double x, double y, double factorX, double factorY);

// The view moved by (dx, dy) axis units.
ViewRange panned(const ViewRange& view, double dx, double dy);

// The box with corners (x1, y1) and (x2, y2), edges in order.
ViewRange boxView(double x1, double y1, double x2, double y2);

// Whether a view can be drawn: finite edges in order, each span at least a millionth of a millionth
// of the axis' magnitude (below that the marks could not be told apart).
bool usableView(const ViewRange& view);

// The limits of a drawing in a view: its edges, marks on round multiples, each axis labelled in the
// unit of its marks.
PlotLimits viewLimits(const ViewRange& view);

// Marks wanted on each axis of a view.
inline constexpr int kViewMarks = 6;

} // namespace tessaly
