#include "plot/PlotDrawing.h"

#include "base/Failure.h"
#include "base/NumberText.h"
#include "plot/AxisScale.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>

namespace tessaly {

namespace {

// Decade searches: ordinates from 1e-15 (femtoamperes) up, abscissae from 1e-5 up.
constexpr int kYDecadeLow = -15;
constexpr int kYDecadeHigh = 8;
constexpr int kXDecadeLow = -5;
constexpr int kXDecadeHigh = 5;

// Margins around the frame as fractions of the frame's extent.
constexpr double kSideMargin = 0.08;
constexpr double kTopMargin = 0.15;
constexpr double kBottomMargin = 0.2;
constexpr double kXTitleDrop = 0.1;
constexpr double kXTickLength = 0.02;     // of dY
constexpr double kYTickLength = 0.01;     // of dX
constexpr double kYLabelOffset = 0.04;    // of dX, outside the frame
constexpr double kMarkerHalfSide = 0.005; // of dX and dY

// Raises "Subscript out of range" unless 0 <= index < size.
void checkIndexBelow(long long index, std::size_t size) {
    if (index < 0 || static_cast<unsigned long long>(index) >= size)
        raise(failure_text::subscriptOutOfRange);
}

void checkInput(const PlotInput& input, bool xAuto) {
    if (input.columns < 1)
        raise(failure_text::subscriptOutOfRange);
    checkIndexBelow(input.NCurves, static_cast<std::size_t>(input.columns));
    checkIndexBelow(input.NCurves, input.CurveColor.size());
    if (input.NCurves > kOptionSlots)
        checkIndexBelow(input.NCurves, input.CurveStyle.size());
    if (xAuto || input.first <= input.last)
        checkIndexBelow(input.first, input.abscissa.size());
    if (input.first <= input.last) {
        checkIndexBelow(input.last, input.abscissa.size());
        checkIndexBelow((static_cast<long long>(input.last) + 1) * input.columns - 1, input.curves.size());
    }
}

int curveStyleOf(const PlotInput& input, const PlotOptions& options, int c) {
    if (c <= kOptionSlots)
        return slotCurveStyle(options, c - 1);
    return input.CurveStyle[static_cast<std::size_t>(c)];
}

// A tick label: the position as an integer number of decade units.
std::string tickLabel(double position, double decade) {
    return formatMask(position / decade, "0");
}

struct Extent {
    double dX; // frame width, abscissa units
    double dY; // frame height, ordinate units
};

void drawCurves(const PlotInput& input, const PlotOptions& options, const Extent& e, Canvas& canvas) {
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
            if (style == kStyleMarkers) {
                const double x1 = x - kMarkerHalfSide * e.dX;
                const double y1 = y - kMarkerHalfSide * e.dY;
                canvas.rectangle(x1, y1, x1 + 2.0 * kMarkerHalfSide * e.dX, y1 + 2.0 * kMarkerHalfSide * e.dY,
                                 colour);
            } else {
                canvas.pixel(x, y, colour);
            }
        }
    }
}

} // namespace

PlotInput plotInputOf(const CurveStore& store, const PointArray& abscissa) {
    PlotInput input;
    input.first = store.FirstPoint;
    input.last = store.LastPoint;
    input.abscissa = abscissa.span();
    input.curves = store.Curve.data();
    input.columns = PointTable::stride();
    input.NCurves = store.NCurves;
    input.CurveStyle = store.CurveStyle;
    input.CurveColor = store.CurveColor;
    input.XTitle = store.XTitle;
    input.YTitle = store.YTitle;
    return input;
}

