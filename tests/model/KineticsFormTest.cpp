// The kinetics dialog's logic: limits, Keq, validation, fit selections, reaction captions, commit.

#include "model/KineticsForm.h"

#include "base/NumberText.h"
#include "model/MechanismForm.h"

#include <gtest/gtest.h>

namespace tessaly {
namespace {

double num(const std::string& s) {
    return leadingNumber(s);
}

// A value typed and the field left, as the runner's set does: the limits follow the finished value.
void enter(ExperimentForm& form, std::string_view field, std::string_view text) {
    form.type(field, text);
    EXPECT_FALSE(form.leave(field)) << field;
}

struct Kinetics {
    explicit Kinetics(int mechanism = 1) {
        MechanismForm mech(p);
        mech.select("mech", mechanism);
        mech.ok();
        form.activate();
    }
    ExperimentParams p;
    KineticsForm form{p};
};

// A typed rate constant leaves limits that contain it alone; a limit it passed moves a factor 10 beyond
// it (defaults: ks 1e3..1e5, kf 1..100, kb 0.01..1).
TEST(KineticsForm, RateConstantLimitsWidenOnlyWhenPassed) {
    struct Case {
        const char *field, *value, *min, *max;
        double low, high; // parsed limits
    };
    const Case cases[] = {
        {"ks(1)", "2e4", "TextKsmin(1)", "TextKsmax(1)", 1000, 100000},          // inside: kept
        {"ks(3)", "0.0123456", "TextKsmin(3)", "TextKsmax(3)", 0.001235, 100000}, // below: min moves
        {"ks(2)", "5e6", "TextKsmin(2)", "TextKsmax(2)", 1000, 5e7},              // above: max moves
        {"kf(2)", "250", "TextKfmin(2)", "TextKfmax(2)", 1, 2500},
        {"kb(9)", "3e-7", "TextKbmin(9)", "TextKbmax(9)", 3e-8, 1},
    };
    for (const Case& c : cases) {
        Kinetics k;
        enter(k.form, c.field, c.value);
        const std::string low = k.form.view(c.min).text, high = k.form.view(c.max).text;
        EXPECT_DOUBLE_EQ(num(low), c.low) << c.field << " min " << low;
        EXPECT_DOUBLE_EQ(num(high), c.high) << c.field << " max " << high;
    }
    Kinetics k;
    enter(k.form, "ks(1)", "1e2");
    EXPECT_EQ(k.p.TextKsmin[1], "1e1"); // "#.###e-#": no decimals, no exponent sign when positive
    EXPECT_EQ(k.p.TextKsmax[1], "1e5");
}

// The limits follow the finished value only: the texts met on the way while it is typed ("", "0", "0.")
// leave them alone, so typing 0.45 into a transfer coefficient keeps its 0.4..0.6.
TEST(KineticsForm, LimitsIgnoreTheTextsMetWhileTyping) {
    Kinetics k;
    for (const char* partial : {"", "0", "0.", "0.4", "0.45"})
        k.form.type("alph(1)", partial);
    EXPECT_EQ(k.p.TextAlphaMin[1], "0.4");
    for (const char* partial : {"", "5", "5e", "5e3"})
        k.form.type("ks(1)", partial);
    EXPECT_EQ(k.p.TextKsmin[1], "1e3");
    EXPECT_FALSE(k.form.leave("ks(1)"));
    EXPECT_FALSE(k.form.leave("alph(1)"));
    EXPECT_EQ(k.p.TextAlphaMin[1], "0.4");
    EXPECT_EQ(k.p.TextKsmin[1], "1e3");
    EXPECT_EQ(k.p.TextKsmax[1], "1e5");
}

TEST(KineticsForm, EquilibriumConstantFollowsTheRatesUnlessKbIsZero) {
    Kinetics k(7);
    enter(k.form, "kf(1)", "50");
    EXPECT_EQ(k.p.LabelKeq[1], "5e2"); // 50 / 0.1
    enter(k.form, "kb(1)", "4");
    EXPECT_EQ(k.p.LabelKeq[1], "1.25e1");
    EXPECT_EQ(k.p.TextKbmin[1], "0.01"); // kept: 4 passed only the maximum
    EXPECT_EQ(k.p.TextKbmax[1], "4e1");
    enter(k.form, "kb(1)", "0");
    EXPECT_EQ(k.p.LabelKeq[1], "1.25e1"); // kept
    enter(k.form, "kf(1)", "7");
    EXPECT_EQ(k.p.LabelKeq[1], "1.25e1");
    EXPECT_TRUE(k.form.view("LabelKeq(1)").readOnly);
}

// alpha (defaults 0.4..0.6) and E' (defaults 0..0.2 for reaction 1): a typed value inside the limits
// leaves them, one outside moves the limit it passed 0.1 beyond it (alpha within 0..1). A typed alpha no
// longer pins both limits to itself.
TEST(KineticsForm, TransferCoefficientAndFormalPotentialLimits) {
    Kinetics k;
    enter(k.form, "alph(2)", "0.45");
    EXPECT_EQ(k.p.TextAlphaMin[2], "0.4");
    EXPECT_EQ(k.p.TextAlphamax[2], "0.6");
    enter(k.form, "alph(2)", "0.35");
    EXPECT_EQ(k.p.TextAlphaMin[2], "0.25");
    EXPECT_EQ(k.p.TextAlphamax[2], "0.6");
    enter(k.form, "alph(2)", "0.95");
    EXPECT_EQ(k.p.TextAlphaMin[2], "0.25");
    EXPECT_EQ(k.p.TextAlphamax[2], "1");
    enter(k.form, "Eze(1)", "0.15");
    EXPECT_EQ(k.p.TextEzeromin[1], "0");
    EXPECT_EQ(k.p.TextEzeromax[1], "0.2");
    enter(k.form, "Eze(1)", "0.2");
    EXPECT_EQ(k.p.TextEzeromax[1], "0.2"); // on the limit is inside
    enter(k.form, "Eze(1)", "0.25");
    EXPECT_EQ(k.p.TextEzeromin[1], "0");
    EXPECT_EQ(k.p.TextEzeromax[1], "0.35"); // general form, not 0.35000000000000003
    enter(k.form, "Eze(1)", "-0.45");
    EXPECT_EQ(k.p.TextEzeromin[1], "-0.55");
    EXPECT_EQ(k.p.TextEzeromax[1], "0.35");
}

TEST(KineticsForm, ValidationOnLeaving) {
    struct Case {
        const char *field, *text, *message; // message "" = accepted
    };
    const Case cases[] = {
        {"ks(1)", "-1", "ks must be in range of 0 to 1e300 !"},
        {"ks(1)", "0", ""},
        {"ks(1)", "1e300", ""},
        {"ks(2)", "1e301", "ks must be in range of 0 to 1e300 !"},
        {"kf(1)", "-0.5", "kf must be in range of 0 to 1e300 !"},
        {"kb(3)", "-2", "kb must be in range of 0 to 1e300 !"},
        {"kb(3)", "abc", ""}, // reads as 0
        {"TextpH", "14", ""},
        {"TextpH", "0", ""},
        {"TextpH", "14.1", "pH must be in range of 0 to 14 !"},
        {"TextpH", "-1", "pH must be in range of 0 to 14 !"},
    };
    for (const Case& c : cases) {
        Kinetics k;
        k.form.type(c.field, c.text);
        const auto message = k.form.leave(c.field);
        if (*c.message == 0) {
            EXPECT_FALSE(message) << c.field << " = " << c.text;
        } else {
            ASSERT_TRUE(message) << c.field << " = " << c.text;
            EXPECT_EQ(*message, (FormMessage{c.message, "", MessageIcon::None}));
        }
        EXPECT_EQ(k.form.view(c.field).text, c.text); // the typed text stays
    }
}

TEST(KineticsForm, FitBoxesShowTheirLimits) {
    struct Case {
        int code;
        const char *min, *max;
    };
    const Case cases[] = {{11, "TextKsmin(1)", "TextKsmax(1)"},
                          {21, "TextAlphaMin(1)", "TextAlphamax(1)"},
                          {31, "TextEzeromin(1)", "TextEzeromax(1)"},
                          {41, "TextKfmin(1)", "TextKfmax(1)"},
                          {61, "TextKbmin(1)", "TextKbmax(1)"}};
    for (const Case& c : cases) {
        Kinetics k(7); // one charge and one chemical row
        const std::string box = "CheckFitted(" + std::to_string(c.code) + ")";
        EXPECT_TRUE(k.form.view(box).visible) << box;
        EXPECT_FALSE(k.form.view(c.min).visible) << box;
        k.form.click(box, true);
        EXPECT_TRUE(k.p.CheckFitted[static_cast<std::size_t>(c.code)]);
        EXPECT_TRUE(k.form.view(c.min).visible) << box;
        EXPECT_TRUE(k.form.view(c.max).visible) << box;
        k.form.click(box, false);
        EXPECT_FALSE(k.form.view(c.max).visible) << box;
    }
    Kinetics one(1); // a hidden row hides its box and limits even when checked
    one.form.click("CheckFitted(12)", true);
    EXPECT_FALSE(one.form.view("CheckFitted(12)").visible);
    EXPECT_FALSE(one.form.view("TextKsmin(2)").visible);
}

TEST(KineticsForm, RowsAndCaptionsOfEachMechanism) {
    struct Case {
        int mechanism;
        std::vector<std::string> charge, chem;
    };
    const Case cases[] = {
        {1, {"A + 1e=B"}, {}},
        {2, {"A + 1e=B", "B+ne=C"}, {}},
        {3, {"A + 1e=B", "B+ne=C", "C+ne=D"}, {}},
        {4, {"A + 1e=B", "C+ne=D", "E+ne=F"}, {}},
        {5, {"A + 1e=B"}, {"C=2A"}},
        {6, {"A + 1e=B"}, {"C+2D=A+2E"}},
        {7, {"A + 1e=B"}, {"B->C"}},
        {8, {"A + 1e=B"}, {"B+C=A"}},
        {9, {"A + 1e=B"}, {"2B->C"}},
        {10, {"M+ne=B"}, {"ML2=M+2L"}},
        {11, {"A+ne<->B"}, {}},
        {12, {"A+ne<->B", "C+ne<->D", "E+ne<->F"}, {}},
        {13, {"A+ne<->B", "B+ne<->C"}, {}},
        {14, {"A+ne<->B", "B+ne<->C", "C+ne<->D"}, {}},
        {15, {"A(abs)+ne<->B(abs)"}, {}},
        {16, {"A(abs)+ne<->B(abs)", "A+ne<->B"}, {}},
        {17, {"A(abs)+ne=B(abs)"}, {}},
        {18, {"A(abs)+ne=B(abs)", "A+ne<->B"}, {}},
    };
    for (const Case& c : cases) {
        ExperimentParams p;
        p.Textm = "2";
        MechanismForm mech(p);
        mech.select("mech", c.mechanism);
        mech.ok();
        KineticsForm k(p);
        k.activate();
        for (int i = 1; i <= kMaxCharge; ++i) {
            const FieldView row = k.view("heter(" + std::to_string(i) + ")");
            const bool shown = i <= static_cast<int>(c.charge.size());
            EXPECT_EQ(row.visible, shown) << "mechanism " << c.mechanism << " charge row " << i;
            EXPECT_EQ(k.view("ks(" + std::to_string(i) + ")").visible, shown);
            if (shown) {
                EXPECT_EQ(row.caption, c.charge[static_cast<std::size_t>(i - 1)])
                    << "mechanism " << c.mechanism;
            }
        }
        for (int j = 1; j <= kMaxChem; ++j) {
            const FieldView row = k.view("homo(" + std::to_string(j) + ")");
            const bool shown = j <= static_cast<int>(c.chem.size());
            EXPECT_EQ(row.visible, shown) << "mechanism " << c.mechanism << " chemical row " << j;
            if (shown) {
                EXPECT_EQ(row.caption, c.chem[static_cast<std::size_t>(j - 1)])
                    << "mechanism " << c.mechanism;
            }
        }
    }
}

TEST(KineticsForm, OkCommitsRatesPotentialsAndSolution) {
    Kinetics k(7);
    k.form.type("ks(1)", "0.02");
    k.form.type("Eze(1)", "-0.2");
    k.form.type("kf(1)", "30");
    k.form.type("TextpH", "9");
    k.form.ok();
    const CommittedValues& c = k.p.committed;
    EXPECT_DOUBLE_EQ(c.RateKs[1], 0.02);
    EXPECT_DOUBLE_EQ(c.FormalPotential[1], -0.2);
    EXPECT_DOUBLE_EQ(c.RateKf[1], 30);
    EXPECT_DOUBLE_EQ(c.Keq[1], 300);
    EXPECT_DOUBLE_EQ(c.PHFactor, 2 * 2.303);
}

} // namespace
} // namespace tessaly
