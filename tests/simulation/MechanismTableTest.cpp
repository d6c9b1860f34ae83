// The whole mechanism × technique × electrode table: every combination runs to its end with finite
// currents, and a combination either carries a faradaic current or, outside the table, none.

#include "MechanismTestSupport.h"

namespace tessaly::testing {
namespace {

// Whether the combination has faradaic formulas (without rotation).
bool listed(int mechanism, int technique, int electrode) {
    const bool planar = electrode == 1 || electrode == 8 || electrode == 11;
    const bool sphere = electrode >= 2 && electrode <= 4;
    if (mechanism <= 10) {
        switch (technique) {
        case 1:
            return planar || sphere || electrode == 7 ||
                   (electrode == 9 && (mechanism == 1 || mechanism == 4 || mechanism == 5));
        case 2:
        case 3:
        case 8:
            return planar || sphere || electrode == 9;
        case 4:
            return electrode == 1 || sphere;
        case 5:
        case 6:
            return planar || sphere;
        case 7:
            return electrode == 1 || electrode == 8 || sphere || electrode == 7;
        default:
            return false;
        }
    }
    if (mechanism <= 12)
        return technique <= 8;
    if (mechanism <= 14)
        return technique <= 3;
    return technique <= 3 || technique == 7; // surface couples: sweeps, staircase, DC and normal pulse
}

TEST(MechanismTable, EveryCombinationRunsWithFiniteCurrents) {
    for (int mechanism = 1; mechanism <= kMechanismCount; ++mechanism)
        for (int technique = 1; technique <= 8; ++technique)
            for (int electrode : {1, 2, 3, 4, 7, 8, 9, 11}) {
                auto p = sweepExperiment(mechanism);
                p->optTech = technique;
                p->Electrode = electrode;
                p->Estep = "0.01";
                p->td = "0.05";
                p->tp = "0.005";
                p->tsa1 = "0.88"; // differential pulse: the base sample before the pulse (last tenth)
                p->TextF = "100";
                p->Epulse = "-0.02";
                p->TextTexp = "0.5";
                p->ks[1] = "0.05";
                for (int s = 1; s <= 6; ++s)
                    p->C[s] = "1e-3";
                CurveStore store;
                simulate(*p, store);
                bool faradaic = false;
                for (int k = 0; k < store.NPoints; ++k) {
                    ASSERT_TRUE(std::isfinite(current(store, k)))
                        << mechanism << "/" << technique << "/" << electrode << " point " << k;
                    for (int j = 1; j <= p->NumCharge; ++j)
                        faradaic = faradaic || store.ComponentCurrent(k, j) != 0.0;
                }
                EXPECT_EQ(faradaic, listed(mechanism, technique, electrode))
                    << "mechanism " << mechanism << ", technique " << technique << ", electrode "
                    << electrode;
            }
}

} // namespace
} // namespace tessaly::testing
