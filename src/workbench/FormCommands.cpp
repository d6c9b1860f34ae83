#include "workbench/FormCommands.h"

#include "model/FieldTable.h"
#include "model/InstrumentForm.h"
#include "model/KineticsForm.h"
#include "model/MechanismForm.h"
#include "model/SpeciesForm.h"
#include "model/TechniqueForm.h"
#include "workbench/Commands.h"
#include "workbench/Workbench.h"

#include <array>
#include <string>

namespace tessaly {
namespace {

// The five experiment forms over one workbench's experiment.
struct Forms {
    explicit Forms(ExperimentParams& p)
        : technique(p), instrument(p), mechanism(p), kinetics(p), species(p) {}
    TechniqueForm technique;
    InstrumentForm instrument;
    MechanismForm mechanism;
    KineticsForm kinetics;
    SpeciesForm species;

    ExperimentForm* holding(std::string_view name) {
        const std::array<ExperimentForm*, 5> all = {&technique, &instrument, &mechanism, &kinetics, &species};
        for (ExperimentForm* f : all)
            if (f->holds(name))
                return f;
        return nullptr;
    }
    ExperimentForm* named(std::string_view formName) {
        const std::array<ExperimentForm*, 5> all = {&technique, &instrument, &mechanism, &kinetics, &species};
        for (ExperimentForm* f : all)
            if (f->formName() == formName)
                return f;
        return nullptr;
    }
};

void show(Workbench& wb, const FormMessage& m) {
    wb.port().showMessage(m.text, m.title, m.icon);
}

void show(Workbench& wb, const FormReply& reply) {
    for (const FormMessage& m : reply.messages)
        show(wb, m);
}

void closeDialog(Workbench& wb) {
    wb.activateMainWindow();
}

} // namespace

FormStatus setField(Workbench& wb, std::string_view name, std::string_view text) {
    const auto field = findField(wb.params, name);
    if (!field)
        return FormStatus::UnknownName;
    std::string* const* target = std::get_if<std::string*>(&*field);
    if (!target)
        return FormStatus::BadValue; // not a text field
    Forms forms(wb.params);
    ExperimentForm* form = forms.holding(name);
    if (!form) { // a text no dialog reacts to
        **target = std::string(text);
        return FormStatus::Done;
    }
    show(wb, form->type(name, text));
    if (const auto refusal = form->leave(name))
        show(wb, *refusal);
    return FormStatus::Done;
}

FormStatus setCheck(Workbench& wb, std::string_view name, bool checked) {
    Forms forms(wb.params);
    if (name == "Reset" || name == "cmdReset") { // a button: checking it presses it
        if (checked)
            show(wb, forms.instrument.press(name));
        return FormStatus::Done;
    }
    const auto field = findField(wb.params, name);
    if (field) {
        if (!std::holds_alternative<bool*>(*field))
            return FormStatus::BadValue;
        if (ExperimentForm* form = forms.holding(name)) {
            show(wb, form->click(name, checked));
        } else {
            *std::get<bool*>(*field) = checked;
        }
        return FormStatus::Done;
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
    Forms forms(wb.params);
    ExperimentForm* form = nullptr;
    if (group == "optTech")
        form = &forms.technique;
    else if (group == "optElectrode" || group == "ComboScan")
        form = &forms.instrument;
    else if (group == "mech" || group == "OptionH" || group == "OptionOH")
        form = &forms.mechanism;
    if (form) {
        const FormReply reply = form->select(group, n);
        show(wb, reply);
        if (!reply.accepted)
            return FormStatus::BadValue;
        if (group == "optTech") {
            wb.offerSampledCurrents(wb.params.techniqueForm.iPulseEnabled);
            wb.port().menusChanged();
        }
        return FormStatus::Done;
    }
    const auto [base, slot] = splitIndexedName(group);
    if (base != "linestyle")
        return FormStatus::UnknownName;
    if (slot < 1 || slot > kOptionSlots || n < 1 || n > 3)
        return FormStatus::BadValue;
    wb.plotOptions.linestyle[slot - 1] = n;
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
    if (form == "formOption") {
        PlotOptionsForm(wb.plotOptions).apply(wb.plotState, wb.store.CurveStyle);
        if (wb.plotRequest.valid)
            wb.redraw(Abscissa::XAxis);
        closeDialog(wb);
        return FormStatus::Done;
    }
    Forms forms(wb.params);
    ExperimentForm* f = forms.named(form);
    if (!f)
        return FormStatus::UnknownName;
    const FormReply reply = f->ok();
    show(wb, reply);
    if (!reply.accepted)
        return FormStatus::Refused;
    if (form == "FormIns")
        commitDesignedWaveform(wb);
    closeDialog(wb);
    return FormStatus::Done;
}

} // namespace tessaly
