#pragma once
// The common shape of the five experiment dialogs' logic, without widgets. A form reads and writes
// the texts of ExperimentParams and the dialog's visible state kept there; a front-end binds widgets
// to it: a keystroke calls type() (or changed() after storing the text itself), losing focus calls
// leave(), a check box click(), an option select(), a button press(), the OK button ok(), showing the
// dialog activate(); after each call it re-reads view() of its controls and shows the messages.
//
// Fields, boxes, option groups and frames are named as the dialog names its controls: "Estart",
// "ks(1)", "CheckFitted(31)", "optElectrode(5)" (an option button), "FrameDigitalModel".

#include "model/Commits.h"
#include "model/ExperimentParams.h"
#include "model/FormTypes.h"

#include <optional>
#include <string>
#include <string_view>

namespace tessaly {

class ExperimentForm {
public:
    explicit ExperimentForm(ExperimentParams& p) : m_p(p) {}
    virtual ~ExperimentForm() = default;
    ExperimentForm(const ExperimentForm&) = delete;
    ExperimentForm& operator=(const ExperimentForm&) = delete;

    // "FormTech", "FormIns", "FormMech", "FormExpr", "FormSpecies".
    virtual std::string_view formName() const = 0;

    // True when the field, box, option group, button or frame belongs to this dialog.
    virtual bool holds(std::string_view name) const = 0;

    // The activation steps, run each time the dialog is shown.
    virtual FormReply activate() = 0;

    // Stores a text typed into a field, then runs the field's change reaction.
    FormReply type(std::string_view field, std::string_view text);

    // The change reaction of a field whose text has just changed.
    virtual FormReply changed(std::string_view field) = 0;

    // Validation on leaving a field. A message means the value is refused: the text stays as typed
    // and the focus stays in the field. A text that the parameter file could not store and give back
    // as it is (a comma, a line break, a leading double quote) is refused first; then the dialog's own
    // validation runs.
    std::optional<FormMessage> leave(std::string_view field);

    // A check box set to `checked` by the user, then its click reaction. Setting a box to the state
    // it already has raises no click.
    virtual FormReply click(std::string_view box, bool checked);

    // Option `option` of an option group (or list) chosen by the user.
    virtual FormReply select(std::string_view group, int option);

    // A button other than OK.
    virtual FormReply press(std::string_view button);

    // The OK button: the dialog's commit (the dialog then hides), with the messages it collected.
    FormReply ok();

    // Text, offered and read-only state and caption of a control.
    FieldView view(std::string_view name) const;

protected:
    // The dialog's own validation of a field on leaving it; nothing by default.
    virtual std::optional<FormMessage> validate(std::string_view field);

    // What follows a value once it is complete: run when the field is left and its value accepted, not at
    // every keystroke (a fit's limits widen around a typed start value; the partial texts of the typing,
    // "0" on the way to "0.45", would widen them for nothing). Nothing by default.
    virtual void settled(std::string_view field);

    // The dialog's commit, collecting its messages.
    virtual void commit(Notices& notices) = 0;

    // Fills the dialog-specific state of a control into its view (the text is already there).
    virtual void decorate(std::string_view name, FieldView& view) const = 0;

    // Writes a derived text into a field. When the text differs from the one held, the field's change
    // reaction runs, as an edit control raises its change event when the program sets its text.
    void write(std::string_view field, const std::string& text, FormReply& reply);

    // Sets a check box held in ExperimentParams; false when there is no such box.
    bool setBox(std::string_view box, bool checked, bool& changedState);

    ExperimentParams& m_p;

private:
    int m_depth = 0; // nesting of change reactions started by write()
};

// Appends messages to a reply, skipping one identical to the last shown (a reaction that runs twice
// in one cascade reports once).
void addMessage(FormReply& reply, FormMessage message);
void addMessages(FormReply& reply, const FormReply& more);
void addNotices(FormReply& reply, const Notices& notices);
void addToNotices(Notices& notices, const FormReply& reply);

// "Error" message boxes with the critical icon, as the dialogs' validations show them.
FormMessage errorMessage(std::string text);

// True when `name` (with or without an index) has one of the base names.
bool hasBaseName(std::string_view name, std::initializer_list<std::string_view> bases);

} // namespace tessaly
