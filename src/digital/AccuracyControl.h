#pragma once
// Automatic accuracy control of the digital model (Auto digital model): the time steps and the space
// grid that keep a run's currents within 0.1 % of the converged solution, chosen from the programme,
// the electrode and the kinetics.
//
// Time: the second-order steps lose accuracy only near a potential jump, where the current varies as
// the inverse square root of the time since it; a step is kept below a fixed fraction of that time,
// so steps grow from the jump on, and a sweep's steps below a fraction of the time RT/(nFv) in which
// its potential moves by RT/nF. Space: the first cell resolves the diffusion layer at the earliest
// sample after a jump (or at the time RT/(nFv) of a sweep), the reaction layer sqrt(D/k) of the
// fastest homogeneous step, the Levich layer of a rotating electrode, a fraction of a radius or of a
// film; the grid reaches six diffusion lengths of the whole run (further at a cylinder, whose depleted
// zone keeps spreading logarithmically).

#include "digital/DigitalGrid.h"
#include "digital/DigitalModel.h"

namespace tessaly {

struct StepRule {
    double perElapsed = 0; // a step is at most (time since the last potential jump) / perElapsed
    double longest = 0;    // and at most this long, s (0: no limit)
};

struct AutomaticModel {
    GridSpec grid;
    StepRule steps;
};

// The automatic choice for a run of the model (whose autoGrid flag it does not read).
AutomaticModel chooseAutomaticModel(const DigitalModel& m);

// Length of the steps of a stretch that ends `elapsed` seconds after the last potential jump, s.
double targetStep(const StepRule& rule, double elapsed);

} // namespace tessaly
