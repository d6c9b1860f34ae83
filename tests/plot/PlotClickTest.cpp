#include "plot/PlotClick.h"

#include <gtest/gtest.h>

namespace tessaly {
namespace {

TEST(PlotClick, InsideMeansWithinTheFrameEdgesIncluded) {
    const PlotState state{-0.6, 0.6, -3e-6, 9e-6, false, false};
    struct Case {
        double x;
        double y;
        bool inside;
    };
    const Case cases[] = {
        {0.0, 0.0, true},     {-0.6, -3e-6, true}, {0.6, 9e-6, true},
        {-0.61, 0.0, false},  {0.61, 0.0, false},  {0.0, -3.1e-6, false},
        {0.0, 9.1e-6, false}, {0.65, 1e-5, false}, // the margin above the frame, where the label goes
    };
    for (const Case& c : cases)
        EXPECT_EQ(insideFrame(state, c.x, c.y), c.inside) << c.x << ", " << c.y;
}

TEST(PlotClick, LabelStandsAboveTheFrameMiddle) {
    struct Case {
        PlotState state;
        double x;
        double y;
    };
    const Case cases[] = {
        {{-0.6, 0.6, -3e-6, 9e-6, false, false}, 0.0, 9e-6 + 0.08 * 9e-6},
        {{0.0, 20.0, -2e-5, 1e-6, false, false}, 10.0, 1e-6 + 0.08 * 2e-5}, // |Ymin| is the larger
    };
    for (const Case& c : cases) {
        const ClickLabel label = clickLabel(c.state, 0.25, 1.5e-6);
        EXPECT_DOUBLE_EQ(label.x, c.x);
        EXPECT_DOUBLE_EQ(label.y, c.y);
        EXPECT_EQ(label.text, "x=0.25, y=1.5E-06");
    }
}

TEST(PlotClick, CoordinatesShowSinglePrecision) {
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {
        {0.1, "0.1"},             // not the binary single widened to double
        {1.0 / 3.0, "0.3333333"}, // seven significant digits
        {-0.123456789, "-0.1234568"},
        {1.5e-6, "1.5E-06"},
        {0.0, "0"},
        {123456789.0, "123456800"},
        {1e300, "1E+300"}, // beyond single precision: the value itself, to seven digits
    };
    for (const Case& c : cases)
        EXPECT_EQ(singlePrecisionText(c.value), c.text) << c.value;
}

} // namespace
} // namespace tessaly
