// Per-run constants of every charge reaction, and how the coupled chemistry of mechanisms 5 to 10 enters
// them: an apparent formal potential and an effective bulk concentration of the electroactive form, the
// zone-diagram limits of the classical theory for a fast chemical step (the conditions in the mechanism
// captions), or the catalytic time law of mechanism 8.
//
//   5  C2E   C = 2A fast, K = [A]²/[C] < 1: the wave of all A-equivalents, C_T = C_A + 2·C_C, at
//            E0 + (RT/2nF)·ln(K/C_T)  (equilibrium of the dimer at the surface with a Nernstian A/B couple).
//   6  CE    C + mD = A + mE fast, K' = K·(C_D/C_E)^m < 1: the wave of C_A + C_C at E0 + (RT/nF)·ln(K'/(1 +
//   K'))
//            (Bard & Faulkner, Electrochemical Methods, 2nd ed., §12.3, the diffusion-equilibrium zone).
//   7  EC    B -> C with kf > 100 v: the pure kinetic zone, where the wave keeps its height and moves by
//            (RT/2nF)·ln X. Sweep: Ep = E0 − 0.780·RT/nF + (RT/2nF)·ln(kf·RT/(nFv)) (Nicholson & Shain,
//            Anal. Chem. 36 (1964) 706), and the Nernstian sweep of the kernels peaks 1.109·RT/nF below
//            its E0, so X = kf·RT/(nFv)·exp(2·(1.109 − 0.780)). Steps of duration t: the reaction layer
//            √(D/kf) gives E1/2 = E0 + (RT/2nF)·ln(π·kf·t), X = π·kf·t.
//   8  EC'   B + C -> A with k = (kf + kb)·C_C: the step current is multiplied by √(πkt)·erf(√(kt)) + e^(−kt)
//            (Delahay & Stiehl, J. Am. Chem. Soc. 74 (1952) 3500); the superpositions use that time law.
//   9  EC2   2B -> C with kf·C > 100 v: Ep = E0 − 0.902·RT/nF + (RT/3nF)·ln(2·kf·C·RT/(3nFv)) (Olmstead,
//            Hamilton & Nicholson, Anal. Chem. 41 (1969) 260); steps use t in place of RT/(nFv).
//  10  complex MLm = M + mL, K = [M][L]^m/[MLm] < 1, ligand in excess: the complex (D of ML) carries the
//            wave of C_M + C_ML at E0 + (RT/nF)·(ln K − m·ln C_L) (Lingane, Chem. Rev. 29 (1941) 1).
//  2, 3  EE, EEE with E'1 > E'2 > E'3: every later step reduces what the earlier steps deliver, so its
//            effective oxidised concentration is its own plus that of the step before (equal D).

#include "base/Checked.h"
#include "simulation/MechanismRun.h"

#include <cmath>
#include <cstddef>
#include <numbers>

