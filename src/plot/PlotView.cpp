#include "plot/PlotView.h"

#include "plot/AxisScale.h"

#include <algorithm>
#include <cmath>

namespace tessaly {

namespace {

// Smallest span of a view relative to the larger magnitude of its edges.
constexpr double kSmallestRelativeSpan = 1e-12;

bool usableAxis(double low, double high) {
    if (!std::isfinite(low) || !std::isfinite(high) || !(high > low))
        return false;
    const double magnitude = std::max(std::fabs(low), std::fabs(high));
    return high - low > kSmallestRelativeSpan * magnitude && high - low > 1e-300;
}

} // namespace

ViewRange frameView(const PlotState& state) {
    return {state.Xmin, state.Xmax, state.Ymin, state.Ymax};
}

ViewRange zoomedAbout(const ViewRange& view, double x, double y, double factorX, double factorY) {
    return {x + (view.Xmin - x) * factorX, x + (view.Xmax - x) * factorX, y + (view.Ymin - y) * factorY,
            y + (view.Ymax - y) * factorY};
}

ViewRange panned(const ViewRange& view, double dx, double dy) {
    return {view.Xmin + dx, view.Xmax + dx, view.Ymin + dy, view.Ymax + dy};
}

ViewRange boxView(double x1, double y1, double x2, double y2) {
    return {std::min(x1, x2), std::max(x1, x2), std::min(y1, y2), std::max(y1, y2)};
}

bool usableView(const ViewRange& view) {
    return usableAxis(view.Xmin, view.Xmax) && usableAxis(view.Ymin, view.Ymax);
}

PlotLimits viewLimits(const ViewRange& view) {
    PlotLimits limits;
    limits.Xmin = view.Xmin;
    limits.Xmax = view.Xmax;
    limits.Ymin = view.Ymin;
    limits.Ymax = view.Ymax;
    limits.XDecade = alignedMarks(view.Xmin, view.Xmax, kViewMarks).unit;
    limits.YDecade = alignedMarks(view.Ymin, view.Ymax, kViewMarks).unit;
    limits.aligned = true;
    return limits;
}

} // namespace tessaly
