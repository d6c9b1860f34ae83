// Step and pulse techniques of a reversible couple against theory: sampled-current (DC) and normal pulse
// waves, differential pulse (Parry–Osteryoung), square wave (Osteryoung's ΔΨp), and the steady states of a
// sphere and a microdisk.

#include "MechanismTestSupport.h"

namespace tessaly::testing {
namespace {

double cottrell(double n, double t) {
    return nFAC(n) * std::sqrt(kD / (kPi * t));
}

// DC (technique 2, sampled at tsa1·td) and normal pulse (technique 3, sampled at tsa1·tp into the pulse,
// pulse potential E + ΔE): the limiting current is Cottrell at the sampling time and
// E1/2 = E0 + (RT/2nF)·ln(D_R/D_O).
TEST(MechanismPulse, SampledCurrentAndNormalPulseWaves) {
    struct Row {
        int mechanism, technique;
        double n, dRed;  // -, -, -, cm²/s
        double fraction; // tsa1
    };
    const Row rows[] = {{11, 2, 1, 1e-5, 1},    {11, 2, 2, 0.5e-5, 1}, {1, 2, 1, 0.5e-5, 1},
                        {11, 3, 1, 1e-5, 1},    {11, 3, 2, 0.5e-5, 1}, {1, 3, 2, 1e-5, 1},
                        {1, 2, 1, 0.5e-5, 0.5}, {11, 3, 1, 1e-5, 0.88}};
    for (const Row& row : rows) {
        auto p = sweepExperiment(row.mechanism, row.n);
        p->optTech = row.technique;
        p->tsa1 = std::to_string(row.fraction);
        p->Estep = "0.002";
        p->td = "1";
        p->tp = "0.05";
        p->Epulse = row.technique == 3 ? "-0.05" : "0";
        p->D[2] = std::to_string(row.dRed);
        CurveStore store;
        simulate(*p, store);
        const double t = row.fraction * (row.technique == 2 ? 1.0 : 0.05);
        const double limit = cottrell(row.n, t);
        const double pulse = row.technique == 3 ? -0.05 : 0.0;
        const double halfWave = crossing(store, 2, store.LastPoint, limit / 2) + pulse;
        SCOPED_TRACE("mechanism " + std::to_string(row.mechanism) + ", technique " +
                     std::to_string(row.technique) + ", n = " + std::to_string(row.n) +
                     ", tsa1 = " + std::to_string(row.fraction));
        EXPECT_NEAR(current(store, store.LastPoint), limit, 0.01 * limit);
        EXPECT_NEAR(halfWave * 1e3, 1e3 * kRTF / (2 * row.n) * std::log(row.dRed / kD), 1.0);
    }
}

// Parry & Osteryoung, Anal. Chem. 37 (1965) 1634: reversible differential pulse with ΔE = −10 mV peaks at
// E1/2 − ΔE/2 with nFAC√(D/(π·tp))·(1 − σ)/(1 + σ), σ = exp(nFΔE/2RT), and a width at half height of
// 3.5255·RT/nF for a small pulse.
TEST(MechanismPulse, DifferentialPulseParryOsteryoung) {
    for (double n : {1.0, 2.0}) {
        auto p = sweepExperiment(11, n);
        p->optTech = 4;
        p->Epulse = "-0.01";
        p->td = "0.5";
        p->tp = "0.05";
        p->tsa1 = "0.9"; // the base current at the end of the base period, 0.9·td
        CurveStore store;
        simulate(*p, store);
        const Peak peak = findPeak(store, 2, store.LastPoint);
        const double sigma = std::exp(n * kFRT * -0.01 / 2);
        const double theory = cottrell(n, 0.05) * (1 - sigma) / (1 + sigma);
        const double left = crossing(store, peak.index, 2, peak.height / 2);
        const double right = crossing(store, peak.index, store.LastPoint, peak.height / 2);
        SCOPED_TRACE("n = " + std::to_string(n));
        EXPECT_NEAR(peak.potential * 1e3, 5.0, 2.0);
        EXPECT_NEAR((left - right) * 1e3, 3.5255e3 * kRTF / n, 4.0);
        EXPECT_NEAR(peak.height, theory, 0.03 * theory);
        // The two sampled currents (before and at the end of the pulse) make up the net current.
        const int k = peak.index;
        const double before = store.ComponentCurrent(k, 2 + 1),
                     after = store.ComponentCurrent(k, 2 * 1 + 1 + 1);
        EXPECT_DOUBLE_EQ(after - before, current(store, k));
    }
}

// Osteryoung & O'Dea, Electroanal. Chem. 14 (1986) 209: reversible square wave sampled at the end of each
// half-period peaks at E1/2 with ΔΨp = Δip/(nFAC√(D/(π·tp))) = 0.928 for nEsw = 50 mV, nΔEs = 10 mV and
// 0.580 for nEsw = 25 mV, nΔEs = 10 mV. The amplitude is |Epulse| and the forward half-period leads in
// the scan direction, so the net current (forward − reverse) of a reduction on a cathodic scan is positive
// whatever the sign typed, and that of an oxidation on an anodic scan negative.
TEST(MechanismPulse, SquareWaveNetPeak) {
    struct Row {
        int technique;
        double n, amplitude, step, psi; // -, -, V·n, V·n, -
        double pulseSign;               // sign of the typed Epulse
        bool anodic;                    // B in solution, scanned from −0.3 V to +0.3 V
    };
    const Row rows[] = {{5, 1, 0.05, 0.01, 0.928, 1, false},  {5, 2, 0.05, 0.01, 0.928, 1, false},
                        {5, 1, 0.025, 0.01, 0.580, 1, false}, {6, 1, 0.05, 0.01, 0.928, 1, false},
                        {5, 1, 0.05, 0.01, 0.928, -1, false}, {5, 1, 0.05, 0.01, 0.928, 1, true},
                        {5, 1, 0.025, 0.01, 0.580, -1, true}};
    for (const Row& row : rows) {
        auto p = sweepExperiment(11, row.n);
        p->optTech = row.technique;
        p->Epulse = std::to_string(row.pulseSign * row.amplitude / row.n);
        p->Estep = std::to_string(row.step / row.n);
        p->TextF = "50"; // the instrument dialog keeps tp = 1/(2f) = 0.01 s
        const double sign = row.anodic ? -1.0 : 1.0;
        if (row.anodic) {
            p->Estart = "-0.3";
            p->Eend = "0.3";
            p->C[1] = "0";
            p->C[2] = "1e-3";
        }
        CurveStore store;
        simulate(*p, store);
        const Peak peak = findPeak(store, 2, store.LastPoint, sign);
        SCOPED_TRACE("n = " + std::to_string(row.n) + ", Esw = " + std::to_string(row.amplitude) +
                     ", Epulse sign " + std::to_string(row.pulseSign) + (row.anodic ? ", anodic" : ""));
        EXPECT_NEAR(peak.potential * 1e3, 0.0, 2.0);
        EXPECT_NEAR(sign * peak.height / cottrell(row.n, 0.01), row.psi, 0.04 * row.psi);
    }
}

// Long-time step currents: nFADC/r at a sphere, 4nFDCr at a microdisk (its equivalent hemisphere).
TEST(MechanismPulse, SphereAndMicrodiskSteadyStates) {
    struct Row {
        int mechanism, electrode, n;
    };
    for (const Row row : {Row{1, 2, 1}, Row{11, 2, 2}, Row{1, 4, 1}, Row{11, 4, 1}}) {
        auto p = sweepExperiment(row.mechanism, row.n);
        p->optTech = 8;
        p->Electrode = row.electrode;
        p->Estart = "-0.3";
        p->td = "0.5";
        p->TextTexp = "100";
        p->radius = "1e-4";
        p->ARE = std::to_string(4 * kPi * 1e-8);
        CurveStore store;
        simulate(*p, store);
        const double r = 1e-4;
        const double expected =
            row.electrode == 2 ? nFAC(row.n, 4 * kPi * r * r) * kD / r : 4 * row.n * kF * kD * kC * 1e-3 * r;
        SCOPED_TRACE("mechanism " + std::to_string(row.mechanism) + ", electrode " +
                     std::to_string(row.electrode));
        EXPECT_NEAR(current(store, store.LastPoint), expected, 0.01 * expected);
    }
}

} // namespace
} // namespace tessaly::testing
