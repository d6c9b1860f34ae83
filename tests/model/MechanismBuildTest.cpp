// The mechanism build: counts, species names and reaction tables.

#include "model/Commits.h"

#include <gtest/gtest.h>

namespace tessaly {
namespace {

struct Counts {
    int mechanism, species, charge, chem, uni, bi;
};

TEST(MechanismBuild, AnalyticalCountsByMechanism) {
    const Counts table[] = {
        {1, 2, 1, 0, 0, 0},  {2, 3, 2, 0, 0, 0},  {3, 4, 3, 0, 0, 0},  {4, 6, 3, 0, 0, 0},
        {5, 3, 1, 1, 1, 0},  {6, 5, 1, 1, 0, 1},  {7, 3, 1, 1, 1, 0},  {8, 3, 1, 1, 0, 1},
        {9, 3, 1, 1, 1, 0},  {10, 4, 1, 1, 1, 0}, {11, 2, 1, 0, 0, 0}, {12, 6, 3, 0, 0, 0},
        {13, 3, 2, 0, 0, 0}, {14, 4, 3, 0, 0, 0}, {15, 2, 1, 0, 0, 0}, {16, 4, 2, 0, 0, 0},
        {17, 2, 1, 0, 0, 0}, {18, 4, 2, 0, 0, 0},
    };
    for (const Counts& c : table) {
        ExperimentParams p;
        p.mech = c.mechanism;
        Notices notices;
        buildMechanism(p, notices);
        EXPECT_EQ(p.Mechanism, c.mechanism);
        EXPECT_EQ(p.NumSpecies, c.species) << "mechanism " << c.mechanism;
        EXPECT_EQ(p.NumCharge, c.charge) << "mechanism " << c.mechanism;
        EXPECT_EQ(p.NumChem, c.chem) << "mechanism " << c.mechanism;
        EXPECT_EQ(p.NumChemUni, c.uni) << "mechanism " << c.mechanism;
        EXPECT_EQ(p.NumChemBi, c.bi) << "mechanism " << c.mechanism;
        EXPECT_TRUE(notices.empty());
    }
}

TEST(MechanismBuild, AnalyticalCouplesUseFixedSpeciesNumbers) {
    struct Couples {
        int mechanism;
        int ox[4], red[4];
    };
    const Couples table[] = {
        {1, {0, 1}, {0, 2}},        {13, {0, 1, 2}, {0, 2, 3}},       {14, {0, 1, 2, 3}, {0, 2, 3, 4}},
        {16, {0, 1, 3}, {0, 2, 4}}, {12, {0, 1, 3, 5}, {0, 2, 4, 6}},
    };
    for (const Couples& c : table) {
        ExperimentParams p;
        p.mech = c.mechanism;
        Notices notices;
        buildMechanism(p, notices);
        for (int j = 1; j <= p.NumCharge; ++j) {
            EXPECT_EQ(p.tables.charge[j].ox, c.ox[j]) << "mechanism " << c.mechanism << " reaction " << j;
            EXPECT_EQ(p.tables.charge[j].red, c.red[j]) << "mechanism " << c.mechanism << " reaction " << j;
        }
    }
}

TEST(MechanismBuild, DigitalSpeciesListFromTheReactionRows) {
    ExperimentParams p;
    p.CheckDigital = true;
    // A + e = B, B + 2e = C (row 3), chemical B = D and C + D = E + A
    p.charge[22] = "";
    p.charge[32] = "B";
    p.charge[34] = "2";
    p.charge[36] = "C";
    p.chem2[1] = "B";
    p.chem2[3] = "D";
    p.chem2[5] = "C";
    p.chem2[6] = "D";
    p.chem2[7] = "E";
    p.chem2[8] = "A";
    Notices notices;
    buildMechanism(p, notices);
    EXPECT_TRUE(p.DigitalFlag);
    ASSERT_EQ(p.NumSpecies, 5);
    const char* names[] = {"", "A", "B", "C", "D", "E"};
    for (int s = 1; s <= 5; ++s)
        EXPECT_EQ(p.tables.speciesNames[s], names[s]);
    ASSERT_EQ(p.NumCharge, 2); // rows 1 and 3; the empty row 2 is skipped
    EXPECT_EQ(p.tables.charge[2].ox, 2);
    EXPECT_EQ(p.tables.charge[2].red, 3);
    EXPECT_EQ(p.tables.charge[2].n, 2);
    EXPECT_EQ(p.tables.charge[2].row, 3);
    ASSERT_EQ(p.NumChem, 2);
    EXPECT_EQ(p.NumChemUni, 1);
    EXPECT_EQ(p.NumChemBi, 1);
    EXPECT_TRUE(p.tables.secondOrder);
    EXPECT_EQ(p.tables.chem[2].reactants[0], 3);
    EXPECT_EQ(p.tables.chem[2].reactants[1], 4);
    EXPECT_EQ(p.tables.chem[2].products[0], 5);
    EXPECT_EQ(p.tables.chem[2].products[1], 1);
}

TEST(MechanismBuild, NamesAreCaseSensitiveAndMoreThanSixteenSpeciesAreReported) {
    ExperimentParams p;
    p.CheckDigital = true;
    p.charge[16] = "a"; // differs from "A" only by case: a new species
    Notices notices;
    buildMechanism(p, notices);
    EXPECT_EQ(p.NumSpecies, 2);
    EXPECT_TRUE(notices.empty());

    for (int k = 1; k <= 4 * kMaxChem; ++k)
        p.chem2[k] = "S" + std::to_string(k);
    buildMechanism(p, notices);
    EXPECT_GT(p.NumSpecies, kMaxSpecies); // the counts are not reduced
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].text, "Error: Species number cannot > 16");
}

} // namespace
} // namespace tessaly