namespace tessaly {
namespace {

using kind::Mechanism;

constexpr double kReversibleSweepPeak = 1.109; // (E0 − Ep)·nF/RT of the Nernstian sweep kernel
constexpr double kEcPeak = 0.780;              // EC pure kinetic zone, Nicholson & Shain
constexpr double kEc2Peak = 0.902;             // EC2 pure kinetic zone, Olmstead et al.

// Equilibrium constant of chemical reaction 1: kf/kb, or the committed Keq when kb is 0.
double equilibriumConstant(const CommittedValues& c) {
    return c.RateKb[1] > 0 ? c.RateKf[1] / c.RateKb[1] : c.Keq[1];
}

// Step techniques use the step duration as their kinetic time scale; the others RT/(nFv).
bool stepTechnique(kind::Technique technique) {
    return traits(technique).stepResponse;
}

} // namespace

void prepareReaction(MechanismRun& run, int j) {
    const CommittedValues& c = run.c;
    const ChargeReactionRow& row = run.in.tables.charge[static_cast<std::size_t>(j)];
    ReactionConstants& r = run.reaction[static_cast<std::size_t>(j)];
    r.ox = checkedIndex(row.ox, 1, kMaxSpecies);
    r.red = checkedIndex(row.red, 1, kMaxSpecies);
    r.n = row.n;
    r.nf = r.n * run.kernel.fRT;
    r.RTnF = 1.0 / r.nf;
    r.Dox = c.DiffCoef[static_cast<std::size_t>(r.ox)];
    r.Dred = c.DiffCoef[static_cast<std::size_t>(r.red)];
    r.law = ResponseLaw{run.timeGrid, 0.0};

    StepArgs& a = r.step;
    a.ks = c.RateKs[static_cast<std::size_t>(j)];
    a.alpha = c.Alpha[static_cast<std::size_t>(j)];
    a.n = r.n;
    a.E0 = c.FormalPotential[static_cast<std::size_t>(j)];
    a.Cox = c.InitConc[static_cast<std::size_t>(r.ox)];
    a.Cred = c.InitConc[static_cast<std::size_t>(r.red)];
    a.sqrtDox = std::sqrt(r.Dox);
    a.sqrtDred = std::sqrt(r.Dred);
    a.t = run.timeGrid;
    a.dE = run.pulseHeight;
    a.nuOx = row.nuOx;
    a.nuRed = row.nuRed;

    // Thin film (electrode 9) under a sweep: a layer of thickness l closed at its far side stays uniform
    // across its width while l² ≪ D·RT/(nFv), and its Nernstian bell then peaks at E0 itself (Hubbard,
    // J. Electroanal. Chem. 22 (1969) 165), so the layer moves no apparent E0. Its thickness acts through
    // the first-order rates kf/l and kb/l of the kinetic couples (MechanismSimpleCharge.cpp), which put an
    // irreversible peak at E0 + (RT/αnF)·ln(RT·ks/(αnF·v·l)). After a preconcentration step the film
    // exchanges with the stirred solution instead (MechanismStripping.cpp), which moves the stripping peak
    // to E0 + (RT/nF)·ln(nF·v·l·δ/(RT·D)) through the same rates, again without a shifted E0.

    // Proton-coupled couples: E0 moves by RT/nF·ln(10)·h per pH unit away from 7.
    if (c.PHFactor != 0)
        a.E0 -= r.RTnF * row.protons * c.PHFactor;
    r.formalPotential = a.E0;

    const auto conc = [&](int s) { return c.InitConc[static_cast<std::size_t>(s)]; };
    const double kineticScale = stepTechnique(run.technique) ? run.sampleTime : r.RTnF / c.ScanRate; // s
    switch (run.mechanism) {
    case Mechanism::TwoStep:
    case Mechanism::ThreeStep:
        if (j > 1)
            a.Cox += run.reaction[static_cast<std::size_t>(j - 1)].step.Cox;
        break;
    case Mechanism::DimerPreceding: {
        const double total = conc(1) + 2.0 * conc(3); // mol/L of A-equivalents
        a.Cox = total;
        a.E0 += 0.5 * r.RTnF * std::log(equilibriumConstant(c) / total);
        break;
    }
    case Mechanism::Preceding: {
        // The equilibrium C + mD = A + mE sets the apparent formal potential through (C_D/C_E)^m:
        // without D and E in solution it is undefined (0/0), which the user must be told in words.
        if (!(conc(4) > 0) || !(conc(5) > 0))
            raise("mechanism 6 needs species D and E in solution: give both a concentration above zero "
                  "(D > m*100C, E > m*100A)");
        const double ratio = equilibriumConstant(c) * std::pow(conc(4) / conc(5), run.in.tables.m);
        a.Cox = conc(1) + conc(3);
        a.E0 += r.RTnF * std::log(ratio / (1.0 + ratio));
        break;
    }
    case Mechanism::Following: {
        const double kf = c.RateKf[1]; // 1/s
        if (kf > 0) {
            const double x = stepTechnique(run.technique)
                                 ? std::numbers::pi * kf * kineticScale
                                 : kf * kineticScale * std::exp(2.0 * (kReversibleSweepPeak - kEcPeak));
            a.E0 += std::log(x) / (2.0 * r.nf);
        }
        break;
    }
    case Mechanism::Catalytic:
        r.law.catalyticRate = (c.RateKf[1] + c.RateKb[1]) * conc(3);
        break;
    case Mechanism::DimerFollowing: {
        const double rate = c.RateKf[1] * conc(1); // 1/s
        if (rate > 0) {
            const double shift = stepTechnique(run.technique) ? 0.0 : kReversibleSweepPeak - kEc2Peak;
            a.E0 += r.RTnF * (std::log(2.0 * rate * kineticScale / 3.0) / 3.0 + shift);
        }
        break;
    }
    case Mechanism::Complex:
        r.Dox = c.DiffCoef[3];
        a.sqrtDox = std::sqrt(r.Dox);
        a.Cox = conc(1) + conc(3);
        if (conc(4) > 0)
            a.E0 += r.RTnF * (std::log(equilibriumConstant(c)) - run.in.tables.m * std::log(conc(4)));
        break;
    default:
        break;
    }
}

} // namespace tessaly
