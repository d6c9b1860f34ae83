// Auto Fit end to end: a simulated quasi-reversible voltammogram with noise is exported, imported as
// the measured curve, and fitted from a start away from the true values.

#include "base/NumberText.h"
#include "support/RecordingUserPort.h"
#include "workbench/Commands.h"
#include "workbench/Workbench.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

namespace tessaly {
namespace {

std::vector<std::string> logLines(const Workbench& wb) {
    std::vector<std::string> out;
    std::istringstream in(wb.log.text());
    std::string line;
    while (std::getline(in, line))
        out.push_back(line.substr(0, line.find('\r')));
    return out;
}

struct Truth {
    double formalPotential = 0.05; // V
    double ks = 0.01;              // cm/s: quasi-reversible at 0.1 V/s
    double alpha = 0.5;
};

class AutoFitRecovery : public ::testing::Test {
protected:
    RecordingUserPort port;
    Workbench wb{port};
    // Named after the test: ctest runs the tests of this fixture at the same time.
    std::string file = (std::filesystem::temp_directory_path() /
                        ("tessaly-autofit-" +
                         std::string(testing::UnitTest::GetInstance()->current_test_info()->name()) + ".csv"))
                           .string();

    void TearDown() override { std::remove(file.c_str()); }

    // Mechanism 1 under a sweep from 0.35 to -0.25 V at 0.1 V/s in 2 mV steps, with 0.25 % noise.
    void measure(const Truth& t) {
        ExperimentParams& p = wb.params;
        p.Estart = "0.35";
        p.Eend = "-0.25";
        p.Estep = "0.002";
        p.V = "0.1";
        p.td = "0.02";
        p.ks[1] = generalForm(t.ks);
        p.alph[1] = generalForm(t.alpha);
        p.Eze[1] = generalForm(t.formalPotential);
        p.Noise = "5e-9"; // 0.25 % of the peak current
        simulateCommand(wb);
        port.fileAnswers.push_back(file);
        exportCurrentCommand(wb);
        port.fileAnswers.push_back(file);
        importCurrentCommand(wb);
        p.Noise = "0";
    }

