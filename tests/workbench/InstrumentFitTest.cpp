// The instrument's quantities fitted like the kinetics: the uncompensated resistance through the digital
// model's iR drop, the double-layer capacitance through the charging current, the electrode area as the
// scale of the whole current. Each measured curve is a simulation with the true value and some noise.

#include "base/NumberText.h"
#include "support/RecordingUserPort.h"
#include "workbench/Commands.h"
#include "workbench/FormCommands.h"
#include "workbench/Workbench.h"

#include <cmath>
#include <gtest/gtest.h>

namespace tessaly {
namespace {

struct Case {
    const char* name;
    bool digital;
    int code;           // 1 Ru, 2 Cdl, 3 area
    const char* field;  // the dialog field holding it
    const char* truth;  // its value in the measured curve
    const char* start;  // the value the fit starts from
    double tolerance;   // relative
};

class InstrumentFit : public ::testing::TestWithParam<Case> {};

// Mechanism 1, reversible (ks = 1 cm/s), 0.3 to -0.3 V at 1 V/s in 2 mV steps; E' is fitted along, so the
// instrument quantity must be told apart from a shift of the wave.
TEST_P(InstrumentFit, IsRecoveredFromAWrongStart) {
    const Case& c = GetParam();
    RecordingUserPort port;
    Workbench wb(port);
    ExperimentParams& p = wb.params;
    setCheck(wb, "CheckDigital", c.digital);
    p.Estart = "0.3";
    p.Eend = "-0.3";
    p.Estep = "0.002";
    setField(wb, "V", "1");
    p.TextTimeGrid = "0.002";
    p.ks[1] = "1";
    p.Eze[1] = "0";
    setField(wb, "C(1)", "5e-3"); // 5 mM: a peak of a few 0.1 mA, so that 100 ohm shifts it by tens of mV
    setField(wb, c.field, c.truth);
    p.Noise = "1e-8";
    simulateCommand(wb);
    ASSERT_TRUE(port.messages.empty()) << port.messages.front().text;
    p.Noise = "0";
    setField(wb, c.field, c.start);
    p.Eze[1] = "0.01";
    p.TextEzeromin[1] = "-0.1";
    p.TextEzeromax[1] = "0.1";
    p.CheckFitted[31] = true;
    p.CheckFitted[static_cast<std::size_t>(c.code)] = true;
    wb.log.clear();
    autoFitCommand(wb);
    ASSERT_TRUE(port.messages.empty()) << port.messages.front().text;
    const CommittedValues& v = wb.params.committed;
    const double fitted = c.code == 1 ? v.Resistance : (c.code == 2 ? v.DoubleLayerCap : v.ElectrodeArea);
    const double truth = leadingNumber(c.truth);
    EXPECT_NEAR(fitted, truth, c.tolerance * truth) << wb.log.text();
    EXPECT_NEAR(v.FormalPotential[1], 0.0, 0.001);
    EXPECT_EQ(wb.params.FittedValueText[static_cast<std::size_t>(c.code)], formatMask(fitted, "0.###e-#"));
}

INSTANTIATE_TEST_SUITE_P(RuCdlArea, InstrumentFit,
                         testing::Values(Case{"Resistance", true, 1, "txtRu", "100", "30", 0.05},
                                         Case{"Capacitance", false, 2, "Cdl", "2e-5", "5e-6", 0.05},
                                         Case{"Area", false, 3, "ARE", "0.05", "0.02", 0.01}),
                         [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

} // namespace
} // namespace tessaly
