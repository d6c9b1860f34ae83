// The fit commands' bookkeeping: report lines, curve columns, the fit error, separation columns.

#include "support/RecordingUserPort.h"
#include "workbench/Commands.h"
#include "workbench/Workbench.h"

#include <cmath>
#include <gtest/gtest.h>
#include <sstream>

namespace tessaly {
namespace {

// A measured curve in column 1 over the potentials of the default sweep.
struct FitBench {
    RecordingUserPort port;
    Workbench wb{port};
    FitBench() {
        simulateCommand(wb);
        for (int i = 0; i < wb.store.NPoints; ++i)
            wb.store.Curve(i, 1) = 1e-6 * (1 + 0.01 * i);
        wb.store.CurveNo = 1;
        wb.log.clear();
    }
    std::vector<std::string> lines() const {
        std::vector<std::string> out;
        std::istringstream in(wb.log.text());
        std::string line;
        while (std::getline(in, line))
            out.push_back(line);
        return out;
    }
};

// With no box ticked there is nothing to fit: a refusal, not a report of a perfect fit.
TEST(AutoFit, NothingTickedIsRefused) {
    FitBench b;
    autoFitCommand(b.wb);
    EXPECT_EQ(b.wb.log.text(), "");
    ASSERT_EQ(b.port.messages.size(), 1u);
    EXPECT_EQ(b.port.messages[0].title, "Fit Error");
    EXPECT_EQ(b.port.messages[0].text, "No parameter is ticked for fitting: tick the quantities to fit in the "
                                       "kinetics or species dialog.");
    EXPECT_EQ(b.wb.store.CurveNo, 1);
    EXPECT_FALSE(b.wb.store.FitMode);
    EXPECT_EQ(b.port.busyDepth, 0);
}

TEST(AutoFit, CurveColumnsAndCurveNumberAfterBothFits) {
    FitBench b;
    manualFitCommand(b.wb);
    EXPECT_EQ(b.wb.store.CurveNo, 1);
    EXPECT_EQ(b.wb.store.NCurves, 2);
    EXPECT_DOUBLE_EQ(b.wb.store.Curve(5, 1), 1.05e-6); // the measured curve is untouched
    autoFitCommand(b.wb);
    EXPECT_EQ(b.wb.store.CurveNo, 1);
    EXPECT_EQ(b.wb.store.NCurves, 2);
}

// Flat and empty measured curves say what is wrong with them (not "Division by zero"), for both fits,
// and leave the store and the report as they were.
TEST(AutoFit, FlatOrEmptyMeasuredCurvesAreRefusedWithTheReason) {
    struct Case {
        const char* label;
        double level; // every point of the measured curve; NaN: no points at all
        const char* message;
    };
    const Case cases[] = {
        {"all zero", 0.0, "The measured curve is flat (every point is 0 A): a fit needs a curve that varies."},
        {"constant", 2e-6, "The measured curve is flat (every point is 2E-06 A): a fit needs a curve that varies."},
        {"empty", std::nan(""), "There is no measured curve to fit: import or simulate one first."},
    };
    for (const Case& c : cases) {
        for (const bool automatic : {true, false}) {
            SCOPED_TRACE(std::string(c.label) + (automatic ? " auto" : " manual"));
            FitBench b;
            b.wb.params.CheckFitted[11] = true; // ks(1)
            if (std::isnan(c.level)) {
                b.wb.store.NPoints = 0;
            } else {
                for (int i = 0; i < b.wb.store.NPoints; ++i)
                    b.wb.store.Curve(i, 1) = c.level;
            }
            const int curves = b.wb.store.NCurves;
            if (automatic)
                autoFitCommand(b.wb);
            else
                manualFitCommand(b.wb);
            ASSERT_EQ(b.port.messages.size(), 1u);
            EXPECT_EQ(b.port.messages[0].title, "Fit Error");
            EXPECT_EQ(b.port.messages[0].text, c.message);
            EXPECT_EQ(b.port.messages[0].icon, MessageIcon::Critical);
            EXPECT_EQ(b.wb.log.text(), "");
            EXPECT_EQ(b.wb.store.NCurves, curves);
            EXPECT_FALSE(b.wb.store.FitMode);
        }
    }
}

TEST(Separation, ComponentsFollowTheMeasuredAndFittedCurves) {
    FitBench b;
    b.wb.params.mech = 2; // two charge reactions
    b.wb.activateMainWindow();
    manualSeparateCommand(b.wb);
    EXPECT_EQ(b.wb.store.NCurves, 4);
    EXPECT_FALSE(b.wb.store.SeparateMode);
    for (int i = b.wb.store.FirstPoint; i <= b.wb.store.LastPoint; ++i) {
        ASSERT_EQ(b.wb.store.Curve(i, 3), b.wb.store.ComponentCurrent(i, 1));
        ASSERT_EQ(b.wb.store.Curve(i, 4), b.wb.store.ComponentCurrent(i, 2));
    }
}

} // namespace
} // namespace tessaly
