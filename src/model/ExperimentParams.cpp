#include "model/ExperimentParams.h"

namespace tessaly {

ExperimentParams::ExperimentParams() {
    // Designed waveform: a square step programme 0.4 V -> -0.4 V -> 0.4 V over 300 s.
    const char* times[kDesignRows] = {"0", "100", "100", "200", "200", "300", "0", "0", "0", "0", "0", "0"};
    const char* potentials[kDesignRows] = {"0.4", "0.4", "-0.4", "-0.4", "0.4", "0.4",
                                           "0",   "0",   "0",    "0",    "0",   "0"};
    for (int k = 0; k < kDesignRows; ++k) {
        t1[k] = times[k];
        E1[k] = potentials[k];
    }

    // Charge-reaction rows a A + h H+ + n e = b B + w H2O; row 1 is A + e = B.
    for (int i = 1; i <= kMaxCharge; ++i) {
        charge[10 * i + 1] = "1";
        charge[10 * i + 2] = "";
        charge[10 * i + 3] = "1";
        charge[10 * i + 4] = "1";
        charge[10 * i + 5] = "1";
        charge[10 * i + 6] = "";
        charge[10 * i + 7] = "1";
    }
    charge[12] = "A";
    charge[16] = "B";

    const char* formalPotentials[kMaxCharge + 1] = {"", "0.1", "0", "-0.1", "-0.2", "-0.3"};
    const char* ezeroMin[kMaxCharge + 1] = {"", "0", "-0.1", "-0.2", "-0.3", "-0.4"};
    const char* ezeroMax[kMaxCharge + 1] = {"", "0.2", "0.1", "0", "-0.1", "-0.3"};
    for (int i = 1; i <= kMaxCharge; ++i) {
        ks[i] = "1e4";
        alph[i] = "0.5";
        Eze[i] = formalPotentials[i];
        TextKsmin[i] = "1e3";
        TextKsmax[i] = "1e5";
        TextAlphaMin[i] = "0.4";
        TextAlphamax[i] = "0.6";
        TextEzeromin[i] = ezeroMin[i];
        TextEzeromax[i] = ezeroMax[i];
    }
    for (int j = 1; j <= kMaxChem; ++j) {
        kf[j] = "10";
        kb[j] = "0.1";
        LabelKeq[j] = "1e2"; // kf/kb of the defaults
        TextKfmin[j] = "1";
        TextKfmax[j] = "100";
        TextKbmin[j] = "0.01";
        TextKbmax[j] = "1";
    }

    for (int s = 1; s <= kMaxSpecies; ++s) {
        specie[s] = std::string(1, static_cast<char>('A' + s - 1));
        C[s] = s == 1 ? "1e-3" : "0";
        Cinit[s] = s == 1 ? "1e-3" : "0";
        D[s] = "1e-5";
        TextB[s] = s <= 4 ? "1e4" : "0";
        TextG[s] = "1e-8";
        TextCmin[s] = s == 1 ? "1e-4" : "0";
        TextCmax[s] = "1e-2";
        TextDmin[s] = "1e-7"; // the D of solutes in liquids, from viscous to gaseous-like
        TextDmax[s] = "1e-3";
    }
}

} // namespace tessaly
