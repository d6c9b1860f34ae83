#include "plot/PlotLimits.h"

#include "PlotTestSupport.h"
#include "base/Failure.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>

namespace tessaly::test {
namespace {

struct LimitsCase {
    const char* what;
    double xFrom, xTo; // abscissa over 21 points
    double yFrom, yTo; // curve 1
    bool xAuto, yAuto;
    const char* xMinText;
    const char* xMaxText;
    const char* yMinText;
    const char* yMaxText;
    double Xmin, Xmax, Ymin, Ymax, XDecade, YDecade; // expected
};

class PlotLimitsTable : public PlotFixture, public ::testing::WithParamInterface<LimitsCase> {};

// The limits from the data and the options alone, and the frame drawPlot then draws in and keeps.
TEST_P(PlotLimitsTable, LimitsAreTheFrameTheDrawingUses) {
    const LimitsCase& c = GetParam();
    setAbscissa(21, c.xFrom, c.xTo);
    setCurve(1, c.yFrom, c.yTo);
    options.Xauto = c.xAuto;
    options.Yauto = c.yAuto;
    options.XminText = c.xMinText;
    options.XmaxText = c.xMaxText;
    options.YminText = c.yMinText;
    options.YmaxText = c.yMaxText;

    const PlotLimits limits = plotLimits(plotInputOf(store, store.E), options);
    EXPECT_DOUBLE_EQ(limits.Xmin, c.Xmin);
    EXPECT_DOUBLE_EQ(limits.Xmax, c.Xmax);
    EXPECT_DOUBLE_EQ(limits.Ymin, c.Ymin);
    EXPECT_DOUBLE_EQ(limits.Ymax, c.Ymax);
    EXPECT_DOUBLE_EQ(limits.XDecade, c.XDecade);
    EXPECT_DOUBLE_EQ(limits.YDecade, c.YDecade);

    // Whatever an earlier drawing left in the state, the drawing keeps exactly these limits.
    state = PlotState{-7.0, 7.0, -7.0, 7.0, false, false};
    for (const bool mirrored : {false, true}) {
        options.CheckXdir = mirrored;
        canvas = RecordingCanvas();
        const PlotOutcome outcome = draw();
        ASSERT_EQ(outcome.result, PlotResult::Drawn);
        EXPECT_EQ(state.Xmin, limits.Xmin);
        EXPECT_EQ(state.Xmax, limits.Xmax);
        EXPECT_EQ(state.Ymin, limits.Ymin);
        EXPECT_EQ(state.Ymax, limits.Ymax);
        EXPECT_EQ(outcome.XDecade, limits.XDecade);
        EXPECT_EQ(outcome.YDecade, limits.YDecade);
        const auto frames = canvas.callsOf(CanvasOp::Rectangle);
        ASSERT_FALSE(frames.empty());
        EXPECT_EQ(frames[0].x1, limits.Xmin);
        EXPECT_EQ(frames[0].x2, limits.Xmax);
        EXPECT_EQ(frames[0].y1, limits.Ymin);
        EXPECT_EQ(frames[0].y2, limits.Ymax);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, PlotLimitsTable,
                         ::testing::Values(
                             // -0.5..0.5 V rounds out to ±0.6 in tenths; 1.2..8.7 µA to 0..9 µA.
                             LimitsCase{"auto", -0.5, 0.5, 1.2e-6, 8.7e-6, true, true, "", "", "", "", -0.6,
                                        0.6, 0.0, 9e-6, 0.1, 1e-6},
                             // Currents of one sign still reach 0 from above: -3.5..-1 µA gives -4..1 µA.
                             LimitsCase{"negative", -0.5, 0.5, -3.5e-6, -1e-6, true, true, "", "", "", "",
                                        -0.6, 0.6, -4e-6, 1e-6, 0.1, 1e-6},
                             // Ordinates above 10 start from 10: 20..30 gives 0..40 in tens.
                             LimitsCase{"large", -0.5, 0.5, 20.0, 30.0, true, true, "", "", "", "", -0.6, 0.6,
                                        0.0, 40.0, 0.1, 10.0},
                             // A time axis starting at 0 keeps 0.
                             LimitsCase{"time", 0.0, 2.0, 1e-6, 2e-6, true, true, "", "", "", "", 0.0, 3.0,
                                        0.0, 3e-6, 1.0, 1e-6},
                             // Manual limits are the texts read by the leading-number rule, not rounded.
                             LimitsCase{"manual", -0.5, 0.5, 1e-6, 2e-6, false, false, "-0.45", "0.3V",
                                        "-2.5e-6", "1.25e-5abc", -0.45, 0.3, -2.5e-6, 1.25e-5, 0.1, 1e-5},
                             LimitsCase{"manual Y", -0.5, 0.5, 1e-6, 2e-6, true, false, "", "", "-2.5e-6",
                                        "1.25e-5", -0.6, 0.6, -2.5e-6, 1.25e-5, 0.1, 1e-5}),
                         [](const ::testing::TestParamInfo<LimitsCase>& info) {
                             std::string name = info.param.what;
                             std::replace(name.begin(), name.end(), ' ', '_');
                             return name;
                         });

using PlotLimitsEdges = PlotFixture;

// An automatic range of one abscissa value is rounded out to a decade unit either side, unless the
// value is 0 (no decade); equal manual limits stay empty.
TEST_F(PlotLimitsEdges, OnlyAnUnroundedRangeOfOneValueIsEmpty) {
    setAbscissa(21, 0.2, 0.2);
    setCurve(1, 1e-6, 1e-6);
    PlotLimits limits = plotLimits(plotInputOf(store, store.E), options);
    EXPECT_TRUE(limits.hasXRange());
    EXPECT_DOUBLE_EQ(limits.Xmin, 0.1);
    EXPECT_DOUBLE_EQ(limits.Xmax, 0.3);

    setAbscissa(21, 0.0, 0.0);
    EXPECT_FALSE(plotLimits(plotInputOf(store, store.E), options).hasXRange());

    setAbscissa(21, -0.5, 0.5);
    options.Xauto = false;
    options.XminText = options.XmaxText = "0.2";
    limits = plotLimits(plotInputOf(store, store.E), options);
    EXPECT_FALSE(limits.hasXRange());
    EXPECT_EQ(draw().result, PlotResult::NoData);
}

TEST_F(PlotLimitsEdges, AnIndexBeyondTheStoreIsRefusedBeforeAnyLimit) {
    setAbscissa(21, -0.5, 0.5);
    setCurve(1, 0.0, 1e-6);
    PlotInput input = plotInputOf(store, store.E);
    input.last = kPointCapacity;
    EXPECT_THROW(plotLimits(input, options), Failure);
    input = plotInputOf(store, store.E);
    input.NCurves = kColumnCapacity;
    EXPECT_THROW(plotLimits(input, options), Failure);
}

} // namespace
} // namespace tessaly::test
