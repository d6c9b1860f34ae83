#include "PlotTestSupport.h"
#include "base/Checked.h"
#include "base/Failure.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tessaly::test {
namespace {

using PlotDrawing = PlotFixture;

TEST_F(PlotDrawing, MicroampereCurveGetsMicroampereDecadeAndLabelsZeroToNine) {
    setAbscissa(16, -0.5, 0.5);
    setCurve(1, 1.2e-6, 8.7e-6);
    const PlotOutcome outcome = draw();

    ASSERT_EQ(outcome.result, PlotResult::Drawn);
    EXPECT_DOUBLE_EQ(outcome.YDecade, 1e-6);
    EXPECT_DOUBLE_EQ(state.Ymax, 9e-6);
    EXPECT_EQ(state.Ymin, 0.0); // trunc(1.2) - 1 = 0 units
    const double dX = state.Xmax - state.Xmin;
    const double dY = state.Ymax - state.Ymin;

    // The Y title at the top-left corner of the window, ending in the decade.
    const std::vector<CanvasCall> texts = canvas.callsOf(CanvasOp::Text);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front().text, "  i /A  1E-6");
    EXPECT_DOUBLE_EQ(texts.front().x1, state.Xmin - 0.08 * dX);
    EXPECT_DOUBLE_EQ(texts.front().y1, state.Ymax + 0.15 * dY);

    const std::vector<std::string> expected = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
    EXPECT_EQ(textsAtX(state.Xmin - 0.04 * dX), expected);

    // The frame and the window edges with their margins.
    const std::vector<CanvasCall> frames = canvas.callsOf(CanvasOp::Rectangle);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].x1, state.Xmin);
    EXPECT_EQ(frames[0].y1, state.Ymin);
    EXPECT_EQ(frames[0].x2, state.Xmax);
    EXPECT_EQ(frames[0].y2, state.Ymax);
    EXPECT_DOUBLE_EQ(canvas.scale().left, state.Xmin - 0.08 * dX);
    EXPECT_DOUBLE_EQ(canvas.scale().right, state.Xmax + 0.08 * dX);
    EXPECT_DOUBLE_EQ(canvas.scale().top, state.Ymax + 0.15 * dY);
    EXPECT_DOUBLE_EQ(canvas.scale().bottom, state.Ymin - 0.2 * dY);
}

TEST_F(PlotDrawing, PotentialAxisGetsTenthsOfAVolt) {
    setAbscissa(101, -0.5, 0.5);
    setCurve(1, -2e-6, 3e-6);
    const PlotOutcome outcome = draw();

    EXPECT_DOUBLE_EQ(outcome.XDecade, 0.1);
    EXPECT_DOUBLE_EQ(state.Xmax, 0.6);
    EXPECT_DOUBLE_EQ(state.Xmin, -0.6);
    const double dY = state.Ymax - state.Ymin;
    EXPECT_EQ(textsAtY(state.Ymin - 0.1 * dY), std::vector<std::string>{"E /V  1E-1"});
    const std::vector<std::string> labels = {"-6", "-5", "-4", "-3", "-2", "-1", "0",
                                             "1",  "2",  "3",  "4",  "5",  "6"};
    EXPECT_EQ(xTickLabels(), labels);
    // One black tick per label, rising 2 % of the frame height from the bottom edge.
    int ticks = 0;
    for (const CanvasCall& line : canvas.callsOf(CanvasOp::Line)) {
        if (line.x1 == line.x2 && line.y1 == state.Ymin && line.colour == kBlack) {
            EXPECT_NEAR(line.y2 - line.y1, 0.02 * dY, 1e-12 * dY);
            ++ticks;
        }
    }
    EXPECT_EQ(ticks, 13);
}

TEST_F(PlotDrawing, TimeAxisFromZeroKeepsZero) {
    setAbscissa(11, 0.0, 10.0);
    setCurve(1, 1e-3, 2e-3);
    store.XTitle = "t /s";
    const PlotOutcome outcome = draw();

    EXPECT_DOUBLE_EQ(outcome.XDecade, 10.0);
    EXPECT_DOUBLE_EQ(state.Xmax, 20.0);
    EXPECT_EQ(state.Xmin, 0.0);
    EXPECT_EQ(xTickLabels(), (std::vector<std::string>{"0", "1", "2"}));
    const double dY = state.Ymax - state.Ymin;
    EXPECT_EQ(textsAtY(state.Ymin - 0.1 * dY), std::vector<std::string>{"t /s  1E1"});
}

