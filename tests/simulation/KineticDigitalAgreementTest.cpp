// Quasi-reversible couples on the analytical path against the finite-difference model: the same
// experiment simulated by both, the peaks (or the wave) compared. The digital model's automatic grid
// keeps its own error below a few hundredths of a percent of the current (it converges to the
// analytical integral equation as its steps shrink).

#include "MechanismTestSupport.h"

#include <string>

namespace tessaly::testing {
namespace {

struct Programme {
    int technique;
    const char* name;
};

// A + e = B at E0 = 0, α = 0.5, planar disk; the programme of each technique from +0.3 V down to −0.4 V.
std::unique_ptr<ExperimentParams> experiment(const Programme& g, const char* ks, bool digital) {
    auto p = sweepExperiment(1);
    p->optTech = g.technique;
    p->Estart = "0.3";
    p->Eend = "-0.4";
    p->tsa1 = "1";
    p->tsa2 = "1";
    p->Epulse = "0";
    p->ks[1] = ks;
    p->alph[1] = "0.5";
    switch (g.technique) {
    case 1: // a cycle at 0.1 V/s in 1 mV steps
        p->ComboScan = 1;
        break;
    case 3: // normal pulses of 20 ms from 0.3 V every second, 10 mV apart
        p->Estep = "0.01";
        p->td = "1";
        p->tp = "0.02";
        break;
    case 4: // differential pulse: 50 mV pulses of 50 ms every 0.2 s, the base sampled as the pulse begins
        p->Estep = "0.01";
        p->td = "0.2";
        p->tp = "0.05";
        p->Epulse = "-0.05";
        p->tsa1 = "0.75";
        break;
    case 5: // square wave, f = 50 Hz (tp = 10 ms), Esw = 25 mV, 5 mV steps
        p->Estep = "0.005";
        p->TextF = "50";
        p->Epulse = "0.025";
        break;
    case 7: // staircase, 5 mV steps of 50 ms sampled at their end
        p->Estep = "0.005";
        p->td = "0.05";
        break;
    default:
        break;
    }
    if (digital) {
        p->CheckDigital = true;
        p->charge[12] = "A";
        p->charge[16] = "B";
    }
    return p;
}

// The limiting current of the last normal pulse at a stationary electrode over that of a pulse from the
// bulk: every earlier pulse (to E_j for tp, then back to the base) leaves a depletion whose flux at the
// last pulse's sample is (1 - theta_j) sqrt(D/pi) (1/sqrt(t - t_j - tp) - 1/sqrt(t - t_j)) for a surface
// held at the limiting fraction theta = 0 by the last pulse (the superposition of Nernstian steps;
// theta_j the fraction of A at the surface during pulse j).
double pulseHistoryRatio(const ExperimentParams& p, const CurveStore& store) {
    const CommittedValues& c = p.committed;
    const int last = store.LastPoint;
    const double t = (last - store.FirstPoint) * c.DropTime + c.DropTime - c.PulseTime + c.SampleFrac1 * c.PulseTime;
    double fresh = 1 / std::sqrt(c.SampleFrac1 * c.PulseTime);
    double total = fresh;
    for (int k = store.FirstPoint; k < last; ++k) {
        const double start = (k - store.FirstPoint) * c.DropTime + c.DropTime - c.PulseTime;
        const double reduced = 1 - 1 / (1 + std::exp(-kFRT * (store.E[k] + c.PulsePotential - c.FormalPotential[1])));
        total -= reduced * (1 / std::sqrt(t - start - c.PulseTime) - 1 / std::sqrt(t - start));
    }
    return total / fresh;
}

// ks = 0.01 cm/s (ψ = 0.90 at 0.1 V/s) and 2e-3 cm/s (ψ = 0.18): peak potentials within 0.3 mV and peak
// currents within 0.2 % (both peaks of the cyclic sweep); for normal pulse the half-wave potential and the
// limiting current (the analytical pulses start from the bulk; the digital electrode keeps the depletion
// the earlier pulses leave, 0.3 % at the plateau, which pulseHistoryRatio gives). The digital model runs
// on its automatic grid.
TEST(KineticDigitalAgreement, QuasiReversiblePeaksAndWaves) {
    const Programme programmes[] = {
        {1, "sweep"}, {7, "staircase"}, {4, "differential pulse"}, {5, "square wave"}, {3, "normal pulse"}};
    for (const Programme& g : programmes)
        for (const char* ks : {"0.01", "0.002"}) {
            SCOPED_TRACE(std::string(g.name) + ", ks " + ks);
            CurveStore analytical, digital;
            simulate(*experiment(g, ks, false), analytical);
            const auto digitalExperiment = experiment(g, ks, true);
            simulate(*digitalExperiment, digital);
            ASSERT_EQ(analytical.NPoints, digital.NPoints);
            if (g.technique == 3) {
                const int last = analytical.LastPoint;
                const double limit = current(analytical, last);
                EXPECT_NEAR(current(digital, last) / limit, pulseHistoryRatio(*digitalExperiment, digital), 0.001);
                const double a = crossing(analytical, 2, last, limit / 2);
                const double d = crossing(digital, 2, last, current(digital, last) / 2);
                EXPECT_NEAR(d * 1e3, a * 1e3, 0.3);
                continue;
            }
            const int turn = g.technique == 1 ? analytical.NForward : analytical.LastPoint;
            const Peak a = findPeak(analytical, 2, turn - 1);
            const Peak d = findPeak(digital, 2, turn - 1);
            EXPECT_NEAR(d.height / a.height, 1.0, 0.002);
            EXPECT_NEAR(d.potential * 1e3, a.potential * 1e3, 0.3);
            if (g.technique == 1) { // the anodic peak of the cycle, and so Nicholson's separation
                const Peak ra = findPeak(analytical, turn + 1, analytical.LastPoint - 1, -1.0);
                const Peak rd = findPeak(digital, turn + 1, digital.LastPoint - 1, -1.0);
                EXPECT_NEAR(rd.height / ra.height, 1.0, 0.002);
                EXPECT_NEAR(rd.potential * 1e3, ra.potential * 1e3, 0.3);
            }
        }
}

} // namespace
} // namespace tessaly::testing
