#include "workbench/FormCommands.h"

#include "model/DialogActivation.h"
#include "model/FieldTable.h"
#include "workbench/Commands.h"
#include "workbench/Workbench.h"

#include <string>

namespace tessaly {
namespace {

void closeDialog(Workbench& wb) { wb.activateMainWindow(); }

} // namespace

FormStatus setField(Workbench& wb, std::string_view name, std::string_view text) {
    const auto field = findField(wb.params, name);
    if (!field)
        return FormStatus::UnknownName;
    if (auto* s = std::get_if<std::string*>(&*field)) {
        **s = std::string(text);
        return FormStatus::Done;
    }
    return FormStatus::BadValue; // not a text field
}

FormStatus setCheck(Workbench& wb, std::string_view name, bool checked) {
    const auto field = findField(wb.params, name);
    if (field) {
        if (auto* b = std::get_if<bool*>(&*field)) {
            **b = checked;
            if (name == "CheckDigital")
                wb.params.DigitalFlag = checked;
            return FormStatus::Done;
        }
        return FormStatus::BadValue;
    }
    PlotOptions& o = wb.plotOptions;
    if (name == "Xauto")
        o.Xauto = checked;
    else if (name == "Yauto")
        o.Yauto = checked;
    else if (name == "CheckGrid")
        o.CheckGrid = checked;
    else if (name == "overlap")
        o.overlap = checked;
    else if (name == "CheckXdir")
        o.CheckXdir = checked;
    else
        return FormStatus::UnknownName;
    return FormStatus::Done;
}

FormStatus selectOption(Workbench& wb, std::string_view group, int n) {
    ExperimentParams& p = wb.params;
    if (group == "optTech") {
        if (n < 1 || n > kTechniqueCount)
            return FormStatus::BadValue;
        p.optTech = n;
        wb.menus.setEnabled("mnuIPulse", n >= 4 && n <= 6);
        wb.port().menusChanged();
    } else if (group == "optElectrode") {
        if (n < 1 || n > kElectrodeCount)
            return FormStatus::BadValue;
        // Cylinder, hemicylinder and band have no analytical solution: offered only digitally.
        if (!p.DigitalFlag && (n == 5 || n == 6 || n == 10))
            return FormStatus::BadValue;
        p.Electrode = n;
    } else if (group == "mech") {
        if (n < 1 || n > kMechanismCount)
            return FormStatus::BadValue;
        p.mech = n;
    } else if (group == "ComboScan") {
        if (n < 0 || n > 3)
            return FormStatus::BadValue;
        p.ComboScan = n;
        p.committed.CycleCount = cycleCountOfScan(n);
    } else if (group == "OptionH" || group == "OptionOH") {
        const bool hydrogen = (group == "OptionH") == (n != 0);
        p.OptionH = hydrogen;
        p.OptionOH = !hydrogen;
    } else {
        const auto [base, slot] = splitIndexedName(group);
        if (base != "linestyle")
            return FormStatus::UnknownName;
        if (slot < 1 || slot > kOptionSlots || n < 1 || n > 3)
            return FormStatus::BadValue;
        wb.plotOptions.linestyle[slot - 1] = n;
    }
    return FormStatus::Done;
}

FormStatus showForm(Workbench& wb, std::string_view form) {
    if (form == "FormTech")
        techniqueDialogCommand(wb);
    else if (form == "FormIns")
        instrumentDialogCommand(wb);
    else if (form == "FormMech")
        mechanismDialogCommand(wb);
    else if (form == "FormExpr")
        kineticsDialogCommand(wb);
    else if (form == "FormSpecies")
        speciesDialogCommand(wb);
    else if (form == "formOption")
        optionDialogCommand(wb);
    else
        return FormStatus::UnknownName;
    return FormStatus::Done;
}

FormStatus okForm(Workbench& wb, std::string_view form) {
    Notices notices;
    if (form == "FormTech") {
        commitTechnique(wb.params);
    } else if (form == "FormIns") {
        commitInstrument(wb.params, notices);
    } else if (form == "FormMech") {
        buildMechanism(wb.params, notices);
    } else if (form == "FormExpr") {
        commitKinetics(wb.params, notices);
    } else if (form == "FormSpecies") {
        commitSpecies(wb.params, notices);
    } else if (form == "formOption") {
        PlotOptionsForm(wb.plotOptions).apply(wb.plotState, wb.store.CurveStyle);
        if (wb.plotRequest.valid)
            wb.redraw(Abscissa::XAxis);
    } else {
        return FormStatus::UnknownName;
    }
    wb.showNotices(notices);
    closeDialog(wb);
    return FormStatus::Done;
}

} // namespace tessaly