TEST_F(PlotDrawing, AllNegativeCurrentsLeaveOneUnitAboveZero) {
    setAbscissa(21, -0.5, 0.5);
    setCurve(1, -8.7e-6, -1.2e-6);
    const PlotOutcome outcome = draw();

    EXPECT_DOUBLE_EQ(outcome.YDecade, 1e-6);
    EXPECT_DOUBLE_EQ(state.Ymax, 1e-6);
    EXPECT_DOUBLE_EQ(state.Ymin, -9e-6);
    EXPECT_EQ(canvas.callsOf(CanvasOp::Rectangle).at(0).y2, state.Ymax);
    // Ticks count up from Ymin in steps of Ymax/n = one unit.
    const double dX = state.Xmax - state.Xmin;
    const std::vector<std::string> labels = {"-9", "-8", "-7", "-6", "-5", "-4", "-3", "-2", "-1", "0", "1"};
    EXPECT_EQ(textsAtX(state.Xmin - 0.04 * dX), labels);
}

TEST_F(PlotDrawing, EmptyXRangeReportsNoDataAndDrawsNothing) {
    struct Case {
        const char* name;
        int points;
        double e; // abscissa of every point, V
        bool xAuto;
        const char* xMin;
        const char* xMax;
        bool noData;
    };
    const Case cases[] = {
        {"single point at 0 V", 1, 0.0, true, "", "", true},
        {"all abscissae 0 V", 5, 0.0, true, "", "", true},
        {"equal manual limits", 5, 0.1, false, "0.2", "0.2V", true},
        // Auto-ranging rounds a single nonzero abscissa out to a range of one unit each side
        // (0 .. 0.2 V here), so such a point is drawn.
        {"single point at 0.1 V", 1, 0.1, true, "", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        canvas.forget();
        store.FirstPoint = 0;
        store.LastPoint = c.points - 1;
        for (int i = 0; i < c.points; ++i) {
            store.E[i] = c.e;
            store.Curve(i, 1) = 1e-6;
        }
        store.NCurves = 1;
        options.Xauto = c.xAuto;
        options.XminText = c.xMin;
        options.XmaxText = c.xMax;
        const PlotOutcome outcome = draw();
        if (!c.noData) {
            EXPECT_EQ(outcome.result, PlotResult::Drawn);
            EXPECT_DOUBLE_EQ(state.Xmax - state.Xmin, 0.2);
            continue;
        }
        EXPECT_EQ(outcome.result, PlotResult::NoData);
        ASSERT_EQ(canvas.calls().size(), 1u);
        EXPECT_EQ(canvas.calls()[0].op, CanvasOp::Clear);
    }
}

TEST_F(PlotDrawing, ReversedXDirectionMirrorsTheFrameAndMovesTheYLabels) {
    setAbscissa(21, -0.5, 0.5);
    setCurve(1, -2e-6, 8.7e-6);
    options.CheckXdir = true;
    const PlotOutcome outcome = draw();
    ASSERT_EQ(outcome.result, PlotResult::Drawn);
    EXPECT_DOUBLE_EQ(state.Ymin, -3e-6);
    const double dX = state.Xmax - state.Xmin;

    // The coordinate system is set twice: normal for the Y title, then mirrored.
    const std::vector<CanvasCall> scales = canvas.callsOf(CanvasOp::SetScale);
    ASSERT_EQ(scales.size(), 2u);
    EXPECT_LT(scales[0].x1, scales[0].x2);
    EXPECT_DOUBLE_EQ(scales[1].x1, state.Xmax + 0.08 * dX); // left edge
    EXPECT_DOUBLE_EQ(scales[1].x2, state.Xmin - 0.08 * dX); // right edge
    EXPECT_EQ(outcome.scale.left, scales[1].x1);
    const std::vector<CanvasCall>& calls = canvas.calls();
    const auto mirror = std::find_if(calls.begin() + 2, calls.end(),
                                     [](const CanvasCall& c) { return c.op == CanvasOp::SetScale; });
    const auto title =
        std::find_if(calls.begin(), calls.end(), [](const CanvasCall& c) { return c.op == CanvasOp::Text; });
    EXPECT_LT(title - calls.begin(), mirror - calls.begin());

    // Labels beside the Xmax edge, counted down from Ymax in steps of Ymin/n.
    const std::vector<std::string> labels = {"9", "8", "7", "6",  "5",  "4", "3",
                                             "2", "1", "0", "-1", "-2", "-3"};
    EXPECT_EQ(textsAtX(state.Xmax + 0.04 * dX), labels);
    EXPECT_TRUE(textsAtX(state.Xmin - 0.04 * dX).empty());
    int ticks = 0;
    for (const CanvasCall& line : canvas.callsOf(CanvasOp::Line)) {
        if (line.y1 == line.y2 && line.x1 == state.Xmax) {
            EXPECT_DOUBLE_EQ(line.x2, state.Xmax - 0.01 * dX);
            ++ticks;
        }
    }
    EXPECT_EQ(ticks, 13);
}

TEST_F(PlotDrawing, EachCurveStyleDrawsItsOwnShapes) {
    const int n = 9;
    setAbscissa(n, 0.0, 0.4);
    for (int c = 1; c <= 8; ++c)
        setCurve(c, 1e-6 * c, 2e-6 * c);
    for (int c = 3; c <= 8; ++c)
        store.CurveColor[static_cast<std::size_t>(c)] = 0x010000u * static_cast<Colour>(c);
    store.CurveStyle[7] = 0; // curves 7..16 are not styled by the options
    store.CurveStyle[8] = 5;
    const PlotOutcome outcome = draw();
    ASSERT_EQ(outcome.result, PlotResult::Drawn);
    const double dX = state.Xmax - state.Xmin;
    const double dY = state.Ymax - state.Ymin;

    const auto countColour = [&](CanvasOp op, Colour colour) {
        const std::vector<CanvasCall> calls = canvas.callsOf(op);
        return std::count_if(calls.begin(), calls.end(),
                             [&](const CanvasCall& c) { return c.colour == colour; });
    };
    // Slot 1, connected line: one black point at the first point, then segments from i back to i-1.
    const std::vector<CanvasCall> pixels = canvas.callsOf(CanvasOp::Pixel);
    const auto firstBlack =
        std::find_if(pixels.begin(), pixels.end(), [](const CanvasCall& c) { return c.colour == kBlack; });
    ASSERT_NE(firstBlack, pixels.end());
    EXPECT_EQ(firstBlack->x1, store.E[0]);
    EXPECT_EQ(firstBlack->y1, store.Curve(0, 1));
    std::vector<CanvasCall> segments;
    for (const CanvasCall& line : canvas.callsOf(CanvasOp::Line)) {
        if (line.colour == kSlot1Colour)
            segments.push_back(line);
    }
    ASSERT_EQ(segments.size(), static_cast<std::size_t>(n - 1));
    EXPECT_EQ(segments[0].x1, store.E[1]);
    EXPECT_EQ(segments[0].x2, store.E[0]);
    EXPECT_EQ(segments[0].y1, store.Curve(1, 1));

    // Slot 2, square markers 1 % of the frame on a side, centred on the points.
    std::vector<CanvasCall> markers;
    for (const CanvasCall& box : canvas.callsOf(CanvasOp::Rectangle)) {
        if (box.colour == kSlot2Colour)
            markers.push_back(box);
    }
    ASSERT_EQ(markers.size(), static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const CanvasCall& box = markers[static_cast<std::size_t>(i)];
        EXPECT_NEAR(box.x2 - box.x1, 0.01 * dX, 1e-12 * dX);
        EXPECT_NEAR(box.y2 - box.y1, 0.01 * dY, 1e-12 * dY);
        EXPECT_NEAR((box.x1 + box.x2) / 2, store.E[i], 1e-12 * dX);
        EXPECT_NEAR((box.y1 + box.y2) / 2, store.Curve(i, 2), 1e-12 * dY);
    }

    // Slots 3..5 are lines by default, slot 6 dots; curves 7 and 8 dots whatever their style.
    for (int c = 3; c <= 5; ++c) {
        EXPECT_EQ(countColour(CanvasOp::Line, 0x010000u * static_cast<Colour>(c)), n - 1) << c;
    }
    for (int c = 6; c <= 8; ++c) {
        const Colour colour = 0x010000u * static_cast<Colour>(c);
        EXPECT_EQ(countColour(CanvasOp::Pixel, colour), n) << c;
        EXPECT_EQ(countColour(CanvasOp::Line, colour), 0) << c;
        EXPECT_EQ(countColour(CanvasOp::Rectangle, colour), 0) << c;
    }
    // Four connected curves, one black start point each.
    EXPECT_EQ(countColour(CanvasOp::Pixel, kBlack), 4);
}

TEST_F(PlotDrawing, OptionsRestyleSlotsOneToSix) {
    setAbscissa(5, 0.0, 0.4);
    setCurve(1, 1e-6, 2e-6);
    options.linestyle[0] = kStyleMarkers;
    draw();
    EXPECT_EQ(canvas.count(CanvasOp::Rectangle), 1u + 5u); // the frame and five markers
    EXPECT_EQ(canvas.count(CanvasOp::Pixel), 0u);
}

TEST_F(PlotDrawing, ZeroLineIsDashedAndOnlyWhenZeroIsInsideTheFrame) {
    struct Case {
        const char* yMin;
        const char* yMax;
        bool zeroLine;
    };
    const Case cases[] = {
        {"-1e-3", "1e-3", true},
        {"0", "1e-3", false},
        {"-1e-3", "0", false},
        {"1e-4", "1e-3", false},
    };
    setAbscissa(5, -0.5, 0.5);
    setCurve(1, 1e-4, 2e-4);
    options.Yauto = false;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.yMin) + " .. " + c.yMax);
        canvas.forget();
        options.YminText = c.yMin;
        options.YmaxText = c.yMax;
        draw();
        const std::vector<CanvasCall> dashed = linesWith(PenStyle::Dashed);
        ASSERT_EQ(dashed.size(), c.zeroLine ? 1u : 0u);
        if (c.zeroLine) {
            EXPECT_EQ(dashed[0].y1, 0.0);
            EXPECT_EQ(dashed[0].y2, 0.0);
            EXPECT_EQ(dashed[0].x1, state.Xmin);
            EXPECT_EQ(dashed[0].x2, state.Xmax);
            EXPECT_EQ(dashed[0].colour, kBlack);
        }
        EXPECT_EQ(canvas.pen(), PenStyle::Solid); // the pen is solid again afterwards
        for (const CanvasCall& line : linesWith(PenStyle::Solid))
            EXPECT_FALSE(line.y1 == 0.0 && line.y2 == 0.0 && line.x1 == state.Xmin && line.x2 == state.Xmax);
    }
}

