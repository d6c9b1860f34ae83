#pragma once
// The one shared description of an experiment. Every field a dialog edits is held as the text the
// user typed (read with the leading-number rule when it is used) and carries that dialog control's
// name; the simulation and the fitter read only the committed numeric snapshot, which the commit
// chain (Commits.h) refreshes.

#include "base/PhysicalConstants.h"
#include "model/ExperimentKinds.h"
#include "model/FormStates.h"
#include "model/MechanismTables.h"

#include <array>
#include <string>

namespace tessaly {

inline constexpr int kMaxSpecies = 16;
inline constexpr int kMaxCharge = 5;
inline constexpr int kMaxChem = 9;
inline constexpr int kDesignRows = 12;    // designed-waveform vertices t1(k), E1(k), k = 0..11
inline constexpr int kFitCodeCount = 141; // CheckFitted(0..140)

// The numeric snapshot the simulations and the fitter read. Written only by the commits (and by the
// fit objective, which writes trial values into it).
static_assert(kFormElectrodes == kElectrodeCount && kFormChargeRows == kMaxCharge &&
              kFormChemRows == kMaxChem && kFormSpeciesRows == kMaxSpecies);

struct CommittedValues {
    // instrument commit
    double StartPotential = 0;  // V
    double EndPotential = 0;    // V
    double StepPotential = 0;   // V
    double SampleFrac1 = 0;     // fraction of the sampled period
    double SampleFrac2 = 0;     // fraction of the sampled period
    double DoubleLayerCap = 0;  // F
    double Resistance = 0;      // ohm
    double TemperatureK = 0;    // K (Celsius + kCelsiusOffset)
    double PulsePotential = 0;  // V
    double NoiseLevel = 0;      // A
    double DropTime = 0;        // s
    double PulseTime = 0;       // s
    double ScanRate = 0;        // V/s, absolute value
    double SqrtScanRate = 0;    // (V/s)^0.5
    double ElectrodeLength = 0; // cm
    double TimeGrid = 0;        // s
    double RotationRate = 0;    // rad/s
    double ExperimentTime = 0;  // s
    double ElectrodeRadius = 0; // cm (microdisk and band: the equivalent radius)
    double ElectrodeArea = 0;   // cm2
    double CycleCount = 0.5;    // 0.5 single sweep, 1, 2 or 3 cycles
    double BaselineStart = 0;   // A, baseline current at the first potential (I start)
    double BaselineEnd = 0;     // A, baseline current at the end potential (I end)
    double FilmThickness = 0;   // cm, thickness of the thin film (electrode 9)
    double PreconPotential = 0; // V, E pre of the preconcentration step
    double PreconTime = 0;      // s, t pre
    double StirRate = 0;        // rad/s, stirring of the solution during the deposition
    double ExhaustionRate = 0;  // 1/s, t pre const: how fast the deposition exhausts the solution
    double SpaceGridFactor = 0; // space grid factor of the digital model
    // kinetics commit
    double Viscosity = 0;                                 // cm2/s
    double ElectrolyteConc = 0;                           // mol/L
    double PHFactor = 0;                                  // 2.303 (pH - 7)
    std::array<double, kMaxCharge + 1> Alpha{};           // transfer coefficients, rows 1..5
    std::array<double, kMaxCharge + 1> FormalPotential{}; // V
    std::array<double, kMaxCharge + 1> RateKs{};          // cm/s
    std::array<double, kMaxChem + 2> RateKf{};            // /s or /(s M), rows 1..9
    std::array<double, kMaxChem + 2> RateKb{};            // /s or /(s M)
    std::array<double, kMaxChem + 2> Keq{};               // kf/kb
    // species commit
    std::array<double, kMaxSpecies + 1> DiffCoef{};   // cm2/s, rows 1..16
    std::array<double, kMaxSpecies + 1> InitConc{};   // mol/L, equilibrium start values
    std::array<double, kMaxSpecies + 1> AdsorbCoef{}; // /M
    std::array<double, kMaxSpecies + 1> MaxAdsorb{};  // mol/cm2
};

struct ExperimentParams {
    ExperimentParams();

    // --- selections ---------------------------------------------------------------------------
    // The stored option numbers; technique(), electrode() and mechanism() name them.
    int optTech = 1;          // technique option chosen in the technique dialog
    int Technique = 1;        // committed technique (follows optTech at the technique commit)
    int Electrode = 1;        // electrode geometry, 1..11
    int mech = 1;             // analytical mechanism option chosen in the mechanism dialog
    int Mechanism = 1;        // committed mechanism (follows mech at the mechanism build)
    bool DigitalFlag = false; // digital simulation selected
    int TechElectrodeCode = 101;

