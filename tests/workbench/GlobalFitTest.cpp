// Fits beyond one curve: several scan rates at once with shared kinetics, a quantity tied to another, and
// a window that leaves a spoiled part of the curve out. Each measured curve is a simulation with noise,
// exported and fitted from a start away from the true values.

#include "base/AtomicFile.h"
#include "base/NumberText.h"
#include "curves/CurrentFile.h"
#include "support/RecordingUserPort.h"
#include "workbench/Commands.h"
#include "workbench/FormCommands.h"
#include "workbench/Workbench.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

namespace tessaly {
namespace {

struct Fitted {
    double value = 0;
    double standardError = 0;
};

// The uncertainty block of the last report: "k<TAB>value<TAB>standard error" after its header.
std::vector<Fitted> uncertaintyBlock(const std::string& log) {
    const std::string header = "No.\tFitted value\tStandard error\r\n";
    const auto at = log.rfind(header);
    std::vector<Fitted> out;
    if (at == std::string::npos)
        return out;
    std::istringstream in(log.substr(at + header.size()));
    std::string line;
    while (std::getline(in, line) && line.rfind("Correlation", 0) != 0) {
        const auto tab1 = line.find('\t');
        const auto tab2 = line.find('\t', tab1 + 1);
        out.push_back({leadingNumber(line.substr(tab1 + 1, tab2 - tab1 - 1)), leadingNumber(line.substr(tab2 + 1))});
    }
    return out;
}

class GlobalFit : public ::testing::Test {
protected:
    RecordingUserPort port;
    Workbench wb{port};
    std::vector<std::string> files;

    void TearDown() override {
        for (const std::string& f : files)
            std::remove(f.c_str());
    }

    // A sweep from `start` to -0.25 V in 2 mV steps at scan rate v with noise of `noise` A, saved as a
    // current file. Mechanism 1: E' = 0.05 V, ks = 0.01 cm/s, alpha = 0.5, D = 1e-5 cm2/s.
    std::string measure(const std::string& v, const std::string& start, const std::string& noise) {
        ExperimentParams& p = wb.params;
        p.Estart = start;
        p.Eend = "-0.25";
        p.Estep = "0.002";
        setField(wb, "V", v); // and td = Estep/v with it
        p.ks[1] = "0.01";
        p.alph[1] = "0.5";
        p.Eze[1] = "0.05";
        p.Noise = noise;
        simulateCommand(wb);
        p.Noise = "0";
        // Named after the test: ctest runs the tests of this fixture at the same time.
        const std::string file = (std::filesystem::temp_directory_path() /
                                  ("tessaly-globalfit-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()) +
                                   "-" + std::to_string(files.size()) + ".csv"))
                                     .string();
        files.push_back(file);
        port.fileAnswers.push_back(file);
        exportCurrentCommand(wb);
        return file;
    }

    void importCurve(const std::string& file) {
        port.fileAnswers.push_back(file);
        importCurrentCommand(wb);
    }

