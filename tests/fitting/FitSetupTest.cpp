// The fit's setup: names of fitted quantities, ties and their refusals, and the points a window keeps.

#include "fitting/FitSetup.h"

#include <gtest/gtest.h>
#include <vector>

namespace tessaly {
namespace {

TEST(FitSetup, QuantitiesAreNamedAsTheirDialogFields) {
    const struct {
        const char* name;
        std::optional<int> code;
    } cases[] = {{"ks(1)", 11}, {"ALPH(2)", 22}, {"Eze(5)", 35}, {"kf(9)", 49}, {"kb(1)", 61},
                 {"C(16)", 116}, {"D(2)", 122}, {"D(17)", std::nullopt}, {"ks(6)", std::nullopt},
                 {"V", std::nullopt}, {"Ru", 1}, {"CDL", 2}, {"area", 3}, {"D(x)", std::nullopt}, {"D(1", std::nullopt}};
    for (const auto& c : cases) {
        EXPECT_EQ(fitCodeOfName(c.name), c.code) << c.name;
        if (c.code) {
            EXPECT_EQ(fitCodeOfName(fitNameOfCode(*c.code)), c.code) << c.name;
        }
    }
}

TEST(FitSetup, TiesRefuseCyclesAndChains) {
    FitSetup s;
    EXPECT_FALSE(addTie(s, {122, 121}));
    EXPECT_TRUE(addTie(s, {121, 122}));  // the master is tied itself
    EXPECT_TRUE(addTie(s, {123, 122}));  // to a quantity that follows another
    EXPECT_TRUE(addTie(s, {121, 121}));  // to itself
    EXPECT_TRUE(addTie(s, {121, 124}));  // a master cannot follow another
    EXPECT_FALSE(addTie(s, {122, 123})); // re-tying replaces
    ASSERT_EQ(s.ties.size(), 1u);
    EXPECT_EQ(s.ties[0].master, 123);
    EXPECT_TRUE(removeTie(s, 122));
    EXPECT_FALSE(removeTie(s, 122));
}

// A cyclic sweep 0 → 4 → 0 → 4 → 0 in unit steps (two cycles, 17 points).
TEST(FitSetup, WindowsKeepThePointsInsideAnyOfThemAndInTheChosenCycle) {
    std::vector<double> E;
    for (int i = 0; i <= 16; ++i) {
        const int phase = i % 8;
        E.push_back(phase <= 4 ? phase : 8 - phase);
    }
    FitSetup s;
    EXPECT_EQ(windowPoints(E, {}, 0.5, 1, 15, s).size(), 15u); // no window: the whole range
    s.windows = {{FitWindow::Axis::Potential, 3.5, 1.5}};
    EXPECT_EQ(windowPoints(E, {}, 0.5, 1, 15, s), (std::vector<int>{2, 3, 5, 6, 10, 11, 13, 14}));
    s.windows.push_back({FitWindow::Axis::Time, 0.0, 1.0}); // points 0..2 by time
    EXPECT_EQ(windowPoints(E, {}, 0.5, 1, 15, s), (std::vector<int>{1, 2, 3, 5, 6, 10, 11, 13, 14}));
    s.cycle = 2;
    EXPECT_EQ(windowPoints(E, {}, 0.5, 1, 15, s), (std::vector<int>{10, 11, 13, 14}));
    s.windows.clear();
    EXPECT_EQ(windowPoints(E, {}, 0.5, 1, 16, s), (std::vector<int>{9, 10, 11, 12, 13, 14, 15, 16}));
    const std::vector<double> times{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    s.cycle = 0;
    s.windows = {{FitWindow::Axis::Time, 14.5, 20}};
    EXPECT_EQ(windowPoints(E, times, 0.5, 1, 16, s), (std::vector<int>{15, 16}));
}

TEST(FitSetup, DataSetFieldsAreTypedAsPairs) {
    const auto fields = parseDataSetFields("  V 0.5\ttd  0.01 ");
    ASSERT_TRUE(fields);
    ASSERT_EQ(fields->size(), 2u);
    EXPECT_EQ((*fields)[1], (std::pair<std::string, std::string>{"td", "0.01"}));
    EXPECT_TRUE(parseDataSetFields("")->empty());
    EXPECT_FALSE(parseDataSetFields("V 0.5 td"));
    EXPECT_EQ(describeDataSet({"slow.csv", *fields}), "slow.csv  V=0.5  td=0.01");
}

} // namespace
} // namespace tessaly