    void startFrom(double formalPotential, double ks, double alpha) {
        ExperimentParams& p = wb.params;
        p.Eze[1] = generalForm(formalPotential);
        p.ks[1] = generalForm(ks);
        p.alph[1] = generalForm(alpha);
        p.TextEzeromin[1] = "-0.05";
        p.TextEzeromax[1] = "0.15";
        p.TextKsmin[1] = "1e-4";
        p.TextKsmax[1] = "1";
        p.TextAlphaMin[1] = "0.2";
        p.TextAlphamax[1] = "0.8";
        p.CheckFitted[11] = p.CheckFitted[21] = p.CheckFitted[31] = true;
    }
};

TEST_F(AutoFitRecovery, RecoversFormalPotentialRateConstantAndTransferCoefficient) {
    const Truth truth;
    measure(truth);
    ASSERT_TRUE(port.messages.empty()) << port.messages.front().text;
    const int measuredColumn = wb.store.CurveNo;
    startFrom(truth.formalPotential + 0.030, truth.ks * 5, truth.alpha + 0.1);
    wb.log.clear();
    autoFitCommand(wb);
    ASSERT_TRUE(port.messages.empty()) << port.messages.front().text;

    const CommittedValues& c = wb.params.committed;
    RecordProperty("fittedFormalPotential", generalForm(c.FormalPotential[1]));
    RecordProperty("fittedKs", generalForm(c.RateKs[1]));
    RecordProperty("fittedAlpha", generalForm(c.Alpha[1]));
    EXPECT_NEAR(c.FormalPotential[1], truth.formalPotential, 0.001) << wb.log.text();
    EXPECT_NEAR(c.RateKs[1], truth.ks, 0.1 * truth.ks);
    EXPECT_NEAR(c.Alpha[1], truth.alpha, 0.02);
    EXPECT_EQ(wb.store.CurveNo, measuredColumn);

    // The report: a blank line, one "Least square" line per iteration, the table, the summary.
    const auto lines = logLines(wb);
    std::size_t i = 0;
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[i++], "");
    int iterations = 0;
    while (i < lines.size() && lines[i].rfind("Least square = ", 0) == 0) {
        ++iterations;
        ++i;
    }
    EXPECT_GE(iterations, 2);
    EXPECT_LE(iterations, 51);
    ASSERT_LT(i + 12, lines.size() + 1);
    EXPECT_EQ(lines[i++], "No.\tInitial value\tFitted value");
    EXPECT_EQ(lines[i++].rfind("1\t5e-2\t\t", 0), 0u); // ks(1) entered as 0.05
    EXPECT_EQ(lines[i++].rfind("2\t6e-1\t\t", 0), 0u); // alpha(1) entered as 0.6
    EXPECT_EQ(lines[i++].rfind("3\t8e-2\t\t", 0), 0u); // E'(1) entered as 0.08
    const char* summary[] = {"1-R^2 = ",
                             "Least square = ",
                             "Standard deviation^2 = ",
                             "Convergence flag = ",
                             "No. of iteration = ",
                             "No. of object fun. = ",
                             "No. of MARQUARDS = ",
                             "Computation time (s) ="};
    for (const char* label : summary)
        EXPECT_EQ(lines[i++].rfind(label, 0), 0u) << label;
    EXPECT_EQ(lines[i - 4], "No. of iteration = " + std::to_string(iterations));
    // After the designed lines, the numbers of the table named.
    ASSERT_GE(lines.size(), i + 3);
    EXPECT_EQ(lines[i++], "Parameter 1: ks(1) (cm/s)");
    EXPECT_EQ(lines[i++], "Parameter 2: a(1)");
    EXPECT_EQ(lines[i++], "Parameter 3: E'(1) (V)");
    // Then the uncertainty block.
    ASSERT_LT(i, lines.size());
    EXPECT_EQ(lines[i], "No.\tFitted value\tStandard error");
    EXPECT_EQ(wb.params.FittedValueText[31], formatMask(c.FormalPotential[1], "0.###e-#"));
}

TEST_F(AutoFitRecovery, StartOutsideTheLimitsBeginsAtTheNearerLimitAndReportsTheEnteredValue) {
    measure(Truth{});
    startFrom(0.05, 0.01, 0.5);
    wb.params.CheckFitted[11] = wb.params.CheckFitted[21] = false;
    wb.params.Eze[1] = "0.3"; // above the maximum 0.15
    wb.log.clear();
    autoFitCommand(wb);
    const auto lines = logLines(wb);
    bool found = false;
    for (const std::string& line : lines)
        found = found || line.rfind("1\t3e-1\t\t", 0) == 0;
    EXPECT_TRUE(found) << wb.log.text();
    EXPECT_NEAR(wb.params.committed.FormalPotential[1], 0.05, 0.002);
}

TEST_F(AutoFitRecovery, PerfectStartEndsAtOnceWithoutDerivatives) {
    measure(Truth{});
    // Replace the noisy measurement by the noise-free simulation of the true values.
    wb.params.Noise = "0";
    manualFitCommand(wb);
    const int measured = wb.store.CurveNo;
    for (int i = 0; i <= wb.store.LastIndex; ++i)
        wb.store.Curve(i, measured) = wb.store.Curve(i, measured + 1);
    startFrom(0.05, 0.01, 0.5);
    wb.log.clear();
    autoFitCommand(wb);
    const auto lines = logLines(wb);
    const std::string text = wb.log.text();
    EXPECT_NE(text.find("Convergence flag = -1\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("No. of object fun. = 1\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("No. of iteration = 1\r\n"), std::string::npos) << text;
}

TEST_F(AutoFitRecovery, AutoSeparateShowsTheComponentsOfTwoOverlappedWaves) {
    ExperimentParams& p = wb.params;
    p.mech = 2; // A + ne <-> B, B + ne <-> C: two waves 60 mV apart
    p.Eze[1] = "0.05";
    p.Eze[2] = "-0.01";
    measure(Truth{0.05, 1e4, 0.5});
    p.Eze[1] = "0.07";
    p.Eze[2] = "-0.03";
    p.TextEzeromin[2] = "-0.1";
    p.TextEzeromax[2] = "0.05";
    p.CheckFitted[31] = p.CheckFitted[32] = true;
    autoSeparateCommand(wb);
    ASSERT_TRUE(port.messages.empty()) << port.messages.front().text;
    const CurveStore& s = wb.store;
    EXPECT_EQ(s.NCurves, 4);
    for (int i = s.FirstPoint; i <= s.LastPoint; ++i)
        ASSERT_NEAR(s.Curve(i, 3) + s.Curve(i, 4), s.Curve(i, 2), 1e-12 * std::fabs(s.Curve(i, 2)) + 1e-20)
            << i;
    EXPECT_NEAR(p.committed.FormalPotential[1], 0.05, 0.002);
    EXPECT_NEAR(p.committed.FormalPotential[2], -0.01, 0.002);
}

} // namespace
} // namespace tessaly
