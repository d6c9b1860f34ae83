#pragma once
// The activation steps of the experiment dialogs that the commit chain runs before it reads the
// texts: each dialog refreshes its derived fields and its visible state first, so a commit never
// reads a stale text. The steps themselves are the forms' (InstrumentForm, KineticsForm, SpeciesForm).

#include "model/Commits.h"
#include "model/ConcentrationReaction.h"

namespace tessaly {

// Instrument dialog: mechanism build, offered fields, geometry, auto digital model, time-grid limit.
void activateInstrumentDialog(ExperimentParams& p, Notices& notices);

// Kinetics dialog: instrument commit, shown rows and their reaction captions.
void activateKineticsDialog(ExperimentParams& p, Notices& notices);

// Species dialog: kinetics commit, species names, shown rows, concentration reaction.
void activateSpeciesDialog(ExperimentParams& p, Notices& notices);

} // namespace tessaly
