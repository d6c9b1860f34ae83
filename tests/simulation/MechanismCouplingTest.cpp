// Couples with transport or chemistry beyond plain diffusion against theory: the Levich current of a
// rotating disk, the catalytic (EC') plateau, its transient after a step and its reduction to mechanism
// 1, the kinetic shift of an EC peak, consecutive couples, and a combination outside the mechanism table.

#include "MechanismTestSupport.h"

namespace tessaly::testing {
namespace {

// Levich: i = 0.62·nFA·D^(2/3)·ω^(1/2)·ν^(−1/6)·C at the end of a sweep far past E0.
TEST(MechanismCoupling, RotatingDiskLevichCurrent) {
    struct Row {
        int mechanism;
        double n, rpm;
    };
    for (const Row row : {Row{1, 1, 1000}, Row{11, 2, 400}, Row{13, 1, 2500}}) {
        auto p = sweepExperiment(row.mechanism, row.n);
        p->Rotation = std::to_string(row.rpm);
        p->Eze[2] = "-0.1";
        p->Eend = "-0.5";
        CurveStore store;
        simulate(*p, store);
        const double omega = row.rpm * kPi / 30; // rad/s
        const double levich =
            0.62 * nFAC(row.n) * std::pow(kD, 2.0 / 3.0) * std::sqrt(omega) * std::pow(0.01, -1.0 / 6.0);
        // Mechanism 13: both couples of the chain reduce every A that arrives.
        const double expected = row.mechanism == 13 ? 2 * levich : levich;
        SCOPED_TRACE("mechanism " + std::to_string(row.mechanism));
        EXPECT_NEAR(current(store, store.LastPoint), expected, 0.01 * expected);
    }
}

// EC' with the co-reactant in excess, k = (kf + kb)·C_Z: the sweep reaches the steady catalytic plateau
// nFAC√(D·k) (Savéant & Vianello, Electrochim. Acta 10 (1965) 905), and the DC wave sampled at td the
// Delahay–Stiehl current Cottrell·(√(πkt)·erf(√(kt)) + exp(−kt)).
TEST(MechanismCoupling, CatalyticPlateau) {
    for (int technique : {1, 2, 8}) {
        auto p = sweepExperiment(8);
        p->optTech = technique;
        p->kf[1] = "1000";
        p->kb[1] = "0";
        p->C[3] = "0.1";
        p->Estart = technique == 8 ? "-0.3" : "0.3";
        p->TextTexp = "1";
        if (technique == 2)
            p->td = "1"; // k·td = 100: the sampled current has reached the plateau
        CurveStore store;
        simulate(*p, store);
        const double k = 1000 * 0.1; // 1/s
        const double plateau = nFAC(1) * std::sqrt(kD * k);
        SCOPED_TRACE("technique " + std::to_string(technique));
        EXPECT_NEAR(current(store, store.LastPoint), plateau, 0.02 * plateau);
    }
}

// The way to that plateau after a potential step far past E0: with B turned back into A at k = kf·C_Z,
// i(t) = nFAC√D·(e^(−kt)/√(πt) + √k·erf(√(kt))) (Delahay & Stiehl, J. Am. Chem. Soc. 74 (1952) 3500),
// from Cottrell at kt ≪ 1 to nFAC√(Dk). Point k of the step is sampled k·td after it. Two rates, so that
// the transition lies inside the 1 s record for one and early in it for the other.
TEST(MechanismCoupling, CatalyticStepFollowsDelahayAndStiehl) {
    for (const double rate : {2.0, 20.0}) { // k, 1/s
        auto p = sweepExperiment(8);
        p->optTech = 8;
        p->ks[1] = "1e4";
        p->kf[1] = std::to_string(rate / 0.1);
        p->kb[1] = "0";
        p->C[3] = "0.1";
        p->Estart = "-0.3";
        p->TextTexp = "1";
        p->td = "0.01";
        CurveStore store;
        simulate(*p, store);
        SCOPED_TRACE("k " + std::to_string(rate));
        ASSERT_EQ(store.NPoints, 101);
        for (int k = 0; k < store.NPoints; ++k)
            ASSERT_EQ(store.E[k], -0.3) << "point " << k;
        for (int k = 2; k <= store.LastPoint; ++k) {
            const double t = 0.01 * k;
            const double theory =
                nFAC(1) * std::sqrt(kD) *
                (std::exp(-rate * t) / std::sqrt(kPi * t) + std::sqrt(rate) * std::erf(std::sqrt(rate * t)));
            EXPECT_NEAR(current(store, k) / theory, 1.0, 0.005) << "point " << k;
        }
    }
}

TEST(MechanismCoupling, CatalyticWithoutRegenerationIsMechanismOne) {
    for (int technique : {1, 2, 4, 5, 7, 8}) {
        CurveStore catalytic, simple;
        for (int mechanism : {8, 1}) {
            auto p = sweepExperiment(mechanism);
            p->optTech = technique;
            p->ks[1] = "0.02";
            p->kf[1] = "0";
            p->kb[1] = "0";
            p->C[3] = "0.1";
            p->td = "0.1";
            p->Epulse = "0.02";
            simulate(*p, mechanism == 8 ? catalytic : simple);
        }
        ASSERT_EQ(catalytic.NPoints, simple.NPoints);
        for (int k = 0; k < simple.NPoints; ++k)
            ASSERT_EQ(current(catalytic, k), current(simple, k))
                << "technique " << technique << ", point " << k;
    }
}

// EC in the pure kinetic zone: Ep = E0 − 0.780·RT/nF + (RT/2nF)·ln(kf·RT/(nFv)) (Nicholson & Shain, Anal.
// Chem. 36 (1964) 706), so the peak moves 30/n mV positive per decade of kf.
TEST(MechanismCoupling, FollowingReactionShiftsThePeak) {
    for (double n : {1.0, 2.0}) {
        double previous = 0;
        for (double kf : {10.0, 100.0, 1000.0}) {
            auto p = sweepExperiment(7, n);
            p->kf[1] = std::to_string(kf);
            p->kb[1] = "0";
            CurveStore store;
            simulate(*p, store);
            const double ep = findPeak(store, 2, store.LastPoint).potential;
            const double theory = kRTF / n * (-0.780 + 0.5 * std::log(kf * kRTF / (n * 0.1)));
            SCOPED_TRACE("n = " + std::to_string(n) + ", kf = " + std::to_string(kf));
            EXPECT_NEAR(ep * 1e3, theory * 1e3, 3.0);
            if (kf > 10) {
                EXPECT_NEAR((ep - previous) * 1e3, 1e3 * kRTF / (2 * n) * std::log(10.0), 3.0);
            }
            previous = ep;
        }
    }
}

// Two consecutive couples with E'1 = 0 > E'2 = −0.3 V under DC sampling (t = 1 s): the first wave reaches
// the Cottrell current of A, the second doubles it, and each half-wave potential is its E0.
TEST(MechanismCoupling, ConsecutiveCouplesGiveTwoWaves) {
    for (int mechanism : {13, 2}) {
        auto p = sweepExperiment(mechanism);
        p->optTech = 2;
        p->td = "1";
        p->Estep = "0.002";
        p->Eend = "-0.7";
        p->Eze[2] = "-0.3";
        CurveStore store;
        simulate(*p, store);
        const double cottrell = nFAC(1) * std::sqrt(kD / kPi);
        const int middle = static_cast<int>(std::lround((0.3 + 0.15) / 0.002));
        SCOPED_TRACE("mechanism " + std::to_string(mechanism));
        EXPECT_NEAR(store.E[middle], -0.15, 1e-9);
        EXPECT_NEAR(current(store, middle), cottrell, 0.01 * cottrell);
        EXPECT_NEAR(current(store, store.LastPoint), 2 * cottrell, 0.01 * 2 * cottrell);
        EXPECT_NEAR(crossing(store, 2, middle, cottrell / 2), 0.0, 0.001);
        EXPECT_NEAR(crossing(store, middle, store.LastPoint, 1.5 * cottrell), -0.3, 0.001);
    }
}

// Mechanism 2 under a sweep at the thin film is not in the table: only the charging current Cdl·v and
// the baseline remain.
TEST(MechanismCoupling, CombinationOutsideTheTableCarriesOnlyNonFaradaicCurrent) {
    auto p = sweepExperiment(2);
    p->Electrode = 9;
    p->Cdl = "2e-5";
    p->TxtI0 = "1e-6";
    p->TxtI1 = "0";
    CurveStore store;
    simulate(*p, store);
    const double charging = 2e-5 * 0.1; // cathodic sweep: +Cdl·v, A
    for (int k = store.FirstPoint + 1; k <= store.LastPoint; ++k) {
        const double baseline = 1e-6 * (1 - (store.E[k] - 0.3) / (-0.3 - 0.3));
        EXPECT_NEAR(current(store, k), charging + baseline, 1e-18) << "point " << k;
        EXPECT_EQ(store.ComponentCurrent(k, 1), 0.0);
        EXPECT_EQ(store.ComponentCurrent(k, 2), 0.0);
    }
}

} // namespace
} // namespace tessaly::testing
