#pragma once
// The commit chain that turns the dialog texts into the numeric snapshot. The commits nest: the
// species commit runs the kinetics commit, which runs the instrument commit, which rebuilds the
// mechanism, which commits the technique selection. So a species commit always leaves the whole
// snapshot, the counts and the technique current.

#include "model/ExperimentParams.h"

#include <string>
#include <vector>

namespace tessaly {

// Messages that a commit shows in the middle of its work (for example too many species). The
// command that ran the commit shows them; the model stays free of user interface.
struct Notice {
    std::string text;
    std::string title;
    bool critical = false;
};
using Notices = std::vector<Notice>;

// Technique = the chosen option; TechElectrodeCode follows while the analytical path is selected.
void commitTechnique(ExperimentParams& p);

// The mechanism build: technique commit, counts, species names and reaction tables.
void buildMechanism(ExperimentParams& p, Notices& notices);

// Instrument commit: mechanism build, then the instrument values and their derived quantities.
void commitInstrument(ExperimentParams& p, Notices& notices);

// Kinetics commit: instrument commit, then the rate constants, formal potentials and solution.
void commitKinetics(ExperimentParams& p, Notices& notices);

// Species commit: kinetics commit, the concentration reaction, then the species values.
void commitSpecies(ExperimentParams& p, Notices& notices);

// Cycle count of a scan-mode list index: 0 -> 0.5 (single sweep), 1, 2, 3.
double cycleCountOfScan(int comboScan);

} // namespace tessaly