PlotOutcome drawPlot(const PlotInput& input, const PlotOptions& options, PlotState& state, Canvas& canvas) {
    checkInput(input, options.Xauto);
    PlotOutcome outcome;

    applyOptionsToState(options, state);
    canvas.clear();

    if (options.Xauto) {
        state.Xmin = state.Xmax = input.abscissa[static_cast<std::size_t>(input.first)];
        for (int i = input.first; i <= input.last; ++i) {
            const double x = input.abscissa[static_cast<std::size_t>(i)];
            state.Xmin = std::min(state.Xmin, x);
            state.Xmax = std::max(state.Xmax, x);
        }
    }
    if (options.Yauto) {
        // The range always reaches 0 from above and starts at most at 10 from below.
        state.Ymax = 0.0;
        state.Ymin = 10.0;
        for (int c = 1; c <= input.NCurves; ++c) {
            for (int i = input.first; i <= input.last; ++i) {
                const double y = input.curve(i, c);
                state.Ymin = std::min(state.Ymin, y);
                state.Ymax = std::max(state.Ymax, y);
            }
        }
    }

    const Decade yDecade = findDecade(std::max(state.Ymax, std::fabs(state.Ymin)), kYDecadeLow, kYDecadeHigh);
    if (yDecade.found && options.Yauto) {
        state.Ymax = roundUpLimit(state.Ymax, yDecade.unit);
        state.Ymin = roundDownLimit(state.Ymin, yDecade.unit);
    }
    const Decade xDecade = findDecade(std::max(state.Xmax, std::fabs(state.Xmin)), kXDecadeLow, kXDecadeHigh);
    if (xDecade.found && options.Xauto) {
        state.Xmax = roundUpLimit(state.Xmax, xDecade.unit);
        if (state.Xmin != 0.0) // a range starting at exactly 0 (time) keeps 0
            state.Xmin = roundDownLimit(state.Xmin, xDecade.unit);
    }
    outcome.XDecade = xDecade.unit;
    outcome.YDecade = yDecade.unit;

    const double Xmin = state.Xmin;
    const double Xmax = state.Xmax;
    const double Ymin = state.Ymin;
    const double Ymax = state.Ymax;
    const double dX = Xmax - Xmin;
    if (dX == 0.0)
        return outcome;
    // A flat frame (all ordinates equal with manual limits, or all zero) still needs a vertical extent
    // for the coordinate system and the marks: take the size of the value, or 1.
    double dY = Ymax - Ymin;
    if (dY == 0.0)
        dY = Ymax != 0.0 ? std::fabs(Ymax) : 1.0;
    const Extent extent{dX, dY};
    outcome.result = PlotResult::Drawn;

    const double top = Ymax + kTopMargin * dY;
    const double bottom = Ymin - kBottomMargin * dY;
    outcome.scale = UserScale{Xmin - kSideMargin * dX, top, Xmax + kSideMargin * dX, bottom};
    canvas.setScale(outcome.scale);

    canvas.text(Xmin - kSideMargin * dX, top,
                "  " + std::string(input.YTitle) + "  " + formatMask(yDecade.unit, "0E-0"),
                TextAnchor::TopLeft);

    if (Ymin < 0.0 && Ymax > 0.0) {
        canvas.setPen(PenStyle::Dashed);
        canvas.line(Xmin, 0.0, Xmax, 0.0, kBlack);
        canvas.setPen(PenStyle::Solid);
    }

    if (options.CheckXdir) {
        // Mirrored left to right; the Y title printed above stays where it is.
        outcome.scale = UserScale{Xmax + kSideMargin * dX, top, Xmin - kSideMargin * dX, bottom};
        canvas.setScale(outcome.scale);
    }

    canvas.rectangle(Xmin, Ymin, Xmax, Ymax, kBlack);
    canvas.text((Xmin + Xmax) / 2.0, Ymin - kXTitleDrop * dY,
                std::string(input.XTitle) + "  " + formatMask(xDecade.unit, "0E-0"), TextAnchor::TopCentre);

    drawCurves(input, options, extent, canvas);

    const TickStep xStep = tickStep(dX, xDecade.unit);
    const int xTicks = xStep.valid ? marksThrough(Xmin, Xmax, xStep.step) : 0;
    for (int j = 0; j < xTicks; ++j) {
        const double x = Xmin + j * xStep.step;
        canvas.line(x, Ymin, x, Ymin + kXTickLength * dY, kBlack);
        canvas.text(x, Ymin, tickLabel(x, xDecade.unit), TextAnchor::TopLeft);
    }

    const TickStep yStep = tickStep(Ymax, yDecade.unit);
    if (!options.CheckXdir) {
        const int yTicks = yStep.valid ? marksThrough(Ymin, Ymax, yStep.step) : 0;
        for (int j = 0; j < yTicks; ++j) {
            const double y = Ymin + j * yStep.step;
            canvas.line(Xmin, y, Xmin + kYTickLength * dX, y, kBlack);
            canvas.text(Xmin - kYLabelOffset * dX, y, tickLabel(y, yDecade.unit), TextAnchor::TopLeft);
        }
    } else {
        // Counted down from the top, so the spacing follows the lower limit. A lower limit within half a
        // decade unit of 0 (all currents of one sign) gives no count; the labels then keep the spacing of
        // the normal direction rather than vanishing.
        TickStep downStep = tickStep(Ymin, yDecade.unit);
        if (!downStep.valid)
            downStep = yStep;
        const int yTicks = downStep.valid ? marksThrough(-Ymax, -Ymin, downStep.step) : 0;
        for (int j = 0; j < yTicks; ++j) {
            const double y = Ymax - j * downStep.step;
            canvas.line(Xmax, y, Xmax - kYTickLength * dX, y, kBlack);
            canvas.text(Xmax + kYLabelOffset * dX, y, tickLabel(y, yDecade.unit), TextAnchor::TopLeft);
        }
    }

    if (state.ShowGrid) {
        canvas.setPen(PenStyle::Dashed);
        const int xLines = xStep.valid ? marksBefore(Xmin, Xmax, xStep.step) : 0;
        for (int j = 0; j < xLines; ++j) {
            const double x = Xmin + j * xStep.step;
            canvas.line(x, Ymin, x, Ymax, kBlack);
        }
        const int yLines = yStep.valid ? marksBefore(Ymin, Ymax, yStep.step) : 0;
        for (int j = 0; j < yLines; ++j) {
            const double y = Ymin + j * yStep.step;
            canvas.line(Xmin, y, Xmax, y, kBlack);
        }
        canvas.setPen(PenStyle::Solid);
    }
    return outcome;
}

} // namespace tessaly
