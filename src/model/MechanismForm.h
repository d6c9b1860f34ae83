#pragma once
// The mechanism dialog (FormMech): the Digital Simulation box (which sets DigitalFlag at once and
// swaps the analytical options for the reaction rows), the pH effect and its H+/OH- option, the
// mechanism options, and OK's mechanism build.

#include "model/ExperimentForm.h"

namespace tessaly {

class MechanismForm : public ExperimentForm {
public:
    using ExperimentForm::ExperimentForm;

    std::string_view formName() const override { return "FormMech"; }
    bool holds(std::string_view name) const override;
    FormReply activate() override;
    FormReply changed(std::string_view field) override;
    // CheckDigital, CheckpH, CheckAdsorb(i).
    FormReply click(std::string_view box, bool checked) override;
    // mech n (1..18); OptionH / OptionOH with n = 1 choosing that option (0 the other one).
    FormReply select(std::string_view group, int option) override;

protected:
    // The mechanism build (with the technique commit and the pH labels).
    void commit(Notices& notices) override;
    // Frames "FrameAnalytical", "FrameCharge", "FrameChemical"; the proton and water fields
    // charge(10i+3) and charge(10i+7), captioned with the label that follows them.
    void decorate(std::string_view name, FieldView& view) const override;
};

// The mechanism build followed by the pH labels of the charge rows, as the dialogs run it.
void rebuildMechanism(ExperimentParams& p, Notices& notices);

// The pH labels of the charge rows from CheckpH and the H+/OH- option.
void setPhLabels(ExperimentParams& p);

} // namespace tessaly
