#pragma once
// The kinetics dialog (FormExpr): rate constants and formal potentials of the reactions in use, their
// fit limits and selections, and the solution. The limits follow the values they bound; an E' or a
// Keq change re-equilibrates the initial solution (the species dialog's concentration reaction).

#include "model/ExperimentForm.h"

namespace tessaly {

class KineticsForm : public ExperimentForm {
public:
    using ExperimentForm::ExperimentForm;

    std::string_view formName() const override { return "FormExpr"; }
    bool holds(std::string_view name) const override;

    // Instrument commit, then the rows in use shown with the reaction captions of the mechanism.
    FormReply activate() override;
    FormReply changed(std::string_view field) override;
    // CheckFitted(n) for n = 10+i, 20+i, 30+i (charge row i), 40+j, 60+j (chemical row j), and 1, 2, 3 for
    // the instrument's Ru, Cdl and area, whose values (txtRu, Cdl, ARE: the instrument dialog's fields, with
    // its reactions and checks) and limits the dialog also shows.
    FormReply click(std::string_view box, bool checked) override;

protected:
    // ks, kf, kb in 0..1e300; TextpH in 0..14.
    std::optional<FormMessage> validate(std::string_view field) override;
    // The kinetics commit.
    void commit(Notices& notices) override;
    // A typed ks, alpha, E', kf or kb: its limits widen past it when they no longer contain it.
    void settled(std::string_view field) override;
    // Rows and their fields, the captions of heter(i) and homo(j), limits shown while their
    // CheckFitted box is checked.
    void decorate(std::string_view name, FieldView& view) const override;

private:
    void forwardRateChanged(int j, FormReply& reply);
};

// The kinetics dialog's activation on the model alone (the commit chain runs it).
void activateKinetics(ExperimentParams& p, Notices& notices);

} // namespace tessaly
