// Exploring the plot without a window: the arithmetic of zooming and panning, the marks of a view,
// the drawing in a view, the legend, the curves' clipping frame, and the pointer's read-out.

#include "plot/PlotView.h"

#include "PlotTestSupport.h"
#include "plot/AxisScale.h"
#include "plot/PlotClick.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tessaly {
namespace {

using test::PlotFixture;

TEST(PlotView, ZoomKeepsThePointUnderThePointerAndPanMovesBothEdges) {
    const ViewRange v{-0.6, 0.6, -3e-6, 9e-6};
    const ViewRange in = zoomedAbout(v, 0.3, 6e-6, 0.5, 0.25);
    EXPECT_DOUBLE_EQ(in.Xmin, -0.15);
    EXPECT_DOUBLE_EQ(in.Xmax, 0.45);
    EXPECT_DOUBLE_EQ(in.Ymin, 3.75e-6);
    EXPECT_DOUBLE_EQ(in.Ymax, 6.75e-6);
    // The point keeps its fraction of the view on each axis.
    EXPECT_DOUBLE_EQ((0.3 - in.Xmin) / (in.Xmax - in.Xmin), (0.3 - v.Xmin) / (v.Xmax - v.Xmin));
    // Zooming out by the inverse factor returns to the view.
    const ViewRange out = zoomedAbout(in, 0.3, 6e-6, 2.0, 4.0);
    EXPECT_NEAR(out.Xmin, v.Xmin, 1e-15);
    EXPECT_NEAR(out.Ymax, v.Ymax, 1e-20);

    const ViewRange moved = panned(v, 0.1, -1e-6);
    EXPECT_DOUBLE_EQ(moved.Xmin, -0.5);
    EXPECT_DOUBLE_EQ(moved.Xmax, 0.7);
    EXPECT_DOUBLE_EQ(moved.Ymin, -4e-6);
    EXPECT_DOUBLE_EQ(moved.Ymax, 8e-6);

    const ViewRange box = boxView(0.2, -1e-6, -0.1, 4e-6); // corners in any order
    EXPECT_EQ(box.Xmin, -0.1);
    EXPECT_EQ(box.Xmax, 0.2);
    EXPECT_EQ(box.Ymin, -1e-6);
    EXPECT_EQ(box.Ymax, 4e-6);
}

TEST(PlotView, OnlyFiniteOrderedViewsWithARealSpanAreUsable) {
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        ViewRange view;
        bool usable;
    };
    const Case cases[] = {
        {{-0.6, 0.6, -3e-6, 9e-6}, true},
        {{0.6, -0.6, -3e-6, 9e-6}, false},   // reversed edges
        {{0.1, 0.1, -3e-6, 9e-6}, false},    // no width
        {{0.1, 0.1 + 1e-14, 0, 1}, false},   // below the resolution of the numbers
        {{-0.6, 0.6, 1e-12, 1.1e-12}, true}, // a picoampere window
        {{-inf, 0.6, -3e-6, 9e-6}, false},   // zoomed out beyond the numbers
        {{
             -0.6,
             0.6,
             -3e-6,
             std::nan(""),
         },
         false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(usableView(c.view), c.usable) << c.view.Xmin << " " << c.view.Xmax << " " << c.view.Ymin;
}

TEST(PlotView, MarksOfAViewStandOnRoundMultiples) {
    struct Case {
        double low, high;
        double unit, step, first;
        int count;
    };
    const Case cases[] = {
        {0.123, 0.156, 1e-3, 5e-3, 0.125, 7},  // 0.125 .. 0.155: labels 125 .. 155 in units of 1E-3
        {-0.6, 0.6, 0.1, 0.2, -0.6, 7},        // -0.6 .. 0.6 by 0.2
        {2.5e-7, 9.1e-7, 1e-7, 1e-7, 3e-7, 7}, // 3 .. 9 in units of 1E-7
        {0.0, 1.0, 0.1, 0.2, 0.0, 6},
        {-1.0, 59.0, 10.0, 10.0, 0.0, 6}, // a step of ten units becomes the next power
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.low << " .. " << c.high);
        const AlignedMarks m = alignedMarks(c.low, c.high, kViewMarks);
        EXPECT_DOUBLE_EQ(m.unit, c.unit);
        EXPECT_DOUBLE_EQ(m.step, c.step);
        EXPECT_NEAR(m.first, c.first, 1e-9 * c.step);
        EXPECT_EQ(m.count, c.count);
        // Every mark is a whole number of units, inside the range.
        for (int j = 0; j < m.count; ++j) {
            const double x = m.first + j * m.step;
            EXPECT_GE(x, c.low - 1e-9 * m.step);
            EXPECT_LE(x, c.high + 1e-9 * m.step);
            EXPECT_NEAR(x / m.unit, std::round(x / m.unit), 1e-6);
        }
    }
    EXPECT_EQ(alignedMarks(1.0, 1.0, kViewMarks).count, 0);
    EXPECT_EQ(alignedMarks(0.0, std::nan(""), kViewMarks).count, 0);
}

class PlotViewDrawing : public PlotFixture {};

TEST_F(PlotViewDrawing, AViewReplacesTheFrameAndLabelsItsRoundMarks) {
    setAbscissa(101, -0.5, 0.5);
    setCurve(1, -2e-6, 8.7e-6);
    const ViewRange view{0.123, 0.156, 2.5e-7, 9.1e-7};
    const PlotOutcome outcome = drawPlot(plotInputOf(store, store.E), options, state, canvas, &view);
    ASSERT_EQ(outcome.result, PlotResult::Drawn);
    // The frame is the view, kept for the mouse.
    EXPECT_EQ(state.Xmin, 0.123);
    EXPECT_EQ(state.Xmax, 0.156);
    EXPECT_EQ(state.Ymin, 2.5e-7);
    EXPECT_EQ(state.Ymax, 9.1e-7);
    EXPECT_EQ(outcome.XDecade, 1e-3);
    EXPECT_EQ(outcome.YDecade, 1e-7);
    const std::vector<std::string> xLabels = {"125", "130", "135", "140", "145", "150", "155"};
    EXPECT_EQ(xTickLabels(), xLabels);
    const std::vector<std::string> yLabels = {"3", "4", "5", "6", "7", "8", "9"};
    EXPECT_EQ(textsAtX(state.Xmin - 0.04 * (state.Xmax - state.Xmin)), yLabels);
    // The decades follow the titles.
    EXPECT_EQ(textsAtX(state.Xmin - 0.08 * (state.Xmax - state.Xmin)).at(0), "  i /A  1E-7");
    bool xTitle = false;
    for (const CanvasCall& t : canvas.callsOf(CanvasOp::Text))
        xTitle = xTitle || t.text == "E /V  1E-3";
    EXPECT_TRUE(xTitle);

    // An unusable view is ignored: the options' frame is drawn.
    const ViewRange flat{0.1, 0.1, 0, 1};
    canvas.forget();
    drawPlot(plotInputOf(store, store.E), options, state, canvas, &flat);
    EXPECT_DOUBLE_EQ(state.Xmin, -0.6);
    EXPECT_DOUBLE_EQ(state.Xmax, 0.6);
}

TEST_F(PlotViewDrawing, CurvesAreDrawnInsideTheirClippingFrameAndNamedCurvesInTheLegend) {
    setAbscissa(11, -0.5, 0.5);
    setCurve(1, 0.0, 1e-6);
    setCurve(2, 0.0, -1e-6);
    setCurve(3, 1e-7, 1e-7);
    std::vector<std::string> names(17);
    names[1] = "Simulated, CV, mechanism 1, v = 0.1 V/s";
    names[3] = "Imported: data.csv";
    PlotInput input = plotInputOf(store, store.E);
    input.CurveName = names;
    drawPlot(input, options, state, canvas);

    const std::vector<CanvasCall>& calls = canvas.calls();
    const auto at = [&](CanvasOp op) {
        return std::find_if(calls.begin(), calls.end(), [op](const CanvasCall& c) { return c.op == op; }) -
               calls.begin();
    };
    const CanvasCall begin = canvas.callsOf(CanvasOp::BeginCurves).at(0);
    EXPECT_EQ(begin.x1, state.Xmin);
    EXPECT_EQ(begin.y1, state.Ymin);
    EXPECT_EQ(begin.x2, state.Xmax);
    EXPECT_EQ(begin.y2, state.Ymax);
    EXPECT_EQ(canvas.count(CanvasOp::EndCurves), 1u);
    // Every curve mark lies between the two; the frame itself before them.
    for (std::size_t k = 0; k < calls.size(); ++k) {
        const bool coloured = (calls[k].op == CanvasOp::Line || calls[k].op == CanvasOp::Rectangle) &&
                              calls[k].colour != kBlack;
        if (coloured) {
            EXPECT_GT(static_cast<long>(k), at(CanvasOp::BeginCurves));
            EXPECT_LT(static_cast<long>(k), at(CanvasOp::EndCurves));
        }
    }
    // The legend lists the named curves only, in their colours and styles.
    const std::vector<CanvasCall> legend = canvas.callsOf(CanvasOp::Legend);
    ASSERT_EQ(legend.size(), 2u);
    EXPECT_EQ(legend[0].text, names[1]);
    EXPECT_EQ(legend[0].colour, store.CurveColor[1]);
    EXPECT_EQ(legend[0].style, kStyleLine);
    EXPECT_EQ(legend[1].text, names[3]);
    EXPECT_EQ(legend[1].colour, store.CurveColor[3]);

    // No names, no legend; a name beyond NCurves is not shown.
    canvas.forget();
    store.NCurves = 2;
    input = plotInputOf(store, store.E);
    input.CurveName = names;
    drawPlot(input, options, state, canvas);
    EXPECT_EQ(canvas.callsOf(CanvasOp::Legend).size(), 1u);
    canvas.forget();
    drawPlot(plotInputOf(store, store.E), options, state, canvas);
    EXPECT_EQ(canvas.count(CanvasOp::Legend), 0u);
}

TEST(PointerReadout, NamesEachAxisWithItsUnitAndAPrefixThatSuitsTheFrame) {
    struct Case {
        const char* xTitle;
        const char* yTitle;
        PlotState frame;
        double x, y;
        const char* text;
    };
    const Case cases[] = {
        {"E /V",
         "i /A",
         {-0.6, 0.6, -3e-6, 9e-6, false, false},
         0.21534,
         1.23456e-6,
         "E = 0.215 V   i = 1.23 \u00b5A"},
        {"E /V",
         "i /A",
         {-0.6, 0.6, -3e-9, 9e-9, false, false},
         -0.1,
         -1.5e-9,
         "E = -0.100 V   i = -1.50 nA"},
        {"t /s", "i /A", {0, 20, 0, 2e-3, false, false}, 12.345, 1.5e-3, "t = 12.35 s   i = 1.500 mA"},
        {"E /V  ", "C0 /M  ", {-0.6, 0.6, 0, 2e-3, false, false}, 0.0, 1e-3, "E = 0.000 V   C0 = 1.000 mM"},
        {"t /s", "E /V", {0, 2, -0.6, 0.6, false, false}, 1.0, -0.00001, "t = 1.000 s   E = 0.000 V"},
        {"", "", {0, 1, 0, 1, false, false}, 0.5, 0.25, "x = 0.500   x = 0.250"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pointerReadout(c.xTitle, c.yTitle, c.frame, c.x, c.y), c.text) << c.text;
}

} // namespace
} // namespace tessaly
