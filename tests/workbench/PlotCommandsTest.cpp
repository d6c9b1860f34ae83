// What the plot shows after the commands: the names in the legend, the plot window's title, the
// user's zoom, the unsaved curves, and the waveform of a run on a fine digital time grid.

#include "base/NumberText.h"
#include "support/RecordingUserPort.h"
#include "workbench/CommandTable.h"
#include "workbench/Workbench.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace tessaly {
namespace {

struct Bench {
    RecordingUserPort port;
    Workbench wb{port};
    void run(const char* command) { ASSERT_EQ(runCommand(wb, command), CommandStatus::Ran) << command; }
};

std::string tempPath(const char* name) {
    return (std::filesystem::temp_directory_path() / name).string();
}

// A run and an import longer than the classic 5001 points grow the curve table during the command;
// the legend compares the columns with the smaller table it kept from before.
TEST(Legend, CommandsThatGrowTheStoreNameTheirCurves) {
    Bench b;
    b.wb.params.V = "0.1";
    b.wb.params.Estep = "0.000035"; // 0.7 V in 20,000 steps
    b.run("Simulate");
    ASSERT_EQ(b.wb.store.NPoints, 20001);
    EXPECT_TRUE(b.port.messages.empty());
    EXPECT_EQ(b.wb.curveNames[1], "Simulated, CV, mechanism 1, v = 0.1 V/s");

    const std::string file = tempPath("tessaly-legend-long.csv");
    b.port.fileAnswers.push_back(file);
    b.run("Export");
    Bench fresh;
    fresh.port.fileAnswers.push_back(file);
    fresh.run("Import");
    EXPECT_EQ(fresh.wb.store.NPoints, 19999); // the active range 1..NPoints - 2
    EXPECT_TRUE(fresh.port.messages.empty());
    EXPECT_EQ(fresh.wb.curveNames[1], "Imported: tessaly-legend-long.csv");
    std::remove(file.c_str());
}

TEST(Legend, EachCommandNamesTheCurvesItWrote) {
    Bench b;
    b.wb.params.V = "0.1";
    b.run("Simulate");
    EXPECT_EQ(b.wb.curveNames[1], "Simulated, CV, mechanism 1, v = 0.1 V/s");

    // Exported and read back beside it (overlap): the second column is named after the file.
    const std::string file = tempPath("tessaly-legend-test.csv");
    b.port.fileAnswers.push_back(file);
    b.run("Export");
    b.wb.plotOptions.overlap = true;
    b.port.fileAnswers.push_back(file);
    b.run("Import");
    EXPECT_EQ(b.wb.store.NCurves, 2);
    EXPECT_EQ(b.wb.curveNames[1], "Simulated, CV, mechanism 1, v = 0.1 V/s");
    EXPECT_EQ(b.wb.curveNames[2], "Imported: tessaly-legend-test.csv");
    EXPECT_EQ(b.wb.plotTitle, file);

    // A transform of the current curve (the imported one) keeps its origin in the name.
    b.run("Semi");
    EXPECT_EQ(b.wb.curveNames[2], "Imported: tessaly-legend-test.csv, Semi dy/dt");
    EXPECT_EQ(b.wb.curveNames[1], "Simulated, CV, mechanism 1, v = 0.1 V/s");

    // A simulation on its own: the file name leaves the plot's title, the digital model shows.
    b.wb.plotOptions.overlap = false;
    b.wb.params.CheckDigital = true;
    b.wb.params.DigitalFlag = true;
    b.run("Simulate");
    EXPECT_EQ(b.wb.store.NCurves, 1);
    EXPECT_EQ(b.wb.curveNames[1], "Simulated, CV, digital, v = 0.1 V/s");
    EXPECT_EQ(b.wb.plotTitle, "");
    EXPECT_EQ(b.port.plotTitle, "");
    std::remove(file.c_str());
}

TEST(Legend, ExportingTheCurvesSavesTheResults) {
    Bench b;
    EXPECT_FALSE(b.wb.unsavedCurves);
    b.run("Simulate");
    EXPECT_TRUE(b.wb.unsavedCurves);
    b.run("FindPeak"); // reports, writes no curve
    EXPECT_TRUE(b.wb.unsavedCurves);
    b.port.fileAnswers.push_back(std::nullopt); // a cancelled export saves nothing
    b.run("Export");
    EXPECT_TRUE(b.wb.unsavedCurves);
    const std::string file = tempPath("tessaly-unsaved-test.csv");
    b.port.fileAnswers.push_back(file);
    b.run("Export");
    EXPECT_FALSE(b.wb.unsavedCurves);
    std::remove(file.c_str());
}

TEST(PlotView, ACommandThatDrawsAnewLeavesTheUsersZoom) {
    Bench b;
    b.run("Simulate");
    b.wb.plotView = ViewRange{0.0, 0.1, 0.0, 1e-7};
    b.run("Option"); // shows the dialog only
    EXPECT_TRUE(b.wb.plotView);
    b.run("iE");
    EXPECT_FALSE(b.wb.plotView);
}

// A digital run on a typed time grid ten times finer than the drop time records the applied potential
// per time step; the Waveform plot still shows the whole programme, point by point at the drop times.
TEST(WaveformCommand, FineDigitalTimeGridShowsTheWholeProgramme) {
    Bench b;
    ExperimentParams& p = b.wb.params;
    p.CheckDigital = true;
    p.DigitalFlag = true;
    p.CheckAuto = false;
    p.Estart = "0.3";
    p.Eend = "-0.3";
    p.Estep = "0.005";
    p.V = "0.1";
    p.td = "0.05";
    p.TextTimeGrid = "0.005";
    b.run("Simulate");
    const CurveStore& s = b.wb.store;
    const int first = s.FirstPoint;
    const int last = s.LastPoint;
    ASSERT_GT(last - first, 100);
    b.run("Et");
    EXPECT_EQ(s.XTitle, "t /s");
    EXPECT_EQ(s.YTitle, "E /V");
    double low = 1e9;
    double high = -1e9;
    for (int i = first; i <= last; ++i) {
        EXPECT_DOUBLE_EQ(s.XAxis[i], i * 0.05) << i;
        low = std::min(low, s.Curve(i, 1));
        high = std::max(high, s.Curve(i, 1));
    }
    // The sweep from 0.3 V down to -0.3 V, at 0.1 V/s: 0.005 V per 0.05 s drop.
    EXPECT_NEAR(high, 0.3, 0.011);
    EXPECT_NEAR(low, -0.3, 0.011);
    EXPECT_NEAR(s.Curve(last, 1) - s.Curve(first, 1), -0.005 * (last - first), 1e-9);
    EXPECT_EQ(b.wb.curveNames[1], "Applied potential");
}

} // namespace
} // namespace tessaly
