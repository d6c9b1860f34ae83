// Commands end with finite numbers or with their message and nothing changed, and say why when there
// is nothing: a microdisk too large for a finite current, transforms that overflow, combinations
// without an analytical formula, an imported-waveform run without a waveform, analyses of no curve.

#include "support/RecordingUserPort.h"
#include "workbench/CommandGuard.h"
#include "workbench/Commands.h"
#include "workbench/FormCommands.h"
#include "workbench/Workbench.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>
#include <utility>

namespace tessaly {
namespace {

struct Bench {
    RecordingUserPort port;
    Workbench wb{port};
    std::vector<double> curve(int c = 1) const {
        std::vector<double> out;
        for (int k = 0; k < wb.store.NPoints; ++k)
            out.push_back(wb.store.Curve(k, c));
        return out;
    }
    bool nonZeroCurve(int c = 1) const {
        for (int k = 0; k < wb.store.NPoints; ++k)
            if (wb.store.Curve(k, c) != 0)
                return true;
        return false;
    }
};

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Each case runs a default sweep, then its command(s); the store must stay finite, and a command that
// would have left a non-finite point says so and changes nothing.
struct NonFiniteCase {
    const char* label;
    void (*act)(Bench&);
    const char* message; // of the refused command
};

const std::vector<NonFiniteCase>& nonFiniteCases() {
    static const std::vector<NonFiniteCase> cases = {
        {"microdisk radius 1e300",
         [](Bench& b) {
             ASSERT_EQ(selectOption(b.wb, "optElectrode", 4), FormStatus::Done);
             ASSERT_EQ(setField(b.wb, "radius", "1e300"), FormStatus::Done);
             simulateCommand(b.wb);
         },
         "Disc radius (cm) must be greater than 0 and give a finite area !"},
        {"ScaleY 1e308 twice",
         [](Bench& b) {
             scaleYCommand(b.wb, 1e308);
             ASSERT_TRUE(b.port.messages.empty()) << b.port.messages.front().text; // 1e302 A: finite
             scaleYCommand(b.wb, 1e308);
         },
         kNotFiniteMessage},
        {"MoveY 1e308 twice",
         [](Bench& b) {
             b.port.inputAnswers = {"1e308", "1e308"};
             moveYCommand(b.wb);
             ASSERT_TRUE(b.port.messages.empty()) << b.port.messages.front().text;
             moveYCommand(b.wb);
         },
         kNotFiniteMessage},
    };
    return cases;
}

TEST(NonFinite, CommandsEndFiniteOrRefusedWithNothingChanged) {
    for (const NonFiniteCase& c : nonFiniteCases()) {
        SCOPED_TRACE(c.label);
        Bench b;
        simulateCommand(b.wb);
        ASSERT_TRUE(b.port.messages.empty());
        c.act(b);
        if (::testing::Test::HasFatalFailure())
            return;
        const std::vector<double> before = b.curve(b.wb.store.CurveNo);
        ASSERT_FALSE(b.port.messages.empty()) << "a non-finite result passed silently";
        EXPECT_TRUE(endsWith(b.port.messages.back().text, c.message)) << b.port.messages.back().text;
        EXPECT_TRUE(storeIsFinite(b.wb.store));
        // What the refused command found is still there, and later commands compute on finite numbers.
        b.port.messages.clear();
        differentiateCommand(b.wb);
        EXPECT_TRUE(storeIsFinite(b.wb.store));
        findPeakCommand(b.wb);
        EXPECT_EQ(b.wb.log.text().find("NAN"), std::string::npos) << b.wb.log.text();
        EXPECT_EQ(b.wb.log.text().find("INF"), std::string::npos) << b.wb.log.text();
        (void)before;
    }
}

// The refused simulation leaves the previous curve and slots exactly as they were.
TEST(NonFinite, RefusedSimulationKeepsTheStore) {
    Bench b;
    simulateCommand(b.wb);
    const std::vector<double> first = b.curve();
    const int curves = b.wb.store.NCurves, curveNo = b.wb.store.CurveNo;
    b.wb.plotOptions.overlap = true; // would otherwise take a new column
    ASSERT_EQ(selectOption(b.wb, "optElectrode", 4), FormStatus::Done);
    ASSERT_EQ(setField(b.wb, "radius", "1e300"), FormStatus::Done);
    simulateCommand(b.wb);
    ASSERT_FALSE(b.port.messages.empty());
    EXPECT_EQ(b.port.messages.back().title, "Simulation Error");
    EXPECT_EQ(b.wb.store.NCurves, curves);
    EXPECT_EQ(b.wb.store.CurveNo, curveNo);
    EXPECT_EQ(b.curve(), first);
}

// Combinations without an analytical formula: a message naming the combination in the result window,
// no curve; a combination with a formula still gives its (non-zero) curve.
struct CoverageCase {
    const char* label;
    int technique, electrode, mechanism;
    bool digitalThenCleared; // the electrode was chosen with the digital box ticked, then the box cleared
    const char* named;       // "" when the combination has a formula
};

TEST(NothingComputed, CombinationsWithoutAFormulaSaySo) {
    const CoverageCase cases[] = {
        {"designed waveform, planar", 9, 1, 1, false,
         "technique 9 (Design waveform) with mechanism 1 (A + ne = B) at electrode 1 (Planar disk)"},
        {"designed waveform, sphere", 9, 2, 11, false,
         "technique 9 (Design waveform) with mechanism 11 (A + ne <-> B) at electrode 2 ((Micro) Spherical)"},
        {"DME, normal pulse", 3, 7, 1, false,
         "technique 3 (Normal pulse and reverse pulse voltammetry) with mechanism 1 (A + ne = B) at electrode "
         "7 (DME)"},
        {"DME, differential pulse", 4, 7, 1, false, "technique 4"},
        {"ErEr, differential pulse", 4, 1, 13, false,
         "technique 4 (Differential pulse voltammetry) with mechanism 13 (A + ne <-> B, B + ne <-> C) at "
         "electrode 1 (Planar disk)"},
        {"adsorbed, square wave", 5, 1, 17, false, "mechanism 17"},
        {"band left after digital", 1, 10, 1, true, "electrode 10 (Band)"},
        {"control: sweep, planar, E", 1, 1, 1, false, ""},
        {"control: sweep, DME, E", 1, 7, 1, false, ""},
        {"DME, DC", 2, 7, 1, false, "technique 2 (DC voltammetry) with mechanism 1 (A + ne = B) at electrode 7 (DME)"},
    };
    const std::string digitalCovers =
        ". The digital simulation covers this combination: tick \"Digital simulation\" and run again.\r\n";
    for (const CoverageCase& c : cases) {
        SCOPED_TRACE(c.label);
        Bench b;
        simulateCommand(b.wb); // a curve of the default sweep is left in the store
        const int curves = b.wb.store.NCurves;
        ASSERT_EQ(selectOption(b.wb, "mech", c.mechanism), FormStatus::Done);
        ASSERT_EQ(okForm(b.wb, "FormMech"), FormStatus::Done);
        ASSERT_EQ(selectOption(b.wb, "optTech", c.technique), FormStatus::Done);
        ASSERT_EQ(okForm(b.wb, "FormTech"), FormStatus::Done);
        if (c.digitalThenCleared) {
            ASSERT_EQ(setCheck(b.wb, "CheckDigital", true), FormStatus::Done);
        }
        ASSERT_EQ(selectOption(b.wb, "optElectrode", c.electrode), FormStatus::Done);
        if (c.digitalThenCleared) {
            ASSERT_EQ(setCheck(b.wb, "CheckDigital", false), FormStatus::Done);
        }
        ASSERT_EQ(b.wb.params.Electrode, c.electrode);
        b.wb.log.clear();
        simulateCommand(b.wb);
        const std::string& log = b.wb.log.text();
        if (*c.named) {
            EXPECT_EQ(log.rfind("Nothing was computed: the analytical simulation has no model for ", 0), 0u) << log;
            EXPECT_NE(log.find(c.named), std::string::npos) << log;
            EXPECT_TRUE(endsWith(log, digitalCovers)) << log;
            EXPECT_EQ(b.wb.store.NCurves, curves);
            // Nothing to analyse either: the old curve is not this run's.
            b.port.messages.clear();
            findPeakCommand(b.wb);
            ASSERT_EQ(b.port.messages.size(), 1u);
            EXPECT_EQ(b.port.messages[0].text, "There is no curve to analyse: the last simulation gave none.");
            EXPECT_EQ(b.wb.log.text(), log);
        } else {
            EXPECT_EQ(log.find("Nothing was computed"), std::string::npos) << log;
            EXPECT_TRUE(b.nonZeroCurve(b.wb.store.CurveNo));
        }
    }
}

TEST(NothingComputed, ImportedWaveformWithoutAWaveform) {
    Bench b;
    ASSERT_EQ(setCheck(b.wb, "CheckDigital", true), FormStatus::Done);
    ASSERT_EQ(selectOption(b.wb, "optTech", 10), FormStatus::Done);
    ASSERT_EQ(okForm(b.wb, "FormTech"), FormStatus::Done);
    simulateCommand(b.wb);
    EXPECT_EQ(b.wb.log.text(), "Nothing was computed: technique 10 (Import waveform) needs a waveform; open one "
                               "with Open Waveform first.\r\n");
    EXPECT_EQ(b.wb.store.NPoints, 0);
}

TEST(NothingComputed, AnalysesOfAnEmptyStorePrintNoNumbers) {
    Bench b;
    findPeakCommand(b.wb);
    findHalfWaveCommand(b.wb);
    EXPECT_EQ(b.wb.log.text(), "");
    ASSERT_EQ(b.port.messages.size(), 2u);
    EXPECT_EQ(b.port.messages[0].text, "There is no curve to analyse: simulate or import one first.");
}

} // namespace
} // namespace tessaly

