#pragma once
// Opening a parameter file into the experiment. The values read go in through the dialogs' own
// setters, in file order, so that every reaction that keeps the dialogs consistent runs (the
// electrodes and fields offered, the equilibrium constants, the fit limits that follow a rate
// constant); then every stored text is set once more as stored, so that a reaction which derived one
// stored field from another half-read one (the frequency setting the scan rate, the scan rate the
// drop time, the area the radius) does not change the experiment that was saved.

#include "model/ParameterFile.h"

namespace tessaly {

// Restores the contents into `p`. The messages the reactions raise on the way are not kept: they
// speak of half-read states, and the simulation that ends an Open reports on the experiment as
// restored. The experiment time, which the file does not hold, follows the restored sweep where the
// dialog derives it (techniques 1-7) and keeps its text where the user enters it (potential step,
// designed waveform) or a waveform file set it. Throws a Failure naming the line and the item when a
// dialog refuses a value; `p` is then partly changed, and the caller restores its copy.
void restoreParameterFile(const ParameterFileContents& contents, ExperimentParams& p);

} // namespace tessaly
