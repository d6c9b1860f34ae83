#include "model/ParameterRestore.h"

#include "model/FieldTable.h"
#include "model/InstrumentForm.h"
#include "model/KineticsForm.h"
#include "model/MechanismForm.h"
#include "model/SpeciesForm.h"
#include "model/TechniqueForm.h"

#include <array>

namespace tessaly {
namespace {

// The five dialogs' forms as the target of the file's values.
class FormsTarget : public ParameterTarget {
public:
    explicit FormsTarget(ExperimentParams& p)
        : m_p(p), m_technique(p), m_instrument(p), m_mechanism(p), m_kinetics(p), m_species(p) {}

    bool select(std::string_view group, int n) override {
        ExperimentForm* form = nullptr;
        if (group == "optTech")
            form = &m_technique;
        else if (group == "optElectrode" || group == "ComboScan")
            form = &m_instrument;
        else if (group == "mech" || group == "OptionH" || group == "OptionOH")
            form = &m_mechanism;
        return form && form->select(group, n).accepted;
    }
    bool setText(std::string_view name, std::string_view text) override {
        if (ExperimentForm* form = holding(name))
            return form->type(name, text).accepted;
        return restoreText(name, text); // a text no dialog reacts to
    }
    bool setCheck(std::string_view name, bool checked) override {
        ExperimentForm* form = holding(name);
        return form && form->click(name, checked).accepted;
    }
    bool setCount(std::string_view name, int count) override {
        const auto field = findField(m_p, name);
        int* const* value = field ? std::get_if<int*>(&*field) : nullptr;
        if (!value)
            return false;
        **value = count;
        return true;
    }
    bool restoreText(std::string_view name, std::string_view text) override {
        const auto field = findField(m_p, name);
        std::string* const* value = field ? std::get_if<std::string*>(&*field) : nullptr;
        if (!value)
            return false;
        **value = std::string(text);
        return true;
    }

private:
    ExperimentForm* holding(std::string_view name) {
        const std::array<ExperimentForm*, 5> all = {&m_technique, &m_instrument, &m_mechanism, &m_kinetics,
                                                    &m_species};
        for (ExperimentForm* f : all)
            if (f->holds(name))
                return f;
        return nullptr;
    }

    ExperimentParams& m_p;
    TechniqueForm m_technique;
    InstrumentForm m_instrument;
    MechanismForm m_mechanism;
    KineticsForm m_kinetics;
    SpeciesForm m_species;
};

// The experiment time is derived from the sweep (and shown read-only) except where the user enters it
// or a waveform brings it.
bool experimentTimeFollowsScan(kind::Technique t) {
    return t != kind::Technique::PotentialStep && !traits(t).waveform;
}

} // namespace

void restoreParameterFile(const ParameterFileContents& contents, ExperimentParams& p) {
    const std::string experimentTime = p.TextTexp;
    FormsTarget target(p);
    applyParameterFile(contents, target);
    if (experimentTimeFollowsScan(kind::asTechnique(contents.technique)))
        InstrumentForm(p).select("ComboScan", p.ComboScan); // the scan mode's reaction derives it again
    else
        p.TextTexp = experimentTime;
}

} // namespace tessaly
