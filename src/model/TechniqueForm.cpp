#include "model/TechniqueForm.h"

namespace tessaly {

bool TechniqueForm::holds(std::string_view name) const {
    return hasBaseName(name, {"optTech"});
}

FormReply TechniqueForm::changed(std::string_view field) {
    return {holds(field), {}};
}

FormReply TechniqueForm::select(std::string_view group, int option) {
    if (group != "optTech" || option < 1 || option > kTechniqueCount)
        return {false, {}};
    m_p.optTech = option;
    // I pulse (the sampled pulse currents) exists for differential pulse and the square waves.
    m_p.techniqueForm.iPulseEnabled = traits(kind::asTechnique(option)).twoSamples;
    return {};
}

void TechniqueForm::commit(Notices&) {
    commitTechnique(m_p);
}

void TechniqueForm::decorate(std::string_view, FieldView&) const {}

} // namespace tessaly
