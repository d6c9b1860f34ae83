#pragma once
// The activation steps of the experiment dialogs that the commit chain runs before it reads the
// texts: each dialog refreshes its derived fields first, so a commit never reads a stale text.

#include "model/Commits.h"

namespace tessaly {

// Instrument dialog: mechanism build, offered fields, geometry, auto digital model, time-grid limit.
void activateInstrumentDialog(ExperimentParams& p, Notices& notices);

// Kinetics dialog: instrument commit, shown rows and their reaction captions.
void activateKineticsDialog(ExperimentParams& p, Notices& notices);

// Species dialog: kinetics commit, species names, shown rows, concentration reaction.
void activateSpeciesDialog(ExperimentParams& p, Notices& notices);

// The species dialog's concentration reaction: fRT, and Cinit from C with the chosen
// pre-equilibrations. triggerRow (1..16, or 0) is the row whose concentration limits follow Cinit.
void runConcentrationReaction(ExperimentParams& p, int triggerRow);

} // namespace tessaly
