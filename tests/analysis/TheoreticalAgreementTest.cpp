// The theoretical lines against the simulator: each case is simulated, its peak (or limiting current
// and half-wave potential) measured, and compared with the printed reversible or irreversible line.

#include "analysis/TheoreticalPeaks.h"
#include "base/NumberText.h"
#include "model/Commits.h"
#include "support/SimulateIntoStore.h"

#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace tessaly {
namespace {

// A 1 mM reduction A + e = B at E0 = 0 V, D = 1e-5 cm2/s, 1 mV steps from +0.35 V to -0.35 V at
// 0.1 V/s (td = 0.01 s), 25 C.
std::unique_ptr<ExperimentParams> experiment(int technique, int electrode, int mechanism) {
    auto p = std::make_unique<ExperimentParams>();
    p->optTech = technique;
    p->mech = mechanism;
    p->Electrode = electrode;
    p->Estart = "0.35";
    p->Eend = "-0.35";
    p->Estep = "0.001";
    p->V = "0.1";
    p->td = "0.01";
    p->tp = "0.01";
    p->Epulse = "-0.005";
    p->tsa1 = "1";
    p->tsa2 = "1";
    for (int i = 1; i <= kMaxCharge; ++i)
        p->Eze[i] = "0";
    return p;
}

struct Measured {
    double potential = 0; // V: the peak, or the point halfway up the wave
    double current = 0;   // A: the peak, or the limiting current
};

std::vector<std::string> lines(const std::string& report) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < report.size()) {
        const auto end = report.find("\r\n", start);
        out.push_back(report.substr(start, end - start));
        start = end + 2;
    }
    return out;
}

double valueAfter(const std::string& line, const std::string& label) {
    const auto at = line.find(label);
    if (at == std::string::npos) {
        ADD_FAILURE() << "no '" << label << "' in: " << line;
        return NAN;
    }
    return leadingNumber(line.substr(at + label.size()));
}

// Simulates and returns the store.
void simulate(ExperimentParams& p, CurveStore& store) {
    Notices notices;
    commitSpecies(p, notices);
    const SimulationOutcome outcome = simulateIntoStore(p, store);
    ASSERT_FALSE(outcome.failure.has_value()) << *outcome.failure;
}

Measured peakOf(const CurveStore& s) {
    Measured m;
    int best = s.FirstPoint + 1;
    for (int k = s.FirstPoint + 1; k < s.NForward - 1 && k <= s.LastPoint; ++k)
        if (std::fabs(s.Curve(k, s.CurveNo)) > std::fabs(s.Curve(best, s.CurveNo)))
            best = k;
    // Parabola through the three highest points.
    const double a = s.Curve(best - 1, s.CurveNo), b = s.Curve(best, s.CurveNo),
                 c = s.Curve(best + 1, s.CurveNo);
    const double shift = 0.5 * (a - c) / (a - 2 * b + c);
    m.potential = s.E[best] + shift * (s.E[best + 1] - s.E[best]);
    m.current = b - 0.25 * (a - c) * shift;
    return m;
}

Measured waveOf(const CurveStore& s) {
    Measured m;
    const int last = std::min(s.LastPoint, s.NForward - 2);
    m.current = s.Curve(last, s.CurveNo);
    for (int k = s.FirstPoint + 1; k < last; ++k) {
        const double y0 = s.Curve(k, s.CurveNo), y1 = s.Curve(k + 1, s.CurveNo);
        if ((y0 - m.current / 2) * (y1 - m.current / 2) <= 0 && y1 != y0) {
            m.potential = s.E[k] + (m.current / 2 - y0) / (y1 - y0) * (s.E[k + 1] - s.E[k]);
            break;
        }
    }
    return m;
}

