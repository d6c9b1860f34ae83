// Couples with finite electron-transfer rates on the analytical path against the theory of the
// integral equation: the totally irreversible sweep (Nicholson & Shain, Anal. Chem. 36 (1964) 706),
// Nicholson's quasi-reversible peak separations (Anal. Chem. 37 (1965) 1351) with independently
// recomputed values, a cycle checked against an O(N²) solution written out here, and coupled chemistry in
// its kinetic zones (EC, EC2) and two electron transfers (EE).

#include "MechanismTestSupport.h"

#include <vector>

namespace tessaly::testing {
namespace {

constexpr double kScanRate = 0.1; // V/s, sweepExperiment's

// nFAC·√(D·nFv/RT): the unit of the peak functions ψ, A.
double sweepUnit(double n, double v = kScanRate) {
    return nFAC(n) * std::sqrt(kD * n * kFRT * v);
}

std::string text(double value) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.12g", value);
    return buffer;
}

struct Wave {
    Peak peak;
    double halfPeak = 0; // V
};

// The cathodic peak of a single sweep and its half-peak potential (towards the start).
Wave cathodicWave(const CurveStore& store) {
    Wave w;
    w.peak = findPeak(store, 2, store.LastPoint - 1);
    w.halfPeak = crossing(store, w.peak.index, 2, w.peak.height / 2);
    return w;
}

// ---- totally irreversible sweep --------------------------------------------------------------------

// ks = 1e-5 cm/s from +0.3 V (where the reduction is 1e-5 of its peak rate) to beyond the peak, n = 1
// and 2. Theory, with b = αnFv/RT: ip = 0.4958·nFAC·√(D·b), Ep − Ep/2 = 1.857·RT/(αnF),
// Ep = E0 − (RT/αnF)·(0.780 + ln(√D/ks) + ln√b). The peak converges: halving the 1 mV step moves it by
// less than 0.2 mV.
TEST(KineticSweep, TotallyIrreversibleWaveForEveryTransferCoefficient) {
    struct Row {
        double alpha, n;
    };
    for (const Row row : {Row{0.3, 1}, Row{0.5, 1}, Row{0.7, 1}, Row{0.5, 2}}) {
        SCOPED_TRACE("alpha = " + text(row.alpha) + ", n = " + text(row.n));
        const double anf = row.alpha * row.n * kFRT; // 1/V
        const double theoryEp =
            -(0.780 + std::log(std::sqrt(kD) / 1e-5) + 0.5 * std::log(anf * kScanRate)) / anf;
        double previous = 0;
        for (double step : {0.001, 0.0005}) {
            auto p = sweepExperiment(1, row.n);
            p->Estart = "0.3";
            p->Eend = text(theoryEp - 0.35);
            p->ks[1] = "1e-5";
            p->alph[1] = text(row.alpha);
            p->Estep = text(step);
            p->td = text(step / kScanRate);
            CurveStore store;
            simulate(*p, store);
            const Wave w = cathodicWave(store);
            const double psi = w.peak.height / sweepUnit(row.n) / std::sqrt(row.alpha);
            EXPECT_NEAR(psi / 0.4958, 1.0, 0.002) << "step " << step;
            EXPECT_NEAR((w.halfPeak - w.peak.potential) * 1e3, 1.857e3 / anf, 0.2) << "step " << step;
            EXPECT_NEAR(w.peak.potential * 1e3, theoryEp * 1e3, 0.5) << "step " << step;
            if (step < 0.001) {
                EXPECT_LT(std::fabs(w.peak.potential - previous) * 1e3, 0.2);
            }
            previous = w.peak.potential;
        }
    }
}

// ---- quasi-reversible cycles -------------------------------------------------------------------------

// One cycle from +0.5 V, switched 141 mV negative of E0, at ψ = ks/√(πD·nFv/RT).
std::unique_ptr<ExperimentParams> nicholsonCycle(double psi, double alpha) {
    auto p = sweepExperiment(1);
    p->Estart = "0.5";
    p->Eend = "-0.141";
    p->ComboScan = 1;
    p->alph[1] = text(alpha);
    p->ks[1] = text(psi * std::sqrt(kPi * kD * kFRT * kScanRate));
    return p;
}

double separation(const CurveStore& store) {
    const int turn = store.NForward;
    const Peak cathodic = findPeak(store, 2, turn - 1);
    const Peak anodic = findPeak(store, turn + 1, store.LastPoint - 1, -1.0);
    return anodic.potential - cathodic.potential;
}

// ΔEp against ψ: the values recomputed by an independent integral-equation code converged to 0.01 mV
// (α = 0.5, Eλ = E0 − 141 mV; Nicholson's printed table runs 0.4 to 1.6 mV above them), and the α
// dependence at ψ = 0.25 and 0.1 (not α = 0.3 at ψ = 0.1, whose cathodic current still rises at this
// switching potential, so that it has no peak to measure).
TEST(KineticSweep, NicholsonSeparationsAgainstIndependentValues) {
    struct Row {
        double psi, alpha, separation; // -, -, mV
    };
    const Row rows[] = {{20, 0.5, 60.2},    {7, 0.5, 62.6},     {6, 0.5, 63.2},     {5, 0.5, 64.0},
                        {4, 0.5, 65.3},     {3, 0.5, 67.3},     {2, 0.5, 71.4},     {1, 0.5, 83.1},
                        {0.75, 0.5, 90.4},  {0.5, 0.5, 104.3},  {0.35, 0.5, 120.5}, {0.25, 0.5, 139.7},
                        {0.1, 0.5, 210.7},  {0.25, 0.3, 146.6}, {0.25, 0.7, 132.3}, {0.1, 0.7, 207.4}};
    for (const Row& row : rows) {
        auto p = nicholsonCycle(row.psi, row.alpha);
        CurveStore store;
        simulate(*p, store);
        EXPECT_NEAR(separation(store) * 1e3, row.separation, 0.5) << "psi " << row.psi << ", alpha " << row.alpha;
    }
}

// An independent solution of a planar cycle: the rate v of O + ne -> R piecewise linear in time with the
// exact integrals of the Abel kernel 1/√(π(t − τ)) over each step, the Butler–Volmer condition at every
// node, O(N²) (Nicholson & Olmstead, in Computers in Chemistry and Instrumentation, vol. 2 (1972), ch. 5).
// Returns n·v per unit bulk concentration of O, cm/s, at t_i = i·tau.
std::vector<double> referenceCycle(const std::vector<double>& E, double tau, double ks, double alpha, double n,
                                   double DO, double DR) {
    const std::size_t N = E.size();
    std::vector<double> wl(N + 1), wr(N + 1);
    for (std::size_t d = 0; d <= N; ++d) { // weights of v at the left and right node of the step d back
        const double a = static_cast<double>(d) * tau, b = a + tau;
        const double m0 = 2 * (std::sqrt(b) - std::sqrt(a));
        const double m1 = 2.0 / 3.0 * (b * std::sqrt(b) - a * std::sqrt(a));
        wr[d] = (b * m0 - m1) / tau / std::sqrt(kPi);
        wl[d] = m0 / std::sqrt(kPi) - wr[d];
    }
    std::vector<double> v(N);
    const auto rates = [&](double e, double& kf, double& kb) {
        kf = ks * std::exp(-alpha * n * kFRT * e);
        kb = ks * std::exp((1 - alpha) * n * kFRT * e);
    };
    double kf = 0, kb = 0;
    rates(E[0], kf, kb);
    v[0] = kf;
    for (std::size_t i = 1; i < N; ++i) {
        double semiIntegral = wl[0] * v[i - 1]; // of v up to t_i, without v_i's own weight
        for (std::size_t k = 1; k < i; ++k)
            semiIntegral += wl[i - k] * v[k - 1] + wr[i - k] * v[k];
        rates(E[i], kf, kb);
        const double H = kf / std::sqrt(DO) + kb / std::sqrt(DR);
        v[i] = (kf - H * semiIntegral) / (1 + H * wr[0]);
    }
    for (double& x : v)
        x *= n;
    return v;
}

// Peak of sign·i over [first, last] by a parabola through the three highest points: potential, height.
std::pair<double, double> referencePeak(const std::vector<double>& E, const std::vector<double>& i, int first,
                                        int last, double sign) {
    int k = first;
    for (int m = first; m <= last; ++m)
        if (sign * i[m] > sign * i[k])
            k = m;
    const double y0 = sign * i[k - 1], y1 = sign * i[k], y2 = sign * i[k + 1];
    const double shift = 0.5 * (y0 - y2) / (y0 - 2 * y1 + y2);
    return {E[k] + shift * (E[k + 1] - E[k]), sign * (y1 - 0.25 * (y0 - y2) * shift)};
}

// Cases away from the table: two electrons, α = 0.35, D_R = 0.4·D_O, ψ from 2 to 0.2, switched 0.3 V past
// E0 at 0.5 V/s in 2 mV steps; the reference runs at 0.25 mV steps. Both peaks within 0.2 mV and 0.1 %.
TEST(KineticSweep, CycleAgainstAnIndependentIntegralEquation) {
    const double n = 2, alpha = 0.35, DR = 0.4e-5, v = 0.5;
    for (double psi : {2.0, 0.6, 0.2}) {
        SCOPED_TRACE("psi " + text(psi));
        const double ks = psi * std::sqrt(kPi * kD * n * kFRT * v);
        auto p = sweepExperiment(1, n);
        p->Estart = "0.25";
        p->Eend = "-0.3";
        p->Estep = "0.002";
        p->V = text(v);
        p->td = text(0.002 / v);
        p->ComboScan = 1;
        p->alph[1] = text(alpha);
        p->ks[1] = text(ks);
        p->D[2] = text(DR);
        CurveStore store;
        simulate(*p, store);
        const int turn = store.NForward;
        const Peak cathodic = findPeak(store, 2, turn - 1);
        const Peak anodic = findPeak(store, turn + 1, store.LastPoint - 1, -1.0);

        // The programme of the run (its turning potential held for one point) at an eighth of its step.
        constexpr int refine = 8;
        const double tau = 0.002 / v / refine;
        std::vector<double> E;
        for (int k = 0; k + 1 <= store.LastIndex; ++k)
            for (int m = 0; m < refine; ++m)
                E.push_back(store.E[k] + (store.E[k + 1] - store.E[k]) * m / refine);
        const int forward = (turn - 1) * refine;
        std::vector<double> i = referenceCycle(E, tau, ks, alpha, n, kD, DR);
        for (double& x : i)
            x *= kF * kArea * kC * 1e-3; // A
        const auto c = referencePeak(E, i, 2, forward - 1, 1.0);
        const auto a = referencePeak(E, i, forward + 1, static_cast<int>(E.size()) - 2, -1.0);
        EXPECT_NEAR(cathodic.potential * 1e3, c.first * 1e3, 0.2);
        EXPECT_NEAR(anodic.potential * 1e3, a.first * 1e3, 0.2);
        EXPECT_NEAR(cathodic.height / c.second, 1.0, 1e-3);
        EXPECT_NEAR(anodic.height / a.second, 1.0, 1e-3);
    }
}

// ---- coupled chemistry ------------------------------------------------------------------------------

// EC with a fast irreversible follow-up (kb = 0), λ = kf·RT/(nFv) from 2.6e3 to 2.6e5: the pure kinetic
// zone, ψ = 0.4958 (σ = nFv/RT), Ep − Ep/2 = 1.857·RT/nF and Ep = E0 − 0.780·RT/nF + (RT/2nF)·ln λ,
// i.e. 29.6/n mV per decade of kf (Nicholson & Shain 1964, case VI; the irreversible-wave equation with
// α = 1).
TEST(KineticChemistry, FollowingReactionInItsKineticZone) {
    for (double n : {1.0, 2.0}) {
        double previous = 0;
        for (double kf : {1e4, 1e5, 1e6}) {
            SCOPED_TRACE("n " + text(n) + ", kf " + text(kf));
            auto p = sweepExperiment(7, n);
            p->kf[1] = text(kf);
            p->kb[1] = "0";
            p->Estart = "0.5";
            p->Eend = "-0.1";
            CurveStore store;
            simulate(*p, store);
            const Wave w = cathodicWave(store);
            const double rtnf = kRTF / n;
            EXPECT_NEAR(w.peak.height / sweepUnit(n) / 0.4958, 1.0, 0.002);
            EXPECT_NEAR((w.halfPeak - w.peak.potential) * 1e3, 1.857e3 * rtnf, 0.2);
            const double lambda = kf * rtnf / kScanRate;
            EXPECT_NEAR(w.peak.potential * 1e3, 1e3 * rtnf * (-0.780 + 0.5 * std::log(lambda)), 0.5);
            if (kf > 1e4) {
                EXPECT_NEAR((w.peak.potential - previous) * 1e3, 1e3 * rtnf / 2 * std::log(10.0), 0.3);
            }
            previous = w.peak.potential;
        }
    }
}

// EC2, 2B -> C with −d[B]/dt = kf·[B]², kf·C = 1e4 and 1e5 /s at 0.1 V/s: the pure kinetic zone,
// ψ = 0.527, Ep − Ep/2 = 1.511·RT/F and 19.7 mV per decade of kf·C, (RT/3F)·ln 10 (Olmstead, Hamilton &
// Nicholson, Anal. Chem. 41 (1969) 260).
TEST(KineticChemistry, DimerisationInItsKineticZone) {
    double previous = 0;
    for (double kf : {1e7, 1e8}) {
        SCOPED_TRACE("kf " + text(kf));
        auto p = sweepExperiment(9);
        p->kf[1] = text(kf);
        p->kb[1] = "0";
        p->Estart = "0.6";
        p->Eend = "-0.2";
        CurveStore store;
        simulate(*p, store);
        const Wave w = cathodicWave(store);
        EXPECT_NEAR(w.peak.height / sweepUnit(1) / 0.527, 1.0, 0.003);
        EXPECT_NEAR((w.halfPeak - w.peak.potential) * 1e3, 1.511e3 * kRTF, 0.2);
        if (kf > 1e7) {
            EXPECT_NEAR((w.peak.potential - previous) * 1e3, 1e3 * kRTF / 3 * std::log(10.0), 0.3);
        }
        previous = w.peak.potential;
    }
}

// Two fast one-electron transfers A + e = B, B + e = C (mechanism 2) with E0(2) − E0(1) = −(2RT/F)·ln 2
// (−35.6 mV): the wave is exactly twice the one-electron wave at the mean formal potential, of the same
// shape. With E0(2) 0.4 V above E0(1) the second transfer follows the first at once: a Nernstian
// two-electron wave, 2^(3/2) times the one-electron peak.
TEST(KineticChemistry, TwoElectronTransfers) {
    CurveStore one;
    auto p1 = sweepExperiment(1);
    p1->Estart = "0.6";
    p1->Eend = "-0.6";
    simulate(*p1, one);
    const Wave single = cathodicWave(one);
    struct Row {
        double difference, ratio; // V, -
    };
    for (const Row row : {Row{-2 * kRTF * std::log(2.0), 2.0}, Row{0.4, std::pow(2.0, 1.5)}}) {
        SCOPED_TRACE("E0(2) - E0(1) = " + text(row.difference));
        auto p = sweepExperiment(2);
        p->Estart = "0.6";
        p->Eend = "-0.6";
        p->Eze[1] = text(-row.difference / 2);
        p->Eze[2] = text(row.difference / 2);
        p->ks[2] = "1e4";
        CurveStore store;
        simulate(*p, store);
        const Wave w = cathodicWave(store);
        EXPECT_NEAR(w.peak.height / single.peak.height, row.ratio, 1e-3 * row.ratio);
        if (row.difference < 0) {
            EXPECT_NEAR(w.peak.potential * 1e3, single.peak.potential * 1e3, 0.2);
            EXPECT_NEAR((w.halfPeak - w.peak.potential) * 1e3, (single.halfPeak - single.peak.potential) * 1e3,
                        0.2);
        }
    }
}

} // namespace
} // namespace tessaly::testing
