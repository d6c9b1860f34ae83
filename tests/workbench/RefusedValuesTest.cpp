// Refused values are never used: a field that fails its check keeps the dialog's OK from committing,
// leaves the committed value as it was, and makes Simulate refuse with a message naming the field and
// its range, with the store untouched. Typing a valid value again lets the run through.

#include "model/FieldTable.h"
#include "support/RecordingUserPort.h"
#include "workbench/CommandTable.h"
#include "workbench/FormCommands.h"
#include "workbench/Workbench.h"

#include <gtest/gtest.h>
#include <string>
#include <variant>
#include <vector>

namespace tessaly {
namespace {

// The text a field holds.
std::string textOf(Workbench& wb, const char* name) {
    const auto field = findField(wb.params, name);
    std::string* const* value = field ? std::get_if<std::string*>(&*field) : nullptr;
    return value ? **value : std::string("(no text field ") + name + ")";
}

struct Bench {
    RecordingUserPort port;
    Workbench wb{port};
    void run(const char* command) { ASSERT_EQ(runCommand(wb, command), CommandStatus::Ran) << command; }
};

struct RefusedCase {
    const char* label;
    int mechanism;            // 0: keep the default
    int electrode;            // 0: keep the default
    const char* field;
    const char* text;
    const char* form;         // the dialog whose OK must refuse
    const char* message;      // what the refusal says
    const char* validText;    // a text that is accepted again
    double CommittedValues::*scalar = nullptr; // a committed value that must not move (or null)
    int technique = 0;                         // 0: keep the default
};

const std::vector<RefusedCase>& refusedCases() {
    static const std::vector<RefusedCase> cases = {
        {"ks negative", 0, 0, "ks(1)", "-1", "FormExpr", "ks must be in range of 0 to 1e300 !", "0.01"},
        {"ks too large", 0, 0, "ks(1)", "1e301", "FormExpr", "ks must be in range of 0 to 1e300 !", "1"},
        {"kf negative", 8, 0, "kf(1)", "-5", "FormExpr", "kf must be in range of 0 to 1e300 !", "5"},
        {"kb too large", 8, 0, "kb(1)", "2e300", "FormExpr", "kb must be in range of 0 to 1e300 !", "1"},
        {"pH below 0", 0, 0, "TextpH", "-1", "FormExpr", "pH must be in range of 0 to 14 !", "7",
         &CommittedValues::PHFactor},
        {"pH above 14", 0, 0, "TextpH", "14.1", "FormExpr", "pH must be in range of 0 to 14 !", "7",
         &CommittedValues::PHFactor},
        {"disk radius 0", 0, 1, "radius", "0", "FormIns", "Disc radius (cm) must be greater than 0 !", "0.05",
         &CommittedValues::ElectrodeArea},
        {"negative area", 0, 1, "ARE", "-1e-3", "FormIns", "Area (cm2) must be greater than 0 !", "7.85e-3",
         &CommittedValues::ElectrodeArea},
        {"sphere area 0", 0, 2, "ARE", "0", "FormIns", "Disc radius (cm) must be greater than 0 !", "7.85e-3",
         &CommittedValues::ElectrodeArea},
        {"sphere radius negative", 0, 2, "radius", "-0.1", "FormIns", "Disc radius (cm) must be greater than 0 !",
         "0.05", &CommittedValues::ElectrodeArea},
        {"planar radius negative", 0, 1, "radius", "-0.05", "FormIns", "Disc radius (cm) must be greater than 0 !",
         "0.05", &CommittedValues::ElectrodeArea},
        {"microdisk radius 0", 0, 4, "radius", "0", "FormIns", "Disc radius (cm) must be greater than 0 !",
         "0.05", &CommittedValues::ElectrodeArea},
        {"ring outer below inner", 0, 8, "radius3", "0.01", "FormIns",
         "Ring outter radius (cm) must be greater than Ring radius (cm) !", "0.07",
         &CommittedValues::ElectrodeArea},
        {"E end equal to E start", 0, 0, "Eend", "0.3", "FormIns", "E end (V) must differ from E start (V) !",
         "-0.4", &CommittedValues::EndPotential},
        {"same potential, other text", 0, 0, "Eend", "0.30", "FormIns",
         "E end (V) must differ from E start (V) !", "-0.4", &CommittedValues::EndPotential},
        {"time grid -1", 0, 0, "TextTimeGrid", "-1", "FormIns",
         "Time grid (s) must be in range of 0 (excluded) to t drop !", "0.5", &CommittedValues::TimeGrid},
        {"scan rate not a number", 0, 0, "V", "abc", "FormIns",
         "v (V/s) must be in range of 0 (excluded) to 1e300 !", "0.01", &CommittedValues::ScanRate},
        {"microdisk radius 1e300", 0, 4, "radius", "1e300", "FormIns",
         "Disc radius (cm) must be greater than 0 and give a finite area !", "0.05", &CommittedValues::ElectrodeArea},
        {"sphere radius 1e200", 0, 2, "radius", "1e200", "FormIns",
         "Disc radius (cm) must be greater than 0 and give a finite area !", "0.05", &CommittedValues::ElectrodeArea},
        {"ring outer radius 1e200", 0, 8, "radius3", "1e200", "FormIns",
         "Ring outter radius (cm) must give a finite ring area (at most 1e100) !", "0.07",
         &CommittedValues::ElectrodeArea},
        {"E start beyond a double", 0, 0, "Estart", "1e400", "FormIns", "E start (V) must be a finite number !",
         "0.3", &CommittedValues::StartPotential},
        {"scan rate above 1e300", 0, 0, "V", "1e301", "FormIns",
         "v (V/s) must be in range of 0 (excluded) to 1e300 !", "0.01", &CommittedValues::ScanRate},
        {"scan rate too small for the step", 0, 0, "V", "1e-320", "FormIns",
         "v (V/s) is too small for E step (V): t drop = E step / v must be a finite number !", "0.01",
         &CommittedValues::ScanRate},
        {"E step 0", 0, 0, "Estep", "0", "FormIns", "E step (V) must be greater than 0 !", "0.005",
         &CommittedValues::StepPotential},
        {"E step negative", 0, 0, "Estep", "-0.005", "FormIns", "E step (V) must be greater than 0 !", "0.005",
         &CommittedValues::StepPotential},
        {"E step not a number", 0, 0, "Estep", "abc", "FormIns", "E step (V) must be greater than 0 !", "0.005",
         &CommittedValues::StepPotential},
        {"drop time negative", 0, 0, "td", "-1", "FormIns", "t drop (s) must be greater than 0 !", "0.5",
         &CommittedValues::DropTime},
        {"pulse 0, differential pulse", 0, 0, "tp", "0", "FormIns", "t pulse (s) must be greater than 0 !",
         "0.05", &CommittedValues::PulseTime, 4},
        {"step experiment of no length", 0, 0, "Eend", "0.3", "FormIns", "t exp (s) must be greater than 0 !",
         "-0.4", &CommittedValues::ExperimentTime, 8},
        {"E start with a decimal comma", 0, 0, "Estart", "0,3", "FormIns",
         "E start (V) cannot hold a comma: the parameter file separates its items with commas.", "0.3",
         &CommittedValues::StartPotential},
        {"double-layer capacity with a comma", 0, 0, "Cdl", "1,5e-6", "FormIns",
         "C d (F) cannot hold a comma: the parameter file separates its items with commas.", "0",
         &CommittedValues::DoubleLayerCap},
        {"pH with a comma", 0, 0, "TextpH", "7,5", "FormExpr",
         "pH cannot hold a comma: the parameter file separates its items with commas.", "7",
         &CommittedValues::PHFactor},
        {"ks with a comma", 0, 0, "ks(1)", "0,01", "FormExpr",
         "ks of charge reaction 1 cannot hold a comma: the parameter file separates its items with commas.",
         "0.01"},
        {"absolute zero", 0, 0, "txttemp", "-273.14", "FormIns", "T ( C) must be above absolute zero (-273.14) !",
         "25", &CommittedValues::TemperatureK},
        {"below absolute zero", 0, 0, "txttemp", "-300", "FormIns",
         "T ( C) must be above absolute zero (-273.14) !", "25", &CommittedValues::TemperatureK},
    };
    return cases;
}

TEST(RefusedValues, NeverCommittedNeverSimulated) {
    for (const RefusedCase& c : refusedCases()) {
        SCOPED_TRACE(c.label);
        Bench b;
        if (c.technique) {
            ASSERT_EQ(selectOption(b.wb, "optTech", c.technique), FormStatus::Done);
            ASSERT_EQ(okForm(b.wb, "FormTech"), FormStatus::Done);
        }
        if (c.mechanism) {
            ASSERT_EQ(selectOption(b.wb, "mech", c.mechanism), FormStatus::Done);
            ASSERT_EQ(okForm(b.wb, "FormMech"), FormStatus::Done);
        }
        if (std::string(c.field) == "TextTimeGrid") { // the time grid is the digital model's
            ASSERT_EQ(setCheck(b.wb, "CheckDigital", true), FormStatus::Done);
        }
        if (c.electrode) {
            ASSERT_EQ(selectOption(b.wb, "optElectrode", c.electrode), FormStatus::Done);
            ASSERT_EQ(okForm(b.wb, "FormIns"), FormStatus::Done);
        }
        b.run("Simulate");
        ASSERT_TRUE(b.port.messages.empty()) << b.port.messages.front().text;
        const CommittedValues before = b.wb.params.committed;
        const int points = b.wb.store.NPoints;
        const int curves = b.wb.store.NCurves;
        ASSERT_GT(points, 10);
        std::vector<double> curve;
        for (int k = 0; k < points; ++k)
            curve.push_back(b.wb.store.Curve(k, 1));
        const double fRT = b.wb.params.fRT;

        ASSERT_EQ(setField(b.wb, c.field, c.text), FormStatus::Done);
        if (std::string(c.field) != "Eend") { // the refused text stands as typed, not silently replaced
            EXPECT_EQ(textOf(b.wb, c.field), c.text);
        }
        b.port.messages.clear();
        EXPECT_EQ(okForm(b.wb, c.form), FormStatus::Refused);
        ASSERT_FALSE(b.port.messages.empty());
        EXPECT_EQ(b.port.messages.back().text, c.message);

        b.port.messages.clear();
        b.run("Simulate");
        ASSERT_FALSE(b.port.messages.empty()) << "Simulate ran with a refused value";
        EXPECT_EQ(b.port.messages.back().text, c.message);
        EXPECT_EQ(b.port.messages.back().title, "Simulation Error");
        // Nothing committed, nothing stored.
        if (c.scalar) {
            EXPECT_EQ(b.wb.params.committed.*c.scalar, before.*c.scalar);
        }
        EXPECT_EQ(b.wb.params.committed.RateKs, before.RateKs);
        EXPECT_EQ(b.wb.params.committed.RateKf, before.RateKf);
        EXPECT_EQ(b.wb.params.committed.RateKb, before.RateKb);
        EXPECT_EQ(b.wb.params.committed.PHFactor, before.PHFactor);
        EXPECT_EQ(b.wb.params.fRT, fRT);
        EXPECT_EQ(b.wb.store.NPoints, points);
        EXPECT_EQ(b.wb.store.NCurves, curves);
        for (int k = 0; k < points; ++k)
            ASSERT_EQ(b.wb.store.Curve(k, 1), curve[static_cast<std::size_t>(k)]) << "point " << k;

        // The valid text is taken again: OK commits and the run goes through.
        ASSERT_EQ(setField(b.wb, c.field, c.validText), FormStatus::Done);
        EXPECT_EQ(okForm(b.wb, c.form), FormStatus::Done);
        b.port.messages.clear();
        b.run("Simulate");
        for (const auto& m : b.port.messages)
            ADD_FAILURE() << "after the valid text: " << m.text;
    }
}

// The pH effect off, a refused pH must not shift the curve: the committed factor stays at pH 7's.
TEST(RefusedValues, RefusedPhLeavesTheCommittedFactor) {
    Bench b;
    ASSERT_EQ(setField(b.wb, "TextpH", "-1"), FormStatus::Done);
    b.run("Simulate");
    EXPECT_DOUBLE_EQ(b.wb.params.committed.PHFactor, 0.0);
    ASSERT_FALSE(b.port.messages.empty());
    EXPECT_EQ(b.port.messages.back().text, "pH must be in range of 0 to 14 !");
}

} // namespace
} // namespace tessaly
