// Activation steps of the experiment dialogs as the commit chain needs them.

#include "model/DialogActivation.h"

#include "model/InstrumentForm.h"
#include "model/KineticsForm.h"
#include "model/SpeciesForm.h"

namespace tessaly {

void activateInstrumentDialog(ExperimentParams& p, Notices& notices) {
    InstrumentForm form(p);
    addToNotices(notices, form.activate());
}

void activateKineticsDialog(ExperimentParams& p, Notices& notices) {
    activateKinetics(p, notices);
}

void activateSpeciesDialog(ExperimentParams& p, Notices& notices) {
    activateSpecies(p, notices);
}

} // namespace tessaly
