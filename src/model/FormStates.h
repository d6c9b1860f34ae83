#pragma once
// The dialog-visible state of the five experiment dialogs: which fields are offered or read-only,
// the captions the dialogs set, and the frames they show. It lives beside the texts in
// ExperimentParams so that the activation steps run by the commit chain keep it current; the forms
// (and through them the widgets) read it.

#include "model/FormTypes.h"

#include <array>
#include <string>

namespace tessaly {

inline constexpr int kFormElectrodes = 11;  // electrode options 1..11
inline constexpr int kFormChargeRows = 5;   // kinetics rows of charge reactions
inline constexpr int kFormChemRows = 9;     // kinetics rows of chemical reactions
inline constexpr int kFormSpeciesRows = 16; // species rows

// Technique dialog: the main window's I pulse command follows the chosen option.
struct TechniqueFormState {
    bool iPulseEnabled = false; // mnuIPulse, for the pulse techniques 4..6
};

// Instrument dialog. The start-up state is the layout of technique 1 at the planar disk with the
// analytical simulation.
struct InstrumentFormState {
    // potential-programme fields
    FieldState V{true, false};
    FieldState TextF{false, false};
    FieldState tp{false, false};
    FieldState Epulse{false, false};
    FieldState TextTexp{true, true};
    FieldState td{true, false};
    // geometry fields
    FieldState radius{true, false};
    FieldState leng{false, false};
    FieldState radius2{false, false};
    FieldState radius3{false, false};
    FieldState thickness{true, false};
    FieldState ARE{true, false};
    std::string radiusCaption = "Disc radius (cm)";
    // digital model
    FieldState TextTimeGrid{true, false};
    FieldState TextExpanding{true, false};
    // electrode options offered, 1..11 (cylinder, hemicylinder and band only digitally)
    std::array<bool, kFormElectrodes + 1> electrodeOffered{false, true, true, true, true,  false,
                                                           false, true, true, true, false, true};
    bool digitalModelFrame = false;   // "Digital Model"
    bool designWaveformFrame = false; // "Design Waveform" (technique 9)
    bool widened = false;             // dialog widened to show the design frame
    bool preconFrame = false;         // preconcentration fields
};

// Mechanism dialog: the pH terms of the charge rows as the last build set them.
struct MechanismFormState {
    bool phShown = false;         // proton and water fields charge(10i+3), charge(10i+7) shown
    std::string protonLabel;      // after charge(10i+3): "H+ +" or "H2O + "
    std::string productPlusLabel; // before charge(10i+7)
    std::string waterLabel;       // after charge(10i+7): " H2O" or " OH-"
};

// Kinetics dialog: shown rows and their captions (heter(i), homo(j)).
struct KineticsFormState {
    std::array<bool, kFormChargeRows + 1> chargeRow{false, true, false, false, false, false};
    std::array<bool, kFormChemRows + 1> chemRow{};
    std::array<std::string, kFormChargeRows + 1> heter{"", "1", "2", "3", "4", "5"};
    std::array<std::string, kFormChemRows + 1> homo{"", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
};

// Species dialog: shown rows.
struct SpeciesFormState {
    std::array<bool, kFormSpeciesRows + 1> row{false, true, true};
};

} // namespace tessaly
