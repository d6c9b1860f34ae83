#pragma once
// Command functions, grouped by the menu that holds them. Each is the one error boundary of its
// command: it reads the workbench, calls the algorithms below, reports and redraws.

#include "model/ExperimentKinds.h"

#include <optional>
#include <string>

namespace tessaly {

class Workbench;
struct PlotInput;
struct SimulationInput;
struct SimulationResult;

// File menu: parameter, current and waveform files. Opening a parameter file ends with Simulate;
// Open Waveform returns whether a file was read.
void openParameterCommand(Workbench& wb);
void saveParameterCommand(Workbench& wb);
void importCurrentCommand(Workbench& wb);
void exportCurrentCommand(Workbench& wb);
// Every curve of the plot in one CSV file: a header row with the abscissa's title and each curve's
// legend name ("Curve N" when it has none), then one row per point of the plotted range.
void exportCurvesCommand(Workbench& wb);
std::string curvesCsvText(const PlotInput& input);
bool openWaveformCommand(Workbench& wb);
void saveWaveformCommand(Workbench& wb);

// The design commit of the instrument dialog's OK: with Technique 9, samples the designed waveform
// into the curve store; a failure (more than 5001 samples) is shown in a message box.
void commitDesignedWaveform(Workbench& wb);

// Run menu
void simulateCommand(Workbench& wb);
// Simulate in the parts a front-end calls when the run itself goes to another thread: the commits and
// the input of the run (the store is read, not changed, except for a designed waveform's programme);
// then, with the run in wb.lastRun, its copy into the store, its messages and the plot, as
// simulateCommand does. A run that failed, was stopped or lost points to the digital model's failure can
// instead leave the store, the plot and wb.lastRun untouched: reportUnstoredSimulate shows its messages
// (none for a stopped one). prepareSimulate gives no input when a field is refused or the combination
// has no model; it has said why.
std::optional<SimulationInput> prepareSimulate(Workbench& wb);
void completeSimulate(Workbench& wb);
bool simulationSucceeded(const SimulationResult& run);
void reportUnstoredSimulate(Workbench& wb, const SimulationResult& run);
void manualFitCommand(Workbench& wb);
void autoFitCommand(Workbench& wb);
void manualSeparateCommand(Workbench& wb);
void autoSeparateCommand(Workbench& wb);

// Input menu: show the experiment dialogs after their activation
void techniqueDialogCommand(Workbench& wb);
void instrumentDialogCommand(Workbench& wb);
void mechanismDialogCommand(Workbench& wb);
void kineticsDialogCommand(Workbench& wb);
void speciesDialogCommand(Workbench& wb);

// Plot menu: store views
void currentVsPotentialCommand(Workbench& wb);
void sampledCurrentsCommand(Workbench& wb);
void surfaceConcentrationsCommand(Workbench& wb);
void waveformCommand(Workbench& wb);
void timeAxisCommand(Workbench& wb);
void potentialAxisCommand(Workbench& wb);
void optionDialogCommand(Workbench& wb);

// Plot menu: transforms of the current curve
void semiDifferentiateCommand(Workbench& wb);
void semiIntegrateCommand(Workbench& wb);
void differentiateCommand(Workbench& wb);
void integrateCommand(Workbench& wb);
void smoothCommand(Workbench& wb);
void logWaveCommand(Workbench& wb);
void logSemiIntegralCommand(Workbench& wb);
void scaleXCommand(Workbench& wb, double factor);
void reverseXCommand(Workbench& wb);
void scaleYCommand(Workbench& wb, double factor);
void scaleYInputCommand(Workbench& wb);
void moveYCommand(Workbench& wb);
void addCurvesCommand(Workbench& wb);
void subtractCurvesCommand(Workbench& wb);
// Background: a straight baseline fitted to potential windows of each sweep (input box), or a blank
// curve read from a file, subtracted from the current curve.
void baselineCommand(Workbench& wb);
void subtractBlankCommand(Workbench& wb);

// Plot menu: Convert (mechanism 1 or 8; species 1 oxidised, 2 reduced)
void currentToConcentrationCommand(Workbench& wb);
void concentrationToCurrentCommand(Workbench& wb);
void co0toI1Command(Workbench& wb, kind::Mechanism mechanism, int species);
void i1toC0Command(Workbench& wb, kind::Mechanism mechanism);

// Analyze menu: measurements
void findPeakCommand(Workbench& wb);
void findHalfWaveCommand(Workbench& wb);
void theoreticalPeakCommand(Workbench& wb);

// Analyze menu
void curveNumberCommand(Workbench& wb);
void nextCurveCommand(Workbench& wb);
void timeCommand(Workbench& wb);

// Result window
void clearResultsCommand(Workbench& wb);

} // namespace tessaly
