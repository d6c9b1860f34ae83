// Surface-confined and thin-layer couples against theory: the adsorbed reversible peak n²F²AvΓ/(4RT) with
// the 90.6/n mV width and no peak separation, Laviron's irreversible width, and the thin-layer peak.

#include "MechanismTestSupport.h"

namespace tessaly::testing {
namespace {

// Langmuir amount of the default adsorbed couple: Γmax·b·C_A/(1 + b·C_A), Γmax = 1e-8 mol/cm², b = 1e4 /M.
constexpr double kGamma = 1e-8 * 1e4 * 1e-3 / (1 + 1e4 * 1e-3); // mol/cm²

struct Width {
    double positive, negative; // potentials of the half-height crossings, V
};

Width halfWidth(const CurveStore& store, const Peak& peak, int first, int last, double sign = 1.0) {
    return {crossing(store, peak.index, first, peak.height / 2, sign),
            crossing(store, peak.index, last, peak.height / 2, sign)};
}

// Laviron, J. Electroanal. Chem. 52 (1974) 355: ip = n²F²AvΓ/(4RT), width 3.5255·RT/nF, ΔEp = 0.
TEST(MechanismSurface, AdsorbedReversiblePeak) {
    for (double n : {1.0, 2.0}) {
        auto p = sweepExperiment(15, n);
        p->Eend = "-0.3";
        p->ComboScan = 1;
        CurveStore store;
        simulate(*p, store);
        const int turn = store.NForward;
        const Peak cathodic = findPeak(store, 2, turn - 1);
        const Peak anodic = findPeak(store, turn + 1, store.LastPoint - 1, -1.0);
        const Width w = halfWidth(store, cathodic, 2, turn - 1);
        const double theory = n * n * kF * kFRT * kArea * 0.1 * kGamma / 4;
        SCOPED_TRACE("n = " + std::to_string(n));
        EXPECT_NEAR(cathodic.height, theory, 0.01 * theory);
        EXPECT_NEAR(anodic.height, -theory, 0.01 * theory);
        EXPECT_NEAR((w.positive - w.negative) * 1e3, 3.5255e3 * kRTF / n, 1.5);
        EXPECT_NEAR((anodic.potential - cathodic.potential) * 1e3, 0.0, 0.5);
        // Nernstian partition of the adsorbed amounts at E0 = 0: half of the couple on each side.
        const int atE0 = 300 + 1;
        EXPECT_NEAR(store.SurfaceConc(atE0 - 1, 1), kGamma / 2, 1e-12);
        EXPECT_NEAR(store.SurfaceConc(atE0 - 1, 1) + store.SurfaceConc(atE0 - 1, 2), kGamma, 1e-20);
    }
}

// Laviron, J. Electroanal. Chem. 101 (1979) 19: an irreversible surface couple peaks at
// E0 − (RT/αnF)·ln(αnFv/(RT·ks)) with a width of 2.446·RT/(αnF) (62.9/(αn) mV).
TEST(MechanismSurface, AdsorbedIrreversiblePeak) {
    struct Row {
        double n, alpha, ks; // -, -, 1/s
    };
    for (const Row row : {Row{1, 0.5, 0.1}, Row{2, 0.5, 0.1}, Row{1, 0.7, 0.05}}) {
        auto p = sweepExperiment(17, row.n);
        p->Eend = "-0.6";
        p->ks[1] = std::to_string(row.ks);
        p->alph[1] = std::to_string(row.alpha);
        CurveStore store;
        simulate(*p, store);
        const Peak peak = findPeak(store, 2, store.LastPoint);
        const Width w = halfWidth(store, peak, 2, store.LastPoint);
        const double an = row.alpha * row.n;
        SCOPED_TRACE("n = " + std::to_string(row.n) + ", alpha = " + std::to_string(row.alpha));
        EXPECT_NEAR((w.positive - w.negative) * 1e3, 2.446e3 * kRTF / an, 3.0);
        EXPECT_NEAR(peak.potential, -(kRTF / an) * std::log(an * kFRT * 0.1 / row.ks), 0.003);
        // The whole adsorbed amount is reduced once: the charge under the wave is nFAΓ.
        double charge = 0;
        for (int k = 2; k <= store.LastPoint; ++k)
            charge += current(store, k) * 0.01;
        EXPECT_NEAR(charge, row.n * kF * kArea * kGamma, 1e-3 * row.n * kF * kArea * kGamma);
    }
}

// Hubbard, CRC Crit. Rev. Anal. Chem. 3 (1973) 201: a reversible thin layer peaks at n²F²VvC/(4RT),
// V = A·h, both for the Nernstian thin-film kernel (mechanism 11) and for a fast Butler–Volmer couple
// relaxing in the layer (mechanism 1, ks = 1e4).
TEST(MechanismSurface, ThinLayerPeak) {
    for (int mechanism : {11, 1})
        for (double n : {1.0, 2.0}) {
            auto p = sweepExperiment(mechanism, n);
            p->Electrode = 9;
            p->thickness = "1e-4";
            CurveStore store;
            simulate(*p, store);
            const Peak peak = findPeak(store, 2, store.LastPoint);
            const double area = store.NPoints > 0 ? p->committed.ElectrodeArea : 0.0;
            const double theory = n * n * kF * kFRT * area * 1e-4 * kC * 1e-3 * 0.1 / 4;
            SCOPED_TRACE("mechanism " + std::to_string(mechanism) + ", n = " + std::to_string(n));
            EXPECT_NEAR(peak.height, theory, 0.02 * theory);
            EXPECT_NEAR(peak.potential, 0.0, 0.001);
        }
}

// Hubbard, J. Electroanal. Chem. 22 (1969) 165: a totally irreversible reduction in a thin layer of
// thickness l peaks at E0 + (RT/αnF)·ln(RT·ks/(αnF·v·l)) with α·n²F²VvC/(e·RT): the heterogeneous rate
// converts the layer at kf/l, so the thinner the layer the earlier the peak.
TEST(MechanismSurface, IrreversibleThinLayerPeak) {
    struct Row {
        double ks, thickness, n; // cm/s, cm, -
    };
    for (const Row row : {Row{1e-5, 1e-4, 1}, Row{1e-6, 1e-4, 1}, Row{1e-6, 1e-5, 2}}) {
        auto p = sweepExperiment(1, row.n);
        p->Electrode = 9;
        p->thickness = std::to_string(row.thickness);
        p->ks[1] = std::to_string(row.ks);
        p->Estart = "0.3";
        p->Eend = "-0.6";
        CurveStore store;
        simulate(*p, store);
        const Peak peak = findPeak(store, 2, store.LastPoint);
        const double alpha = 0.5, v = 0.1;
        const double anf = alpha * row.n * kFRT;
        const double volume = p->committed.ElectrodeArea * row.thickness; // cm³
        const double ip = alpha * row.n * row.n * kF * kFRT * volume * v * kC * 1e-3 / std::exp(1.0);
        const double ep = std::log(row.ks / (anf * v * row.thickness)) / anf;
        SCOPED_TRACE("ks = " + std::to_string(row.ks) + ", l = " + std::to_string(row.thickness));
        EXPECT_NEAR(peak.height, ip, 0.02 * ip);
        EXPECT_NEAR(peak.potential * 1e3, ep * 1e3, 1.5);
    }
}

} // namespace
} // namespace tessaly::testing