TEST_F(PlotDrawing, GridOnlyWhenAskedForAndBeforeTheFarEdges) {
    setAbscissa(16, -0.5, 0.5);
    setCurve(1, 1.2e-6, 8.7e-6);
    draw();
    EXPECT_FALSE(state.ShowGrid);
    EXPECT_TRUE(linesWith(PenStyle::Dashed).empty());

    canvas.forget();
    options.CheckGrid = true;
    draw();
    EXPECT_TRUE(state.ShowGrid);
    int vertical = 0;
    int horizontal = 0;
    for (const CanvasCall& line : linesWith(PenStyle::Dashed)) {
        if (line.x1 == line.x2) {
            EXPECT_EQ(line.y1, state.Ymin);
            EXPECT_EQ(line.y2, state.Ymax);
            EXPECT_LT(line.x1, state.Xmax);
            ++vertical;
        } else {
            EXPECT_EQ(line.x1, state.Xmin);
            EXPECT_EQ(line.x2, state.Xmax);
            EXPECT_LT(line.y1, state.Ymax);
            ++horizontal;
        }
    }
    EXPECT_EQ(vertical, 12);  // -0.6 .. 0.5 V in 0.1 V steps
    EXPECT_EQ(horizontal, 9); // 0 .. 8 uA in 1 uA steps
    EXPECT_EQ(canvas.pen(), PenStyle::Solid);
}

