// The species dialog's logic: names and rows per mechanism, limits, the concentration reaction with
// its pre-equilibrations as the dialog runs it, and the species commit.

#include "model/SpeciesForm.h"

#include "base/NumberText.h"
#include "model/KineticsForm.h"
#include "model/MechanismForm.h"

#include <cmath>
#include <gtest/gtest.h>

namespace tessaly {
namespace {

double num(const std::string& s) {
    return leadingNumber(s);
}

struct Species {
    explicit Species(int mechanism = 1, bool digital = false) {
        MechanismForm mech(p);
        mech.select("mech", mechanism);
        mech.click("CheckDigital", digital);
        mech.ok();
        form.activate();
    }
    ExperimentParams p;
    SpeciesForm form{p};
};

TEST(SpeciesForm, NamesAndRowsOfEachMechanism) {
    struct Case {
        int mechanism;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {1, {"A", "B"}},
        {4, {"A", "B", "C", "D", "E", "F"}},
        {6, {"A", "B", "C", "D", "E"}},
        {10, {"M", "B", "ML", "L"}},
        {15, {"A(abs)", "B(abs)"}},
        {16, {"A(abs)", "B(abs)", "C", "D"}},
        {18, {"A(abs)", "B(abs)", "C", "D"}},
    };
    for (const Case& c : cases) {
        Species sp(10); // renamed from the complex mechanism first: names follow the new mechanism
        MechanismForm mech(sp.p);
        mech.select("mech", c.mechanism);
        mech.ok();
        sp.form.activate();
        for (int s = 1; s <= kMaxSpecies; ++s) {
            const FieldView name = sp.form.view("specie(" + std::to_string(s) + ")");
            const bool shown = s <= static_cast<int>(c.names.size());
            EXPECT_EQ(name.visible, shown) << "mechanism " << c.mechanism << " row " << s;
            if (shown) {
                EXPECT_EQ(name.text, c.names[static_cast<std::size_t>(s - 1)]) << "mechanism " << c.mechanism;
            }
        }
    }
}

TEST(SpeciesForm, DigitalNamesComeFromTheReactionRows) {
    ExperimentParams p;
    p.charge[12] = "Fe3";
    p.charge[16] = "Fe2";
    p.chem2[1] = "Fe2";
    p.chem2[3] = "X";
    MechanismForm mech(p);
    mech.click("CheckDigital", true);
    EXPECT_TRUE(p.DigitalFlag); // at once, before the build
    EXPECT_FALSE(mech.view("FrameAnalytical").visible);
    EXPECT_TRUE(mech.view("FrameCharge").visible);
    mech.ok();
    SpeciesForm sp(p);
    sp.activate();
    EXPECT_EQ(p.specie[1], "Fe3");
    EXPECT_EQ(p.specie[2], "Fe2");
    EXPECT_EQ(p.specie[3], "X");
    EXPECT_TRUE(sp.view("C(3)").visible);
    EXPECT_FALSE(sp.view("C(4)").visible);
}

TEST(SpeciesForm, WithoutPreEquilibrationCinitIsC) {
    Species sp(4);
    sp.form.type("C(3)", "2.5e-4");
    const double expected[] = {0, 1e-3, 0, 2.5e-4, 0, 0, 0};
    for (int s = 1; s <= 6; ++s)
        EXPECT_EQ(num(sp.p.Cinit[static_cast<std::size_t>(s)]), expected[s]) << s;
    EXPECT_EQ(sp.p.Cinit[3], "2.5e-4"); // "0.####e-#"
    // the limits of the row typed into follow its Cinit
    EXPECT_DOUBLE_EQ(num(sp.p.TextCmin[3]), 2.5e-5);
    EXPECT_DOUBLE_EQ(num(sp.p.TextCmax[3]), 2.5e-3);
    sp.form.type("C(2)", "abc"); // a non-numeric concentration is 0
    EXPECT_EQ(num(sp.p.Cinit[2]), 0);
}

// D's limits start at 1e-7..1e-3 cm2/s and move only when a typed D passes one, to a factor 10 beyond it.
TEST(SpeciesForm, DiffusionLimits) {
    Species sp;
    EXPECT_DOUBLE_EQ(num(sp.p.TextDmin[1]), 1e-7);
    EXPECT_DOUBLE_EQ(num(sp.p.TextDmax[1]), 1e-3);
    sp.form.type("D(1)", "2e-5");
    sp.form.leave("D(1)");
    EXPECT_DOUBLE_EQ(num(sp.p.TextDmin[1]), 1e-7);
    EXPECT_DOUBLE_EQ(num(sp.p.TextDmax[1]), 1e-3);
    sp.form.type("D(2)", "7.3e-8");
    sp.form.leave("D(2)");
    EXPECT_EQ(sp.p.TextDmin[2], "7.3e-9"); // "0.####e-#"
    EXPECT_EQ(sp.p.TextDmax[2], "1e-3");
    sp.form.type("D(2)", "2e-2");
    sp.form.leave("D(2)");
    EXPECT_EQ(sp.p.TextDmin[2], "7.3e-9");
    EXPECT_EQ(sp.p.TextDmax[2], "2e-1");
}

TEST(SpeciesForm, FitBoxesShowTheirLimits) {
    Species sp;
    EXPECT_FALSE(sp.form.view("TextCmin(2)").visible);
    sp.form.click("CheckFitted(102)", true);
    EXPECT_TRUE(sp.form.view("TextCmin(2)").visible);
    EXPECT_TRUE(sp.form.view("TextCmax(2)").visible);
    EXPECT_FALSE(sp.form.view("TextDmin(2)").visible);
    sp.form.click("CheckFitted(122)", true);
    EXPECT_TRUE(sp.form.view("TextDmax(2)").visible);
    sp.form.click("CheckFitted(103)", true); // row 3 is not in use in mechanism 1
    EXPECT_FALSE(sp.form.view("TextCmin(3)").visible);
}

// A + e = B at Estart = 0.3 V with E' = 0.1 V: cB/cA = exp(f (E' - Estart)), cA + cB conserved.
TEST(SpeciesForm, ElectrodePreEquilibrationFollowsNernst) {
    Species sp;
    sp.form.type("C(2)", "4e-4");
    sp.form.click("CheckElectrode", true);
    const double f = sp.p.fRT;
    EXPECT_NEAR(f, 96484.6 / (8.31441 * 298.14), 1e-12 * f);
    const double cA = num(sp.p.Cinit[1]), cB = num(sp.p.Cinit[2]);
    EXPECT_NEAR(cB / cA, std::exp(f * (0.1 - 0.3)), 5e-4 * std::exp(f * (0.1 - 0.3))); // 5 digits written
    EXPECT_NEAR(cA + cB, 1.4e-3, 1e-4 * 1.4e-3); // to the five digits written

    // E' moved in the kinetics dialog re-equilibrates: at E' = Estart the couple is split evenly
    KineticsForm k(sp.p);
    k.type("Eze(1)", "0.3");
    EXPECT_EQ(sp.p.Cinit[1], "7e-4");
    EXPECT_EQ(sp.p.Cinit[2], "7e-4");
}

// A = B with Keq = 10 from 1e-3 M of A: A = 1e-3/11, B = 1e-2/11.
TEST(SpeciesForm, ChemicalPreEquilibrationOfAFirstOrderEquilibrium) {
    ExperimentParams p;
    p.charge[12] = "A";
    p.charge[16] = "Z";
    p.chem2[1] = "A";
    p.chem2[3] = "B";
    MechanismForm mech(p);
    mech.click("CheckDigital", true);
    mech.ok();
    KineticsForm kinetics(p);
    kinetics.type("kf(1)", "1");
    EXPECT_EQ(p.LabelKeq[1], "1e1");
    SpeciesForm sp(p);
    sp.activate();
    ASSERT_EQ(p.specie[3], "B");
    sp.click("CheckPreEqu", true);
    EXPECT_EQ(p.Cinit[1], "9.0909e-5");
    EXPECT_EQ(p.Cinit[3], "9.0909e-4");
    // a new Keq re-equilibrates at once
    kinetics.type("kf(1)", "0.3");
    EXPECT_EQ(p.Cinit[1], "2.5e-4"); // K = 3
    EXPECT_EQ(p.Cinit[3], "7.5e-4");
}

// Mechanism 5, C = 2A: [A]^2 = K [C] with A + 2C conserved.
TEST(SpeciesForm, ChemicalPreEquilibrationOfADimer) {
    Species sp(5);
    sp.p.LabelKeq[1] = "1e-3";
    sp.form.type("C(1)", "0");
    sp.form.type("C(3)", "1e-3");
    sp.form.click("CheckPreEqu", true);
    const double a = num(sp.p.Cinit[1]), c = num(sp.p.Cinit[3]);
    const double K = 1e-3, c0 = 1e-3;                                          // M, M
    const double expectedA = (-K / 2 + std::sqrt(K * K / 4 + 4 * K * c0)) / 2; // a^2 = K (c0 - a/2)
    EXPECT_NEAR(a, expectedA, 1e-4 * expectedA);
    EXPECT_NEAR(a * a / c, 1e-3, 1e-3 * 1e-3);
    EXPECT_NEAR(a + 2 * c, 2e-3, 1e-8);
}

// Mechanism 9, 2B = C: [C] = K [B]^2 with B + 2C conserved; x = K (b0 - 2x)^2 has the root
// x = (4 K b0 + 1 - sqrt(8 K b0 + 1)) / (8 K).
TEST(SpeciesForm, ChemicalPreEquilibrationOfADimerisation) {
    Species sp(9);
    const double K = 500, b0 = 1e-3; // /M, M
    sp.p.LabelKeq[1] = "5e2";
    sp.form.type("C(1)", "0");
    sp.form.type("C(2)", "1e-3");
    sp.form.click("CheckPreEqu", true);
    const double b = num(sp.p.Cinit[2]), c = num(sp.p.Cinit[3]);
    const double x = (4 * K * b0 + 1 - std::sqrt(8 * K * b0 + 1)) / (8 * K);
    EXPECT_NEAR(c, x, 1e-4 * x);
    EXPECT_NEAR(c / (b * b), K, 1e-3 * K);
    EXPECT_NEAR(b + 2 * c, b0, 1e-4 * b0);
}

TEST(SpeciesForm, OkCommitsTheInitialConcentrations) {
    Species sp(7);
    sp.form.type("C(2)", "5e-4");
    sp.form.type("D(2)", "8e-6");
    sp.form.ok();
    EXPECT_DOUBLE_EQ(sp.p.committed.InitConc[2], 5e-4);
    EXPECT_DOUBLE_EQ(sp.p.committed.DiffCoef[2], 8e-6);
    EXPECT_EQ(sp.p.NumSpecies, 3);
}

} // namespace
} // namespace tessaly
