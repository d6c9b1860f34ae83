// The commit chain: the numeric snapshot the simulations read, derived from the dialog texts.

#include "model/Commits.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

namespace tessaly {
namespace {

CommittedValues committedAfterSpecies(ExperimentParams& p) {
    Notices notices;
    commitSpecies(p, notices);
    return p.committed;
}

TEST(InstrumentCommit, ReadsTheTextsWithTheProgramsConstants) {
    ExperimentParams p;
    p.txttemp = "25";
    p.V = "-0.04";
    p.Rotation = "600";
    p.Estep = "0.002";
    p.td = "0.05";
    const CommittedValues c = committedAfterSpecies(p);
    EXPECT_DOUBLE_EQ(c.TemperatureK, 298.14); // 273.14, not 273.15
    EXPECT_DOUBLE_EQ(c.ScanRate, 0.04);       // the absolute value of v
    EXPECT_DOUBLE_EQ(c.SqrtScanRate, std::sqrt(0.04));
    EXPECT_DOUBLE_EQ(c.RotationRate, 600 * std::numbers::pi / 30); // rpm -> rad/s
    EXPECT_DOUBLE_EQ(c.StepPotential, 0.002);
    EXPECT_DOUBLE_EQ(c.StartPotential, 0.3);
    EXPECT_DOUBLE_EQ(c.EndPotential, -0.4);
    EXPECT_DOUBLE_EQ(p.fRT, 96484.6 / (8.31441 * 298.14));
}

TEST(InstrumentCommit, CycleCountFollowsTheScanList) {
    const double expected[] = {0.5, 1, 2, 3};
    for (int scan = 0; scan <= 3; ++scan) {
        ExperimentParams p;
        p.ComboScan = scan;
        EXPECT_EQ(committedAfterSpecies(p).CycleCount, expected[scan]) << "scan " << scan;
    }
}

TEST(InstrumentCommit, DesignedWaveformSamplesAtTheDropTime) {
    ExperimentParams p;
    p.optTech = 9;
    p.td = "0.25";
    p.TextTimeGrid = "0.01";
    EXPECT_DOUBLE_EQ(committedAfterSpecies(p).TimeGrid, 0.25);
}

struct GeometryCase {
    int electrode;
    double radius, area; // expected ElectrodeRadius (cm) and ElectrodeArea (cm2)
};

TEST(InstrumentCommit, ElectrodeRadiusAndAreaByGeometry) {
    const double r = 0.05, L = 0.05642, r2 = 0.06, r3 = 0.07, pi = std::numbers::pi;
    const double microdisk = 2 * r / pi; // hemisphere of equal steady-state current
    const GeometryCase cases[] = {
        {4, microdisk, 2 * pi * microdisk * microdisk},
        {8, r, pi * std::pow(r3 * r3 * r3 - r2 * r2 * r2, 2.0 / 3.0)},
    };
    for (const GeometryCase& g : cases) {
        ExperimentParams p;
        p.Electrode = g.electrode;
        const CommittedValues c = committedAfterSpecies(p);
        EXPECT_NEAR(c.ElectrodeRadius, g.radius, 1e-15) << "electrode " << g.electrode;
        EXPECT_NEAR(c.ElectrodeArea, g.area, 1e-15) << "electrode " << g.electrode;
    }
    ExperimentParams band;
    band.CheckDigital = true; // the band exists only for the digital model
    band.Electrode = 10;
    const CommittedValues c = committedAfterSpecies(band);
    EXPECT_DOUBLE_EQ(c.ElectrodeRadius, r / 2);
    EXPECT_DOUBLE_EQ(c.ElectrodeArea, pi * (r / 2) * L);
}

TEST(KineticsCommit, CopiesRowsAndFormsThePhFactor) {
    ExperimentParams p;
    p.ks[2] = "0.02";
    p.alph[2] = "0.3";
    p.Eze[3] = "-0.25";
    p.kf[9] = "5e3";
    p.kb[9] = "2";
    p.TextpH = "5";
    p.TextVis = "0.009";
    const CommittedValues c = committedAfterSpecies(p);
    EXPECT_DOUBLE_EQ(c.RateKs[2], 0.02);
    EXPECT_DOUBLE_EQ(c.Alpha[2], 0.3);
    EXPECT_DOUBLE_EQ(c.FormalPotential[3], -0.25);
    EXPECT_DOUBLE_EQ(c.RateKf[9], 5e3);
    EXPECT_DOUBLE_EQ(c.RateKb[9], 2);
    EXPECT_DOUBLE_EQ(c.PHFactor, (5 - 7.0) * 2.303);
    EXPECT_DOUBLE_EQ(c.Viscosity, 0.009);
}

TEST(SpeciesCommit, InitialConcentrationIsTheEquilibriumValueNotTheAnalyticalOne) {
    ExperimentParams p;
    p.C[1] = "2e-3";
    p.D[2] = "7e-6";
    p.TextB[1] = "5e3";
    p.TextG[1] = "2e-9";
    const CommittedValues c = committedAfterSpecies(p);
    EXPECT_DOUBLE_EQ(c.InitConc[1], 2e-3); // no pre-equilibration: Cinit = C
    EXPECT_DOUBLE_EQ(c.InitConc[2], 0);
    EXPECT_DOUBLE_EQ(c.DiffCoef[2], 7e-6);
    EXPECT_DOUBLE_EQ(c.AdsorbCoef[1], 5e3);
    EXPECT_DOUBLE_EQ(c.MaxAdsorb[1], 2e-9);
}

TEST(TechniqueCommit, TechniqueChangesOnlyAtTheCommit) {
    ExperimentParams p;
    p.optTech = 5;
    EXPECT_EQ(p.Technique, 1);
    p.Electrode = 3;
    commitTechnique(p);
    EXPECT_EQ(p.Technique, 5);
    EXPECT_EQ(p.TechElectrodeCode, 503);
    p.DigitalFlag = true; // the code is left alone while the digital model is selected
    p.optTech = 7;
    commitTechnique(p);
    EXPECT_EQ(p.Technique, 7);
    EXPECT_EQ(p.TechElectrodeCode, 503);
}

} // namespace
} // namespace tessaly
