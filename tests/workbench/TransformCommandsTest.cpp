// The Plot menu's transforms through the command path: semi-integration of a reversible sweep, the
// log analysis of a reversible wave, the derivative, smoothing, and the X and Y data commands with
// their input boxes.

#include "analysis/VoltammogramTheory.h"
#include "base/NumberText.h"
#include "support/RecordingUserPort.h"
#include "workbench/CommandTable.h"
#include "workbench/Commands.h"
#include "workbench/Workbench.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <string>

namespace tessaly {
namespace {

constexpr double kNf = 96484.6 / (8.31441 * 298.14); // F/RT at 25 C, 1/V

// Records what the input boxes asked.
class AskingPort : public RecordingUserPort {
public:
    struct Question {
        std::string prompt, title, initial;
    };
    std::vector<Question> questions;
    std::optional<std::string> inputText(std::string_view prompt, std::string_view title,
                                         std::string_view initial) override {
        questions.push_back({std::string(prompt), std::string(title), std::string(initial)});
        return RecordingUserPort::inputText(prompt, title, initial);
    }
};

struct Bench {
    AskingPort port;
    Workbench wb{port};
    Bench() { wb.enableCurveMenus(); }
    void run(const char* command) { ASSERT_EQ(runCommand(wb, command), CommandStatus::Ran) << command; }
    double y(int i, int c = 1) const { return wb.store.Curve(i, c); }
};

double valueAfter(const std::string& text, const std::string& label) {
    const auto at = text.find(label);
    if (at == std::string::npos) {
        ADD_FAILURE() << "no '" << label << "' in: " << text;
        return NAN;
    }
    return leadingNumber(text.substr(at + label.size()));
}

// A straight line y = a + b E on a rising 1 mV grid of n points.
void writeLine(CurveStore& store, int n, double a, double b) {
    for (int k = 0; k < n; ++k) {
        store.E[k] = -0.3 + 0.001 * k;
        store.XAxis[k] = store.E[k];
        store.Curve(k, 1) = a + b * store.E[k];
    }
    store.NPoints = n;
    store.LastIndex = n - 1;
    store.FirstPoint = 1;
    store.LastPoint = n - 2;
    store.NCurves = 1;
    store.CurveNo = 1;
}

TEST(SemiIntegrateCommand, ReversibleSweepBecomesASigmoidOfPlateauNFACSqrtDWithItsHalfWavePotential) {
    Bench b;
    b.wb.params.V = "0.1";
    b.wb.params.td = "0.01"; // 1 mV per point at 0.1 V/s
    testing::SweepSetup sweep;
    sweep.start = 0.3;
    sweep.step = 0.001;
    sweep.forward = 701;
    sweep.halfWave = -0.05;
    sweep.nf = kNf;
    sweep.nFACsqrtD = 96484.6 * 0.001 * 0.0785 * 1e-3 * std::sqrt(1e-5); // n F A C sqrt(D), A s^1/2
    sweep.substeps = 4;
    testing::writeReversibleSweep(b.wb.store, sweep);
    b.run("SemiInte");
    const CurveStore& s = b.wb.store;
    EXPECT_NEAR(b.y(s.LastPoint) / sweep.nFACsqrtD, 1.0, 0.01);
    EXPECT_NEAR(b.y(s.FirstPoint + 10) / sweep.nFACsqrtD, 0.0, 0.01);
    EXPECT_EQ(b.wb.plotRequest.abscissa, Abscissa::Potential);

    b.run("FindHalfwaveE");
    const std::string& log = b.wb.log.text();
    EXPECT_EQ(log.rfind("Curve 1:\r\nPeak 1: E1/2= ", 0), 0u) << log;
    EXPECT_NEAR(valueAfter(log, "E1/2= "), sweep.halfWave, 0.001);
    EXPECT_NEAR(valueAfter(log, "Id,r= ") / sweep.nFACsqrtD, 1.0, 0.01);
}

TEST(LogCommand, ReversibleWaveIsLinearInPotentialWithFiftyNineMillivoltsPerDecade) {
    for (const int n : {1, 2}) {
        Bench b;
        const double halfWave = -0.2; // V
        testing::writeSigmoid(b.wb.store, 0.2, 0.001, 801, halfWave, n * kNf, 3e-6);
        b.run("Log");
        // Least-squares slope of log10((i lim1 - i)/(i - i lim2)) against E within 80/n mV of E1/2.
        double se = 0, sg = 0, see = 0, seg = 0;
        int count = 0;
        for (int k = 1; k < 800; ++k) {
            const double e = b.wb.store.E[k];
            if (std::fabs(e - halfWave) > 0.08 / n)
                continue;
            const double g = b.y(k);
            se += e;
            sg += g;
            see += e * e;
            seg += e * g;
            ++count;
        }
        const double slope = (count * seg - se * sg) / (count * see - se * se); // decades per V
        EXPECT_NEAR(1000 / slope, 59.16 / n, 1.0) << n; // mV per decade, 2.303 RT/nF at 25 C
    }
}

TEST(DifferentiateCommand, LinearCurrentGivesSlopeTimesScanRate) {
    Bench b;
    b.wb.params.V = "0.05";
    writeLine(b.wb.store, 401, 1e-6, 2e-5); // 2e-5 A/V
    b.run("Diff");
    for (const int k : {1, 100, 200, 399})
        EXPECT_NEAR(b.y(k), 2e-5 * 0.05, 1e-15) << k;
}

TEST(SmoothCommand, RemovesAOnePointSpikeAndKeepsAStraightLine) {
    Bench b;
    writeLine(b.wb.store, 101, 1e-6, 0);
    b.wb.store.Curve(50, 1) = 5e-6;
    b.run("Smooth");
    for (int k = 0; k <= 99; ++k)
        EXPECT_NEAR(b.y(k), 1e-6, 1e-18) << k;

    writeLine(b.wb.store, 101, 1e-6, 3e-6);
    b.run("Smooth");
    for (int k = 0; k <= 99; ++k)
        EXPECT_NEAR(b.y(k), 1e-6 + 3e-6 * b.wb.store.E[k], 1e-18) << k;
}

TEST(SemiIntegrateCommand, ConstantCurrentGrowsLikeTheSquareRootOfTime) {
    // The semi-integral of a constant i0 switched on at t = 0 is 2 i0 sqrt(t/pi). The integral starts
    // at point 1 (S(0) = S(1)), so t counts from there.
    Bench b;
    b.wb.params.V = "0.1";
    b.wb.params.td = "0.01";
    writeLine(b.wb.store, 1001, 1e-6, 0);
    b.run("SemiInte");
    for (const int k : {101, 401, 900}) {
        const double t = (k - 1) * 0.01;
        EXPECT_NEAR(b.y(k) / (2e-6 * std::sqrt(t / std::numbers::pi)), 1.0, 0.01) << k;
    }
}

TEST(ScaleYCommand, InputBoxScalesOrLeavesTheCurveAlone) {
    Bench b;
    writeLine(b.wb.store, 101, 1e-6, 1e-5);
    b.port.inputAnswers = {std::string(" 2e-3 "), std::string("   "), std::nullopt};
    const double before = b.y(40);
    b.run("ScaleY");
    ASSERT_EQ(b.port.questions.size(), 1u);
    EXPECT_EQ(b.port.questions[0].prompt, "Please input scale");
    EXPECT_EQ(b.port.questions[0].title, "Scale * Y");
    EXPECT_EQ(b.port.questions[0].initial, "1");
    EXPECT_DOUBLE_EQ(b.y(40), before * 0.002);
    b.run("ScaleY"); // blank
    b.run("ScaleY"); // Cancel
    EXPECT_DOUBLE_EQ(b.y(40), before * 0.002);
    EXPECT_EQ(b.wb.plotRequest.abscissa, Abscissa::XAxis);
}

TEST(MoveYCommand, OffersTheFirstPointAndSubtractsTheReply) {
    Bench b;
    writeLine(b.wb.store, 101, 1e-6, 0);
    b.wb.store.Curve(1, 1) = 2.5e-7;
    b.port.inputAnswers = {std::string("1e-6"), std::nullopt};
    b.run("MoveY");
    ASSERT_EQ(b.port.questions.size(), 1u);
    EXPECT_EQ(b.port.questions[0].prompt, "Please input Y0");
    EXPECT_EQ(b.port.questions[0].title, "Y-Y0");
    EXPECT_EQ(b.port.questions[0].initial, generalForm(2.5e-7));
    EXPECT_NEAR(b.y(50), 0.0, 1e-20);
    EXPECT_NEAR(b.y(0), 1e-6, 1e-20); // outside the active range
    b.run("MoveY");
    EXPECT_NEAR(b.y(50), 0.0, 1e-20);
}

TEST(YDataCommands, FixedScalesAndTheSumAndDifferenceOfCurvesOneAndTwo) {
    Bench b;
    writeLine(b.wb.store, 21, 1e-6, 0);
    for (int k = 0; k < 21; ++k) {
        b.wb.store.Curve(k, 2) = 3e-6;
        b.wb.store.Curve(k, 3) = 7e-6;
    }
    b.wb.store.NCurves = 3;
    b.wb.store.CurveNo = 3;
    b.run("Y1Y2");
    EXPECT_EQ(b.wb.store.NCurves, 4);
    EXPECT_EQ(b.wb.store.CurveNo, 3);
    EXPECT_DOUBLE_EQ(b.y(10, 4), 4e-6);
    b.run("Y2Y1");
    EXPECT_DOUBLE_EQ(b.y(10, 4), 2e-6);
    b.run("MinusY"); // the current curve, 3
    EXPECT_DOUBLE_EQ(b.y(10, 3), -7e-6);
    b.run("1000Y");
    EXPECT_DOUBLE_EQ(b.y(10, 3), -7e-3);
    EXPECT_DOUBLE_EQ(b.y(0, 3), 7e-6); // outside the active range
}

TEST(XDataCommands, ScaleAndReverseTheActiveRange) {
    Bench b;
    writeLine(b.wb.store, 21, 0, 1);
    b.run("0001X");
    EXPECT_DOUBLE_EQ(b.wb.store.E[5], (-0.3 + 0.005) * 0.001);
    EXPECT_DOUBLE_EQ(b.wb.store.E[0], -0.3);
    writeLine(b.wb.store, 21, 0, 1);
    b.run("MinusX");
    EXPECT_DOUBLE_EQ(b.wb.store.E[1], -0.3 + 0.019);
    EXPECT_DOUBLE_EQ(b.y(1), -0.3 + 0.019); // the curve follows its potentials
    EXPECT_DOUBLE_EQ(b.wb.store.E[19], -0.3 + 0.001);
}

TEST(LogSemiIntegralCommand, ResetsTheLastIndexToTheStoredPoints) {
    Bench b;
    writeLine(b.wb.store, 201, 1e-6, 0);
    b.wb.store.LastIndex = 150;
    b.run("LogIrr");
    EXPECT_EQ(b.wb.store.LastIndex, 200);
}

TEST(TransformCommands, FailuresAreReportedAndTheCurveKept) {
    Bench b;
    writeLine(b.wb.store, 101, 1e-6, 0);
    b.wb.params.td = "0";
    b.run("Semi");
    ASSERT_EQ(b.port.messages.size(), 1u);
    EXPECT_EQ(b.port.messages[0].text, "Division by zero");
    EXPECT_EQ(b.port.messages[0].title, "Error");
    EXPECT_DOUBLE_EQ(b.y(50), 1e-6);
}

} // namespace
} // namespace tessaly
