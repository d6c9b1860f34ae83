#include "model/MechanismForm.h"

#include "model/FieldTable.h"

namespace tessaly {

void setPhLabels(ExperimentParams& p) {
    MechanismFormState& s = p.mechanismForm;
    s.phShown = p.CheckpH;
    if (!p.CheckpH) {
        s.protonLabel.clear();
        s.productPlusLabel.clear();
        s.waterLabel.clear();
    } else if (p.OptionOH) {
        // a A + h H2O + n e = b B + w OH-
        s.protonLabel = "H2O + ";
        s.productPlusLabel = "+";
        s.waterLabel = "OH-";
    } else {
        // a A + h H+ + n e = b B + w H2O
        s.protonLabel = "H+ +";
        s.productPlusLabel = "+";
        s.waterLabel = " H2O";
    }
}

void rebuildMechanism(ExperimentParams& p, Notices& notices) {
    buildMechanism(p, notices);
    setPhLabels(p);
}

bool MechanismForm::holds(std::string_view name) const {
    return hasBaseName(name,
                       {"CheckDigital", "CheckpH", "OptionH", "OptionOH", "Textm", "charge", "CheckAdsorb",
                        "chem2", "mech", "FrameAnalytical", "FrameCharge", "FrameChemical"});
}

FormReply MechanismForm::activate() {
    return {};
}

FormReply MechanismForm::changed(std::string_view field) {
    return {holds(field), {}};
}

FormReply MechanismForm::click(std::string_view box, bool checked) {
    if (!hasBaseName(box, {"CheckDigital", "CheckpH", "CheckAdsorb"}))
        return {false, {}};
    bool changedState = false;
    if (!setBox(box, checked, changedState))
        return {false, {}};
    if (box == "CheckDigital")
        m_p.DigitalFlag = m_p.CheckDigital; // at once, before any build
    return {};
}

FormReply MechanismForm::select(std::string_view group, int option) {
    if (group == "mech") {
        if (option < 1 || option > kMechanismCount)
            return {false, {}};
        m_p.mech = option;
        return {};
    }
    if (group == "OptionH" || group == "OptionOH") {
        const bool proton = (group == "OptionH") == (option != 0);
        m_p.OptionH = proton;
        m_p.OptionOH = !proton;
        return {};
    }
    return {false, {}};
}

void MechanismForm::commit(Notices& notices) {
    rebuildMechanism(m_p, notices);
}

void MechanismForm::decorate(std::string_view name, FieldView& view) const {
    if (name == "FrameAnalytical") {
        view.visible = !m_p.CheckDigital;
        return;
    }
    if (name == "FrameCharge" || name == "FrameChemical") {
        view.visible = m_p.CheckDigital;
        return;
    }
    const auto [base, index] = splitIndexedName(name);
    if (base == "charge" && index > 10) {
        const int term = index % 10;
        if (term == 3 || term == 7) {
            view.visible = m_p.mechanismForm.phShown;
            view.caption = term == 3 ? m_p.mechanismForm.protonLabel : m_p.mechanismForm.waterLabel;
        }
    }
}

} // namespace tessaly
