#include "model/ExperimentForm.h"

#include "model/FieldChecks.h"
#include "model/FieldTable.h"
#include "model/ParameterFile.h"

namespace tessaly {
namespace {

// Change reactions that write texts which raise further reactions settle in a few steps (the
// radius/area pair in two); the bound only guarantees that a cascade ends.
constexpr int kMaxCascade = 12;

} // namespace

FormReply ExperimentForm::type(std::string_view field, std::string_view text) {
    const auto ref = findField(m_p, field);
    if (!ref || !std::holds_alternative<std::string*>(*ref) || !holds(field))
        return {false, {}};
    *std::get<std::string*>(*ref) = std::string(text);
    return changed(field);
}

FormReply ExperimentForm::ok() {
    // A refused value keeps the dialog open with its message; nothing is committed.
    for (const FieldProblem& problem : refusedFields(m_p))
        if (problem.form == formName())
            return {false, {problem.message}};
    Notices notices;
    commit(notices);
    FormReply reply;
    addNotices(reply, notices);
    return reply;
}

std::optional<FormMessage> ExperimentForm::leave(std::string_view field) {
    if (storedInParameterFile(field)) {
        const auto ref = findField(m_p, field);
        if (const auto* text = ref ? std::get_if<std::string*>(&*ref) : nullptr)
            if (const auto refusal = parameterTextRefusal(field, **text))
                return errorMessage(*refusal);
    }
    if (auto refusal = validate(field))
        return refusal;
    settled(field);
    return std::nullopt;
}

std::optional<FormMessage> ExperimentForm::validate(std::string_view) {
    return std::nullopt;
}

void ExperimentForm::settled(std::string_view) {}

FormReply ExperimentForm::click(std::string_view box, bool checked) {
    bool changedState = false;
    return {holds(box) && setBox(box, checked, changedState), {}};
}

FormReply ExperimentForm::select(std::string_view, int) {
    return {false, {}};
}

FormReply ExperimentForm::press(std::string_view) {
    return {false, {}};
}

FieldView ExperimentForm::view(std::string_view name) const {
    FieldView v;
    if (const auto ref = findField(m_p, name)) {
        if (const auto* text = std::get_if<std::string*>(&*ref))
            v.text = **text;
    }
    decorate(name, v);
    return v;
}

void ExperimentForm::write(std::string_view field, const std::string& text, FormReply& reply) {
    const auto ref = findField(m_p, field);
    if (!ref)
        return;
    std::string* target = std::get<std::string*>(*ref);
    if (*target == text)
        return;
    *target = text;
    if (m_depth >= kMaxCascade)
        return;
    ++m_depth;
    addMessages(reply, changed(field));
    --m_depth;
}

bool ExperimentForm::setBox(std::string_view box, bool checked, bool& changedState) {
    const auto ref = findField(m_p, box);
    if (!ref || !std::holds_alternative<bool*>(*ref))
        return false;
    bool* value = std::get<bool*>(*ref);
    changedState = *value != checked;
    *value = checked;
    return true;
}

void addMessage(FormReply& reply, FormMessage message) {
    if (!reply.messages.empty() && reply.messages.back() == message)
        return;
    reply.messages.push_back(std::move(message));
}

void addMessages(FormReply& reply, const FormReply& more) {
    for (const FormMessage& m : more.messages)
        addMessage(reply, m);
}

void addNotices(FormReply& reply, const Notices& notices) {
    for (const Notice& n : notices)
        addMessage(reply, {n.text, n.title, n.critical ? MessageIcon::Critical : MessageIcon::None});
}

void addToNotices(Notices& notices, const FormReply& reply) {
    for (const FormMessage& m : reply.messages)
        notices.push_back({m.text, m.title, m.icon == MessageIcon::Critical});
}

FormMessage errorMessage(std::string text) {
    return {std::move(text), "Error", MessageIcon::Critical};
}

bool hasBaseName(std::string_view name, std::initializer_list<std::string_view> bases) {
    const std::string_view base = name.substr(0, name.find('('));
    for (std::string_view b : bases)
        if (b == base)
            return true;
    return false;
}

} // namespace tessaly
