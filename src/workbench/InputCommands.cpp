// Input menu: the experiment dialogs. Each command runs the dialog's activation, then shows it.

#include "model/DialogActivation.h"
#include "workbench/Commands.h"
#include "workbench/Workbench.h"

namespace tessaly {

void techniqueDialogCommand(Workbench& wb) {
    wb.port().showForm("FormTech");
}

void instrumentDialogCommand(Workbench& wb) {
    Notices notices;
    activateInstrumentDialog(wb.params, notices);
    wb.showNotices(notices);
    wb.port().showForm("FormIns");
}

void mechanismDialogCommand(Workbench& wb) {
    wb.port().showForm("FormMech");
}

void kineticsDialogCommand(Workbench& wb) {
    Notices notices;
    buildMechanism(wb.params, notices);
    activateKineticsDialog(wb.params, notices);
    wb.showNotices(notices);
    wb.port().showForm("FormExpr");
}

void speciesDialogCommand(Workbench& wb) {
    Notices notices;
    commitKinetics(wb.params, notices);
    activateSpeciesDialog(wb.params, notices);
    wb.showNotices(notices);
    wb.port().showForm("FormSpecies");
}

} // namespace tessaly
