// The analytical kernel table of the experiment kinds (kind::hasAnalyticalKernel) against the formulas
// themselves: for every technique, electrode and mechanism the simulation carries a faradaic current
// exactly when the table says it has a kernel. The digital-only electrodes and the two waveform
// techniques are included, so a formula added or lost anywhere shows up as a disagreement here.

#include "MechanismTestSupport.h"

#include "model/ExperimentKinds.h"

namespace tessaly::testing {
namespace {

// A triangular waveform from +0.3 V to -0.3 V and back in 10 mV steps of 10 ms, as a designed or imported
// programme leaves it in the store.
void loadWaveform(CurveStore& store) {
    constexpr int kHalf = 60;
    store.NPoints = 2 * kHalf + 1;
    for (int k = 0; k < store.NPoints; ++k) {
        store.WaveT[k] = 0.01 * k;
        store.E[k] = 0.3 - 0.01 * (k <= kHalf ? k : 2 * kHalf - k);
    }
}

TEST(KernelTable, FaradaicCurrentExactlyWhereTheTableHasAKernel) {
    CurveStore store; // one store for all runs: every run clears the columns it fills
    int withKernel = 0;
    for (const kind::Mechanism mechanism : kind::kAllMechanisms)
        for (const kind::Technique technique : kind::kAllTechniques)
            for (const kind::Electrode electrode : kind::kAllElectrodes) {
                auto p = sweepExperiment(kind::code(mechanism));
                p->optTech = kind::code(technique);
                p->Electrode = kind::code(electrode);
                p->Estep = "0.01";
                p->td = "0.05";
                p->tp = "0.005";
                p->tsa1 = "0.88";
                p->TextF = "100";
                p->Epulse = "-0.02";
                p->TextTexp = "0.5";
                p->ks[1] = "0.05";
                for (int s = 1; s <= 6; ++s)
                    p->C[s] = "1e-3";
                if (traits(technique).waveform)
                    loadWaveform(store);
                simulate(*p, store);
                bool faradaic = false;
                for (int k = 0; k < store.NPoints; ++k)
                    for (int j = 1; j <= p->NumCharge; ++j)
                        faradaic = faradaic || store.ComponentCurrent(k, j) != 0.0;
                const bool listed = kind::hasAnalyticalKernel(technique, electrode, mechanism);
                withKernel += listed;
                EXPECT_EQ(faradaic, listed) << "mechanism " << kind::code(mechanism) << ", technique "
                                            << kind::code(technique) << ", electrode " << kind::code(electrode);
            }
    // The table is neither empty nor full: 1980 combinations, of which the formulas cover a part.
    EXPECT_GT(withKernel, 500);
    EXPECT_LT(withKernel, 1500);
}

} // namespace
} // namespace tessaly::testing
