// Find Peak and Theoretical Peak through the command path: each curve's threshold follows the curve
// itself, whatever the plot's limits, and the report goes to the result log.

#include "analysis/VoltammogramTheory.h"
#include "base/NumberText.h"
#include "plot/RecordingCanvas.h"
#include "support/RecordingUserPort.h"
#include "workbench/CommandTable.h"
#include "workbench/Commands.h"
#include "workbench/Workbench.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>

namespace tessaly {
namespace {

constexpr double kNf = 96484.6 / (8.31441 * 298.14); // F/RT at 25 C, 1/V

struct Bench {
    RecordingUserPort port;
    Workbench wb{port};
    Bench() {
        wb.enableCurveMenus();
        wb.plotOptions.Yauto = true; // the Y limits follow the curves drawn
    }
    void run(const char* command) { ASSERT_EQ(runCommand(wb, command), CommandStatus::Ran) << command; }
};

double valueAfter(const std::string& text, const std::string& label) {
    const auto at = text.find(label);
    if (at == std::string::npos) {
        ADD_FAILURE() << "no '" << label << "' in: " << text;
        return NAN;
    }
    return leadingNumber(text.substr(at + label.size()));
}

TEST(FindPeakCommand, ReversibleCycleAndASmallCurveBesideItEachGetTheirPeaks) {
    Bench b;
    testing::SweepSetup sweep;
    sweep.forward = 601;
    sweep.cycle = true;
    sweep.nf = kNf;
    sweep.nFACsqrtD = 1e-6;
    sweep.substeps = 4;
    testing::writeReversibleSweep(b.wb.store, sweep);
    // Curve 2: the same voltammogram at 1 % of the size, drawn with curve 1.
    for (int k = 0; k < b.wb.store.NPoints; ++k)
        b.wb.store.Curve(k, 2) = 0.01 * b.wb.store.Curve(k, 1);
    b.wb.store.NCurves = 2;
    b.wb.params.committed.CycleCount = 1;
    b.wb.redraw(Abscissa::Potential);

    b.run("FindPeak");
    const std::string& log = b.wb.log.text();
    EXPECT_EQ(b.port.resultUpdates, 1);
    const auto curve2 = log.find("Curve 2:\r\n");
    ASSERT_NE(curve2, std::string::npos) << log;
    EXPECT_EQ(log.rfind("Curve 1:\r\nPeak 1: Ep= ", 0), 0u) << log;
    EXPECT_NE(log.find("\r\nPeak 2: Ep= "), std::string::npos) << log;
    EXPECT_EQ(log.find("\r\nPeak 3: "), std::string::npos) << log; // the switching point is no peak
    EXPECT_NEAR(valueAfter(log, "Ep2 - Ep1 = "), 0.059, 0.003);
    EXPECT_NE(log.find("Ip2/Ip1 = -"), std::string::npos) << log;
    EXPECT_NE(log.find("Ipa/Ipc = "), std::string::npos) << log;
    // The small curve's peaks, at the same potentials and 1 % of the currents.
    const std::string small = log.substr(curve2);
    EXPECT_EQ(small.rfind("Curve 2:\r\nPeak 1: Ep= ", 0), 0u) << small;
    EXPECT_NEAR(valueAfter(small, "Ip= ") / valueAfter(log, "Ip= "), 0.01, 1e-4);
    EXPECT_NEAR(valueAfter(small, "Ep2 - Ep1 = "), 0.059, 0.003);
}

TEST(FindPeakCommand, OnlyOneCycleGetsTheTwoPeakSummary) {
    Bench b;
    testing::SweepSetup sweep;
    sweep.cycle = true;
    sweep.nf = kNf;
    sweep.nFACsqrtD = 1e-6;
    sweep.substeps = 2;
    testing::writeReversibleSweep(b.wb.store, sweep);
    b.wb.redraw(Abscissa::Potential);
    b.wb.params.committed.CycleCount = 2;
    b.run("FindPeak");
    EXPECT_EQ(b.wb.log.text().find("Ep2 - Ep1"), std::string::npos);
    // Differential pulse: the summary without the switching-current rule.
    b.wb.params.committed.CycleCount = 1;
    b.wb.params.Technique = 4;
    b.run("FindPeak");
    EXPECT_NE(b.wb.log.text().find("Ep2 - Ep1"), std::string::npos);
    EXPECT_EQ(b.wb.log.text().find("Ipc = "), std::string::npos);
}

// The threshold comes from the curve, not from the plot: a microampere voltammogram under the old
// manual limits of +-1 mA, a flat line on the plot, still gives its two peaks, painted or not.
TEST(FindPeakCommand, ThresholdDoesNotDependOnThePlotLimits) {
    Bench b;
    testing::SweepSetup sweep;
    sweep.cycle = true;
    sweep.nf = kNf;
    sweep.nFACsqrtD = 1e-8; // a small voltammogram
    sweep.substeps = 2;
    testing::writeReversibleSweep(b.wb.store, sweep);
    b.wb.params.committed.CycleCount = 1;
    std::string reports[3];
    for (int k = 0; k < 3; ++k) {
        b.wb.plotOptions.Yauto = k == 0;
        b.wb.plotOptions.YminText = "-1e-3";
        b.wb.plotOptions.YmaxText = k == 1 ? "1e-3" : "1e-9";
        b.wb.redraw(Abscissa::Potential);
        RecordingCanvas canvas;
        ASSERT_EQ(b.wb.paintPlot(canvas).result, PlotResult::Drawn);
        b.wb.clearResults();
        b.run("FindPeak");
        reports[k] = b.wb.log.text();
    }
    EXPECT_EQ(reports[0].rfind("Curve 1:\r\nPeak 1: Ep= ", 0), 0u) << reports[0];
    EXPECT_NE(reports[0].find("Ep2 - Ep1 = "), std::string::npos) << reports[0];
    EXPECT_EQ(reports[1], reports[0]);
    EXPECT_EQ(reports[2], reports[0]);
}

TEST(TheoreticalPeakCommand, CommitsTheExperimentAndWritesTheHeaderAndLines) {
    Bench b;
    b.run("TheoPeak");
    const std::string& log = b.wb.log.text();
    EXPECT_EQ(
        log.rfind(
            "Theoretical upper and lower limiting currents of technique 1, electrode 1, mechanism 1 :\r\n"
            "Reversible Peak  1: Ep= ",
            0),
        0u)
        << log;
    EXPECT_NE(log.find("\r\nIrreversible Peak 1: Ep= "), std::string::npos) << log;
    // Randles-Sevcik with the committed defaults: 1 mM, 1e-5 cm2/s, 7.85e-3 cm2, 0.01 V/s.
    const double ip = 0.4463 * 96484.6 * 0.001 * 7.85e-3 * 1e-3 * std::sqrt(b.wb.params.fRT * 0.01 * 1e-5);
    EXPECT_NEAR(valueAfter(log, "Ip= ") / ip, 1.0, 1e-3);
    EXPECT_EQ(b.port.resultUpdates, 1);
}

} // namespace
} // namespace tessaly
