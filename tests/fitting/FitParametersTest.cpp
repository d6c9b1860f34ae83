// Fitted quantities by code and their selection from the dialogs.

#include "fitting/FitParameters.h"

#include "base/Failure.h"

#include <gtest/gtest.h>

namespace tessaly {
namespace {

TEST(FitParameters, CodesNameTheCommittedValues) {
    CommittedValues c;
    fitParameter(c, 12) = 0.5;
    fitParameter(c, 23) = 0.3;
    fitParameter(c, 31) = -0.2;
    fitParameter(c, 49) = 7;
    fitParameter(c, 61) = 8;
    fitParameter(c, 116) = 1e-3;
    fitParameter(c, 121) = 1e-5;
    EXPECT_EQ(c.RateKs[2], 0.5);
    EXPECT_EQ(c.Alpha[3], 0.3);
    EXPECT_EQ(c.FormalPotential[1], -0.2);
    EXPECT_EQ(c.RateKf[9], 7);
    EXPECT_EQ(c.RateKb[1], 8);
    EXPECT_EQ(c.InitConc[16], 1e-3);
    EXPECT_EQ(c.DiffCoef[1], 1e-5);
    for (const int bad : {0, 10, 16, 20, 40, 80, 100, 117, 120, 140})
        EXPECT_THROW(fitParameter(c, bad), Failure) << bad;
}

TEST(FitParameters, NamesAsTheDialogsHeadTheirColumns) {
    const std::pair<int, const char*> cases[] = {
        {11, "ks(1) (cm/s)"}, {25, "a(5)"}, {31, "E'(1) (V)"},     {49, "kf(9)"},
        {61, "kb(1)"},        {116, "C(16) (M)"}, {121, "D(1) (cm2/s)"},
    };
    for (const auto& [code, name] : cases)
        EXPECT_EQ(fitParameterName(code), name) << code;
    for (const int bad : {0, 10, 20, 40, 80, 100, 120, 140})
        EXPECT_THROW(fitParameterName(bad), Failure) << bad;
}

TEST(FitParameters, SelectionOrderAndLimitsFromTheDialogs) {
    ExperimentParams p;
    p.committed.RateKs[1] = 1e4;
    p.committed.FormalPotential[1] = 0.1;
    p.committed.DiffCoef[1] = 1e-5;
    p.CheckFitted[121] = true; // D(1)
    p.CheckFitted[31] = true;  // E'(1)
    p.CheckFitted[11] = true;  // ks(1)
    p.CheckFitted[12] = true;  // ks(2): reaction 2 is not used by mechanism 1
    p.CheckFitted[103] = true; // C(3): species 3 is not used either
    p.TextKsmin[1] = "1e3";
    p.TextKsmax[1] = "1e5";
    const std::vector<FitCandidate> selected = selectedFitParameters(p);
    ASSERT_EQ(selected.size(), 3u);
    EXPECT_EQ(selected[0].code, 11);
    EXPECT_EQ(selected[0].initial, 1e4);
    EXPECT_EQ(selected[0].minimum, 1e3);
    EXPECT_EQ(selected[0].maximum, 1e5);
    EXPECT_EQ(selected[1].code, 31);
    EXPECT_EQ(selected[1].minimum, 0); // the default E' limits of row 1
    EXPECT_EQ(selected[1].maximum, 0.2);
    EXPECT_EQ(selected[2].code, 121);
    EXPECT_EQ(selected[2].minimum, 1e-7); // the default D limits 1e-7..1e-3
}

} // namespace
} // namespace tessaly
