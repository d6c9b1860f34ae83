#pragma once
// The species dialog's concentration reaction: from the analytical concentrations C(s) to the
// initial concentrations Cinit(s) the simulations start from, with the electrode and chemical
// pre-equilibrations the dialog's check boxes select.

#include "model/ExperimentParams.h"

namespace tessaly {

// fRT, and Cinit from C with the chosen pre-equilibrations. triggerRow (1..16, or 0 for none) is the
// row whose concentration limits TextCmin/TextCmax follow its new Cinit.
void runConcentrationReaction(ExperimentParams& p, int triggerRow);

} // namespace tessaly
