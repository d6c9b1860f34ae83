#pragma once
// The technique dialog (FormTech, "Techniques"): choosing a technique option, and OK's technique
// commit. The technique itself changes only at the commit.

#include "model/ExperimentForm.h"

namespace tessaly {

class TechniqueForm : public ExperimentForm {
public:
    using ExperimentForm::ExperimentForm;

    std::string_view formName() const override { return "FormTech"; }
    bool holds(std::string_view name) const override;
    FormReply activate() override { return {}; }
    FormReply changed(std::string_view field) override;
    // optTech n (1..10): the option is chosen; the main window's I pulse command follows
    // (state techniqueForm.iPulseEnabled).
    FormReply select(std::string_view group, int option) override;

protected:
    // The technique commit.
    void commit(Notices& notices) override;
    void decorate(std::string_view name, FieldView& view) const override;
};

} // namespace tessaly
