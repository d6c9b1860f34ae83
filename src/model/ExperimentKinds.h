#pragma once
// The experiment kinds: the ten techniques (potential programmes), the eleven electrode geometries and
// the eighteen analytical mechanisms, each with one row of traits. The integer codes are the option
// numbers of the dialogs, the parameter file and the runner's `select`, and stay the stored values in
// ExperimentParams; code that needs to know what a kind does names it and asks its traits instead of
// comparing codes. A grouping that two places read differently gets two traits, each named for what
// it decides.

#include <array>
#include <cstddef>

namespace tessaly {

inline constexpr int kTechniqueCount = 10;
inline constexpr int kElectrodeCount = 11;
inline constexpr int kMechanismCount = 18;

namespace kind {

enum class Technique {
    LinearSweep = 1,    // linear sweep and cyclic voltammetry (a staircase of Estep every td)
    DcVoltammetry,      // sampled-current (DC) voltammetry: every potential a new step, sampled once
    NormalPulse,        // normal and reverse pulse voltammetry
    DifferentialPulse,  // differential pulse voltammetry
    SquareWave,         // square wave voltammetry
    AdditiveSquareWave, // additive square wave voltammetry
    Staircase,          // staircase voltammetry
    PotentialStep,      // potential step chronoamperometry
    DesignedWaveform,   // a polyline drawn in the instrument dialog
    ImportedWaveform,   // a programme read from a waveform file
};

enum class Electrode {
    PlanarDisk = 1,
    Spherical,       // (micro)sphere
    Hemispherical,   // (micro)hemisphere
    Microdisk,       // treated as the hemisphere of equal steady current
    Cylindrical,     // digital simulation only
    Hemicylindrical, // digital simulation only
    DroppingMercury, // DME
    Ring,
    ThinFilm,
    Band, // digital simulation only
    RingDisk,
};

enum class Mechanism {
    SimpleCharge = 1,             // E:        A + ne = B
    TwoStep,                      // EE:       A + ne <-> B, B + ne <-> C
    ThreeStep,                    // EEE:      ... C + ne <-> D
    ThreeCouples,                 // E+E+E:    A + ne = B, C + ne = D, E + ne = F
    DimerPreceding,               // C2E:      C = 2A, A + ne = B
    Preceding,                    // CE:       C + mD = A + mE, A + ne = B
    Following,                    // EC:       A + ne = B, B = C
    Catalytic,                    // EC':      A + ne = B, B + C = A
    DimerFollowing,               // EC2:      A + ne = B, 2B -> C
    Complex,                      // complex CE: MLm = M + mL, M + ne = B
    Reversible,                   // Er
    ReversibleThreeCouples,       // Er+Er+Er
    ReversibleTwoStep,            // ErEr
    ReversibleThreeStep,          // ErErEr
    AdsorbedReversible,           // A(abs) + ne <-> B(abs)
    AdsorbedReversibleTwoCouples, // ... and C(abs) + ne <-> D(abs)
    Adsorbed,                     // A(abs) + ne = B(abs)
    AdsorbedTwoCouples,           // ... and C(abs) + ne = D(abs)
};

// The one conversion between stored codes and kinds. A code outside the range converts to a kind
// without a name, whose traits are the empty row 0.
constexpr Technique asTechnique(int code) {
    return static_cast<Technique>(code);
}
constexpr Electrode asElectrode(int code) {
    return static_cast<Electrode>(code);
}
constexpr Mechanism asMechanism(int code) {
    return static_cast<Mechanism>(code);
}
constexpr int code(Technique t) {
    return static_cast<int>(t);
}
constexpr int code(Electrode e) {
    return static_cast<int>(e);
}
constexpr int code(Mechanism m) {
    return static_cast<int>(m);
}

// ---- techniques ------------------------------------------------------------------------------------

struct TechniqueTraits {
    const char* caption = ""; // option caption of the technique dialog
    // A staircase sweep read point by point: the current is n F A sqrt(D) times the semi-derivative of
    // the surface concentration (conversions), cyclic voltammograms get the Nicholson peak ratio, and a
    // preconcentrated film is stripped by it.
    bool sweep = false;
    // One point lasts PulseTime and the PulsePotential is applied: the run's time step is the pulse, the
    // time grid is limited by it.
    bool pulsed = false;
    // The point's current is formed from two samples (pulse minus base, forward minus reverse), kept in
    // the two sampling groups and shown by "i s vs E".
    bool twoSamples = false;
    bool squareWave = false; // two half periods of PulseTime at E ± |PulsePotential|; f sets tp and v
    // Every point is a single new step (a new drop, a pulse from the base) sampled at SampleFrac1 of it.
    bool sampledStep = false;
    // The current is the response to potential steps rather than to a scan: the time scale of coupled
    // chemistry is the sampling time, and the theory gives a sigmoidal wave.
    bool stepResponse = false;
    bool waveform = false; // the programme is a waveform with its own times (WaveT), not built by the run
    bool timeAxis = false; // the simulated current is plotted against time
};

inline constexpr std::array<TechniqueTraits, kTechniqueCount + 1> kTechniqueTraits{{
    {},
    {.caption = "1)  Linear sweep and cyclic voltammetry", .sweep = true},
    {.caption = "2)  DC voltammetry", .sampledStep = true, .stepResponse = true},
    {.caption = "3)  Normal pulse and reverse pulse voltammetry",
     .pulsed = true,
     .sampledStep = true,
     .stepResponse = true},
    {.caption = "4)  Differential pulse voltammetry", .pulsed = true, .twoSamples = true},
    {.caption = "5)  Square wave voltammetry", .pulsed = true, .twoSamples = true, .squareWave = true},
    {.caption = "6)  Additive square wave voltammetry",
     .pulsed = true,
     .twoSamples = true,
     .squareWave = true},
    {.caption = "7)  Staircase voltammetry", .sweep = true},
    {.caption = "8)  Potential step chronoamperometry", .stepResponse = true, .timeAxis = true},
    {.caption = "9)  Design waveform", .waveform = true, .timeAxis = true},
    {.caption = "10)  Import waveform", .waveform = true, .timeAxis = true},
}};

constexpr const TechniqueTraits& traits(Technique t) {
    const int c = code(t);
    return kTechniqueTraits[c >= 1 && c <= kTechniqueCount ? c : 0];
}

// ---- electrodes ------------------------------------------------------------------------------------

// Shape of the one-dimensional diffusion field of the digital model's grid.
enum class DiffusionGeometry { Planar, Spherical, Cylindrical };

// How the theoretical limits treat the electrode: the transient with a radial correction (sphere,
// hemisphere and drop; the microdisk as the hemisphere of equal steady current; the cylinder), or a
// steady state (microdisk, band, long-time cylinder); a plane has neither.
enum class TheoryShape { Plane, Sphere, Microdisk, Cylinder, Band };

struct ElectrodeTraits {
    const char* caption = "";                           // option caption of the instrument dialog
    DiffusionGeometry grid = DiffusionGeometry::Planar; // digital model; planar also sets g = 1
    bool digitalOnly = false;                           // no analytical solution: offered only digitally
    TheoryShape theory = TheoryShape::Plane;            // Theoretical Peaks
    // Analytical formulas: the spherical step response of radius ElectrodeRadius (the microdisk as its
    // equivalent hemisphere).
    bool sphericalKernel = false;
    // Analytical formulas: a radial term beside the planar current, the sphere's or, for the cylinder,
    // that of a sphere of twice its radius.
    bool radialTerm = false;
    // Analytical reversible sweeps are formed as the semi-integral and semi-differentiated after the run
    // (the planar disk and the electrodes whose radial part is a steady term).
    bool semiIntegralSweep = false;
};

inline constexpr std::array<ElectrodeTraits, kElectrodeCount + 1> kElectrodeTraits{{
    {},
    {.caption = "1)  Planar disk", .semiIntegralSweep = true},
    {.caption = "2)  (Micro) Spherical",
     .grid = DiffusionGeometry::Spherical,
     .theory = TheoryShape::Sphere,
     .sphericalKernel = true,
     .radialTerm = true,
     .semiIntegralSweep = true},
    {.caption = "3)  (Micro) Hemispherical",
     .grid = DiffusionGeometry::Spherical,
     .theory = TheoryShape::Sphere,
     .sphericalKernel = true,
     .radialTerm = true,
     .semiIntegralSweep = true},
    {.caption = "4)  Microdisk",
     .grid = DiffusionGeometry::Spherical,
     .theory = TheoryShape::Microdisk,
     .sphericalKernel = true,
     .radialTerm = true,
     .semiIntegralSweep = true},
    {.caption = "5) Cylindrical",
     .grid = DiffusionGeometry::Cylindrical,
     .digitalOnly = true,
     .theory = TheoryShape::Cylinder,
     .radialTerm = true},
    {.caption = "6) Hemicylindrical",
     .grid = DiffusionGeometry::Cylindrical,
     .digitalOnly = true,
     .theory = TheoryShape::Cylinder},
    {.caption = "7)  DME", .grid = DiffusionGeometry::Spherical, .theory = TheoryShape::Sphere},
    {.caption = "8)  Ring"},
    {.caption = "9)  Thin film"},
    {.caption = "10) Band",
     .grid = DiffusionGeometry::Cylindrical,
     .digitalOnly = true,
     .theory = TheoryShape::Band},
    {.caption = "11) Ring-Disk"},
}};

constexpr const ElectrodeTraits& traits(Electrode e) {
    const int c = code(e);
    return kElectrodeTraits[c >= 1 && c <= kElectrodeCount ? c : 0];
}

// ---- mechanisms ------------------------------------------------------------------------------------

// The analytical formulas a mechanism's currents come from.
enum class MechanismFamily {
    Kinetic,    // 1-10: Butler-Volmer charge transfer with the prepared chemistry
    Reversible, // 11-12: independent Nernstian couples
    MultiStep,  // 13-14: consecutive Nernstian couples
    Adsorbed,   // 15-18: surface-confined couples
};

// The counts the mechanism build sets for an analytical mechanism.
struct MechanismCounts {
    int species = 2;
    int charge = 1;
    int chem = 0;
    int chemUni = 0;
    int chemBi = 0;
};

struct MechanismTraits {
    const char* caption = ""; // option caption of the mechanism dialog
    const char* tip = "";     // its tooltip
    MechanismFamily family = MechanismFamily::Kinetic;
    MechanismCounts counts{};
    bool nernstian = false;   // charge transfer fast enough to keep the Nernst ratio at every instant
    bool consecutive = false; // each couple reduces what the one before made (EE, EEE, ErEr, ErErEr)
    // Mechanisms 1 to 10 whose single or independent couples have the first-order thin-layer kernel at
    // the thin film under a sweep (and whose film a preconcentration step loads).
    bool thinLayerSweep = false;
    // The Run menu stays enabled for the analytical simulation (the preceding and following chemistry
    // of 5, 6, 7, 9 and 10 is not fitted analytically).
    bool runMenuAnalytical = true;
};

inline constexpr std::array<MechanismTraits, kMechanismCount + 1> kMechanismTraits{{
    {},
    {.caption = "1)  A + ne = B", .tip = "simple charge reaction E", .thinLayerSweep = true},
    {.caption = "2)  A + ne <-> B, B + ne <-> C, if E'1>E'2",
     .tip = "2-step charge reversible reaction EE if E'1>E'2",
     .counts = {3, 2, 0, 0, 0},
     .consecutive = true},
    {.caption = "3)  A + ne <-> B, B + ne <-> C, C + ne <-> D if E'1>E'2>E'3",
     .tip = "3-step charge reversible reaction EEE if E'1>E'2>E'3",
     .counts = {4, 3, 0, 0, 0},
     .consecutive = true},
    {.caption = "4)  A + ne = B, C + ne = D, E + ne = F",
     .tip = "multicompoment charge reaction E+E+E",
     .counts = {6, 3, 0, 0, 0},
     .thinLayerSweep = true},
    {.caption = "5)  C=2A, A + ne = B, if kf>100v, K<1",
     .tip = "2nd order preoceding reaction C2E",
     .counts = {3, 1, 1, 1, 0},
     .thinLayerSweep = true,
     .runMenuAnalytical = false},
    {.caption = "6)  C+mD = A+mE, A+ne = B, if K<1, D>m*100C, E>m*100A",
     .tip = "1st order preceding reaction CE",
     .counts = {5, 1, 1, 0, 1},
     .runMenuAnalytical = false},
    {.caption = "7)  A + ne = B, B = C, if kf>100v, K>1",
     .tip = "following  reaction EC",
     .counts = {3, 1, 1, 1, 0},
     .runMenuAnalytical = false},
    {.caption = "8)  A + ne = B, B + C = A, if kf*C>10v, C>100A",
     .tip = "1st order catalytic reaction ECi'",
     .counts = {3, 1, 1, 0, 1}},
    {.caption = "9)  A + ne = B, 2B->C, if kf*B>100v, K>1",
     .tip = "2nd order following reaction ECi2",
     .counts = {3, 1, 1, 1, 0},
     .runMenuAnalytical = false},
    {.caption = "10)  MLm = M + mL, M + ne = B, if L>m*M, K<1",
     .tip = "complex reaction CE",
     .counts = {4, 1, 1, 1, 0},
     .runMenuAnalytical = false},
    {.caption = "11)  A + ne <-> B",
     .tip = "reversible charge reaction Er",
     .family = MechanismFamily::Reversible,
     .nernstian = true},
    {.caption = "12)  A + ne <-> B, C + ne <-> D, E + ne <-> F",
     .tip = "rev multicompoment charge reaction Er+Er+Er",
     .family = MechanismFamily::Reversible,
     .counts = {6, 3, 0, 0, 0},
     .nernstian = true},
    {.caption = "13)  A + ne <-> B, B + ne <-> C",
     .tip = "2-step reversible charge reaction ErEr",
     .family = MechanismFamily::MultiStep,
     .counts = {3, 2, 0, 0, 0},
     .nernstian = true,
     .consecutive = true},
    {.caption = "14)  A + ne <-> B, B + ne <-> C, C + ne <-> D",
     .tip = "3-step reversible charge reaction ErErEr",
     .family = MechanismFamily::MultiStep,
     .counts = {4, 3, 0, 0, 0},
     .nernstian = true,
     .consecutive = true},
    {.caption = "15)  A(abs) + ne <-> B(abs)",
     .tip = "absorb reversible charge reaction",
     .family = MechanismFamily::Adsorbed,
     .nernstian = true},
    {.caption = "16)  A(abs) + ne <-> B(abs), C(abs) + ne <-> D(abs)",
     .tip = "absorb reversible charge reaction",
     .family = MechanismFamily::Adsorbed,
     .counts = {4, 2, 0, 0, 0},
     .nernstian = true},
    {.caption = "17)  A(abs) + ne = B(abs)",
     .tip = "absorb charge reaction",
     .family = MechanismFamily::Adsorbed},
    {.caption = "18)  A(abs) + ne = B(abs),  C(abs) + ne = D(abs)",
     .tip = "absorb charge reaction",
     .family = MechanismFamily::Adsorbed,
     .counts = {4, 2, 0, 0, 0}},
}};

constexpr const MechanismTraits& traits(Mechanism m) {
    const int c = code(m);
    return kMechanismTraits[c >= 1 && c <= kMechanismCount ? c : 0];
}

// ---- the analytical kernel table ----------------------------------------------------------------------

// The step response with which the formulas of mechanisms 1 to 10 answer a technique at an electrode.
enum class KineticKernel {
    None,      // no formula: the faradaic current stays zero
    Planar,    // planar step responses
    Spherical, // the spherical step response (the cylinder: of a sphere of twice its radius)
    ThinLayer, // first-order relaxation of the thin film's content
};

// Rows by technique, columns by electrode 1..11: P planar, S spherical, T thin layer, - none.
inline constexpr std::array<const char*, kTechniqueCount + 1> kKineticKernels{{
    "-----------",
    "PSSS--SPT-P", // linear sweep: the sphere's radial part added to the sweep; the drop as a sphere
    "PSSS---PP-P", // DC voltammetry
    "PSSS---PP-P", // normal pulse
    "PSSS-------", // differential pulse
    "PSSSS--P--P", // square wave
    "PSSSS--P--P", // additive square wave
    "PSSSS-SP---", // staircase
    "PSSS---PP-P", // potential step
    "-----------", // designed waveform
    "-----------", // imported waveform
}};

constexpr KineticKernel kineticKernel(Technique t, Electrode e, Mechanism m) {
    const int tc = code(t), ec = code(e);
    if (traits(m).family != MechanismFamily::Kinetic || tc < 1 || tc > kTechniqueCount || ec < 1 ||
        ec > kElectrodeCount)
        return KineticKernel::None;
    switch (kKineticKernels[static_cast<std::size_t>(tc)][ec - 1]) {
    case 'P':
        return KineticKernel::Planar;
    case 'S':
        return KineticKernel::Spherical;
    case 'T':
        return traits(m).thinLayerSweep ? KineticKernel::ThinLayer : KineticKernel::None;
    default:
        return KineticKernel::None;
    }
}

// Whether the analytical formulas give a faradaic current for the combination at a stationary electrode
// without a preconcentration step; every other combination keeps a zero faradaic current. (A rotating
// electrode replaces the formulas of families 1 to 14 by the Koutecky-Levich current at every technique;
// a preconcentrated film by its stripping current.)
constexpr bool hasAnalyticalKernel(Technique t, Electrode e, Mechanism m) {
    const TechniqueTraits& tt = traits(t);
    const bool known = code(t) >= 1 && code(t) <= kTechniqueCount;
    switch (traits(m).family) {
    case MechanismFamily::Kinetic:
        return kineticKernel(t, e, m) != KineticKernel::None;
    case MechanismFamily::Reversible: // every built-in programme
        return known && !tt.waveform;
    case MechanismFamily::MultiStep: // sweeps, DC and normal pulse
        return t == Technique::LinearSweep || tt.sampledStep;
    case MechanismFamily::Adsorbed: // sweeps, staircase, DC and normal pulse; Nernstian layers also a
                                    // designed waveform
        return tt.sweep || tt.sampledStep || (traits(m).nernstian && t == Technique::DesignedWaveform);
    }
    return false;
}

// The reversible sweeps of mechanisms 11 to 14 whose point loop leaves the semi-integral of the current,
// which the after-pass semi-differentiates (at a stationary electrode).
constexpr bool semiIntegralAfterPass(Technique t, Electrode e, Mechanism m) {
    const MechanismFamily f = traits(m).family;
    return t == Technique::LinearSweep && traits(e).semiIntegralSweep &&
           (f == MechanismFamily::Reversible || f == MechanismFamily::MultiStep);
}

// Every kind in the order of its codes.
template <typename Kind, int Count> constexpr std::array<Kind, Count> allKinds() {
    std::array<Kind, Count> all{};
    for (int c = 1; c <= Count; ++c)
        all[static_cast<std::size_t>(c - 1)] = static_cast<Kind>(c);
    return all;
}
inline constexpr auto kAllTechniques = allKinds<Technique, kTechniqueCount>();
inline constexpr auto kAllElectrodes = allKinds<Electrode, kElectrodeCount>();
inline constexpr auto kAllMechanisms = allKinds<Mechanism, kMechanismCount>();

} // namespace kind
} // namespace tessaly
