#pragma once
// Stripping voltammetry at a thin film: a deposition step at E pre for t pre in stirred solution loads the
// film with the reduced form, and the scan that follows strips it back into the solution.
//
// The film of thickness l is taken uniform across its width (l² ≪ D·t) and exchanges the couple with the
// solution through a stirred diffusion layer whose mass-transfer coefficient m = D/δ follows the Levich
// law of the stirring rate, m = 0.62·D^(2/3)·ω^(1/2)·ν^(−1/6) (Bard & Faulkner, 2nd ed., 9.3.22); in
// unstirred solution δ is the mean Cottrell diffusion layer of the deposition, √(π·D·t_pre)/2. The
// deposition exhausts the solution at the bulk-electrolysis rate p ("t pre const", 1/s; Bard &
// Faulkner 11.3.4: C(t) = C(0)·exp(−p·t), p = m·A/V).
//
// Across the film surface the reduced form gains (forward·C_solution − backward·C_film)/l per second;
// with a Nernstian interface forward = m and backward = m·exp(nf·(E − E0)), and the anodic scan then
// strips the film along u·exp(−u) with the peak n²F²·A·v·l·C_film/(e·RT) at
// E0 + (RT/nF)·ln(nF·v·l·δ/(RT·D)) (de Vries & van Dalen, J. Electroanal. Chem. 14 (1967) 315).

#include "model/ExperimentParams.h"

#include <optional>

namespace tessaly {

// The deposition step and the film, read from the instrument fields.
struct PreconcentrationStep {
    double potential = 0.0;      // E pre, V
    double time = 0.0;           // t pre, s
    double stirRate = 0.0;       // ω, rad/s
    double exhaustionRate = 0.0; // p, 1/s
    double thickness = 0.0;      // film thickness l, cm
    double viscosity = 0.0;      // kinematic viscosity ν, cm²/s
};

// The step when it applies: "Preconcentration" ticked, the thin film (electrode 9) and a sweep or
// staircase (techniques 1 and 7), with a deposition time above zero. From the instrument fields as they
// stand (Theoretical Peaks), or from the committed values a run reads.
std::optional<PreconcentrationStep> preconcentrationStep(const ExperimentParams& p);
std::optional<PreconcentrationStep> preconcentrationStep(const CommittedValues& c, bool ticked,
                                                         kind::Electrode electrode,
                                                         kind::Technique technique);

// Charge transfer of the couple at the film surface: Nernstian, or Butler–Volmer with ks, α and the
// stoichiometric numbers of the two forms.
struct FilmKinetics {
    bool nernstian = true;
    double ks = 0.0; // cm/s
    double alpha = 0.5;
    double nuOx = 1.0, nuRed = 1.0;
};

// Transfer coefficients of the film surface in series with the solution's mass transfer, cm/s.
struct FilmTransfer {
    double forward = 0.0;  // multiplies the oxidised form's concentration in the solution
    double backward = 0.0; // multiplies the reduced form's concentration in the film
};

// nf = nF/RT (1/V), E0 the (apparent) formal potential, m the mass-transfer coefficient (cm/s).
FilmTransfer filmTransfer(const FilmKinetics& kinetics, double nf, double E, double E0, double massTransfer);

// Mass-transfer coefficient m of the oxidised form (diffusion coefficient D, cm²/s) during and after the
// deposition step, cm/s.
double filmMassTransfer(const PreconcentrationStep& step, double D);

// What the deposition leaves: the film's reduced form and what remains of the oxidised form in solution.
struct FilmLoad {
    double massTransfer = 0.0; // m, cm/s
    double filmConc = 0.0;     // C′ of the reduced form in the film, mol/L
    double bulkConc = 0.0;     // oxidised form left in the solution, mol/L
};

// Deposition of the oxidised form (bulk C0, mol/L, diffusion coefficient D) at E pre for t pre: the film
// fills as dC′/dt = (f·C_b − b·C′)/l while the solution loses C_b = C0 − (p·l/m)·C′, which integrates to
// C′ = (f·C0/l)·(1 − exp(−B·t))/B with B = f·p/m + b/l.
FilmLoad depositFilm(const PreconcentrationStep& step, const FilmKinetics& kinetics, double nf, double E0,
                     double C0, double D);

// Potential of the Nernstian stripping peak, E0 + ln(nf·v·l/m)/nf, V (v the scan rate, V/s).
double strippingPeakPotential(double E0, double nf, double scanRate, double thickness, double massTransfer);

// (1 − exp(−x))/x, 1 at x = 0: the fraction of a first-order approach completed in time t, per unit k·t.
double relaxedFraction(double x);

} // namespace tessaly
