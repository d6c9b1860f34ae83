// Mechanisms 15 to 18: couples confined to the electrode surface (one or two), reversible (15, 16) or with
// Butler–Volmer kinetics (17, 18).
//
// The couple's total adsorbed amount is the Langmuir amount Γ = (Γmax,O·C_O + Γmax,R·C_R)·b_O/(1 + Σ
// b_s·C_s), with the adsorption coefficient b_O of the oxidised form for both forms; it partitions between O
// and R with the Nernst ratio Γ_O/Γ_R = exp(nF(E − E0)/RT) (reversible) or relaxes towards it at the rates
// kf, kb (irreversible).
//
//   15, 16  techniques 1, 7: i = n²F²·A·v·Γ/(4RT) times the normalised bell of ThinFilmReversibleCurrent,
//           cathodic on a negative-going scan (Laviron, J. Electroanal. Chem. 52 (1974) 355; Bard &
//           Faulkner, Electrochemical Methods, 2nd ed., §14.3). Techniques 2, 3: the Nernstian step response
//           of the dissolved couple at the pulse potential. Technique 9 (designed waveform): diffusion-
//           controlled adsorption with a linear isotherm, Γ(t) = Γ·(1 − exp(Dt/K²)·erfc(√(Dt)/K)),
//           K = 1000·b_O·Γmax,O cm (Delahay & Trachtenberg, J. Am. Chem. Soc. 79 (1957) 2355), converted
//           along the Nernstian partition; the current is n·F·A·dΓ_R/dt.
//   17, 18  techniques 1, 2, 3, 7: Γ_O relaxes over each step (AdsorbedCurrent) at the point's potential;
//           the current is n·F·A·(Γ_O(k − 1) − Γ_O(k))/TimeGrid (Laviron, J. Electroanal. Chem. 101 (1979)
//           19).

#include "simulation/MechanismRun.h"

#include <cmath>
#include <cstddef>

namespace tessaly {
namespace {

using kind::Technique;

double nernstReducedFraction(const ReactionConstants& r, double E) {
    return 1.0 / (1.0 + std::exp(r.nf * (E - r.step.E0)));
}

void writeAmounts(MechanismRun& run, int k, const ReactionConstants& r, double gammaOx) {
    run.setSurface(k, r.ox, gammaOx);
    run.setSurface(k, r.red, r.surfaceTotal - gammaOx);
}

// Amount of the couple adsorbed by time t of a designed waveform, mol/cm².
double adsorbedByDiffusion(const MechanismRun& run, const ReactionConstants& r, double t) {
    const double K = 1000.0 * run.c.AdsorbCoef[static_cast<std::size_t>(r.ox)] *
                     run.c.MaxAdsorb[static_cast<std::size_t>(r.ox)]; // cm
    return r.surfaceTotal * (1.0 - ErfcScaled(std::sqrt(r.Dox * t) / K));
}

} // namespace

void prepareAdsorbed(MechanismRun& run) {
    const CommittedValues& c = run.c;
    double langmuir = 1.0; // LangmuirDenominator
    for (int s = 1; s <= run.in.numSpecies && s <= kMaxSpecies; ++s)
        langmuir += c.AdsorbCoef[static_cast<std::size_t>(s)] * c.InitConc[static_cast<std::size_t>(s)];
    const double start = run.potential(run.out.FirstPoint) + run.pulseHeight;
    for (int j = 1; j <= run.numCharge; ++j) {
        ReactionConstants& r = run.reaction[static_cast<std::size_t>(j)];
        const double b = c.AdsorbCoef[static_cast<std::size_t>(r.ox)];
        r.surfaceTotal = (c.MaxAdsorb[static_cast<std::size_t>(r.ox)] * r.step.Cox +
                          c.MaxAdsorb[static_cast<std::size_t>(r.red)] * r.step.Cred) *
                         b / langmuir;
        // The couple starts in equilibrium with the start potential.
        r.surfaceState = r.surfaceTotal * (1.0 - nernstReducedFraction(r, start));
    }
}

void adsorbedCurrents(MechanismRun& run, int k, int j) {
    ReactionConstants& r = run.reaction[static_cast<std::size_t>(j)];
    const double E = run.potential(k) + run.pulseHeight;
    const double charge = r.n * kFaraday * run.c.ElectrodeArea; // C/mol
    const bool reversible = traits(run.mechanism).nernstian;
    if (reversible) {
        writeAmounts(run, k, r, r.surfaceTotal * (1.0 - nernstReducedFraction(r, E)));
        switch (run.technique) {
        case Technique::LinearSweep:
        case Technique::Staircase: {
            const double bell = ThinFilmReversibleCurrent(run.kernel, E, r.n, r.step.E0, 1.0, 1.0, 1.0, 1.0);
            const double peak = charge * r.nf * run.c.ScanRate * r.surfaceTotal / 4.0; // A
            run.setCurrent(k, j, -run.sweepDirection(k) * peak * bell);
            return;
        }
        case Technique::DcVoltammetry:
        case Technique::NormalPulse:
            run.setCurrent(k, j,
                           run.constants.FaradayArea *
                               stepResponse(run, j, StepKind::Nernstian, E, run.sampleTime));
            return;
        case Technique::DesignedWaveform: {
            const double t0 = run.time(0);
            const double dt = run.time(k) - run.time(k - 1);
            if (dt == 0.0)
                return; // a vertical edge of the waveform: its charge belongs to the next point
            const double before = adsorbedByDiffusion(run, r, run.time(k - 1) - t0) *
                                  nernstReducedFraction(r, run.potential(k - 1));
            const double now =
                adsorbedByDiffusion(run, r, run.time(k) - t0) * nernstReducedFraction(r, E);
            run.setCurrent(k, j, charge * (now - before) / dt);
            return;
        }
        default:
            return;
        }
    }
    switch (run.technique) {
    case Technique::LinearSweep:
    case Technique::DcVoltammetry:
    case Technique::NormalPulse:
    case Technique::Staircase: {
        const double b = run.c.AdsorbCoef[static_cast<std::size_t>(r.ox)];
        const double x = b * (r.step.Cox + r.step.Cred);
        if (x == 0.0)
            return; // nothing adsorbs
        StepArgs a = r.step;
        a.E = E;
        // The kernel relaxes towards kb/(kf + kb)·Γmax·x/(1 + x); Γmax is chosen so that x/(1 + x) becomes
        // the couple's Langmuir total over all adsorbing species.
        const double maxAdsorb = r.surfaceTotal * (1.0 + x) / x;
        const double previous = r.surfaceState;
        r.surfaceState = AdsorbedCurrent(run.kernel, a, b, r.step.Cox + r.step.Cred, r.step.Cox + r.step.Cred,
                                         maxAdsorb, previous);
        writeAmounts(run, k, r, r.surfaceState);
        run.setCurrent(k, j, charge * (previous - r.surfaceState) / run.timeGrid);
        return;
    }
    default:
        return;
    }
}

} // namespace tessaly
