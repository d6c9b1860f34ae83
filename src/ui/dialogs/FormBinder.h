#pragma once
// Binds the widgets of an experiment dialog to its Qt-free form. Every widget carries the name of
// the control it shows ("Estart", "ks(1)", "CheckFitted(31)", "optElectrode(5)"). A keystroke runs
// the field's change reaction; leaving a field runs its validation, and a refused value keeps the
// focus; a click, an option or a button runs its reaction; after every call the binder re-reads the
// texts, checks, selections, captions and offered/read-only states of all its widgets, and shows the
// messages the form returned.

#include "model/ExperimentForm.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace tessaly {

class Workbench;

class FormBinder : public QObject {
    Q_OBJECT
public:
    FormBinder(Workbench& wb, ExperimentForm& form, QWidget* dialog);

    // A text field; `caption` (optional) is the label beside it, which follows the field's offered
    // state and takes the caption the form sets for it.
    QLineEdit* text(const QString& name, QWidget* parent, QLabel* caption = nullptr);
    QCheckBox* check(const QString& name, const QString& caption, QWidget* parent, const QString& tip = {});
    // Option n of a group ("optTech", 3); its offered state is read as "group(n)".
    QRadioButton* option(const QString& group, int n, const QString& caption, QWidget* parent,
                         const QString& tip = {});
    // A two-state option held as a flag (OptionH / OptionOH): choosing it selects option 1 of `name`.
    QRadioButton* flagOption(const QString& name, const QString& caption, QWidget* parent);
    QComboBox* list(const QString& group, const QStringList& entries, QWidget* parent);
    QPushButton* button(const QString& name, const QString& caption, QWidget* parent);
    // A label whose text is the caption the form sets for `name` (row captions, pH labels) and which
    // is shown while `name` is offered. `fixed` keeps the label's own text.
    QLabel* label(const QString& name, QWidget* parent, bool fixed = false, const QString& text = {});
    // A frame (or any widget) shown while `name` is offered.
    void frame(QWidget* widget, const QString& name);
    // A widget shown while all of `names` are offered (column headers of optional limits are not).
    void follow(QWidget* widget, const QString& name);
    // Something to re-read that the form does not describe by name.
    void extra(std::function<void()> refresher);

    // Re-reads every bound widget.
    void refresh();
    // Notes the texts, checks and selections as the dialog opens; restore() puts them back through
    // the form's own reactions (so what follows from them follows again) and re-reads the widgets.
    // Closing a dialog without OK discards what was typed or chosen in it.
    void remember();
    void restore();
    // Runs the validation of the field that has the focus, as leaving it would: OK pressed with
    // Enter never left the field. False (with the message shown) when the value is refused.
    bool settleFocusedField();
    // Shows a refusal met when a field was left, and returns the focus to that field; false when
    // there was one (the action that follows, such as OK, does not run).
    bool settle();
    // Shows the messages of a reply through the user port.
    void show(const FormReply& reply);
    // Runs `call` on the form, shows its messages and re-reads the widgets.
    void apply(const std::function<FormReply()>& call);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Bound {
        enum class Kind { Text, Check, Option, Flag, List, Label, Frame } kind;
        QWidget* widget;
        std::string name; // control (or group) name
        int option = 0;   // option number, for Option
        QLabel* caption = nullptr;
        bool fixedText = false;
    };
    void refreshOne(const Bound& b);

    // A bound field's value when the dialog opened.
    struct Remembered {
        Bound::Kind kind;
        std::string name;
        std::string text;
        bool flag = false;
        int chosen = 0;
    };
    std::vector<Remembered> m_remembered;

    Workbench& m_wb;
    ExperimentForm& m_form;
    QWidget* m_dialog;
    std::vector<Bound> m_bound;
    std::vector<std::function<void()>> m_extras;
    QLineEdit* m_pendingEdit = nullptr; // a field whose value was refused when it was left
    FormMessage m_pendingRefusal;
    bool m_refreshing = false;
};

} // namespace tessaly
