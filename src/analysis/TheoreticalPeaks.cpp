#include "analysis/TheoreticalPeaks.h"

#include "analysis/SquareWaveTheory.h"
#include "base/NumberText.h"
#include "base/PhysicalConstants.h"
#include "simulation/AnalyticalKernels.h"
#include "simulation/FilmPreconcentration.h"

#include <cfenv>
#include <cmath>
#include <numbers>
#include <optional>

namespace tessaly {
namespace {

using kind::Electrode;
using kind::Mechanism;
using kind::Technique;
using kind::TheoryShape;

constexpr double kPi = std::numbers::pi;
constexpr const char* kEnd = "\r\n";

// Planar linear sweep, Nicholson & Shain, Anal. Chem. 36 (1964) 706; Bard & Faulkner, Electrochemical
// Methods, 2nd ed. (2001), 6.2 and 6.3.
constexpr double kRandlesSevcik = 0.4463;        // reversible peak function
constexpr double kReversiblePeakShift = 1.109;   // E1/2 - Ep, in RT/nF
constexpr double kReversePeakShift = 1.09;       // Epa - E1/2, in RT/nF
constexpr double kReversibleHalfWidth = 2.2;     // Ep/2 - Ep, in RT/nF
constexpr double kReversibleSeparation = 2.22;   // |Epc - Epa|, in RT/nF
constexpr double kIrreversiblePeak = 0.4958;     // totally irreversible peak function
constexpr double kIrreversibleShift = 0.78;      // in RT/(alpha n F)
constexpr double kIrreversibleHalfWidth = 1.857; // Ep - Ep/2, in RT/(alpha n F)
// Dimerisation of the product in its pure kinetic zone (Olmstead, Hamilton & Nicholson, Anal. Chem. 41
// (1969) 260).
constexpr double kDimerisationPeak = 0.527;      // peak function
constexpr double kDimerisationShift = 0.902;     // E0 - Ep at 2 kf C RT/(3 nFv) = 1, in RT/nF
constexpr double kDimerisationHalfWidth = 1.511; // Ep/2 - Ep, in RT/nF
// Surface couples and thin layers (Laviron, J. Electroanal. Chem. 101 (1979) 19; Hubbard, CRC Crit.
// Rev. Anal. Chem. 3 (1973) 201): widths at half height of the reversible and irreversible bells.
constexpr double kBellWidth = 3.53;        // in RT/nF (90.6/n mV at 25 C)
constexpr double kIrreversibleBell = 2.44; // in RT/(alpha n F) (62.5/(alpha n) mV)
constexpr double kEuler = 2.718;
// Differential pulse (Parry & Osteryoung, Anal. Chem. 37 (1965) 1634): the small-amplitude peak is a
// bell 1/cosh^2 in the potential, width 3.53 RT/nF, half-height points 1.76 RT/nF from the peak.
constexpr double kPulseHalfWidth = 1.76;
// Potential step at a stationary planar electrode with Butler-Volmer kinetics: the sampled current
// sqrt(pi) lambda exp(lambda^2) erfc(lambda) of the limiting one is half at lambda = kf sqrt(t/D) =
// 0.4328 (Oldham & Parry, Anal. Chem. 40 (1968) 65).
constexpr double kStepHalfLambda = 0.43275;
// Long-time cylinder (Szabo, Cope, Tallman, Kovach & Wightman, J. Electroanal. Chem. 217 (1987) 417).
constexpr double kEulerGamma = 0.5772156649;

std::string volts(double value) {
    return formatMask(value, "0.000");
}
std::string amperes(double value) {
    return formatMask(value, "0.####E-0");
}
bool usable(std::optional<double> v) {
    return v && std::isfinite(*v);
}

// One result line: a head, then label/value pairs; a value that could not be formed is left out.
class Line {
public:
    explicit Line(std::string head) : m_text(std::move(head)) {}
    Line& potential(const char* label, std::optional<double> value) {
        if (usable(value))
            m_text += std::string(label) + volts(*value) + " V, ";
        return *this;
    }
    Line& current(const char* label, std::optional<double> value) {
        if (usable(value))
            m_text += std::string(label) + amperes(*value) + " A, ";
        return *this;
    }
    std::string text() const { return m_text + kEnd; }

private:
    std::string m_text;
};

std::string reversibleHead(int j) {
    return "Reversible Peak  " + std::to_string(j) + ": ";
}
std::string irreversibleHead(int j) {
    return "Irreversible Peak " + std::to_string(j) + ": ";
}
std::string reverseHead() {
    return "reverse peak :        ";
}

std::optional<double> ln(double x) {
    if (!(x > 0) || !std::isfinite(x))
        return std::nullopt;
    return std::log(x);
}

// What every case reads besides the reaction.
struct Setting {
    const ExperimentParams& p;
    const CommittedValues& c;
    double radius;    // r of the radius text box, cm
    double thickness; // film thickness, cm
    double timeGrid;  // DropTime for techniques 1, 7 and 8, PulseTime for 4 to 6, and for 2 and 3 the
                      // sampling instant SampleFrac1 of DropTime (2) or PulseTime (3), s
    bool cyclic;      // a reverse sweep follows
};

// A sigmoidal wave: reversible E1/2 with both limiting currents; irreversible E1/2 of each branch.
struct Wave {
    std::optional<double> halfWave;    // reversible E1/2, V
    std::optional<double> cathodic;    // Id,r, A
    std::optional<double> anodic;      // Id,o, A (negative)
    std::optional<double> halfWaveRed; // irreversible reduction E1/2,r, V
    std::optional<double> halfWaveOx;  // irreversible oxidation E1/2,o, V
};

std::string waveLines(const ReactionTheory& r, const Wave& w) {
    const auto difference = [&]() -> std::optional<double> {
        if (usable(w.cathodic) && usable(w.anodic))
            return *w.cathodic - *w.anodic;
        return std::nullopt;
    };
    std::string out = Line(reversibleHead(r.reaction))
                          .potential("E1/2= ", w.halfWave)
                          .current("Id,r= ", w.cathodic)
                          .current("Id,o= ", w.anodic)
                          .current("Id= ", difference())
                          .text();
    if (r.nernstian) // a Nernstian couple has no irreversible limit
        return out;
    out += Line(irreversibleHead(r.reaction))
               .potential("E1/2,r=  ", w.halfWaveRed)
               .potential("E1/2,o= ", w.halfWaveOx)
               .current("Id,r= ", w.cathodic)
               .current("Id,o= ", w.anodic)
               .current("Id= ", difference())
               .text();
    return out;
}

// A peaked response: reversible and irreversible peak with widths, and the reverse peaks of a cycle.
struct Peak {
    std::optional<double> ep, ip, halfPeakOffset, width; // reversible
    std::optional<double> epIrr, ipIrr, halfPeakOffsetIrr, widthIrr;
    std::optional<double> reverseEp, reverseIp, separation;       // reversible reverse peak
    std::optional<double> reverseEpIrr, reverseIpIrr, widthIrrOx; // irreversible reverse peak
};

std::string peakLines(const ReactionTheory& r, const Peak& k, bool cyclic) {
    std::string out = Line(reversibleHead(r.reaction))
                          .potential("Ep= ", k.ep)
                          .current("Ip= ", k.ip)
                          .potential("Ep/2 - Ep= ", k.halfPeakOffset)
                          .potential("W1/2= ", k.width)
                          .text();
    if (cyclic && (usable(k.reverseEp) || usable(k.reverseIp))) {
        std::optional<double> separation = k.separation;
        if (!usable(separation) && usable(k.reverseEp) && usable(k.ep))
            separation = std::fabs(*k.reverseEp - *k.ep);
        out += Line(reverseHead())
                   .potential("Ep= ", k.reverseEp)
                   .current("Ip= ", k.reverseIp)
                   .potential("|Epc-Epa|= ", separation)
                   .text();
    }
    if (r.nernstian)
        return out;
    out += Line(irreversibleHead(r.reaction))
               .potential("Ep= ", k.epIrr)
               .current("Ip= ", k.ipIrr)
               .potential("Ep/2 - Ep= ", k.halfPeakOffsetIrr)
               .potential("W1/2= ", k.widthIrr)
               .potential("W1/2= ", k.widthIrrOx)
               .text();
    if (cyclic && (usable(k.reverseEpIrr) || usable(k.reverseIpIrr))) {
        std::optional<double> separation;
        if (usable(k.reverseEpIrr) && usable(k.epIrr))
            separation = std::fabs(*k.reverseEpIrr - *k.epIrr);
        out += Line(reverseHead())
                   .potential("Ep= ", k.reverseEpIrr)
                   .current("Ip= ", k.reverseIpIrr)
                   .potential("|Epc-Epa|= ", separation)
                   .text();
    }
    return out;
}

double beta(const ReactionTheory& r) {
    return 1.0 - r.alpha;
}

// With only the reduced form in solution the first sweep oxidises it: the mirror image of the
// cathodic peak, with the reduced form's concentration and diffusion coefficient, the anodic
// transfer coefficient 1 - alpha, an anodic (negative) current and potentials on the oxidation side
// (Bard & Faulkner 6.2.19 and 6.3.11 for O and R exchanged).
Peak anodicPlanarSweep(const ReactionTheory& r, const Setting& s) {
    const double v = s.c.ScanRate;
    const double anf = r.alpha * r.nf;
    const double bnf = (1.0 - r.alpha) * r.nf;
    Peak k;
    k.ip = -r.sweepPeak * r.nFACR * std::sqrt(r.nf * v * r.DR);
    k.ep = r.halfWave + kReversiblePeakShift / r.nf;
    k.halfPeakOffset = -r.sweepHalfWidth / r.nf;
    if (r.reversePeak) {
        k.reverseEp = r.halfWave - kReversePeakShift / r.nf;
        k.reverseIp = -*k.ip;
        k.separation = kReversibleSeparation / r.nf;
    }
    k.ipIrr = -kIrreversiblePeak * std::sqrt(1.0 - r.alpha) * r.nFACR * std::sqrt(r.nf * v * r.DR);
    if (const auto l = ln(std::sqrt(r.DR * bnf * v) / r.ks))
        k.epIrr = r.E0 + (kIrreversibleShift + *l) / bnf;
    k.halfPeakOffsetIrr = -kIrreversibleHalfWidth / bnf;
    if (const auto l = ln(std::sqrt(r.D * anf * v) / r.ks))
        k.reverseEpIrr = r.E0 - (kIrreversibleShift + *l) / anf;
    k.reverseIpIrr = kIrreversiblePeak * std::sqrt(r.alpha) * r.nFACR * std::sqrt(r.nf * v * r.DR);
    return k;
}

// Linear sweep at a planar electrode (Nicholson & Shain 1964; Bard & Faulkner 6.2.18-6.2.21, 6.3.11,
// 6.3.12). a = nFv/RT.
Peak planarSweep(const ReactionTheory& r, const Setting& s) {
    const double v = s.c.ScanRate;
    if (r.reducedOnly())
        return anodicPlanarSweep(r, s);
    Peak k;
    k.ip = r.sweepPeak * r.nFAC * std::sqrt(r.nf * v * r.D);
    k.ep = r.halfWave - kReversiblePeakShift / r.nf;
    k.halfPeakOffset = r.sweepHalfWidth / r.nf;
    if (r.reversePeak) {
        k.reverseEp = r.halfWave + kReversePeakShift / r.nf;
        k.reverseIp = -*k.ip; // measured from the decaying forward current
        k.separation = kReversibleSeparation / r.nf;
    }

    const double anf = r.alpha * r.nf;
    const double bnf = beta(r) * r.nf;
    k.ipIrr = kIrreversiblePeak * std::sqrt(r.alpha) * r.nFAC * std::sqrt(r.nf * v * r.D);
    if (const auto l = ln(std::sqrt(r.D * anf * v) / r.ks))
        k.epIrr = r.E0 - (kIrreversibleShift + *l) / anf;
    k.halfPeakOffsetIrr = kIrreversibleHalfWidth / anf;
    if (const auto l = ln(std::sqrt(r.DR * bnf * v) / r.ks))
        k.reverseEpIrr = r.E0 + (kIrreversibleShift + *l) / bnf;
    k.reverseIpIrr = -kIrreversiblePeak * std::sqrt(beta(r)) * r.nFAC * std::sqrt(r.nf * v * r.D);
    return k;
}

// Sweep at a sphere or hemisphere of radius r: the planar current plus the steady radial term
// nFADC/r times the converted fraction of the surface (Nicholson & Shain 1964, spherical
// correction). At the reversible peak the Nernstian fraction is 1/(1 + exp(-1.109)) = 0.752; at the
// irreversible peak the surface is taken half converted.
Peak sphericalSweep(const ReactionTheory& r, const Setting& s) {
    Peak k = planarSweep(r, s);
    // The steady radial term of the form in solution: cathodic for O, anodic for R alone.
    const double radial = r.reducedOnly() ? -r.nFACR * r.DR / s.radius : r.nFAC * r.D / s.radius; // A
    const double reversibleFraction = 1.0 / (1.0 + std::exp(-kReversiblePeakShift));
    k.ip = *k.ip + radial * reversibleFraction;
    if (r.reversePeak)
        k.reverseIp = -*k.ip;
    k.ipIrr = *k.ipIrr + radial * 0.5;
    k.reverseIpIrr = *k.reverseIpIrr - radial * 0.5;
    return k;
}

// Bell-shaped sweep of a surface-confined couple (Laviron 1979) or of a thin layer of thickness l
// (Hubbard 1973): reversible peak n^2 F^2 v Gamma A/(4RT) at E0, irreversible peak
// alpha n^2 F^2 v Gamma A/(e RT) at E0 + ln(RT ks/(alpha n F v))/(alpha nf). amount is n F A Gamma, C;
// rate the first-order rate constant of the surface step, 1/s.
Peak bellSweep(const ReactionTheory& r, const Setting& s, double amount, double rate) {
    const double v = s.c.ScanRate;
    const double anf = r.alpha * r.nf;
    const double bnf = beta(r) * r.nf;
    Peak k;
    k.ip = r.nf * v * amount / 4;
    k.ep = r.E0;
    k.width = kBellWidth / r.nf;
    k.reverseEp = r.E0;
    k.reverseIp = -*k.ip;
    k.ipIrr = *k.ip * r.alpha * 4 / kEuler;
    if (const auto l = ln(rate / (anf * v)))
        k.epIrr = r.E0 + *l / anf;
    k.widthIrr = kIrreversibleBell / anf;
    k.widthIrrOx = kIrreversibleBell / bnf;
    k.reverseIpIrr = -*k.ip * beta(r) * 4 / kEuler;
    if (const auto l = ln(rate / (bnf * v)))
        k.reverseEpIrr = r.E0 - *l / bnf;
    return k;
}

// Stripping of a film loaded by a deposition step (de Vries & van Dalen, J. Electroanal. Chem. 14 (1967)
// 315): the reduced form collected, C', leaves along u exp(-u), so the Nernstian peak is
// n F A l C' nf v/2.7 at E0 + ln(nf v l/m)/nf with the width 2.44 RT/nF; a totally irreversible
// oxidation strips at the first-order rate kb/l, peak (1 - alpha) n F A l C' nf v/e at
// E0 + ln((1 - alpha) nf v l/ks)/((1 - alpha) nf). The film is oxidised: the currents are negative.
Peak strippingSweep(const ReactionTheory& r, const Setting& s, const PreconcentrationStep& step) {
    const double v = s.c.ScanRate;
    const double l = step.thickness;
    const double bnf = beta(r) * r.nf;
    const double perConcentration = r.n * kFaraday * s.c.ElectrodeArea * l * 0.001; // C per mol/L in the film
    const FilmLoad nernstian = depositFilm(step, FilmKinetics{}, r.nf, r.E0, r.C, r.D);
    const FilmLoad slow = depositFilm(step, FilmKinetics{false, r.ks, r.alpha}, r.nf, r.E0, r.C, r.D);
    Peak k;
    k.ip = -perConcentration * nernstian.filmConc * r.nf * v / 2.7;
    k.ep = strippingPeakPotential(r.E0, r.nf, v, l, nernstian.massTransfer);
    k.width = kIrreversibleBell / r.nf;
    k.ipIrr = -beta(r) * perConcentration * slow.filmConc * r.nf * v / kEuler;
    if (const auto x = ln(bnf * v * l / r.ks))
        k.epIrr = r.E0 + *x / bnf;
    k.widthIrrOx = kIrreversibleBell / bnf;
    return k;
}

// The Langmuir amount of the couple, mol/cm2: Gamma_max b_O (C_O + C_R) / (1 + sum b_s C_s).
double langmuirAmount(const ExperimentParams& p, int j) {
    const CommittedValues& c = p.committed;
    const ChargeReactionRow& row = p.tables.charge[static_cast<std::size_t>(j)];
    double denominator = 1;
    for (int s = 1; s <= p.NumSpecies && s <= kMaxSpecies; ++s)
        denominator += c.AdsorbCoef[static_cast<std::size_t>(s)] * c.InitConc[static_cast<std::size_t>(s)];
    const auto ox = static_cast<std::size_t>(row.ox);
    const auto red = static_cast<std::size_t>(row.red);
    return c.MaxAdsorb[ox] * c.AdsorbCoef[ox] * (c.InitConc[ox] + c.InitConc[red]) / denominator;
}

// Limiting currents of a step sampled at time t after it (Cottrell, Bard & Faulkner 5.2.11), times
// the electrode's factor; reduction positive.
struct Geometry {
    double factorOx = 1; // i / i_planar for the oxidised form
    double factorRed = 1;
    std::optional<double> steadyOx, steadyRed; // replaces the transient (microdisk, band, RDE), A
};

// Half-wave potentials of a sampled step response: reversible E0 + ln(sqrt(D_R/D_O))/nf; totally
// irreversible where kf sqrt(t/D) = 0.4328 (Oldham & Parry 1968).
Wave stepWave(const ReactionTheory& r, double t, const Geometry& g) {
    Wave w;
    w.halfWave = r.halfWave;
    w.cathodic = g.steadyOx ? *g.steadyOx : r.nFAC * std::sqrt(r.D / (kPi * t)) * g.factorOx;
    w.anodic = g.steadyRed ? -*g.steadyRed : -r.nFACR * std::sqrt(r.DR / (kPi * t)) * g.factorRed;
    if (const auto l = ln(r.ks * std::sqrt(t / r.D) / kStepHalfLambda))
        w.halfWaveRed = r.E0 + *l / (r.alpha * r.nf);
    if (const auto l = ln(r.ks * std::sqrt(t / r.DR) / kStepHalfLambda))
        w.halfWaveOx = r.E0 - *l / (beta(r) * r.nf);
    return w;
}

// Steady state with mass-transfer coefficients mO and mR (cm/s): limiting currents nFAC m times the
// ratio of the area that carries the flux to ElectrodeArea, reversible E1/2 = E0 + ln(mR/mO)/nf,
// irreversible where kf = mO and kb = mR (Bard & Faulkner 1.4 and 9.3).
Wave steadyWave(const ReactionTheory& r, double mO, double mR, double areaRatio = 1) {
    Wave w;
    w.cathodic = r.nFAC * mO * areaRatio;
    w.anodic = -r.nFACR * mR * areaRatio;
    if (const auto l = ln(mR / mO))
        w.halfWave = r.E0 + *l / r.nf;
    if (const auto l = ln(r.ks / mO))
        w.halfWaveRed = r.E0 + *l / (r.alpha * r.nf);
    if (const auto l = ln(r.ks / mR))
        w.halfWaveOx = r.E0 - *l / (beta(r) * r.nf);
    return w;
}

// Levich mass-transfer coefficient of the rotating disk, cm/s.
double levich(double d, const CommittedValues& c) {
    return levichTransfer(d, c.RotationRate, c.Viscosity);
}

// The disk area pi r^2 over ElectrodeArea for the microdisk (whose committed area is that of the
// hemisphere of equal current), 1 for the others: the limiting current of a disk is 4nFDCr.
double steadyAreaRatio(const Setting& s) {
    if (traits(s.p.electrode()).theory != TheoryShape::Microdisk || s.c.ElectrodeArea == 0)
        return 1;
    return kPi * s.radius * s.radius / s.c.ElectrodeArea;
}

// Mass-transfer coefficients of the steady or quasi-steady electrodes at time t, cm/s; none for the
// others. Microdisk 4D/(pi r) (Saito 1968), band of half width r: 2 pi D l/(A ln(64 D t/w^2)) with
// w = 2r (Szabo et al. 1987), long-time cylinder 2D/(r (ln(4Dt/r^2) - 2 gamma)).
std::optional<double> steadyTransfer(const Setting& s, double d, double t) {
    const CommittedValues& c = s.c;
    switch (traits(s.p.electrode()).theory) {
    case TheoryShape::Microdisk:
        return 4 * d / (kPi * s.radius);
    case TheoryShape::Band: {
        const double w = 2 * s.radius;
        const auto l = ln(64 * d * t / (w * w));
        if (!l || c.ElectrodeArea == 0)
            return std::nullopt;
        return 2 * kPi * d * c.ElectrodeLength / (c.ElectrodeArea * *l);
    }
    case TheoryShape::Cylinder: {
        if (d * t / (s.radius * s.radius) < 0.4)
            return std::nullopt; // short times: the transient with its radial correction
        const auto l = ln(4 * d * t / (s.radius * s.radius));
        if (!l)
            return std::nullopt;
        return 2 * d / (s.radius * (*l - 2 * kEulerGamma));
    }
    default:
        return std::nullopt;
    }
}

// The transient's radial correction i / i_planar at time t: sphere 1 + sqrt(pi D t)/r (Bard & Faulkner
// 5.2.21); the microdisk as the hemisphere of equal steady current, r = 2 r_disk/pi, whose long-time
// limit is 4nFDCr; short-time cylinder 1 + sqrt(pi D t)/(2r).
double radialFactor(const Setting& s, double d, double t) {
    switch (traits(s.p.electrode()).theory) {
    case TheoryShape::Sphere:
        return 1 + std::sqrt(kPi * d * t) / s.radius;
    case TheoryShape::Microdisk:
        return 1 + std::sqrt(kPi * d * t) / (2 * s.radius / kPi);
    case TheoryShape::Cylinder:
        return 1 + 0.5 * std::sqrt(kPi * d * t) / s.radius;
    default:
        return 1;
    }
}

Geometry geometryAt(const ReactionTheory& r, const Setting& s, double t) {
    Geometry g;
    g.factorOx = radialFactor(s, r.D, t);
    g.factorRed = radialFactor(s, r.DR, t);
    if (traits(s.p.electrode()).theory == TheoryShape::Microdisk)
        return g; // the transient of the equivalent hemisphere
    if (const auto m = steadyTransfer(s, r.D, t))
        g.steadyOx = r.nFAC * *m * steadyAreaRatio(s);
    if (const auto m = steadyTransfer(s, r.DR, t))
        g.steadyRed = r.nFACR * *m * steadyAreaRatio(s);
    return g;
}

// Plateau of the catalytic scheme B + Z -> A in the pure kinetic zone, n F A C sqrt(D k C_Z)
// (Saveant & Vianello, Electrochim. Acta 10 (1965) 905), k = kf + kb of the chemical step.
// The pseudo-first-order rate of the catalytic step, (kf + kb) C_Z, 1/s.
double catalyticRate(const ExperimentParams& p) {
    const CommittedValues& c = p.committed;
    const ChargeReactionRow& couple = p.tables.charge[1];
    int z = 3;
    for (const int s : p.tables.chem[1].reactants)
        if (s != 0 && s != couple.ox && s != couple.red)
            z = s;
    return (c.RateKf[1] + c.RateKb[1]) * c.InitConc[static_cast<std::size_t>(z)];
}

double catalyticPlateau(const ReactionTheory& r, const ExperimentParams& p) {
    return r.nFAC * std::sqrt(r.D * catalyticRate(p));
}

// Differential pulse (Parry & Osteryoung 1965) in the small-amplitude limit: the difference current
// of two samples a pulse dE apart is nFAC sqrt(D/(pi t)) (1 - sigma)/(1 + sigma), sigma =
// exp(-nf |dE| / 2), a bell of width 3.53 RT/nF centred dE/2 from E1/2. Square wave: the reversible
// peak of the programme itself by the Osteryoung series (SquareWaveTheory.h), which keeps the
// staircase history that the closed form leaves out; the widths are those of the small-amplitude bell.
std::string pulsePeakLines(const ReactionTheory& r, const Setting& s) {
    const CommittedValues& c = s.c;
    const double pulse = c.PulsePotential; // V
    const bool squareWave = traits(s.p.technique()).squareWave;
    const double t = s.timeGrid;
    const double offset = squareWave ? 0.0 : -pulse / 2;
    Peak k;
    if (squareWave) {
        SquareWaveProgramme w;
        w.start = c.StartPotential;
        w.step = c.EndPotential > c.StartPotential ? c.StepPotential : -c.StepPotential;
        w.amplitude = std::fabs(pulse);
        w.halfPeriod = t;
        w.fraction1 = c.SampleFrac1;
        w.fraction2 = c.SampleFrac2;
        if (c.StepPotential > 0)
            w.treads = static_cast<int>(std::min(
                5000.0, std::floor(std::fabs(c.EndPotential - c.StartPotential) / c.StepPotential + 1.5)));
        const SquareWavePeak peak = reversibleSquareWavePeak(w, r.nf, r.halfWave);
        k.ip = r.nFAC * std::sqrt(r.D) * peak.psi * radialFactor(s, r.D, t);
        k.ep = peak.potential;
    } else {
        const double sigma = std::exp(-r.nf * std::fabs(pulse) / 2);
        k.ip = r.nFAC * std::sqrt(r.D / (kPi * t)) * (1 - sigma) / (1 + sigma) * radialFactor(s, r.D, t);
        k.ep = r.halfWave + offset;
    }
    k.halfPeakOffset = kPulseHalfWidth / r.nf;
    k.width = kBellWidth / r.nf;
    const Wave irreversible = stepWave(r, t, {});
    if (usable(irreversible.halfWaveRed))
        k.epIrr = *irreversible.halfWaveRed + offset;
    k.widthIrr = kIrreversibleBell / (r.alpha * r.nf);
    k.widthIrrOx = kIrreversibleBell / (beta(r) * r.nf);
    return peakLines(r, k, false);
}

std::string reactionLines(const ReactionTheory& r, const Setting& s) {
    const ExperimentParams& p = s.p;
    const CommittedValues& c = s.c;
    const kind::TechniqueTraits& technique = traits(p.technique());
    const Electrode electrode = p.electrode();
    // A sweep, or a waveform read as one; the steps give waves and the two-sample techniques peaks.
    const bool sweep = technique.sweep || technique.waveform;
    const double v = c.ScanRate;

    if (traits(p.mechanism()).family == kind::MechanismFamily::Adsorbed) {
        const double amount = r.n * kFaraday * c.ElectrodeArea * langmuirAmount(p, r.reaction); // C
        if (sweep)
            return peakLines(r, bellSweep(r, s, amount, r.ks), s.cyclic);
        // A step converts the layer: Nernstian half conversion at E0; with first-order kinetics half
        // of the layer has reacted at time t where kf t = ln 2.
        std::string out = Line(reversibleHead(r.reaction)).potential("E1/2= ", r.E0).text();
        if (r.nernstian)
            return out;
        Line irr(irreversibleHead(r.reaction));
        if (const auto l = ln(r.ks * s.timeGrid / std::numbers::ln2)) {
            irr.potential("E1/2,r=  ", r.E0 + *l / (r.alpha * r.nf));
            irr.potential("E1/2,o= ", r.E0 - *l / (beta(r) * r.nf));
        }
        return out + irr.text();
    }

    if (technique.twoSamples)
        return pulsePeakLines(r, s);

    if (technique.stepResponse) { // the sampled step response
        const double t = s.timeGrid;
        Wave w = stepWave(r, t, geometryAt(r, s, t));
        if (p.technique() == Technique::NormalPulse) { // plotted against the base potential
            const double shift = -c.PulsePotential;
            for (std::optional<double>* e : {&w.halfWave, &w.halfWaveRed, &w.halfWaveOx})
                if (usable(*e))
                    **e += shift;
        }
        if (c.RotationRate > 10) // convection bounds the diffusion layer: the steady Levich wave
            w = steadyWave(r, levich(r.D, c), levich(r.DR, c));
        if (p.mechanism() == Mechanism::Catalytic) { // after a step (Delahay & Stiehl, JACS 74 (1952) 3500)
            const double kt = catalyticRate(p) * t;
            w.cathodic = *w.cathodic / radialFactor(s, r.D, t) *
                         (std::sqrt(kPi * kt) * std::erf(std::sqrt(kt)) + std::exp(-kt));
        }
        return waveLines(r, w);
    }

    // Sweeps.
    if (const auto step = preconcentrationStep(p))
        return peakLines(r, strippingSweep(r, s, *step), false);
    if (electrode == Electrode::ThinFilm) {
        // Thin layer of thickness l: the amount n F A l C, the step rate ks / l.
        const double amount = r.n * kFaraday * c.ElectrodeArea * s.thickness * r.C * 0.001;
        return peakLines(r, bellSweep(r, s, amount, r.ks / s.thickness), s.cyclic);
    }
    if (c.RotationRate > 10)
        return waveLines(r, steadyWave(r, levich(r.D, c), levich(r.DR, c)));
    if (p.mechanism() == Mechanism::Catalytic) {
        Wave w = steadyWave(r, 1, 1);
        w.cathodic = catalyticPlateau(r, p);
        w.anodic = std::nullopt;
        return waveLines(r, w);
    }
    const double sweepTime = 1 / (r.nf * v); // RT/(nFv), s
    if (const auto mO = steadyTransfer(s, r.D, sweepTime)) {
        const auto mR = steadyTransfer(s, r.DR, sweepTime);
        return waveLines(r, steadyWave(r, *mO, mR ? *mR : *mO, steadyAreaRatio(s)));
    }
    if (traits(electrode).theory == TheoryShape::Sphere)
        return peakLines(r, sphericalSweep(r, s), s.cyclic);
    if (traits(electrode).theory == TheoryShape::Cylinder) {
        Peak k = planarSweep(r, s);
        const double f = radialFactor(s, r.D, sweepTime);
        k.ip = *k.ip * f;
        if (r.reversePeak)
            k.reverseIp = -*k.ip;
        k.ipIrr = *k.ipIrr * f;
        return peakLines(r, k, s.cyclic);
    }
    return peakLines(r, planarSweep(r, s), s.cyclic);
}

} // namespace

ReactionTheory reactionTheory(const ExperimentParams& p, int j) {
    const CommittedValues& c = p.committed;
    const ChargeReactionRow& row = p.tables.charge[static_cast<std::size_t>(j)];
    const auto ox = static_cast<std::size_t>(row.ox);
    const auto red = static_cast<std::size_t>(row.red);
    const auto k = static_cast<std::size_t>(j);
    ReactionTheory r;
    r.reaction = j;
    r.n = row.n;
    r.alpha = c.Alpha[k];
    r.nf = r.n * p.fRT;
    r.E0 = c.FormalPotential[k];
    if (p.CheckpH)
        r.E0 -= row.protons * c.PHFactor / r.nf;
    r.C = c.InitConc[ox];
    r.D = c.DiffCoef[ox];
    r.CR = c.InitConc[red];
    r.DR = c.DiffCoef[red];
    // Consecutive steps (EE, EEE): the later steps reduce what the earlier ones made. When a step is
    // easier than the one before it (E0(j) > E0(j-1)), the two merge into one wave of n(j) + n(j-1)
    // electrons at the mean of their formal potentials (Polcyn & Shain, Anal. Chem. 38 (1966) 370).
    const Mechanism mechanism = p.mechanism();
    if (traits(mechanism).consecutive && j > 1) {
        const auto first = static_cast<std::size_t>(p.tables.charge[1].ox);
        r.C = std::max(r.C, c.InitConc[first]);
        const ChargeReactionRow& before = p.tables.charge[k - 1];
        if (c.FormalPotential[k] > c.FormalPotential[k - 1]) {
            r.n = row.n + before.n;
            r.nf = r.n * p.fRT;
            r.E0 = (c.FormalPotential[k] + c.FormalPotential[k - 1]) / 2;
        }
    }
    r.ks = c.RateKs[k];
    r.nernstian = traits(mechanism).nernstian;
    const double faradayArea = 0.001 * kFaraday * c.ElectrodeArea;
    r.nFAC = r.n * faradayArea * r.C;
    r.nFACR = r.n * faradayArea * r.CR;
    r.halfWave = r.E0;
    if (r.D > 0 && r.DR > 0)
        r.halfWave += std::log(std::sqrt(r.DR / r.D)) / r.nf;
    // Follow-up reactions in their pure kinetic zone, where the product is consumed within a reaction
    // layer thinner than the diffusion layer: the reversible peak moves to the position below, expressed
    // as the apparent half-wave potential that puts the Nernstian peak E1/2 - 1.109/nf there; the
    // irreversible line, whose charge transfer does not see the product, keeps E0.
    //   EC:  Ep = E1/2 - 0.780/nf + ln(kf RT/(nFv))/(2 nf), psi 0.4958, Ep - Ep/2 = 1.857/nf (Nicholson &
    //        Shain 1964, case VI).
    //   EC2: Ep = E1/2 - 0.902/nf + ln(2 kf C RT/(3 nFv))/(3 nf), psi 0.527, Ep - Ep/2 = 1.511/nf
    //        (Olmstead, Hamilton & Nicholson, Anal. Chem. 41 (1969) 260), for -d[B]/dt = kf [B]^2.
    const bool sweeping = c.ScanRate > 0 && c.RateKf[1] > 0;
    if (mechanism == Mechanism::Following && sweeping) {
        r.halfWave +=
            (std::log(c.RateKf[1] / (r.nf * c.ScanRate)) + 2 * (kReversiblePeakShift - kIrreversibleShift)) /
            (2 * r.nf);
        r.sweepPeak = kIrreversiblePeak;
        r.sweepHalfWidth = kIrreversibleHalfWidth;
        r.reversePeak = false;
    }
    if (mechanism == Mechanism::DimerFollowing && sweeping) {
        if (const auto l = ln(2 * c.RateKf[1] * r.C / (3 * r.nf * c.ScanRate))) {
            r.halfWave += (kReversiblePeakShift - kDimerisationShift + *l / 3) / r.nf;
            r.sweepPeak = kDimerisationPeak;
            r.sweepHalfWidth = kDimerisationHalfWidth;
            r.reversePeak = false;
        }
    }
    return r;
}

std::string TheoreticalPeaks(const ExperimentParams& p) {
    // An undefined expression (a zero radius, a logarithm of zero) only leaves its value out: the
    // floating-point flags it raises are not this command's failure, nor the next command's.
    std::fexcept_t flags;
    std::fegetexceptflag(&flags, FE_ALL_EXCEPT);
    const CommittedValues& c = p.committed;
    std::string report = "Theoretical upper and lower limiting currents of technique " +
                         std::to_string(p.Technique) + ", electrode " + std::to_string(p.Electrode) +
                         ", mechanism " + std::to_string(p.Mechanism) + " :" + kEnd;
    const kind::TechniqueTraits& technique = traits(p.technique());
    const double period = technique.pulsed ? c.PulseTime : c.DropTime;
    // Sampled-current and normal-pulse voltammetry sample at the fraction SampleFrac1 of the drop or pulse.
    const bool sampledStep = technique.sampledStep;
    const Setting s{p,
                    c,
                    leadingNumber(p.radius),
                    leadingNumber(p.thickness),
                    sampledStep ? c.SampleFrac1 * period : period,
                    c.CycleCount >= 1};
    for (int j = 1; j <= p.NumCharge && j <= kMaxCharge; ++j)
        report += reactionLines(reactionTheory(p, j), s);
    std::fesetexceptflag(&flags, FE_ALL_EXCEPT);
    return report;
}

} // namespace tessaly
