// Plot menu: the commands that rearrange the curve store for display, and the options dialog.

#include "base/NumberText.h"
#include "workbench/CommandGuard.h"
#include "workbench/Commands.h"
#include "workbench/Workbench.h"

namespace tessaly {
namespace {

double dropTime(const Workbench& wb) {
    return leadingNumber(wb.params.td);
}

} // namespace

void currentVsPotentialCommand(Workbench& wb) {
    runGuarded(wb, [&] { wb.redraw(showCurrentVsPotential(wb.store)); });
}

void sampledCurrentsCommand(Workbench& wb) {
    runGuarded(
        wb, [&] { wb.redraw(showSampledCurrents(wb.store, wb.plotOptions.overlap, wb.params.NumCharge)); });
}

void surfaceConcentrationsCommand(Workbench& wb) {
    runGuarded(wb, [&] {
        wb.redraw(showSurfaceConcentrations(wb.store, wb.plotOptions.overlap, wb.params.NumSpecies));
    });
}

void waveformCommand(Workbench& wb) {
    runGuarded(wb, [&] {
        wb.plotOptions.CheckXdir = false;
        wb.redraw(showWaveform(wb.store, wb.params.Technique, dropTime(wb)));
    });
}

void timeAxisCommand(Workbench& wb) {
    runGuarded(wb, [&] {
        wb.plotOptions.CheckXdir = false;
        wb.redraw(useTimeAxis(wb.store, wb.params.Technique, dropTime(wb)));
    });
}

void potentialAxisCommand(Workbench& wb) {
    runGuarded(wb, [&] { wb.redraw(usePotentialAxis(wb.store)); });
}

void optionDialogCommand(Workbench& wb) {
    wb.port().showForm("formOption");
}

} // namespace tessaly