    void tickKinetics(double formalPotential, double ks, double alpha) {
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

// Three scan rates (0.05, 0.5 and 5 V/s: reversible to irreversible at ks = 0.01 cm/s), the same absolute
// noise on each, so the slow set is the noisiest relative to its current. From E' 30 mV off, ks a factor
// 5 off and alpha 0.1 off, the shared fit recovers each true value within three of its standard errors.
TEST_F(GlobalFit, RecoversSharedKineticsFromThreeScanRatesWithinThreeStandardErrors) {
    const std::string slow = measure("0.05", "0.35", "2e-9");
    const std::string middle = measure("0.5", "0.352", "2e-9");
    const std::string fast = measure("5", "0.354", "2e-9");
    ASSERT_TRUE(port.messages.empty()) << port.messages.front().text;
    wb.fitSetup.dataSets = {{slow, {{"V", "0.05"}}}, {middle, {{"V", "0.5"}}}, {fast, {{"V", "5"}}}};
    tickKinetics(0.08, 0.05, 0.6);
    wb.log.clear();
    autoFitCommand(wb);
    ASSERT_TRUE(port.messages.empty()) << port.messages.front().text << "\n" << wb.log.text();

    const std::string log = wb.log.text();
    const std::vector<Fitted> fitted = uncertaintyBlock(log);
    ASSERT_EQ(fitted.size(), 3u) << log;
    const double truth[] = {0.01, 0.5, 0.05}; // ks, alpha, E' in the order of the report
    for (std::size_t k = 0; k < 3; ++k) {
        EXPECT_GT(fitted[k].standardError, 0.0) << log;
        EXPECT_LT(std::fabs(fitted[k].value - truth[k]), 3 * fitted[k].standardError) << "parameter " << k + 1
                                                                                       << "\n" << log;
    }
    // The committed values are the fitted ones.
    EXPECT_NEAR(wb.params.committed.RateKs[1], fitted[0].value, 1e-6 * fitted[0].value);
    // The sets were measured from different start potentials: set 1 is shown with its fit, the others are
    // named instead of being drawn against potentials they were not measured at.
    EXPECT_EQ(wb.store.NCurves, 2);
    EXPECT_NE(log.find("Set 2 is not shown: it was measured at other potentials than set 1."), std::string::npos);
    EXPECT_NE(log.find("Set 3 is not shown"), std::string::npos);
    // One line of figures per set, each 1 - R^2 small.
    for (const char* line : {"\r\n1\t", "\r\n2\t", "\r\n3\t"})
        EXPECT_NE(log.find(line, log.rfind("Set\t1-R^2\tResidual SD")), std::string::npos) << line;
}

// Two scan rates over the same potentials: after the fit the store holds each measured curve (as its file
// has it) with its fitted curve beside it, and the plot shows them.
TEST_F(GlobalFit, EachSetIsShownBesideItsFittedCurve) {
    const std::string slow = measure("0.1", "0.35", "1e-9");
    const std::string fast = measure("1", "0.35", "1e-9");
    std::vector<CurrentFileData> read;
    for (const std::string& file : {slow, fast})
        read.push_back(readCurrentFile(readWholeFile(file)));
    wb.fitSetup.dataSets = {{slow, {{"V", "0.1"}}}, {fast, {{"V", "1"}}}};
    wb.params.Eze[1] = "0.06";
    wb.params.CheckFitted[31] = true;
    autoFitCommand(wb);
    ASSERT_TRUE(port.messages.empty()) << port.messages.front().text;
    const CurveStore& s = wb.store;
    ASSERT_EQ(s.NCurves, 4);
    EXPECT_EQ(s.CurveNo, 1);
    ASSERT_EQ(s.NPoints, read[0].count);
    EXPECT_TRUE(wb.plotRequest.valid);
    for (int j = 0; j < 2; ++j) {
        const int measured = 2 * j + 1;
        double peak = 0;
        for (int i = 0; i < s.NPoints; ++i)
            peak = std::max(peak, std::fabs(read[static_cast<std::size_t>(j)].current[static_cast<std::size_t>(i)]));
        for (int i = 0; i < s.NPoints; ++i) {
            const auto k = static_cast<std::size_t>(i);
            ASSERT_EQ(s.E[i], read[0].E[k]);
            ASSERT_EQ(s.Curve(i, measured), read[static_cast<std::size_t>(j)].current[k]) << j << " " << i;
            // The fit follows the measured curve to within the noise (1 nA) and a small part of the peak.
            if (i >= 1 && i <= s.NPoints - 2) {
                ASSERT_NEAR(s.Curve(i, measured + 1), s.Curve(i, measured), 1e-8 + 0.01 * peak) << j << " " << i;
            }
        }
    }
}

// D of the product tied to D of the reactant: the curve determines the common D; left untied, the
// product's D would stay at its start.
TEST_F(GlobalFit, TiedDiffusionCoefficientsMoveTogether) {
    importCurve(measure("0.1", "0.35", "1e-9"));
    ExperimentParams& p = wb.params;
    p.D[1] = "2e-5";
    p.D[2] = "2e-5";
    p.TextDmin[1] = "1e-7";
    p.TextDmax[1] = "1e-3";
    p.CheckFitted[121] = true;
    wb.fitSetup.ties = {{122, 121}};
    wb.log.clear();
    autoFitCommand(wb);
    ASSERT_TRUE(port.messages.empty()) << port.messages.front().text;
    const CommittedValues& c = wb.params.committed;
    EXPECT_NEAR(c.DiffCoef[1], 1e-5, 0.02e-5) << wb.log.text();
    EXPECT_EQ(c.DiffCoef[2], c.DiffCoef[1]);
    EXPECT_EQ(wb.params.FittedValueText[122], wb.params.FittedValueText[121]);
}

// The return sweep spoiled (as by a drifting reference at the vertex): fitted over the forward sweep's
// potentials only, E' and ks come back; over the whole curve they do not.
TEST_F(GlobalFit, AWindowLeavesTheSpoiledPointsOut) {
    ExperimentParams& p = wb.params;
    p.ComboScan = 1; // one cycle: forward and back
    importCurve(measure("0.1", "0.35", "1e-9"));
    const int column = wb.store.CurveNo;
    for (int i = wb.store.NForward + 1; i < wb.store.NPoints; ++i)
        wb.store.Curve(i, column) += 5e-6; // a large offset on the return sweep
    tickKinetics(0.07, 0.03, 0.5);
    p.CheckFitted[21] = false;
    wb.fitSetup.cycle = 0;
    wb.fitSetup.windows = {{FitWindow::Axis::Time, 0.0, 0.02 * (wb.store.NForward - 1)}};
    autoFitCommand(wb);
    ASSERT_TRUE(port.messages.empty()) << port.messages.front().text;
    EXPECT_NEAR(p.committed.FormalPotential[1], 0.05, 0.001) << wb.log.text();
    EXPECT_NEAR(p.committed.RateKs[1], 0.01, 0.001);

    wb.fitSetup.windows.clear();
    tickKinetics(0.07, 0.03, 0.5);
    p.CheckFitted[21] = false;
    autoFitCommand(wb);
    EXPECT_GT(std::fabs(p.committed.FormalPotential[1] - 0.05) + std::fabs(p.committed.RateKs[1] / 0.01 - 1), 0.01);
}

double reportedOneMinusR2(const std::string& log) {
    const std::string label = "1-R^2 = ";
    const auto at = log.rfind(label);
    return at == std::string::npos ? -1 : leadingNumber(log.substr(at + label.size()));
}

// The third of three cycles as the measured curve: the solution near the electrode still holds what the
// first two cycles left. Fitted with two cycles of history, E' and ks come back and the curve fits to the
// noise; fitted as if from a fresh solution, the fit is visibly worse.
TEST_F(GlobalFit, HistoryCyclesPrecedeTheMeasuredCycle) {
    ExperimentParams& p = wb.params;
    p.ComboScan = 3;
    measure("0.1", "0.35", "1e-9");
    p.ComboScan = 1;
    const CurveStore& s = wb.store;
    const int third = 4 * s.NForward;
    const std::string file = files.back() + ".third.csv";
    files.push_back(file);
    writeFileAtomically(file, currentFileText(s, third, s.NPoints - 1, s.CurveNo));
    importCurve(file);
    ASSERT_EQ(wb.store.NPoints, 2 * s.NForward);

    double oneMinusR2[2] = {};
    for (const int history : {2, 0}) {
        tickKinetics(0.07, 0.03, 0.5);
        p.CheckFitted[21] = false;
        wb.fitSetup.historyCycles = history;
        wb.log.clear();
        autoFitCommand(wb);
        ASSERT_TRUE(port.messages.empty()) << port.messages.front().text;
        oneMinusR2[history == 0] = reportedOneMinusR2(wb.log.text());
        if (history == 2) {
            EXPECT_NEAR(p.committed.FormalPotential[1], 0.05, 0.0005) << wb.log.text();
            EXPECT_NEAR(p.committed.RateKs[1], 0.01, 0.0005);
        }
    }
    EXPECT_LT(oneMinusR2[0], 0.5 * oneMinusR2[1]);
}

// A current file rewritten as an instrument's tab export: anodic currents positive, two scans of which
// the first is spoiled (its currents doubled), padding rows of empty fields at the end.
std::string asInstrumentExport(const std::string& currentFile) {
    std::istringstream in(readWholeFile(currentFile));
    std::string text = "Potential applied (V)\tTime (s)\tWE(1).Current (A)\tScan\r\n";
    std::vector<std::pair<double, double>> points;
    for (std::string line; std::getline(in, line);) {
        const auto comma = line.find(',');
        points.emplace_back(leadingNumber(line.substr(0, comma)), leadingNumber(line.substr(comma + 1)));
    }
    for (const int scan : {1, 2})
        for (std::size_t i = 0; i < points.size(); ++i)
            text += generalForm(points[i].first) + "\t" + generalForm(0.01 * static_cast<double>(i)) + "\t" +
                    generalForm(-points[i].second * (scan == 1 ? 2.0 : 1.0)) + "\t" + std::to_string(scan) + "\r\n";
    for (int k = 0; k < 5; ++k)
        text += "\t\t\t\r\n";
    return text;
}

// Data sets given as instrument exports are read as Import reads them (sign, last complete cycle), and
// need no curve in the store; a cycle the file lacks is refused naming the set's file.
TEST_F(GlobalFit, InstrumentExportsAreFittedAsImportReadsThem) {
    std::vector<std::string> exports;
    for (const char* v : {"0.1", "1"}) {
        const std::string own = measure(v, "0.35", "1e-9");
        exports.push_back(own + ".txt");
        files.push_back(exports.back());
        writeFileAtomically(exports.back(), asInstrumentExport(own));
    }
    wb.store = CurveStore{};
    wb.fitSetup.dataSets = {{exports[0], {{"V", "0.1"}}}, {exports[1], {{"V", "1"}, {"cycle", "last"}}}};
    tickKinetics(0.07, 0.03, 0.5);
    wb.params.CheckFitted[21] = false;
    wb.log.clear();
    autoFitCommand(wb);
    ASSERT_TRUE(port.messages.empty()) << port.messages.front().text << "\n" << wb.log.text();
    const std::vector<Fitted> fitted = uncertaintyBlock(wb.log.text());
    ASSERT_EQ(fitted.size(), 2u) << wb.log.text();
    const double truth[] = {0.01, 0.05}; // ks, E'
    for (std::size_t k = 0; k < 2; ++k)
        EXPECT_LT(std::fabs(fitted[k].value - truth[k]), 3 * fitted[k].standardError) << wb.log.text();

    wb.fitSetup.dataSets[1].fields.back().second = "3";
    autoFitCommand(wb);
    ASSERT_EQ(port.messages.size(), 1u) << port.messages.back().text;
    EXPECT_NE(port.messages.front().text.find("Data set " + exports[1] + ": Cycle 3 not in file (2 cycles)"),
              std::string::npos)
        << port.messages.front().text;
}

} // namespace
} // namespace tessaly
