#include "plot/PlotDrawing.h"

#include "base/NumberText.h"
#include "plot/AxisScale.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>
#include <vector>

namespace tessaly {

namespace {

// Margins around the frame as fractions of the frame's extent.
constexpr double kSideMargin = 0.08;
constexpr double kTopMargin = 0.15;
constexpr double kBottomMargin = 0.2;
constexpr double kXTitleDrop = 0.1;
constexpr double kXTickLength = 0.02;     // of dY
constexpr double kYTickLength = 0.01;     // of dX
constexpr double kYLabelOffset = 0.04;    // of dX, outside the frame
constexpr double kMarkerHalfSide = 0.005; // of dX and dY

int curveStyleOf(const PlotInput& input, const PlotOptions& options, int c) {
    if (c <= kOptionSlots)
        return slotCurveStyle(options, c - 1);
    return input.CurveStyle[static_cast<std::size_t>(c)];
}

// A tick label: the position as an integer number of decade units.
std::string tickLabel(double position, double decade) {
    return formatMask(position / decade, "0");
}

// The frame of a drawing with a non-empty X range.
struct Frame {
    double Xmin, Xmax, Ymin, Ymax; // limits, abscissa and ordinate units
    double dX;                     // frame width, abscissa units
    double dY;                     // frame height, ordinate units; never 0
    double XDecade, YDecade;       // units of the tick labels
    bool aligned;                  // a user's view: marks on round multiples, not from the edges
};

Frame frameOf(const PlotLimits& limits) {
    // A flat frame (all ordinates equal with manual limits, or all zero) still needs a vertical extent
    // for the coordinate system and the marks: take the size of the value, or 1.
    double dY = limits.Ymax - limits.Ymin;
    if (dY == 0.0)
        dY = limits.Ymax != 0.0 ? std::fabs(limits.Ymax) : 1.0;
    return Frame{.Xmin = limits.Xmin,
                 .Xmax = limits.Xmax,
                 .Ymin = limits.Ymin,
                 .Ymax = limits.Ymax,
                 .dX = limits.Xmax - limits.Xmin,
                 .dY = dY,
                 .XDecade = limits.XDecade,
                 .YDecade = limits.YDecade,
                 .aligned = limits.aligned};
}

void drawCurves(const PlotInput& input, const PlotOptions& options, const Frame& e, Canvas& canvas) {
    canvas.beginCurves(e.Xmin, e.Ymin, e.Xmax, e.Ymax);
    for (int c = 1; c <= input.NCurves; ++c) {
        const int style = curveStyleOf(input, options, c);
        const Colour colour = input.CurveColor[static_cast<std::size_t>(c)];
        if (input.first > input.last)
            continue;
        if (style == kStyleLine) {
            canvas.pixel(input.abscissa[static_cast<std::size_t>(input.first)], input.curve(input.first, c),
                         kBlack);
            for (int i = input.first + 1; i <= input.last; ++i)
                canvas.line(input.abscissa[static_cast<std::size_t>(i)], input.curve(i, c),
                            input.abscissa[static_cast<std::size_t>(i - 1)], input.curve(i - 1, c), colour);
            continue;
        }
        for (int i = input.first; i <= input.last; ++i) {
            const double x = input.abscissa[static_cast<std::size_t>(i)];
            const double y = input.curve(i, c);
            if (style == kStyleMarkers)
                canvas.marker(x, y, kMarkerHalfSide * e.dX, kMarkerHalfSide * e.dY, colour);
            else
                canvas.pixel(x, y, colour);
        }
    }
    canvas.endCurves();
}

// The corner of the frame where the legend hides the fewest points: of a region 45 % of the frame wide
// and a row of 6 % of its height per entry, upper right first on a tie.
LegendCorner emptiestCorner(const PlotInput& input, const Frame& f, bool mirrored, int rows) {
    const double height = std::min(0.9, 0.04 + 0.06 * rows) * f.dY;
    const double width = 0.45 * f.dX;
    constexpr LegendCorner corners[] = {LegendCorner::UpperRight, LegendCorner::UpperLeft,
                                        LegendCorner::LowerRight, LegendCorner::LowerLeft};
    LegendCorner best = LegendCorner::UpperRight;
    long fewest = -1;
    for (const LegendCorner corner : corners) {
        const bool right = corner == LegendCorner::UpperRight || corner == LegendCorner::LowerRight;
        const bool upper = corner == LegendCorner::UpperRight || corner == LegendCorner::UpperLeft;
        const bool highX = right != mirrored; // the screen's right is Xmax unless the axis is mirrored
        const double xLow = highX ? f.Xmax - width : f.Xmin;
        const double yLow = upper ? f.Ymax - height : f.Ymin;
        long inside = 0;
        for (int c = 1; c <= input.NCurves; ++c)
            for (int i = input.first; i <= input.last; ++i) {
                const double x = input.abscissa[static_cast<std::size_t>(i)];
                const double y = input.curve(i, c);
                inside += x >= xLow && x <= xLow + width && y >= yLow && y <= yLow + height ? 1 : 0;
            }
        if (fewest < 0 || inside < fewest) {
            fewest = inside;
            best = corner;
        }
    }
    return best;
}

// The names of the curves that have one, in the corner of the frame that hides the fewest points.
void drawLegend(const PlotInput& input, const PlotOptions& options, const Frame& f, Canvas& canvas) {
    std::vector<LegendEntry> entries;
    for (int c = 1; c <= input.NCurves && static_cast<std::size_t>(c) < input.CurveName.size(); ++c) {
        const std::string& name = input.CurveName[static_cast<std::size_t>(c)];
        if (!name.empty())
            entries.push_back(
                {name, input.CurveColor[static_cast<std::size_t>(c)], curveStyleOf(input, options, c)});
    }
    if (!entries.empty())
        canvas.legend(f.Xmin, f.Ymin, f.Xmax, f.Ymax,
                      emptiestCorner(input, f, options.CheckXdir, static_cast<int>(entries.size())), entries);
}

// Marks of a user's view: on the round multiples of each axis, labelled in the axis' unit; the grid
// through the marks inside the frame.
void drawAlignedMarks(const Frame& f, bool mirrored, bool grid, Canvas& canvas) {
    const AlignedMarks xMarks = alignedMarks(f.Xmin, f.Xmax, kViewMarks);
    const AlignedMarks yMarks = alignedMarks(f.Ymin, f.Ymax, kViewMarks);
    for (int j = 0; j < xMarks.count; ++j) {
        const double x = xMarks.first + j * xMarks.step;
        canvas.line(x, f.Ymin, x, f.Ymin + kXTickLength * f.dY, kBlack);
        canvas.text(x, f.Ymin, tickLabel(x, f.XDecade), TextAnchor::TopLeft);
    }
    const double edge = mirrored ? f.Xmax : f.Xmin;
    const double inward = mirrored ? -1.0 : 1.0;
    for (int j = 0; j < yMarks.count; ++j) {
        const double y = yMarks.first + j * yMarks.step;
        canvas.line(edge, y, edge + inward * kYTickLength * f.dX, y, kBlack);
        canvas.text(edge - inward * kYLabelOffset * f.dX, y, tickLabel(y, f.YDecade), TextAnchor::TopLeft);
    }
    if (!grid)
        return;
    canvas.setPen(PenStyle::Dashed);
    for (int j = 0; j < xMarks.count; ++j) {
        const double x = xMarks.first + j * xMarks.step;
        if (x > f.Xmin && x < f.Xmax)
            canvas.line(x, f.Ymin, x, f.Ymax, kBlack);
    }
    for (int j = 0; j < yMarks.count; ++j) {
        const double y = yMarks.first + j * yMarks.step;
        if (y > f.Ymin && y < f.Ymax)
            canvas.line(f.Xmin, y, f.Xmax, y, kBlack);
    }
    canvas.setPen(PenStyle::Solid);
}

// The Y title, the zero line, the frame and the X title; returns the coordinate system the rest is
// drawn in (mirrored left to right when the options ask for it).
UserScale drawFrame(const PlotInput& input, bool mirrored, const Frame& f, Canvas& canvas) {
    const double top = f.Ymax + kTopMargin * f.dY;
    const double bottom = f.Ymin - kBottomMargin * f.dY;
    UserScale scale{f.Xmin - kSideMargin * f.dX, top, f.Xmax + kSideMargin * f.dX, bottom};
    canvas.setScale(scale);

    canvas.text(f.Xmin - kSideMargin * f.dX, top,
                "  " + std::string(input.YTitle) + "  " + formatMask(f.YDecade, "0E-0"), TextAnchor::TopLeft);

    if (f.Ymin < 0.0 && f.Ymax > 0.0) {
        canvas.setPen(PenStyle::Dashed);
        canvas.line(f.Xmin, 0.0, f.Xmax, 0.0, kBlack);
        canvas.setPen(PenStyle::Solid);
    }

    if (mirrored) {
        // Mirrored left to right; the Y title printed above stays where it is.
        scale = UserScale{f.Xmax + kSideMargin * f.dX, top, f.Xmin - kSideMargin * f.dX, bottom};
        canvas.setScale(scale);
    }

    canvas.rectangle(f.Xmin, f.Ymin, f.Xmax, f.Ymax, kBlack);
    canvas.text((f.Xmin + f.Xmax) / 2.0, f.Ymin - kXTitleDrop * f.dY,
                std::string(input.XTitle) + "  " + formatMask(f.XDecade, "0E-0"), TextAnchor::TopCentre);
    return scale;
}

void drawXMarks(const Frame& f, const TickStep& xStep, Canvas& canvas) {
    const int xTicks = xStep.valid ? marksThrough(f.Xmin, f.Xmax, xStep.step) : 0;
    for (int j = 0; j < xTicks; ++j) {
        const double x = f.Xmin + j * xStep.step;
        canvas.line(x, f.Ymin, x, f.Ymin + kXTickLength * f.dY, kBlack);
        canvas.text(x, f.Ymin, tickLabel(x, f.XDecade), TextAnchor::TopLeft);
    }
}

void drawYMarks(const Frame& f, const TickStep& yStep, bool mirrored, Canvas& canvas) {
    if (!mirrored) {
        const int yTicks = yStep.valid ? marksThrough(f.Ymin, f.Ymax, yStep.step) : 0;
        for (int j = 0; j < yTicks; ++j) {
            const double y = f.Ymin + j * yStep.step;
            canvas.line(f.Xmin, y, f.Xmin + kYTickLength * f.dX, y, kBlack);
            canvas.text(f.Xmin - kYLabelOffset * f.dX, y, tickLabel(y, f.YDecade), TextAnchor::TopLeft);
        }
        return;
    }
    // Counted down from the top, so the spacing follows the lower limit. A lower limit within half a
    // decade unit of 0 (all currents of one sign) gives no count; the labels then keep the spacing of
    // the normal direction rather than vanishing.
    TickStep downStep = tickStep(f.Ymin, f.YDecade);
    if (!downStep.valid)
        downStep = yStep;
    const int yTicks = downStep.valid ? marksThrough(-f.Ymax, -f.Ymin, downStep.step) : 0;
    for (int j = 0; j < yTicks; ++j) {
        const double y = f.Ymax - j * downStep.step;
        canvas.line(f.Xmax, y, f.Xmax - kYTickLength * f.dX, y, kBlack);
        canvas.text(f.Xmax + kYLabelOffset * f.dX, y, tickLabel(y, f.YDecade), TextAnchor::TopLeft);
    }
}

void drawGrid(const Frame& f, const TickStep& xStep, const TickStep& yStep, Canvas& canvas) {
    canvas.setPen(PenStyle::Dashed);
    const int xLines = xStep.valid ? marksBefore(f.Xmin, f.Xmax, xStep.step) : 0;
    for (int j = 0; j < xLines; ++j) {
        const double x = f.Xmin + j * xStep.step;
        canvas.line(x, f.Ymin, x, f.Ymax, kBlack);
    }
    const int yLines = yStep.valid ? marksBefore(f.Ymin, f.Ymax, yStep.step) : 0;
    for (int j = 0; j < yLines; ++j) {
        const double y = f.Ymin + j * yStep.step;
        canvas.line(f.Xmin, y, f.Xmax, y, kBlack);
    }
    canvas.setPen(PenStyle::Solid);
}

} // namespace

PlotOutcome drawPlot(const PlotInput& input, const PlotOptions& options, PlotState& state, Canvas& canvas,
                     const ViewRange* view) {
    PlotLimits limits = plotLimits(input, options); // checks every index before anything is drawn
    if (view != nullptr && usableView(*view))
        limits = viewLimits(*view);
    applyOptionsToState(options, state);
    keepFrame(limits, state);
    canvas.clear();

    PlotOutcome outcome;
    outcome.XDecade = limits.XDecade;
    outcome.YDecade = limits.YDecade;
    if (!limits.hasXRange())
        return outcome;
    outcome.result = PlotResult::Drawn;

    const Frame frame = frameOf(limits);
    outcome.scale = drawFrame(input, options.CheckXdir, frame, canvas);
    drawCurves(input, options, frame, canvas);
    drawLegend(input, options, frame, canvas);
    if (frame.aligned) {
        drawAlignedMarks(frame, options.CheckXdir, state.ShowGrid, canvas);
        return outcome;
    }
    const TickStep xStep = tickStep(frame.dX, frame.XDecade);
    const TickStep yStep = tickStep(frame.Ymax, frame.YDecade);
    drawXMarks(frame, xStep, canvas);
    drawYMarks(frame, yStep, options.CheckXdir, canvas);
    if (state.ShowGrid)
        drawGrid(frame, xStep, yStep, canvas);
    return outcome;
}

} // namespace tessaly