TEST_F(PlotDrawing, ManualLimitsBelowHalfADecadeDrawNoTicksAndDivideByNothing) {
    setAbscissa(5, -0.5, 0.5);
    setCurve(1, -1e-4, 1e-4);
    options.Yauto = false;
    options.YminText = "-1e-3";
    options.YmaxText = "4e-4"; // 0.4 of the 1e-3 decade rounds to no ticks
    options.CheckGrid = true;
    FloatingPointGuard::clear();
    const PlotOutcome outcome = draw();
    EXPECT_NO_THROW(FloatingPointGuard::check());
    ASSERT_EQ(outcome.result, PlotResult::Drawn);
    EXPECT_EQ(state.Ymax, 4e-4); // manual limits stay unrounded
    EXPECT_EQ(canvas.count(CanvasOp::Rectangle), 1u);
    const double dX = state.Xmax - state.Xmin;
    EXPECT_TRUE(textsAtX(state.Xmin - 0.04 * dX).empty());
    for (const CanvasCall& line : canvas.callsOf(CanvasOp::Line))
        EXPECT_FALSE(line.y1 == line.y2 && line.x1 == state.Xmin && line.y1 != 0.0);

    // Reversed, the count follows Ymin; a lower limit of 0 gives no count, and the labels keep the
    // spacing of the normal direction, counted down from the top.
    canvas.forget();
    options.YminText = "0";
    options.YmaxText = "1e-3";
    options.CheckXdir = true;
    FloatingPointGuard::clear();
    draw();
    EXPECT_NO_THROW(FloatingPointGuard::check());
    EXPECT_EQ(textsAtX(state.Xmax + 0.04 * dX), (std::vector<std::string>{"1", "0"}));
}

