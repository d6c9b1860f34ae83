#pragma once
// Command functions, grouped by the menu that holds them. Each is the one error boundary of its
// command: it reads the workbench, calls the algorithms below, reports and redraws.

namespace tessaly {

class Workbench;

// Run menu
void simulateCommand(Workbench& wb);

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

// Analyze menu
void curveNumberCommand(Workbench& wb);
void nextCurveCommand(Workbench& wb);
void timeCommand(Workbench& wb);

// Result window
void clearResultsCommand(Workbench& wb);

} // namespace tessaly
