// Commands through the workbench: menu availability, Simulate, the result log and the timing report.

#include "support/RecordingUserPort.h"
#include "workbench/CommandTable.h"
#include "workbench/Commands.h"
#include "workbench/FormCommands.h"
#include "workbench/Workbench.h"

#include <gtest/gtest.h>

namespace tessaly {
namespace {

struct Bench {
    RecordingUserPort port;
    Workbench wb{port};
};

TEST(MenuAvailability, StartUpWaitsForACurve) {
    Bench b;
    EXPECT_FALSE(b.wb.menus.isEnabled("mnuPlot"));
    EXPECT_FALSE(b.wb.menus.isEnabled("mnuAnalyze"));
    EXPECT_TRUE(b.wb.menus.isEnabled("mnuRun"));
    EXPECT_TRUE(b.wb.menus.isEnabled("mnuTheoPeak"));
    EXPECT_FALSE(b.wb.menus.isEnabled("mnuIPulse"));
    simulateCommand(b.wb);
    EXPECT_TRUE(b.wb.menus.isEnabled("mnuPlot"));
    EXPECT_TRUE(b.wb.menus.isEnabled("mnuAnalyze"));
}

TEST(MenuAvailability, ChemicalAnalyticalMechanismsHideRunUntilTheDigitalModelIsTicked) {
    for (const int mechanism : {5, 6, 7, 9, 10}) {
        Bench b;
        b.wb.params.mech = mechanism;
        b.wb.activateMainWindow();
        EXPECT_FALSE(b.wb.menus.isEnabled("mnuRun")) << mechanism;
        EXPECT_EQ(runCommand(b.wb, "Simulate"), CommandStatus::Unavailable);
        b.wb.params.CheckDigital = true;
        b.wb.activateMainWindow();
        EXPECT_TRUE(b.wb.menus.isEnabled("mnuRun")) << mechanism;
    }
    for (const int mechanism : {1, 8, 11, 18}) {
        Bench b;
        b.wb.params.mech = mechanism;
        b.wb.activateMainWindow();
        EXPECT_TRUE(b.wb.menus.isEnabled("mnuRun")) << mechanism;
    }
}

TEST(MenuAvailability, DigitalModelTurnsTheoreticalPeakOffAndSurfaceConcentrationsOn) {
    Bench b;
    EXPECT_FALSE(b.wb.menus.isEnabled("mnuC0E")); // technique 1
    b.wb.params.optTech = 2;
    b.wb.activateMainWindow(); // the build commits the technique
    EXPECT_TRUE(b.wb.menus.isEnabled("mnuC0E"));
    b.wb.params.Electrode = 2;
    b.wb.activateMainWindow();
    EXPECT_FALSE(b.wb.menus.isEnabled("mnuC0E"));
    b.wb.params.CheckDigital = true;
    b.wb.activateMainWindow();
    EXPECT_TRUE(b.wb.menus.isEnabled("mnuC0E"));
    EXPECT_FALSE(b.wb.menus.isEnabled("mnuTheoPeak"));
}

TEST(SimulateCommand, TitlesRedrawTimingAndTheBusyPointer) {
    Bench b;
    b.port.clock = 100;
    b.port.clockStep = 0.25;
    simulateCommand(b.wb);
    EXPECT_EQ(b.wb.store.XTitle, "E /V");
    EXPECT_EQ(b.wb.store.YTitle, "i /A");
    EXPECT_EQ(b.port.busyDepth, 0);
    EXPECT_GE(b.port.plotRepaints, 1);
    EXPECT_TRUE(b.wb.plotRequest.valid);
    EXPECT_EQ(b.wb.plotRequest.abscissa, Abscissa::Potential);
    EXPECT_FLOAT_EQ(b.wb.ElapsedTime, 0.25);
    EXPECT_TRUE(b.port.messages.empty());
}

TEST(SimulateCommand, StepAndWaveformTechniquesAreDrawnAgainstTime) {
    Bench b;
    b.wb.params.optTech = 8;
    b.wb.params.TextTexp = "1";
    b.wb.params.td = "0.01";
    simulateCommand(b.wb);
    EXPECT_EQ(b.wb.plotRequest.abscissa, Abscissa::XAxis);
    EXPECT_EQ(b.wb.store.XTitle, "t /s");
    EXPECT_DOUBLE_EQ(b.wb.store.XAxis[50], 0.5);
}

TEST(SimulateCommand, FailureShowsTheSimulationErrorAndStillCompletes) {
    Bench b;
    b.wb.params.Estep = "0.0000005"; // 1,400,001 points: more than the store holds
    b.port.clockStep = 1;
    simulateCommand(b.wb);
    ASSERT_FALSE(b.port.messages.empty());
    const auto& m = b.port.messages.front();
    EXPECT_EQ(m.title, "Simulation Error");
    EXPECT_EQ(m.icon, MessageIcon::Critical);
    EXPECT_EQ(m.text, "Analytical simulation Error: More than 1000000 data points: the curve store holds at "
                      "most 1000000 points! Please try again by other initial values.");
    EXPECT_TRUE(b.wb.menus.isEnabled("mnuPlot"));
    EXPECT_FLOAT_EQ(b.wb.ElapsedTime, 1);
    EXPECT_EQ(b.port.busyDepth, 0);
}

// The Plot menu's displays show their curves in the columns a producer of that many curves would take,
// but the next run allocates its one column as if they had not been shown.
TEST(SimulateCommand, DisplaysLeaveTheNextRunsColumnToTheRun) {
    for (const bool overlap : {false, true}) {
        for (const char* display : {"IPulse", "C0E"}) {
            Bench b;
            ASSERT_EQ(selectOption(b.wb, "optTech", 4), FormStatus::Done); // differential pulse
            ASSERT_EQ(okForm(b.wb, "FormTech"), FormStatus::Done);
            b.wb.params.CheckDigital = std::string(display) == "C0E"; // the digital model fills C0
            b.wb.plotOptions.overlap = overlap;
            b.wb.activateMainWindow();
            simulateCommand(b.wb);
            const int before = b.wb.store.NCurves;
            ASSERT_EQ(runCommand(b.wb, display), CommandStatus::Ran) << display;
            const int shown = b.wb.store.NCurves;
            EXPECT_GT(shown, overlap ? before : 1) << display;
            simulateCommand(b.wb);
            SCOPED_TRACE(std::string(display) + (overlap ? " with overlap" : ""));
            EXPECT_EQ(b.wb.store.NCurves, overlap ? shown + 1 : 1);
            EXPECT_EQ(b.wb.store.CurveNo, b.wb.store.NCurves);
            EXPECT_EQ(b.wb.store.CurvesPerRun, 1);
        }
    }
}

TEST(ResultLog, CurveNumberLinesAndClearThenTime) {
    Bench b;
    simulateCommand(b.wb);
    b.wb.store.NCurves = 2;
    curveNumberCommand(b.wb);
    nextCurveCommand(b.wb);
    nextCurveCommand(b.wb);
    EXPECT_EQ(b.wb.log.text(), "Curve Number is 1\r\nCurve Number is 2\r\nCurve Number is 1\r\n");
    clearResultsCommand(b.wb);
    EXPECT_EQ(b.wb.log.text(), "");
    b.wb.ElapsedTime = 1.5f;
    b.wb.negativeConcentrations = 3;
    timeCommand(b.wb);
    EXPECT_EQ(b.wb.log.text(),
              "time = 1.5 s\r\nmax iteration in simulation = 0\r\nNumber of - concentration = 3\r\n");
}

// A digital run on a typed grid (Auto digital model unticked) says in the timing report how far it is
// likely to be from converged; a run on the automatic grid adds nothing.
TEST(AnalyzeCommands, TimeReportsTheDistanceOfATypedDigitalGridFromConverged) {
    Bench b;
    ExperimentParams& p = b.wb.params;
    p.CheckDigital = true;
    p.optTech = 7; // staircase: one typed step per 0.5 s drop
    p.CheckAuto = false;
    p.TextTimeGrid = "0.5";
    simulateCommand(b.wb);
    ASSERT_TRUE(b.wb.digitalGridError);
    EXPECT_GT(*b.wb.digitalGridError, 0.05);
    clearResultsCommand(b.wb);
    timeCommand(b.wb);
    const std::string report = b.wb.log.text();
    EXPECT_NE(report.find("Number of - concentration = 0\r\nDigital model: the typed time grid and space grid "
                          "factor leave the current about "),
              std::string::npos)
        << report;

    p.CheckAuto = true;
    simulateCommand(b.wb);
    EXPECT_FALSE(b.wb.digitalGridError);
    clearResultsCommand(b.wb);
    timeCommand(b.wb);
    EXPECT_EQ(b.wb.log.text().find("Digital model"), std::string::npos);
}

TEST(FormCommands, SelectionsThatAreNotOfferedAreRefused) {
    Bench b;
    EXPECT_EQ(selectOption(b.wb, "optElectrode", 5), FormStatus::BadValue); // cylinder: digital only
    EXPECT_EQ(b.wb.params.Electrode, 1);
    EXPECT_EQ(selectOption(b.wb, "optTech", 11), FormStatus::BadValue);
    EXPECT_EQ(selectOption(b.wb, "optTech", 4), FormStatus::Done);
    EXPECT_TRUE(b.wb.menus.isEnabled("mnuIPulse"));
    EXPECT_EQ(b.wb.params.Technique, 1); // changes at the technique dialog's OK
    EXPECT_EQ(okForm(b.wb, "FormTech"), FormStatus::Done);
    EXPECT_EQ(b.wb.params.Technique, 4);
    EXPECT_EQ(selectOption(b.wb, "Frobnicate", 1), FormStatus::UnknownName);
}

} // namespace
} // namespace tessaly
