// The fit commands' bookkeeping: report lines, curve columns, the fit error, separation columns.

#include "support/RecordingUserPort.h"
#include "workbench/Commands.h"
#include "workbench/Workbench.h"

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

TEST(AutoFit, NothingTickedGivesTheHeaderTheSummaryAndTheCurveFiguresOnly) {
    FitBench b;
    autoFitCommand(b.wb);
    const auto lines = b.lines();
    ASSERT_EQ(lines.size(), 12u) << b.wb.log.text();
    EXPECT_EQ(lines[0], "\r");
    EXPECT_EQ(lines[1], "No.\tInitial value\tFitted value\r");
    EXPECT_EQ(lines[2].rfind("1-R^2 = ", 0), 0u);
    EXPECT_EQ(lines[3].rfind("Least square = ", 0), 0u);
    EXPECT_EQ(lines[4].rfind("Standard deviation^2 = ", 0), 0u);
    EXPECT_EQ(lines[5], "Convergence flag = 0\r");
    EXPECT_EQ(lines[6], "No. of iteration = 0\r");
    EXPECT_EQ(lines[7], "No. of object fun. = 0\r");
    EXPECT_EQ(lines[8], "No. of MARQUARDS = 0\r");
    EXPECT_EQ(lines[9].rfind("Computation time (s) =", 0), 0u);
    EXPECT_NE(lines[9].substr(22, 1), " "); // no blank after the "="
    EXPECT_EQ(lines[10], "Set\t1-R^2\tResidual SD\r");
    EXPECT_EQ(lines[11].rfind("1\t", 0), 0u);
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

TEST(AutoFit, AnAllZeroMeasuredCurveIsAFitError) {
    FitBench b;
    for (int i = 0; i < b.wb.store.NPoints; ++i)
        b.wb.store.Curve(i, 1) = 0;
    autoFitCommand(b.wb);
    ASSERT_EQ(b.port.messages.size(), 1u);
    EXPECT_EQ(b.port.messages[0].title, "Fit Error");
    EXPECT_EQ(b.port.messages[0].text, "Division by zero! Please try again by other initial values.");
    EXPECT_EQ(b.port.messages[0].icon, MessageIcon::Critical);
    EXPECT_FALSE(b.wb.store.FitMode);
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