namespace tessaly {
namespace {

// Mechanism 6 at its default (zero) concentrations of D and E: the run says what is missing.
TEST(NothingComputed, PrecedingEquilibriumWithoutPartnersSaysWhatIsMissing) {
    Bench b;
    ASSERT_EQ(selectOption(b.wb, "mech", 6), FormStatus::Done);
    ASSERT_EQ(okForm(b.wb, "FormMech"), FormStatus::Done);
    simulateCommand(b.wb);
    ASSERT_FALSE(b.port.messages.empty());
    EXPECT_EQ(b.port.messages.back().text,
              "Analytical simulation Error: mechanism 6 needs species D and E in solution: give both a "
              "concentration above zero (D > m*100C, E > m*100A)! Please try again by other initial values.");
    EXPECT_EQ(b.port.messages.back().text.find("Invalid procedure call"), std::string::npos);
}

} // namespace
} // namespace tessaly

namespace tessaly {
namespace {

// A run whose numbers overflow is refused before anything is written: the message names the number
// that was not finite and its point, and the store (curves, potentials, slots, surface
// concentrations) and the committed experiment stay exactly as the last good run left them.
struct OverflowingRun {
    const char* label;
    std::vector<std::pair<const char*, const char*>> fields; // typed before the run
    bool digital;
    const char* quantity; // what the message names
};

TEST(NonFinite, SimulationRefusedBeforeWritingNamesTheNumber) {
    const OverflowingRun cases[] = {
        {"noise 1e308", {{"Noise", "1e308"}}, false, "the total current at point "},
        {"baseline 1e308 to -1e308", {{"TxtI0", "1e308"}, {"TxtI1", "-1e308"}}, false,
         "the total current at point 1 "},
        {"digital, C 1e306", {{"C(1)", "1e306"}}, true, "the current of charge reaction 1 at point 1 "},
    };
    for (const OverflowingRun& c : cases) {
        SCOPED_TRACE(c.label);
        RecordingUserPort port;
        Workbench wb{port};
        if (c.digital) {
            ASSERT_EQ(setCheck(wb, "CheckDigital", true), FormStatus::Done);
        }
        simulateCommand(wb);
        ASSERT_TRUE(port.messages.empty()) << port.messages.front().text;
        ASSERT_GT(wb.store.NPoints, 10);
        ASSERT_EQ(wb.store.CurveNo, 1);
        wb.plotOptions.overlap = true; // the refused run would take a new column
        const CurveStore before = wb.store;
        const CommittedValues committed = wb.params.committed;
        for (const auto& [field, text] : c.fields)
            ASSERT_EQ(setField(wb, field, text), FormStatus::Done) << field;
        port.messages.clear();
        simulateCommand(wb);
        ASSERT_EQ(port.messages.size(), 1u);
        EXPECT_EQ(port.messages.back().title, "Simulation Error");
        const std::string& text = port.messages.back().text;
        EXPECT_NE(text.find(c.quantity), std::string::npos) << text;
        EXPECT_NE(text.find("is not a finite number"), std::string::npos) << text;
        EXPECT_NE(text.find("nothing was stored"), std::string::npos) << text;
        // Nothing written: the store compares equal point for point, the committed time grid is the
        // last good run's.
        EXPECT_EQ(wb.store.NPoints, before.NPoints);
        EXPECT_EQ(wb.store.NCurves, before.NCurves);
        EXPECT_EQ(wb.store.CurveNo, before.CurveNo);
        for (int k = 0; k <= before.NPoints; ++k) {
            ASSERT_EQ(wb.store.E[k], before.E[k]) << k;
            for (int col = 0; col <= kMaxColumn; ++col) {
                ASSERT_EQ(wb.store.Curve(k, col), before.Curve(k, col)) << k << ", " << col;
                ASSERT_EQ(wb.store.ComponentCurrent(k, col), before.ComponentCurrent(k, col)) << k << ", " << col;
                ASSERT_EQ(wb.store.SurfaceConc(k, col), before.SurfaceConc(k, col)) << k << ", " << col;
            }
        }
        EXPECT_EQ(wb.params.committed.TimeGrid, committed.TimeGrid);
        EXPECT_TRUE(storeIsFinite(wb.store));
        // The analyses do not measure the curve of the run before as if it were this run's.
        port.messages.clear();
        findPeakCommand(wb);
        ASSERT_FALSE(port.messages.empty());
        EXPECT_EQ(port.messages.back().text, "There is no curve to analyse: the last simulation gave none.");
    }
}

} // namespace
} // namespace tessaly

namespace tessaly {
namespace {

// A command that fails half-way (its curve written up to a division by zero) leaves no half-written
// curve: the guard puts the store and the plot back and shows the failure.
TEST(NonFinite, FailedCommandLeavesNothingHalfWritten) {
    RecordingUserPort port;
    Workbench wb{port};
    simulateCommand(wb);
    ASSERT_TRUE(port.messages.empty());
    const CurveStore before = wb.store;
    runGuarded(wb, [&] {
        for (int k = 0; k < wb.store.NPoints / 2; ++k)
            wb.store.Curve(k, 1) = 1.0;
        wb.store.NCurves = 2;
        raise("Division by zero");
    });
    ASSERT_EQ(port.messages.size(), 1u);
    EXPECT_EQ(port.messages.back().text, "Division by zero");
    EXPECT_EQ(wb.store.NCurves, before.NCurves);
    for (int k = 0; k < before.NPoints; ++k)
        ASSERT_EQ(wb.store.Curve(k, 1), before.Curve(k, 1)) << k;
}

} // namespace
} // namespace tessaly
