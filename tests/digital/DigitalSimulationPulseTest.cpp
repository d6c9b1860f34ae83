// Pulse techniques of the digital model: the peak positions of differential-pulse and square-wave
// voltammetry of a reversible couple, and the two sampled currents they store.

#include "DigitalSimulationTestSupport.h"

#include <gtest/gtest.h>

namespace tessaly {
namespace {

using namespace digital_test;

DigitalRunResult pulseRun(int technique, double pulse) {
    ExperimentParams p = reversibleCouple();
    Sweep s;
    s.start = 0.25;
    s.end = -0.25;
    s.step = 0.002;
    sweep(p, s);
    p.optTech = technique;
    p.Epulse = text(pulse);
    if (technique == 4) {
        p.td = "0.2";
        p.tp = "0.02";
        p.tsa1 = "0.9";
        p.tsa2 = "1";
    } else {
        p.td = "0.02"; // one square-wave period, f = 50 Hz
        p.tp = "0.01";
        p.tsa1 = "1";
        p.tsa2 = "1";
    }
    return runDigital(p);
}

// Differential pulse on a reversible couple peaks at E1/2 - dE/2 (Parry & Osteryoung, Anal. Chem.
// 37 (1965) 1634); the sampled currents are stored beside the difference.
TEST(DigitalSimulationPulse, DifferentialPulsePeaksHalfAPulseFromE0) {
    for (const double pulse : {-0.05, -0.02}) {
        const DigitalRunResult r = pulseRun(4, pulse);
        ASSERT_FALSE(r.outcome.failure) << *r.outcome.failure;
        const Peak peak = findPeak(r, 3, r.store->LastPoint - 1, true);
        EXPECT_GT(peak.current, 0.0);
        EXPECT_NEAR(peak.potential * 1e3, -pulse / 2 * 1e3, 0.5) << pulse;
        const int k = peak.index;
        const double first = r.store->ComponentCurrent(k, 3);
        const double second = r.store->ComponentCurrent(k, 4);
        EXPECT_NEAR(second - first, r.current(k), 1e-12 * std::fabs(second));
        EXPECT_NEAR(r.store->ComponentCurrent(k, 1), r.current(k), 1e-15);
    }
}

// Square wave on a reversible couple: the net current peaks at E1/2 (Osteryoung & O'Dea,
// Electroanal. Chem. 14 (1986) 209) and, on a cathodic scan, has the sign of a reduction current
// whichever half period the pulse leads with.
TEST(DigitalSimulationPulse, SquareWavePeaksAtE0) {
    for (const double pulse : {-0.05, 0.05}) {
        const DigitalRunResult r = pulseRun(5, pulse);
        ASSERT_FALSE(r.outcome.failure) << *r.outcome.failure;
        const Peak peak = findPeak(r, 3, r.store->LastPoint - 1, true);
        EXPECT_GT(peak.current, 0.0) << pulse;
        EXPECT_NEAR(peak.potential * 1e3, 0.0, 2.0) << pulse;
    }
}

// Osteryoung & O'Dea, Electroanal. Chem. 14 (1986) 209: the reversible net peak sampled at the end of
// each half-period is dPsi_p = di_p / (nFAC sqrt(D/(pi tp))) = 0.928 for Esw = 50 mV, dEs = 10 mV and
// 0.580 for Esw = 25 mV, with the forward half-period first and Esw = |Epulse| whatever its sign.
TEST(DigitalSimulationPulse, SquareWaveNetPeakOfOsteryoung) {
    struct Row {
        double pulse, psi; // Epulse (V), dPsi_p
    };
    for (const Row row : {Row{0.05, 0.928}, Row{-0.05, 0.928}, Row{0.025, 0.580}}) {
        ExperimentParams p = reversibleCouple();
        Sweep s;
        s.step = 0.01;
        sweep(p, s);
        p.optTech = 5;
        p.Epulse = text(row.pulse);
        p.td = "0.02";
        p.tp = "0.01";
        p.tsa1 = "1";
        p.tsa2 = "1";
        const DigitalRunResult r = runDigital(p);
        ASSERT_FALSE(r.outcome.failure) << *r.outcome.failure;
        const Peak peak = findPeak(r, 3, r.store->LastPoint - 1, true);
        const double unit = cottrell(1, r.area, 1e-3, 1e-5, 0.01);
        EXPECT_NEAR(peak.current / unit, row.psi, 0.002) << row.pulse;
        EXPECT_NEAR(peak.potential * 1e3, 0.0, 2.0) << row.pulse;
    }
}

} // namespace
} // namespace tessaly
