// Plot menu, Convert: between the current of each charge reaction and the surface concentrations of
// its species.

#include "analysis/Conversions.h"
#include "workbench/CommandGuard.h"
#include "workbench/Commands.h"
#include "workbench/Workbench.h"

namespace tessaly {
namespace {

// The conversions read the committed experiment: refresh it first. A failure stops the command; the
// columns written so far stay.
template <typename Action> void convertGuarded(Workbench& wb, Action action) {
    runGuarded(wb, [&] {
        Notices notices;
        commitSpecies(wb.params, notices);
        wb.showNotices(notices);
        action();
    });
}

} // namespace

void currentToConcentrationCommand(Workbench& wb) {
    convertGuarded(wb, [&] {
        const auto scale = generalCurrentScale(wb.params, wb.surfaceAreaFactor);
        if (!scale) {
            wb.port().showMessage(kItoC0NeedsDigitalText);
            return;
        }
        CurrentToConcentration(wb.store, wb.params, *scale);
        wb.redraw(Abscissa::Potential);
    });
}

void concentrationToCurrentCommand(Workbench& wb) {
    convertGuarded(wb, [&] {
        const auto scale = generalCurrentScale(wb.params, wb.surfaceAreaFactor);
        if (!scale) {
            wb.port().showMessage(kC0toINeedsDigitalText, "Error", MessageIcon::Critical);
            return;
        }
        ConcentrationToCurrent(wb.store, wb.params, *scale);
        wb.redraw(Abscissa::Potential);
    });
}

void co0toI1Command(Workbench& wb, kind::Mechanism mechanism, int species) {
    convertGuarded(wb, [&] {
        Co0toI1(wb.store, wb.params, mechanism, species);
        wb.redraw(Abscissa::Potential);
    });
}

void i1toC0Command(Workbench& wb, kind::Mechanism mechanism) {
    convertGuarded(wb, [&] {
        I1toC0(wb.store, wb.params, mechanism);
        wb.redraw(Abscissa::Potential);
    });
}

} // namespace tessaly