// Each case: the printed line (1 reversible, 2 irreversible) against the simulated peak or wave.
// Not included: microdisks too large to be at steady state during the sweep.
TEST(TheoryAgainstSimulation, EachCaseWithinThreePercentAndThreeMillivolts) {
    enum Shape { PeakShape, WaveShape };
    struct Case {
        const char* name;
        int technique, electrode, mechanism;
        const char* ks; // cm/s (1/s for the adsorbed couples)
        Shape shape;
        int line;
    };
    const Case cases[] = {
        {"planar Er sweep", 1, 1, 11, "1e4", PeakShape, 1},
        {"planar E sweep, fast couple", 1, 1, 1, "1e4", PeakShape, 1},
        {"planar E sweep, slow couple", 1, 1, 1, "1e-5", PeakShape, 2},
        {"sphere Er sweep", 1, 2, 11, "1e4", PeakShape, 1},
        {"microdisk sweep", 1, 4, 1, "1e4", WaveShape, 1},
        {"thin film sweep", 1, 9, 1, "1e4", PeakShape, 1},
        {"rotating disk sweep", 1, 1, 1, "1e4", WaveShape, 1},
        {"rotating disk DC", 2, 1, 1, "1e4", WaveShape, 1},
        {"DC planar", 2, 1, 1, "1e4", WaveShape, 1},
        {"DC planar Er", 2, 1, 11, "1e4", WaveShape, 1},
        {"DC planar, slow couple", 2, 1, 1, "1e-4", WaveShape, 2},
        {"DC sphere", 2, 2, 1, "1e4", WaveShape, 1},
        {"DC microdisk", 2, 4, 1, "1e4", WaveShape, 1},
        {"normal pulse planar", 3, 1, 1, "1e4", WaveShape, 1},
        {"normal pulse sphere Er", 3, 2, 11, "1e4", WaveShape, 1},
        {"differential pulse planar", 4, 1, 1, "1e4", PeakShape, 1},
        {"square wave planar", 5, 1, 1, "1e4", PeakShape, 1},
        {"adsorbed Er sweep", 1, 1, 15, "1e4", PeakShape, 1},
        {"adsorbed E sweep", 1, 1, 17, "0.01", PeakShape, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto p = experiment(c.technique, c.electrode, c.mechanism);
        p->ks[1] = c.ks;
        const std::string name = c.name;
        if (c.electrode == 4)
            p->radius = c.technique == 1 ? "1e-4" : "5e-4"; // 1 um: steady during a 0.1 V/s sweep
        if (name.rfind("rotating", 0) == 0)
            p->Rotation = "1000"; // rpm
        if (c.line == 2)
            p->Eend = "-0.9"; // room for the irreversible wave
        if (c.technique == 4) {
            p->td = "0.05";  // the pulse is the last fifth of each drop
            p->tsa1 = "0.8"; // the base current sampled as the pulse begins
        }
        CurveStore store;
        simulate(*p, store);
        const auto out = lines(TheoreticalPeaks(*p));
        ASSERT_GT(out.size(), static_cast<std::size_t>(c.line));
        const std::string& line = out[static_cast<std::size_t>(c.line)];
        const bool wave = c.shape == WaveShape;
        const Measured m = wave ? waveOf(store) : peakOf(store);
        const double current = wave ? valueAfter(line, "Id,r= ") : valueAfter(line, "Ip= ");
        const double potential =
            wave ? valueAfter(line, c.line == 1 ? "E1/2= " : "E1/2,r=  ") : valueAfter(line, "Ep= ");
        EXPECT_NEAR(m.current / current, 1.0, 0.03) << line;
        EXPECT_NEAR(m.potential, potential, 0.003) << line;
    }
}

// The irreversible line of a planar sweep against a totally irreversible couple (ks = 1e-5 cm/s) at
// three transfer coefficients: Ip and Ep/2 - Ep to the printed digits, Ep within the 1 mV of its mask.
TEST(TheoryAgainstSimulation, IrreversibleSweepLine) {
    for (const char* alpha : {"0.3", "0.5", "0.7"}) {
        SCOPED_TRACE(std::string("alpha ") + alpha);
        auto p = experiment(1, 1, 1);
        p->ks[1] = "1e-5";
        p->alph[1] = alpha;
        p->Estart = "0.3";
        p->Eend = "-1";
        CurveStore store;
        simulate(*p, store);
        const std::string line = lines(TheoreticalPeaks(*p))[2];
        const Measured m = peakOf(store);
        // Half-peak potential between the start and the peak.
        int k = store.FirstPoint + 1;
        while (store.Curve(k + 1, store.CurveNo) < m.current / 2)
            ++k;
        const double y0 = store.Curve(k, store.CurveNo), y1 = store.Curve(k + 1, store.CurveNo);
        const double halfPeak = store.E[k] + (m.current / 2 - y0) / (y1 - y0) * (store.E[k + 1] - store.E[k]);
        EXPECT_NEAR(m.current / valueAfter(line, "Ip= "), 1.0, 0.002) << line;
        EXPECT_NEAR(m.potential, valueAfter(line, "Ep= "), 0.0006) << line;
        EXPECT_NEAR(halfPeak - m.potential, valueAfter(line, "Ep/2 - Ep= "), 0.0006) << line;
    }
}

// Coupled steps: the catalytic plateau (Saveant & Vianello) under a sweep and after a step (Delahay &
// Stiehl), the following reaction and the dimerisation of the product in their pure kinetic zones
// (Nicholson & Shain, case VI; Olmstead, Hamilton & Nicholson), and two consecutive electron transfers
// whose second is easier, which give one wave of both electrons.
TEST(TheoryAgainstSimulation, CoupledChemicalSteps) {
    struct Case {
        const char* name;
        int technique, mechanism;
        const char* kf;
        const char* kb;
        const char* co; // bulk concentration of the catalytic co-reactant, mol/L
        bool wave;
    };
    const Case cases[] = {
        {"catalytic sweep", 1, 8, "1e3", "0", "0.1", true},
        {"catalytic DC", 2, 8, "1e3", "0", "0.1", true},
        {"following reaction sweep", 1, 7, "1e3", "0.1", "0", false},
        {"dimerisation sweep", 1, 9, "1e8", "0", "0", false},
        {"inverted two-step DC", 2, 13, "", "", "0", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto p = experiment(c.technique, 1, c.mechanism);
        p->Eend = "-0.6";
        if (*c.kf) {
            p->kf[1] = c.kf;
            p->kb[1] = c.kb;
        }
        const bool merged = c.mechanism == 13; // E0(2) = 0.2 V above E0(1): one two-electron wave
        if (merged)
            p->Eze[2] = "0.2";
        p->C[3] = c.co;
        CurveStore store;
        simulate(*p, store);
        const auto out = lines(TheoreticalPeaks(*p));
        const Measured m = c.wave ? waveOf(store) : peakOf(store);
        if (merged) { // the second reaction's wave line, the one that follows the first reaction's
            ASSERT_GE(out.size(), 3u);
            const std::string& second = out[2];
            EXPECT_NEAR(m.current / valueAfter(second, "Id,r= "), 1.0, 0.03) << second;
            EXPECT_NEAR(m.potential, valueAfter(second, "E1/2= "), 0.003) << second;
            continue;
        }
        const double current = valueAfter(out[1], c.wave ? "Id,r= " : "Ip= ");
        EXPECT_NEAR(m.current / current, 1.0, 0.03) << out[1];
        if (!c.wave) {
            EXPECT_NEAR(m.potential, valueAfter(out[1], "Ep= "), 0.003) << out[1];
        }
    }
}

} // namespace
} // namespace tessaly
