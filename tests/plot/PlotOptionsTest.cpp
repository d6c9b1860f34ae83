#include "plot/PlotOptions.h"

#include "base/Failure.h"

#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <utility>

namespace tessaly {
namespace {

TEST(PlotOptions, StartWithTheDialogDefaults) {
    PlotOptions options;
    PlotOptionsForm form(options);
    EXPECT_EQ(form.text("XminText"), "-0.3");
    EXPECT_EQ(form.text("XmaxText"), "0.3");
    EXPECT_EQ(form.text("YminText"), "-1e-3");
    EXPECT_EQ(form.text("YmaxText"), "1e-3");
    // Both axes automatic, so the first curve of a session fills the frame; the rest cleared.
    for (const char* box : {"Xauto", "Yauto"})
        EXPECT_TRUE(form.checked(box)) << box;
    for (const char* box : {"CheckGrid", "overlap", "CheckXdir"})
        EXPECT_FALSE(form.checked(box)) << box;
    const std::array<int, kOptionSlots> styles = {3, 2, 3, 3, 3, 1};
    for (int i = 0; i < kOptionSlots; ++i)
        EXPECT_EQ(form.lineStyle(i), styles[static_cast<std::size_t>(i)]) << i;
    EXPECT_TRUE(form.selected("linestyle1(5)")); // slot 6 starts dotted
    EXPECT_FALSE(form.selected("linestyle3(5)"));

    // The six slots take the palette's colours; the curves beyond them keep theirs.
    std::array<Colour, 17> curveColor{};
    curveColor[7] = 0x123456;
    form.load(curveColor);
    for (int slot = 1; slot <= kOptionSlots; ++slot) {
        EXPECT_EQ(curveColor[static_cast<std::size_t>(slot)], paletteColour(slot)) << slot;
        EXPECT_EQ(form.captionColour(slot - 1), paletteColour(slot)) << slot;
    }
    EXPECT_EQ(curveColor[7], 0x123456u);
}

// Linear-light RGB (0..1) of a 0x00BBGGRR colour.
std::array<double, 3> linearRgb(Colour colour) {
    std::array<double, 3> rgb{};
    for (int k = 0; k < 3; ++k) {
        const double v = static_cast<double>((colour >> (8 * k)) & 0xFFu) / 255.0;
        rgb[static_cast<std::size_t>(k)] = v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    }
    return rgb;
}

// Every two default curve colours stay apart for normal vision and as protanopes and deuteranopes see
// them (Vienot, Brettel & Mollon, Color Res. Appl. 24 (1999) 243, linear RGB), and none is so light
// that it fades on the white plot (relative luminance below 0.6).
TEST(PlotOptions, DefaultColoursStayApartForCommonColourBlindness) {
    using Matrix = std::array<std::array<double, 3>, 3>;
    const std::pair<const char*, Matrix> visions[] = {
        {"normal", {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}}},
        {"protanopia", {{{0.11238, 0.88762, 0}, {0.11238, 0.88762, 0}, {0.00401, -0.00401, 1}}}},
        {"deuteranopia", {{{0.29275, 0.70725, 0}, {0.29275, 0.70725, 0}, {-0.02234, 0.02234, 1}}}},
    };
    const auto seen = [](const Matrix& m, const std::array<double, 3>& rgb) {
        std::array<double, 3> out{};
        for (std::size_t i = 0; i < 3; ++i)
            out[i] = m[i][0] * rgb[0] + m[i][1] * rgb[1] + m[i][2] * rgb[2];
        return out;
    };
    for (const auto& [vision, matrix] : visions) {
        for (int a = 1; a <= 7; ++a) {
            const auto ra = linearRgb(paletteColour(a));
            EXPECT_LT(0.2126 * ra[0] + 0.7152 * ra[1] + 0.0722 * ra[2], 0.6) << a;
            for (int b = a + 1; b <= 7; ++b) {
                const auto sa = seen(matrix, ra);
                const auto sb = seen(matrix, linearRgb(paletteColour(b)));
                const double distance = std::hypot(sa[0] - sb[0], sa[1] - sb[1], sa[2] - sb[2]);
                EXPECT_GT(distance, 0.05) << vision << ": curves " << a << " and " << b;
            }
        }
    }
    // The palette repeats over the sixteen columns.
    EXPECT_EQ(paletteColour(8), paletteColour(1));
    EXPECT_EQ(paletteColour(16), paletteColour(2));
}

TEST(PlotOptions, ApplyReadsLimitTextsOnlyForAxesNotOnAuto) {
    struct Case {
        const char* name;
        bool xAuto;
        bool yAuto;
        const char* xMin;
        const char* xMax;
        double Xmin;
        double Xmax;
        double Ymin;
        double Ymax;
    };
    // Stored limits before Apply: X 5..6, Y 7..8.
    const Case cases[] = {
        {"manual", false, false, "-0.25", "0.4", -0.25, 0.4, -1e-3, 1e-3},
        {"not a number reads as 0", false, false, "abc", "0.5 V", 0.0, 0.5, -1e-3, 1e-3},
        {"X auto keeps stored X", true, false, "-0.25", "0.4", 5.0, 6.0, -1e-3, 1e-3},
        {"Y auto keeps stored Y", false, true, "-0.25", "0.4", -0.25, 0.4, 7.0, 8.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PlotOptions options;
        PlotOptionsForm form(options);
        form.setChecked("Xauto", c.xAuto);
        form.setChecked("Yauto", c.yAuto);
        form.setText("XminText", c.xMin);
        form.setText("XmaxText", c.xMax);
        PlotState state{5.0, 6.0, 7.0, 8.0, false, false};
        std::array<int, 17> curveStyle{};
        form.apply(state, curveStyle);
        EXPECT_EQ(state.Xmin, c.Xmin);
        EXPECT_EQ(state.Xmax, c.Xmax);
        EXPECT_EQ(state.Ymin, c.Ymin);
        EXPECT_EQ(state.Ymax, c.Ymax);
    }
}

TEST(PlotOptions, ApplyCopiesSwitchesAndSlotStyles) {
    PlotOptions options;
    PlotOptionsForm form(options);
    form.setChecked("CheckGrid", true);
    form.setChecked("overlap", true);
    form.select("linestyle2(0)");
    form.select("linestyle3(5)");
    PlotState state;
    std::array<int, 17> curveStyle{};
    curveStyle[7] = 9;
    form.apply(state, curveStyle);
    EXPECT_TRUE(state.ShowGrid);
    EXPECT_TRUE(state.Overlap);
    const std::array<int, 17> expected = {0, 2, 2, 3, 3, 3, 3, 9, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(curveStyle, expected);

    // Choosing a button of a slot clears the other two of that slot only.
    EXPECT_TRUE(form.selected("linestyle2(0)"));
    EXPECT_FALSE(form.selected("linestyle3(0)"));
    EXPECT_TRUE(form.selected("linestyle2(1)"));

    // A slot whose selection holds no button's number reads as the connected line.
    options.linestyle[3] = 0;
    EXPECT_EQ(slotCurveStyle(options, 3), kStyleLine);
}

TEST(PlotOptions, AutoBoxesDisableTheirLimitBoxes) {
    PlotOptions options;
    PlotOptionsForm form(options);
    const std::array<const char*, 4> xControls = {"Label2", "XminText", "Label3", "XmaxText"};
    const std::array<const char*, 4> yControls = {"Label4", "YminText", "Label5", "YmaxText"};
    struct Case {
        bool xAuto;
        bool yAuto;
    };
    for (const Case c : {Case{false, false}, Case{true, false}, Case{false, true}, Case{true, true}}) {
        form.setChecked("Xauto", c.xAuto);
        form.setChecked("Yauto", c.yAuto);
        for (const char* name : xControls)
            EXPECT_EQ(form.enabled(name), !c.xAuto) << name;
        for (const char* name : yControls)
            EXPECT_EQ(form.enabled(name), !c.yAuto) << name;
        for (const char* name : {"Xauto", "Yauto", "CheckXdir", "Command1(2)", "linestyle1(4)"})
            EXPECT_TRUE(form.enabled(name)) << name;
    }
}

TEST(PlotOptions, ChosenColourGoesToTheCurveAndTheCaptions) {
    PlotOptions options;
    PlotOptionsForm form(options);
    std::array<Colour, 17> curveColor{};
    form.load(curveColor);
    form.colourChosen(3, 0x00FF00, curveColor);
    EXPECT_EQ(curveColor[4], 0x00FF00u);
    EXPECT_EQ(form.captionColour(3), 0x00FF00u);
    EXPECT_EQ(curveColor[1], kSlot1Colour);
}

TEST(PlotOptions, UnknownControlsAndChoicesFail) {
    PlotOptions options;
    PlotOptionsForm form(options);
    std::array<Colour, 17> curveColor{};
    EXPECT_THROW(form.text("ZminText"), Failure);
    EXPECT_THROW(form.setChecked("Grid", true), Failure);
    EXPECT_THROW(form.enabled("Label9"), Failure);
    EXPECT_THROW(form.select("linestyle4(0)"), Failure);
    EXPECT_THROW(form.select("linestyle1(6)"), Failure);
    EXPECT_THROW(form.selectLineStyle(0, 4), Failure);
    EXPECT_THROW(form.selectLineStyle(6, 1), Failure);
    EXPECT_THROW(form.colourChosen(6, 0, curveColor), Failure);
}

} // namespace
} // namespace tessaly
