#pragma once
// The species dialog (FormSpecies): concentrations, diffusion coefficients and adsorption of the
// species of the current mechanism, their fit limits and selections, and the initial concentrations
// at equilibrium (Cinit) with the chemical and electrode pre-equilibrations.

#include "model/ExperimentForm.h"

namespace tessaly {

class SpeciesForm : public ExperimentForm {
public:
    using ExperimentForm::ExperimentForm;

    std::string_view formName() const override { return "FormSpecies"; }
    bool holds(std::string_view name) const override;

    // Kinetics commit, species names of the mechanism, rows 1..NumSpecies, concentration reaction.
    FormReply activate() override;
    FormReply changed(std::string_view field) override;
    // CheckPreEqu, CheckElectrode (re-equilibrate); CheckFitted(100+s), CheckFitted(120+s).
    FormReply click(std::string_view box, bool checked) override;

protected:
    // The species commit.
    void commit(Notices& notices) override;
    // Rows and their fields; the C and D limits shown while their CheckFitted box is checked.
    void decorate(std::string_view name, FieldView& view) const override;
    // A typed D: its limits widen past it when they no longer contain it.
    void settled(std::string_view field) override;
};

// The species dialog's activation on the model alone (the commit chain runs it).
void activateSpecies(ExperimentParams& p, Notices& notices);

} // namespace tessaly
