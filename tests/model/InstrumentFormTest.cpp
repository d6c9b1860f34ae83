// The instrument dialog's logic: activation, change reactions, geometry, validation and the commit.

#include "model/InstrumentForm.h"

#include "base/NumberText.h"
#include "model/TechniqueForm.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

namespace tessaly {
namespace {

constexpr double kPi = std::numbers::pi;

double num(const std::string& s) {
    return leadingNumber(s);
}

// An experiment whose technique has been chosen and committed, with the instrument dialog shown.
struct Instrument {
    explicit Instrument(int technique = 1) {
        TechniqueForm tech(p);
        tech.select("optTech", technique);
        tech.ok();
        form.activate();
    }
    ExperimentParams p;
    InstrumentForm form{p};
};

TEST(InstrumentForm, SquareWaveFrequencySetsPulseWidthAndScanRate) {
    struct Case {
        const char *f, *step;
        const char *tp, *v, *td; // expected texts
    };
    const Case cases[] = {
        {"10", "0.005", "0.05", "0.05", "0.1"}, // tp = 1/(2f), v = Estep f, td = Estep / v = 1/f
        {"25", "0.002", "0.02", "0.05", "0.04"},
        {"4", "0.01", "0.125", "0.04", "0.25"},
    };
    for (const Case& c : cases) {
        Instrument ins(5);
        ins.form.type("Estep", c.step);
        ins.form.type("TextF", c.f);
        EXPECT_EQ(ins.p.tp, c.tp) << "f = " << c.f;
        EXPECT_EQ(ins.p.V, c.v) << "f = " << c.f;
        EXPECT_EQ(ins.p.td, c.td) << "f = " << c.f;
    }
}

TEST(InstrumentForm, ActivationRunsTheFrequencyReactionForTheSquareWaves) {
    Instrument ins(5); // defaults: TextF "10", Estep "0.005"
    EXPECT_EQ(ins.p.tp, "0.05");
    EXPECT_EQ(ins.p.V, "0.05");
}

TEST(InstrumentForm, ScanRateGivesDropTimeAndExperimentTime) {
    struct Case {
        const char *v, *step;
        int scan;
        const char *td, *texp;
    };
    // |0.3 - (-0.4)| / v x 2 x cycles, cycles 0.5, 1, 2, 3
    const Case cases[] = {
        {"0.01", "0.005", 1, "0.5", "140"},
        {"0.1", "0.002", 0, "0.02", "7"},
        {"0.05", "0.005", 3, "0.1", "84"},
        {"-0.01", "0.005", 2, "-0.5", "280"}, // a negative rate still gives a positive duration
    };
    for (const Case& c : cases) {
        Instrument ins;
        ins.form.select("ComboScan", c.scan);
        ins.form.type("Estep", c.step);
        ins.form.type("V", c.v);
        EXPECT_EQ(ins.p.td, c.td) << "v = " << c.v;
        EXPECT_EQ(ins.p.TextTexp, c.texp) << "v = " << c.v;
    }
}

TEST(InstrumentForm, PotentialsAndScanModeRecomputeTheExperimentTime) {
    Instrument ins;
    ins.form.type("Estart", "0.5");
    EXPECT_EQ(ins.p.TextTexp, "90"); // 0.9 V / 0.01 V/s, single sweep
    ins.form.type("Eend", "0");
    EXPECT_EQ(ins.p.TextTexp, "50");
    ins.form.select("ComboScan", 1);
    EXPECT_EQ(ins.p.TextTexp, "100");
    EXPECT_EQ(ins.p.committed.CycleCount, 1);
    EXPECT_FALSE(ins.form.select("ComboScan", 4).accepted);
}

TEST(InstrumentForm, ExperimentTimeIsWrittenAsItsAbsoluteValue) {
    Instrument ins(8);
    ins.form.type("TextTexp", "-12.5");
    EXPECT_EQ(ins.p.TextTexp, "12.5");
}

TEST(InstrumentForm, ZeroDivisorsLeaveTheDerivedFieldsAlone) {
    Instrument ins(5);
    ins.form.type("TextF", "0"); // no pulse width from a zero frequency
    EXPECT_EQ(ins.p.tp, "0.05");
    ins.form.type("tp", "0"); // no scan rate from a zero pulse width
    ins.form.type("TextF", "0");
    EXPECT_EQ(ins.p.V, "0.05");
    ins.form.type("V", "0"); // no drop time, no experiment time from a zero rate
    EXPECT_EQ(ins.p.td, "0.1");
    ins.form.type("Estep", ""); // an empty step gives no drop time
    ins.form.type("V", "0.02");
    EXPECT_EQ(ins.p.td, "0.1");
}

TEST(InstrumentForm, ActivationOffersTheProgrammeFieldsOfTheTechnique) {
    struct Shown {
        int technique;
        bool vVisible, vReadOnly, fVisible, tpVisible, tpReadOnly, pulseVisible, texpReadOnly;
    };
    const Shown table[] = {
        {1, true, false, false, false, false, false, true},
        {2, true, false, false, false, false, false, true},
        {7, true, false, false, false, false, false, true},
        {3, true, false, false, true, false, true, true},
        {4, true, false, false, true, false, true, true},
        {5, true, true, true, true, true, true, true},
        {6, true, true, true, true, true, true, true},
    };
    for (const Shown& s : table) {
        Instrument ins(s.technique);
        const InstrumentForm& f = ins.form;
        EXPECT_EQ(f.view("V").visible, s.vVisible) << "technique " << s.technique;
        EXPECT_EQ(f.view("V").readOnly, s.vReadOnly) << "technique " << s.technique;
        EXPECT_EQ(f.view("TextF").visible, s.fVisible) << "technique " << s.technique;
        EXPECT_EQ(f.view("tp").visible, s.tpVisible) << "technique " << s.technique;
        if (s.tpVisible) {
            EXPECT_EQ(f.view("tp").readOnly, s.tpReadOnly) << "technique " << s.technique;
        }
        EXPECT_EQ(f.view("Epulse").visible, s.pulseVisible) << "technique " << s.technique;
        EXPECT_EQ(f.view("TextTexp").readOnly, s.texpReadOnly) << "technique " << s.technique;
    }
    // chronoamperometry and the designed waveform: time and drop editable, the rest as it was
    Instrument sw(5);
    TechniqueForm(sw.p).select("optTech", 8);
    sw.form.activate();
    EXPECT_FALSE(sw.form.view("TextTexp").readOnly);
    EXPECT_FALSE(sw.form.view("td").readOnly);
    EXPECT_TRUE(sw.form.view("TextF").visible);
    EXPECT_TRUE(sw.form.view("V").readOnly);
}

TEST(InstrumentForm, DesignFrameAndDigitalModelFrame) {
    Instrument design(9);
    EXPECT_TRUE(design.form.view("FrameDesignWaveform").visible);
    EXPECT_TRUE(design.p.instrumentForm.widened);
    EXPECT_FALSE(design.form.view("FrameDigitalModel").visible);
    Instrument sweep(1);
    EXPECT_FALSE(sweep.form.view("FrameDesignWaveform").visible);
    EXPECT_FALSE(sweep.p.instrumentForm.widened);

    sweep.p.CheckDigital = true;
    sweep.form.activate();
    EXPECT_TRUE(sweep.form.view("FrameDigitalModel").visible);
    for (int n = 5; n <= 11; ++n)
        EXPECT_TRUE(sweep.form.view("optElectrode(" + std::to_string(n) + ")").visible) << n;
    sweep.p.CheckDigital = false;
    sweep.form.activate();
    for (int n : {5, 6, 10})
        EXPECT_FALSE(sweep.form.view("optElectrode(" + std::to_string(n) + ")").visible) << n;
    for (int n : {7, 8, 9, 11})
        EXPECT_TRUE(sweep.form.view("optElectrode(" + std::to_string(n) + ")").visible) << n;
}

TEST(InstrumentForm, CylinderHemicylinderAndBandOnlyWithTheDigitalSimulation) {
    Instrument ins;
    for (int n : {5, 6, 10}) {
        EXPECT_FALSE(ins.form.select("optElectrode", n).accepted) << n;
        EXPECT_EQ(ins.p.Electrode, 1);
    }
    EXPECT_FALSE(ins.form.select("optElectrode", 12).accepted);
    ins.p.DigitalFlag = true;
    EXPECT_TRUE(ins.form.select("optElectrode", 10).accepted);
    EXPECT_EQ(ins.p.Electrode, 10);
    EXPECT_EQ(ins.form.view("radius").caption, "Half Width (cm)");
    EXPECT_TRUE(ins.form.view("leng").visible);
    ins.form.select("optElectrode", 2);
    EXPECT_EQ(ins.form.view("radius").caption, "Disc radius (cm)");
}

TEST(InstrumentForm, GeometryFieldsOfEachElectrode) {
    struct Offer {
        int electrode;
        bool radius, leng, rings, thickness, areaReadOnly;
    };
    const Offer table[] = {
        {1, true, false, false, true, false},  {2, true, false, false, false, false},
        {3, true, false, false, false, false}, {4, true, false, false, false, false},
        {5, true, true, false, false, false},  {6, true, true, false, false, false},
        {7, true, false, false, false, false}, {8, false, false, true, false, true},
        {9, false, false, false, true, false}, {10, true, true, false, false, false},
        {11, true, false, true, false, true},
    };
    for (const Offer& o : table) {
        Instrument ins;
        ins.p.DigitalFlag = true;
        ASSERT_TRUE(ins.form.select("optElectrode", o.electrode).accepted);
        EXPECT_EQ(ins.form.view("radius").visible, o.radius) << o.electrode;
        EXPECT_EQ(ins.form.view("leng").visible, o.leng) << o.electrode;
        EXPECT_EQ(ins.form.view("radius2").visible, o.rings) << o.electrode;
        EXPECT_EQ(ins.form.view("radius3").visible, o.rings) << o.electrode;
        EXPECT_EQ(ins.form.view("thickness").visible, o.thickness) << o.electrode;
        EXPECT_EQ(ins.form.view("ARE").readOnly, o.areaReadOnly) << o.electrode;
    }
}

TEST(InstrumentForm, AreaAndVolumeFromTheRadius) {
    struct Case {
        int electrode;
        const char* area;
        double volume; // cm3, at r = 0.05 cm, L = 0.05642 cm, h = 1e-4 cm
    };
    const double r = 0.05, L = 0.05642, h = 1e-4;
    const Case cases[] = {
        {1, "7.85e-3", 7.85e-3 * h},
        {2, "3.14e-2", 4 * kPi * r * r * r / 3},
        {3, "1.57e-2", 2 * kPi * r * r * r / 3},
        {4, "7.85e-3", 7.85e-3 * h},
        {5, "1.77e-2", kPi * r * r * L},
        {7, "3.14e-2", 4 * kPi * r * r * r / 3},
        {10, "5.64e-3", 5.64e-3 * h},
    };
    for (const Case& c : cases) {
        Instrument ins;
        ins.p.DigitalFlag = true;
        ins.form.select("optElectrode", c.electrode);
        ins.form.type("radius", "0.05");
        EXPECT_EQ(ins.p.ARE, c.area) << "electrode " << c.electrode;
        EXPECT_NEAR(ins.p.ElectrodeVolume, c.volume, 1e-12 * c.volume) << "electrode " << c.electrode;
        // the radius written back from the area reads as the radius typed, to the area form's digits
        EXPECT_NEAR(num(ins.p.radius), r, 0.005 * r) << "electrode " << c.electrode;
    }
}

TEST(InstrumentForm, RadiusAndAreaSettleInAreaForm) {
    Instrument ins;
    ins.form.type("ARE", "0.0314");
    EXPECT_EQ(ins.p.radius, "1e-1"); // sqrt(0.0314 / pi) = 0.09997
    EXPECT_EQ(ins.p.ARE, "3.14e-2");
    ins.form.select("optElectrode", 2); // the area stays, the sphere's radius follows
    EXPECT_EQ(ins.p.ARE, "3.14e-2");
    EXPECT_EQ(ins.p.radius, "5e-2");
}

TEST(InstrumentForm, RingAreaFollowsTheInnerRadius) {
    Instrument ins;
    ins.form.select("optElectrode", 8);
    EXPECT_TRUE(ins.form.view("ARE").readOnly);
    const std::string before = ins.p.ARE;
    ins.form.type("radius3", "0.08"); // the ring (8) follows only radius2
    EXPECT_EQ(ins.p.ARE, before);
    ins.form.type("radius2", "0.05");
    EXPECT_EQ(ins.p.ARE, "1.23e-2"); // pi (0.08^2 - 0.05^2)

    ins.form.select("optElectrode", 11); // the ring-disk follows both
    ins.form.type("radius3", "0.07");
    EXPECT_EQ(ins.p.ARE, "7.54e-3"); // pi (0.07^2 - 0.05^2)
}

TEST(InstrumentForm, SmallPlanarRadiusIsReportedAndKept) {
    Instrument ins;
    const FormReply reply = ins.form.type("radius", "5e-5");
    ASSERT_EQ(reply.messages.size(), 1u);
    EXPECT_EQ(reply.messages[0],
              (FormMessage{"Planar disk radius cannot less than 1e-4 cm.", "Error", MessageIcon::Critical}));
    EXPECT_EQ(ins.p.radius, "5e-5");
    EXPECT_EQ(ins.p.ARE, "7.85e-9");
}

TEST(InstrumentForm, IdenticalStartAndEndPotentialsAreRefused) {
    Instrument ins;
    ins.form.type("Eend", "0.3");
    const auto atEnd = ins.form.leave("Eend");
    ASSERT_TRUE(atEnd);
    EXPECT_EQ(*atEnd, (FormMessage{"You cannot change E end to the same as E start.", "Error",
                                   MessageIcon::Critical}));
    EXPECT_EQ(ins.p.Eend, "0.3"); // the typed text stays
    const auto atStart = ins.form.leave("Estart");
    ASSERT_TRUE(atStart);
    EXPECT_EQ(atStart->text, "You cannot change E start to the same as E end.");
    ins.form.type("Eend", "0.30"); // the texts differ: accepted
    EXPECT_FALSE(ins.form.leave("Eend"));
}

TEST(InstrumentForm, TimeGridMustBePositiveAndNotBeyondTheDrop) {
    struct Case {
        const char* grid;
        bool refused;
        const char* after;
    };
    const Case cases[] = {{"", true, "0"},      {"0", true, "0"},      {"-0.1", true, "-0.1"},
                          {"0.6", true, "0.6"}, {"0.5", false, "0.5"}, {"1e-3", false, "1e-3"}};
    for (const Case& c : cases) {
        Instrument ins; // td "0.5"
        ins.form.type("TextTimeGrid", c.grid);
        const auto message = ins.form.leave("TextTimeGrid");
        EXPECT_EQ(message.has_value(), c.refused) << "'" << c.grid << "'";
        if (message) {
            EXPECT_EQ(*message, (FormMessage{"This value must be positive and less than t drop.", "Error",
                                             MessageIcon::Critical}));
        }
        EXPECT_EQ(ins.p.TextTimeGrid, c.after);
    }
}

TEST(InstrumentForm, DesignTimesMustRise) {
    Instrument ins(9);
    ins.form.type("t1(2)", "50"); // below t1(1) = 100
    const auto message = ins.form.leave("t1(2)");
    ASSERT_TRUE(message);
    EXPECT_EQ(message->text, "This value must >= 100");
    ins.form.type("t1(3)", "-1");
    EXPECT_EQ(ins.form.leave("t1(3)")->text, "This value must be positive.");
    ins.form.type("t1(6)", ""); // an empty time ends the polyline
    EXPECT_FALSE(ins.form.leave("t1(6)"));
    EXPECT_EQ(ins.p.t1[6], "0");
}

// A new experiment lets the digital model choose its grid: the box is ticked and the grid fields are
// read-only from the first activation.
TEST(InstrumentForm, NewExperimentHasTheAutoDigitalModel) {
    Instrument ins;
    EXPECT_TRUE(ins.p.CheckAuto);
    EXPECT_TRUE(ins.form.view("TextTimeGrid").readOnly);
    EXPECT_TRUE(ins.form.view("TextExpanding").readOnly);
}

TEST(InstrumentForm, AutoDigitalModelChoosesTheTimeGrid) {
    struct Case {
        int technique, electrode;
        const char* grid; // td = 0.5 s, tp = 0.05 s (square waves: tp from f = 10 Hz)
    };
    const Case cases[] = {{2, 1, "0.025"}, {3, 1, "0.005"}, {5, 1, "0.005"}, {7, 1, "0.05"},
                          {1, 1, "0.5"},   {1, 9, "0.05"},  {8, 1, "0.5"}};
    for (const Case& c : cases) {
        Instrument ins(c.technique);
        ins.form.click("CheckAuto", false);
        ins.form.select("optElectrode", c.electrode);
        ins.form.click("CheckAuto", true);
        EXPECT_EQ(ins.p.TextTimeGrid, c.grid) << "technique " << c.technique << " electrode " << c.electrode;
        EXPECT_TRUE(ins.form.view("TextTimeGrid").readOnly);
        EXPECT_TRUE(ins.form.view("TextExpanding").readOnly);
    }
    Instrument ins(2);
    ins.form.type("td", "1"); // a new drop time moves the grid while the box is checked
    EXPECT_EQ(ins.p.TextTimeGrid, "0.05");
    ins.form.click("CheckAuto", false);
    EXPECT_FALSE(ins.form.view("TextTimeGrid").readOnly);
    ins.form.type("td", "2");
    EXPECT_EQ(ins.p.TextTimeGrid, "0.05");
}

// With the grid typed (Auto digital model unticked).
TEST(InstrumentForm, ActivationLimitsTheTimeGridToTheStepItResolves) {
    Instrument sweep;
    sweep.form.click("CheckAuto", false);
    sweep.p.TextTimeGrid = "2";
    sweep.form.activate();
    EXPECT_EQ(sweep.p.TextTimeGrid, "0.5"); // the text of td
    Instrument pulse(3);
    pulse.form.click("CheckAuto", false);
    pulse.p.TextTimeGrid = "0.4";
    pulse.form.activate();
    EXPECT_EQ(pulse.p.TextTimeGrid, "0.05"); // the text of tp
}

TEST(InstrumentForm, ResetRestoresSamplingAndRateByTechnique) {
    Instrument ins(4);
    ins.p.tsa1 = "0.5";
    ins.p.tsa2 = "0.3";
    ins.p.V = "0.2";
    ins.form.press("Reset");
    EXPECT_EQ(ins.p.tsa1, "0.88");
    EXPECT_EQ(ins.p.tsa2, "1");
    EXPECT_EQ(ins.p.V, "0.01");
    EXPECT_EQ(ins.p.tp, "0.05");            // td / 10
    EXPECT_EQ(ins.p.TextTimeGrid, "0.005"); // tp / 10
    Instrument sw(5);
    sw.p.tsa1 = "0.5";
    sw.form.press("Reset");
    EXPECT_EQ(sw.p.tsa1, "1");
    EXPECT_EQ(sw.p.V, "0.05"); // the square-wave rate is not reset
}

TEST(InstrumentForm, PreconcentrationBoxTogglesItsFrame) {
    Instrument ins;
    EXPECT_FALSE(ins.form.view("FramePrecon").visible);
    ins.form.click("CheckPreCon", true);
    EXPECT_TRUE(ins.form.view("FramePrecon").visible);
    ins.form.click("CheckPreCon", true); // no click: the box is already checked
    EXPECT_TRUE(ins.form.view("FramePrecon").visible);
    ins.form.click("CheckPreCon", false);
    EXPECT_FALSE(ins.form.view("FramePrecon").visible);
}

TEST(InstrumentForm, OkCommitsTheInstrumentValues) {
    Instrument ins;
    ins.form.type("V", "0.1");
    ins.form.type("radius", "0.1");
    ins.form.ok();
    EXPECT_DOUBLE_EQ(ins.p.committed.ScanRate, 0.1);
    EXPECT_DOUBLE_EQ(ins.p.committed.DropTime, 0.05);
    EXPECT_DOUBLE_EQ(ins.p.committed.ElectrodeArea, 3.14e-2);
}

} // namespace
} // namespace tessaly
