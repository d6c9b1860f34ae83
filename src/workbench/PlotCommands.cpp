// Plot menu: the commands that rearrange the curve store for display, and the options dialog.

#include "base/NumberText.h"
#include "workbench/Commands.h"
#include "workbench/Workbench.h"

namespace tessaly {
namespace {

// A command that computes in the store: a failure stops it and is reported as a run-time error; what
// it wrote before stays.
template <typename Action> void guarded(Workbench& wb, Action action) {
    try {
        action();
    } catch (const Failure& failure) {
        wb.port().showMessage(failure.description(), "Error", MessageIcon::Critical);
    }
}

double dropTime(const Workbench& wb) {
    return leadingNumber(wb.params.td);
}

} // namespace

void currentVsPotentialCommand(Workbench& wb) {
    guarded(wb, [&] { wb.redraw(showCurrentVsPotential(wb.store)); });
}

void sampledCurrentsCommand(Workbench& wb) {
    guarded(wb,
            [&] { wb.redraw(showSampledCurrents(wb.store, wb.plotOptions.overlap, wb.params.NumCharge)); });
}

void surfaceConcentrationsCommand(Workbench& wb) {
    guarded(wb, [&] {
        wb.redraw(showSurfaceConcentrations(wb.store, wb.plotOptions.overlap, wb.params.NumSpecies));
    });
}

void waveformCommand(Workbench& wb) {
    guarded(wb, [&] {
        wb.plotOptions.CheckXdir = false;
        wb.redraw(showWaveform(wb.store, wb.params.Technique, dropTime(wb)));
    });
}

void timeAxisCommand(Workbench& wb) {
    guarded(wb, [&] {
        wb.plotOptions.CheckXdir = false;
        wb.redraw(useTimeAxis(wb.store, wb.params.Technique, dropTime(wb)));
    });
}

void potentialAxisCommand(Workbench& wb) {
    guarded(wb, [&] { wb.redraw(usePotentialAxis(wb.store)); });
}

void optionDialogCommand(Workbench& wb) {
    wb.port().showForm("formOption");
}

} // namespace tessaly