    kind::Technique technique() const { return kind::asTechnique(Technique); }
    kind::Electrode electrode() const { return kind::asElectrode(Electrode); }
    kind::Mechanism mechanism() const { return kind::asMechanism(Mechanism); }

    // --- instrument dialog ----------------------------------------------------------------------
    std::string Estart = "0.3";
    std::string Eend = "-0.4";
    std::string Estep = "0.005";
    std::string V = "0.01";
    std::string td = "0.5";
    std::string tp = "0.05";
    std::string Epulse = "-0.01";
    std::string TextF = "10";
    std::string tsa1 = "0.88";
    std::string tsa2 = "1";
    std::string txttemp = "25";
    std::string Noise = "0";
    int ComboScan = 0; // 0 single, 1 cycle, 2 cycles, 3 cycles
    std::string TextTexp = "70";

    std::string ARE = "7.85E-3";
    std::string radius = "0.05";
    std::string leng = "0.05642";
    std::string radius2 = "0.06";
    std::string radius3 = "0.07";
    std::string thickness = "1e-4";
    std::string Rotation = "0";
    double ElectrodeVolume = 0; // cm3, computed with the area

    bool CheckPreCon = false;
    std::string txtEPre = "-0.3";
    std::string txtTPre = "600";
    std::string txtRStir = "100";
    std::string txtTpreconst = "1e-3";
    std::string TxtI0 = "0";
    std::string TxtI1 = "0";
    std::string Cdl = "0";
    std::string txtRu = "0";

    bool CheckAuto = true; // a new experiment lets the digital model choose its own grid
    std::string TextTimeGrid = "0.5";
    std::string TextExpanding = "0.5";

    std::array<std::string, kDesignRows> t1;
    std::array<std::string, kDesignRows> E1;
    TechniqueFormState techniqueForm;   // technique dialog's visible state
    InstrumentFormState instrumentForm; // instrument dialog's offered fields, captions and frames

    // --- mechanism dialog -------------------------------------------------------------------------
    bool CheckDigital = false;
    bool CheckpH = false;
    bool OptionH = true;
    bool OptionOH = false;
    std::string Textm = "1";
    std::array<std::string, 10 * kMaxCharge + 8> charge; // charge(10i+1 .. 10i+7), i = 1..5
    std::array<bool, kMaxCharge + 1> CheckAdsorb{};
    std::array<std::string, 4 * kMaxChem + 1> chem2; // chem2(1..36)

    // counts, set by the mechanism build
    int NumSpecies = 2;
    int NumCharge = 1;
    int NumChem = 0;
    int NumChemUni = 0;
    int NumChemBi = 0;
    MechanismTables tables;           // species names and reaction tables of the last build
    MechanismFormState mechanismForm; // pH terms of the charge rows

    // --- kinetics dialog ------------------------------------------------------------------------
    std::array<std::string, kMaxCharge + 1> ks, alph, Eze;
    std::array<std::string, kMaxCharge + 1> TextKsmin, TextKsmax, TextAlphaMin, TextAlphamax;
    std::array<std::string, kMaxCharge + 1> TextEzeromin, TextEzeromax;
    std::array<std::string, kMaxChem + 1> kf, kb, LabelKeq;
    std::array<std::string, kMaxChem + 1> TextKfmin, TextKfmax, TextKbmin, TextKbmax;
    std::array<bool, kFitCodeCount> CheckFitted{};          // fit selection by fit code
    // Limits of the fittable instrument quantities: codes 1 Ru (ohm), 2 Cdl (F), 3 electrode area (cm2,
    // the scale of every current).
    std::string TextRumin = "0", TextRumax = "1000";
    std::string TextCdlmin = "0", TextCdlmax = "1e-4";
    std::string TextAreamin = "1e-4", TextAreamax = "10";
    std::array<std::string, kFitCodeCount> FittedValueText; // fitted value shown beside each box
    std::string TextElectrolyte = "KCl";
    std::string TextElectrolyteC = "1";
    std::string TextpH = "7";
    std::string TextVis = "0.01";
    std::string txtVol = "10";
    KineticsFormState kineticsForm; // shown rows and reaction captions

    // --- species dialog -------------------------------------------------------------------------
    std::array<std::string, kMaxSpecies + 1> specie, C, Cinit, D, TextB, TextG;
    std::array<std::string, kMaxSpecies + 1> TextCmin, TextCmax, TextDmin, TextDmax;
    bool CheckPreEqu = false;
    bool CheckElectrode = false;
    double fRT = kFRT25;          // F/RT, 1/V; refreshed by the concentration reaction
    SpeciesFormState speciesForm; // shown rows

    // --- numeric snapshot ---------------------------------------------------------------------------
    CommittedValues committed;
};

} // namespace tessaly
