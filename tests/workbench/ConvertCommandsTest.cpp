// The Convert submenu through the command path: C0 vs E followed by Co0 to i1 and Cr0 to i1, the
// inverse, and the message of the general conversions at a non-planar electrode.

#include "support/RecordingUserPort.h"
#include "workbench/CommandTable.h"
#include "workbench/Commands.h"
#include "workbench/Workbench.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <vector>

namespace tessaly {
namespace {

constexpr double kE0 = 0.1; // V

struct Bench {
    RecordingUserPort port;
    Workbench wb{port};
    explicit Bench(int technique = 2) {
        wb.params.optTech = technique;
        wb.activateMainWindow();
        wb.enableCurveMenus();
    }
    void run(const char* command) { ASSERT_EQ(runCommand(wb, command), CommandStatus::Ran) << command; }

    // The surface of a Nernstian couple A + e = B with equal D (C_A + C_B = C*), as a simulation leaves it.
    void writeSurface() {
        CurveStore& s = wb.store;
        const double nf = wb.params.fRT;
        for (int k = 0; k < 301; ++k) {
            s.E[k] = 0.6 - 0.002 * k;
            const double theta = std::exp(nf * (s.E[k] - kE0));
            s.SurfaceConc(k, 1) = 1e-3 * theta / (1 + theta);
            s.SurfaceConc(k, 2) = 1e-3 / (1 + theta);
        }
        s.NPoints = 301;
        s.LastIndex = 300;
        s.FirstPoint = 1;
        s.LastPoint = 299;
    }
};

TEST(Co0toI1Command, CurrentOfTheSurfaceDepletionAtTheSamplingInstant) {
    // i = n F A sqrt(D/(pi t)) (C* - C_A(0)), t the sampling instant where the simulation samples: the
    // fraction t s1 of the drop time for DC, of the pulse time for normal pulse.
    struct Case {
        int technique;
        double t; // the default td or tp, s
    };
    for (const Case tc : {Case{2, 0.5}, Case{3, 0.05}}) {
        for (const char* command : {"Co0toI1", "Cr0toI1"}) {
            Bench b(tc.technique);
            b.writeSurface();
            b.run("C0E");
            EXPECT_EQ(b.wb.store.NCurves, 2);
            b.run(command);
            const CurveStore& s = b.wb.store;
            EXPECT_EQ(s.YTitle, "i /A");
            EXPECT_EQ(s.NCurves, 1);
            const double sampled = std::stod(b.wb.params.tsa1) * tc.t; // s
            ASSERT_GT(sampled, 0.0);
            const double scale = 96484.6 * 0.001 * 7.85e-3 * std::sqrt(1e-5 / (std::numbers::pi * sampled));
            for (const int k : {50, 150, 250}) {
                const double depletion = 1e-3 - s.SurfaceConc(k, 1); // mol/L
                EXPECT_NEAR(s.Curve(k, 1), scale * depletion, scale * 1e-3 * 1e-12) << command << " " << k;
            }
            EXPECT_TRUE(b.port.messages.empty());
        }
    }
}

TEST(I1toC0Command, ReturnsTheSurfaceConcentrations) {
    Bench b(2);
    b.writeSurface();
    b.run("C0E");
    b.run("Co0toI1");
    b.run("i1toC0");
    const CurveStore& s = b.wb.store;
    EXPECT_EQ(s.YTitle, "C0 /M  ");
    EXPECT_EQ(s.NCurves, 2);
    for (int k = s.FirstPoint; k <= s.LastPoint; ++k) {
        EXPECT_NEAR(s.Curve(k, 1), s.SurfaceConc(k, 1), 1e-12) << k;
        EXPECT_NEAR(s.Curve(k, 2), s.SurfaceConc(k, 2), 1e-12) << k;
    }
}

TEST(GeneralConversionCommands, NonPlanarElectrodeBeforeADigitalSimulationShowsTheMessageAndChangesNothing) {
    Bench b(2);
    b.writeSurface();
    b.run("C0E");
    b.wb.params.Electrode = 2; // sphere
    const std::vector<double> before(b.wb.store.Curve.data().begin(), b.wb.store.Curve.data().end());
    b.run("ItoC0");
    ASSERT_EQ(b.port.messages.size(), 1u);
    EXPECT_EQ(b.port.messages[0].text,
              "Please run digital simulation for non-planar electrode before run this");
    EXPECT_EQ(b.port.messages[0].title, "");
    b.run("C0toI");
    ASSERT_EQ(b.port.messages.size(), 2u);
    EXPECT_EQ(b.port.messages[1].text,
              "Please run digital simulation for non-planar electrode before run this.");
    EXPECT_EQ(b.port.messages[1].title, "Error");
    EXPECT_EQ(b.port.messages[1].icon, MessageIcon::Critical);
    const std::vector<double> after(b.wb.store.Curve.data().begin(), b.wb.store.Curve.data().end());
    EXPECT_EQ(before, after);
    EXPECT_EQ(b.wb.store.YTitle, "C0 /M  ");

    // After a non-planar digital simulation (g != 0, 1) the conversion runs.
    b.wb.surfaceAreaFactor = 1.2;
    b.run("C0toI");
    EXPECT_EQ(b.port.messages.size(), 2u);
    EXPECT_EQ(b.wb.store.YTitle, "i /A");
}

TEST(GeneralConversionCommands, NernstianSurfaceGivesNoCurrentAndTheInverseRestoresIt) {
    Bench b(2);
    b.wb.params.ks[1] = "1e-3";
    b.wb.params.Eze[1] = "0.1";
    b.writeSurface();
    b.run("C0E");
    b.run("C0toI");
    const CurveStore& s = b.wb.store;
    for (const int k : {50, 150, 250})
        EXPECT_NEAR(s.Curve(k, 1), 0.0, 1e-15) << k;
    b.run("ItoC0");
    for (const int k : {50, 150, 250}) {
        EXPECT_NEAR(s.Curve(k, 1), s.SurfaceConc(k, 1), 1e-12) << k;
        EXPECT_NEAR(s.Curve(k, 2), s.SurfaceConc(k, 2), 1e-12) << k;
    }
}

} // namespace
} // namespace tessaly