TEST_F(PlotDrawing, ReversedAxisWithCurrentsOfOneSignKeepsItsYLabels) {
    // Ymin rounds to 0, so the downward count is 0: the labels follow the normal spacing from the top.
    setAbscissa(21, -0.5, 0.5);
    setCurve(1, 1.2e-6, 8.7e-6);
    options.CheckXdir = true;
    ASSERT_EQ(draw().result, PlotResult::Drawn);
    ASSERT_EQ(state.Ymin, 0.0);
    const double dX = state.Xmax - state.Xmin;
    const std::vector<std::string> labels = {"9", "8", "7", "6", "5", "4", "3", "2", "1", "0"};
    EXPECT_EQ(textsAtX(state.Xmax + 0.04 * dX), labels);
}

TEST_F(PlotDrawing, FlatFrameIsDrawnWithoutDividingByZero) {
    setAbscissa(5, -0.5, 0.5);
    setCurve(1, 0.0, 0.0); // all zero: no decade, Ymin = Ymax = 0
    FloatingPointGuard::clear();
    const PlotOutcome outcome = draw();
    EXPECT_NO_THROW(FloatingPointGuard::check());
    ASSERT_EQ(outcome.result, PlotResult::Drawn);
    EXPECT_EQ(state.Ymin, 0.0);
    EXPECT_EQ(state.Ymax, 0.0);
    EXPECT_EQ(outcome.YDecade, 1e8);
    EXPECT_GT(canvas.scale().top, canvas.scale().bottom);
    for (const CanvasCall& call : canvas.calls()) {
        EXPECT_TRUE(std::isfinite(call.x1) && std::isfinite(call.y1) && std::isfinite(call.x2) &&
                    std::isfinite(call.y2));
    }
    EXPECT_EQ(canvas.count(CanvasOp::Rectangle), 1u);
}

TEST_F(PlotDrawing, ManualLimitsAreReadAsLeadingNumbersEachDrawing) {
    setAbscissa(5, -0.5, 0.5);
    setCurve(1, 1e-6, 2e-6);
    options.Xauto = false;
    options.XminText = "-0.2V";
    options.XmaxText = "0.25";
    options.overlap = true;
    draw();
    EXPECT_EQ(state.Xmin, -0.2);
    EXPECT_EQ(state.Xmax, 0.25);
    EXPECT_TRUE(state.Overlap);
    const double dX = state.Xmax - state.Xmin;
    EXPECT_DOUBLE_EQ(canvas.scale().left, -0.2 - 0.08 * dX);
}

TEST_F(PlotDrawing, IndexBeyondTheArraysFailsBeforeDrawing) {
    setAbscissa(5, -0.5, 0.5);
    setCurve(1, 1e-6, 2e-6);
    PlotInput input = plotInputOf(store, store.E);
    input.last = kPointCapacity;
    EXPECT_THROW(drawPlot(input, options, state, canvas), Failure);
    input = plotInputOf(store, store.E);
    input.NCurves = kColumnCapacity;
    EXPECT_THROW(drawPlot(input, options, state, canvas), Failure);
    EXPECT_TRUE(canvas.calls().empty());
}

} // namespace
} // namespace tessaly::test
