// Fits that would end in a number that is not finite change nothing and say why; fits of nothing are
// refused; a report never prints NAN or INF as a goodness of fit.

#include "fitting/AutoFit.h"
#include "fitting/MarquardtFitter.h"
#include "support/RecordingUserPort.h"
#include "workbench/CommandGuard.h"
#include "workbench/Commands.h"
#include "workbench/FormCommands.h"
#include "workbench/Workbench.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

namespace tessaly {
namespace {

struct FitBench {
    RecordingUserPort port;
    Workbench wb{port};
    // A measured curve: the default sweep on a microdisk, simulated, in column CurveNo.
    FitBench() {
        EXPECT_EQ(selectOption(wb, "optElectrode", 4), FormStatus::Done);
        simulateCommand(wb);
        EXPECT_TRUE(port.messages.empty());
        wb.log.clear();
    }
    std::vector<double> column(int c) const {
        std::vector<double> out;
        for (int k = 0; k <= wb.store.NPoints; ++k)
            out.push_back(wb.store.Curve(k, c));
        return out;
    }
};

struct Snapshot {
    explicit Snapshot(const Workbench& wb)
        : ks(wb.params.committed.RateKs[1]), formalPotential(wb.params.committed.FormalPotential[1]),
          nCurves(wb.store.NCurves), curveNo(wb.store.CurveNo), nPoints(wb.store.NPoints),
          fittedText(wb.params.FittedValueText[11]) {
        for (int c = 0; c <= 3; ++c) {
            std::vector<double> column;
            for (int k = 0; k <= wb.store.NPoints; ++k)
                column.push_back(wb.store.Curve(k, c));
            columns.push_back(column);
        }
    }
    bool operator==(const Snapshot&) const = default;
    double ks, formalPotential;
    int nCurves, curveNo, nPoints;
    std::string fittedText;
    std::vector<std::vector<double>> columns;
};

// A microdisk of radius 1e150 cm in a solution of 1e300 mol/cm3 has a current that overflows (each number
// is finite and accepted; their product is not): every fit command from there ends with its message and
// leaves the experiment and the store exactly as they were.
TEST(FitNonFinite, FitsFromAStartThatIsNotFiniteChangeNothing) {
    struct Case {
        const char* label;
        void (*command)(Workbench&);
        const char* title;
        std::string message; // the end of the last message
    };
    const Case cases[] = {
        {"Auto Fit", autoFitCommand, "Fit Error", kNoSimulationFinishedText},
        {"Auto Separate", autoSeparateCommand, "Fit Error", kNoSimulationFinishedText},
        {"Manual Fit", manualFitCommand, "Simulation Error", "Overflow"},
        {"Manual Separate", manualSeparateCommand, "Simulation Error", "Overflow"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        FitBench b;
        b.wb.params.CheckFitted[11] = true; // ks(1)
        ASSERT_EQ(setField(b.wb, "radius", "1e150"), FormStatus::Done);
        ASSERT_EQ(setField(b.wb, "C(1)", "1e300"), FormStatus::Done);
        ASSERT_TRUE(b.port.messages.empty()) << b.port.messages.front().text; // both accepted as typed
        b.port.messages.clear();
        const Snapshot before(b.wb);
        c.command(b.wb);
        ASSERT_FALSE(b.port.messages.empty());
        const std::string& text = b.port.messages.back().text;
        EXPECT_EQ(b.port.messages.back().title, c.title);
        EXPECT_NE(text.find(c.message), std::string::npos) << text;
        EXPECT_TRUE(Snapshot(b.wb) == before);
        EXPECT_TRUE(storeIsFinite(b.wb.store));
        EXPECT_EQ(b.wb.log.text().find("1-R^2"), std::string::npos) << b.wb.log.text();
        EXPECT_FALSE(b.wb.store.FitMode);
        EXPECT_FALSE(b.wb.store.SeparateMode);
        EXPECT_EQ(b.port.busyDepth, 0);
    }
}

// A fit with no quantity to vary would print the start as a perfect fit: refused for Auto Fit and Auto
// Separate alike, whether nothing is ticked or every ticked quantity follows another, and no component
// curves appear.
TEST(FitNothingToVary, IsRefusedWithTheReason) {
    struct Case {
        const char* label;
        void (*command)(Workbench&);
        bool tiedOnly;
        const char* message;
    };
    const char* const nothing =
        "No parameter is ticked for fitting: tick the quantities to fit in the kinetics or species dialog.";
    const char* const tied = "Every ticked quantity is tied to another: untie one, or tick the quantity they "
                             "follow.";
    const Case cases[] = {
        {"Auto Fit, nothing ticked", autoFitCommand, false, nothing},
        {"Auto Separate, nothing ticked", autoSeparateCommand, false, nothing},
        {"Auto Fit, only tied", autoFitCommand, true, tied},
        {"Auto Separate, only tied", autoSeparateCommand, true, tied},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        FitBench b;
        if (c.tiedOnly) {
            b.wb.params.CheckFitted[122] = true; // D(2), tied to D(1)
            b.wb.fitSetup.ties = {{122, 121}};
        }
        const Snapshot before(b.wb);
        c.command(b.wb);
        ASSERT_EQ(b.port.messages.size(), 1u);
        EXPECT_EQ(b.port.messages[0].title, "Fit Error");
        EXPECT_EQ(b.port.messages[0].text, c.message);
        EXPECT_EQ(b.wb.log.text(), "");
        EXPECT_TRUE(Snapshot(b.wb) == before);
        EXPECT_FALSE(b.wb.store.SeparateMode);
    }
}

// The goodness-of-fit figures print as numbers while finite and as "undefined" otherwise.
TEST(FitReport, FiguresThatAreNotFiniteSayUndefined) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::pair<double, const char*> cases[] = {
        {0.25, "0.25"}, {0.0, "0"}, {nan, "undefined"}, {inf, "undefined"}, {-inf, "undefined"}};
    for (const auto& [value, text] : cases)
        EXPECT_EQ(figureText(value), text) << value;

    AutoFitResult result;
    result.sets = {{0.001, 2e-9, 100}, {nan, inf, 100}};
    const std::string report = uncertaintyReport(result, {}, {}, {});
    EXPECT_NE(report.find("1\t0.001\t2E-09\r\n"), std::string::npos) << report;
    EXPECT_NE(report.find("2\tundefined\tundefined\r\n"), std::string::npos) << report;
    for (const char* word : {"NAN", "nan", "INF", "inf"})
        EXPECT_EQ(report.find(word), std::string::npos) << report;
}

} // namespace
} // namespace tessaly
