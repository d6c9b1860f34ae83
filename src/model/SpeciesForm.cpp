#include "model/SpeciesForm.h"

#include "base/NumberText.h"
#include "model/ConcentrationReaction.h"
#include "model/FieldTable.h"
#include "model/FitLimits.h"
#include "model/KineticsForm.h"

namespace tessaly {
namespace {

std::size_t at(int i) {
    return static_cast<std::size_t>(i);
}

// Species names of the analytical mechanisms, or the list the digital build made from the rows.
void setSpeciesNames(ExperimentParams& p) {
    if (p.DigitalFlag) {
        for (int s = 1; s <= kMaxSpecies && s <= p.NumSpecies; ++s)
            p.specie[at(s)] = p.tables.speciesNames[at(s)];
        return;
    }
    if (p.mechanism() == kind::Mechanism::Complex) { // MLm = M + mL, M + ne = B
        const char* names[] = {"M", "B", "ML", "L"};
        for (int s = 1; s <= 4; ++s)
            p.specie[at(s)] = names[s - 1];
        return;
    }
    for (int s = 1; s <= 6; ++s)
        p.specie[at(s)] = std::string(1, static_cast<char>('A' + s - 1));
    if (traits(p.mechanism()).family == kind::MechanismFamily::Adsorbed) {
        p.specie[1] = "A(abs)";
        p.specie[2] = "B(abs)";
    }
}

} // namespace

void activateSpecies(ExperimentParams& p, Notices& notices) {
    commitKinetics(p, notices);
    setSpeciesNames(p);
    for (int s = 1; s <= kMaxSpecies; ++s)
        p.speciesForm.row[at(s)] = s <= p.NumSpecies;
    runConcentrationReaction(p, 0);
}

bool SpeciesForm::holds(std::string_view name) const {
    if (hasBaseName(name, {"CheckFitted"})) {
        const int code = splitIndexedName(name).second;
        return code >= 101 && code <= 120 + kMaxSpecies;
    }
    return hasBaseName(name, {"specie", "C", "Cinit", "D", "TextB", "TextG", "TextCmin", "TextCmax",
                              "TextDmin", "TextDmax", "CheckPreEqu", "CheckElectrode"});
}

FormReply SpeciesForm::activate() {
    Notices notices;
    activateSpecies(m_p, notices);
    FormReply reply;
    addNotices(reply, notices);
    return reply;
}

FormReply SpeciesForm::changed(std::string_view field) {
    if (!holds(field))
        return {false, {}};
    const auto [base, s] = splitIndexedName(field);
    if (s < 1 || s > kMaxSpecies)
        return {};
    if (base == "C")
        runConcentrationReaction(m_p, s);
    return {};
}

void SpeciesForm::settled(std::string_view field) {
    const auto [base, s] = splitIndexedName(field);
    // The limits stay while they contain the typed D; a limit it passed moves a factor 10 beyond it.
    if (base == "D" && s >= 1 && s <= kMaxSpecies)
        widenLimitTexts(m_p.TextDmin[at(s)], m_p.TextDmax[at(s)], leadingNumber(m_p.D[at(s)]), LimitScale::Factor,
                        "0.####e-#");
}

FormReply SpeciesForm::click(std::string_view box, bool checked) {
    if (!holds(box))
        return {false, {}};
    bool changedState = false;
    if (!setBox(box, checked, changedState))
        return {false, {}};
    if (changedState && (box == "CheckPreEqu" || box == "CheckElectrode"))
        runConcentrationReaction(m_p, 0);
    return {};
}

void SpeciesForm::commit(Notices& notices) {
    commitSpecies(m_p, notices);
}

void SpeciesForm::decorate(std::string_view name, FieldView& view) const {
    const auto [base, k] = splitIndexedName(name);
    auto rowShown = [&](int s) { return s >= 1 && s <= kMaxSpecies && m_p.speciesForm.row[at(s)]; };
    if (hasBaseName(base, {"specie", "C", "Cinit", "D", "TextB", "TextG"})) {
        view.visible = rowShown(k);
        view.readOnly = base == "specie" || base == "Cinit"; // labels
    } else if (base == "TextCmin" || base == "TextCmax") {
        view.visible = rowShown(k) && m_p.CheckFitted[at(100 + k)];
    } else if (base == "TextDmin" || base == "TextDmax") {
        view.visible = rowShown(k) && m_p.CheckFitted[at(120 + k)];
    } else if (base == "CheckFitted") {
        view.visible = rowShown(k > 120 ? k - 120 : k - 100);
    }
}

} // namespace tessaly
