#include "ui/dialogs/FormBinder.h"

#include "model/FieldTable.h"
#include "workbench/Workbench.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <algorithm>

namespace tessaly {

namespace {

std::string str(const QString& s) {
    return s.toStdString();
}

std::string indexedName(const std::string& group, int n) {
    return group + "(" + std::to_string(n) + ")";
}

} // namespace

FormBinder::FormBinder(Workbench& wb, ExperimentForm& form, QWidget* dialog)
    : QObject(dialog), m_wb(wb), m_form(form), m_dialog(dialog) {}

void FormBinder::show(const FormReply& reply) {
    for (const FormMessage& m : reply.messages)
        m_wb.port().showMessage(m.text, m.title, m.icon);
}

void FormBinder::apply(const std::function<FormReply()>& call) {
    const FormReply reply = call();
    refresh();
    show(reply);
    refresh();
}

QLineEdit* FormBinder::text(const QString& name, QWidget* parent, QLabel* caption) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    const std::string field = str(name);
    connect(edit, &QLineEdit::textEdited, this, [this, field](const QString& typed) {
        if (m_refreshing)
            return;
        apply([&] { return m_form.type(field, str(typed)); });
    });
    edit->installEventFilter(this);
    m_bound.push_back({Bound::Kind::Text, edit, field, 0, caption, false});
    return edit;
}

QCheckBox* FormBinder::check(const QString& name, const QString& caption, QWidget* parent,
                             const QString& tip) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    if (!tip.isEmpty())
        box->setToolTip(tip);
    const std::string field = str(name);
    connect(box, &QCheckBox::clicked, this, [this, field](bool checked) {
        if (!settle()) {
            refresh();
            return;
        }
        apply([&] { return m_form.click(field, checked); });
    });
    m_bound.push_back({Bound::Kind::Check, box, field, 0, nullptr, false});
    return box;
}

QRadioButton* FormBinder::option(const QString& group, int n, const QString& caption, QWidget* parent,
                                 const QString& tip) {
    auto* button = new QRadioButton(caption, parent);
    const std::string name = str(group);
    button->setObjectName(QString::fromStdString(indexedName(name, n)));
    button->setAutoExclusive(false); // the selection is the form's; refresh() sets every button
    if (!tip.isEmpty())
        button->setToolTip(tip);
    connect(button, &QRadioButton::clicked, this, [this, name, n] {
        if (!settle()) {
            refresh();
            return;
        }
        apply([&] { return m_form.select(name, n); });
        if (name == "optTech") {
            // The main window's I pulse command follows the chosen technique at once.
            m_wb.offerSampledCurrents(m_wb.params.techniqueForm.iPulseEnabled);
            m_wb.port().menusChanged();
        }
    });
    m_bound.push_back({Bound::Kind::Option, button, name, n, nullptr, false});
    return button;
}

QRadioButton* FormBinder::flagOption(const QString& name, const QString& caption, QWidget* parent) {
    auto* button = new QRadioButton(caption, parent);
    button->setObjectName(name);
    button->setAutoExclusive(false);
    const std::string field = str(name);
    connect(button, &QRadioButton::clicked, this,
            [this, field] { apply([&] { return m_form.select(field, 1); }); });
    m_bound.push_back({Bound::Kind::Flag, button, field, 1, nullptr, false});
    return button;
}

QComboBox* FormBinder::list(const QString& group, const QStringList& entries, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(group);
    combo->addItems(entries);
    const std::string name = str(group);
    connect(combo, &QComboBox::activated, this,
            [this, name](int index) { apply([&] { return m_form.select(name, index); }); });
    m_bound.push_back({Bound::Kind::List, combo, name, 0, nullptr, false});
    return combo;
}

QPushButton* FormBinder::button(const QString& name, const QString& caption, QWidget* parent) {
    auto* push = new QPushButton(caption, parent);
    push->setObjectName(name);
    push->setAutoDefault(false);
    const std::string field = str(name);
    connect(push, &QPushButton::clicked, this, [this, field] {
        if (!settle())
            return;
        apply([&] { return m_form.press(field); });
    });
    return push;
}

QLabel* FormBinder::label(const QString& name, QWidget* parent, bool fixed, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    m_bound.push_back({Bound::Kind::Label, l, str(name), 0, nullptr, fixed});
    return l;
}

void FormBinder::frame(QWidget* widget, const QString& name) {
    m_bound.push_back({Bound::Kind::Frame, widget, str(name), 0, nullptr, true});
}

void FormBinder::follow(QWidget* widget, const QString& name) {
    frame(widget, name);
}

void FormBinder::extra(std::function<void()> refresher) {
    m_extras.push_back(std::move(refresher));
}

void FormBinder::refreshOne(const Bound& b) {
    switch (b.kind) {
    case Bound::Kind::Text: {
        auto* edit = static_cast<QLineEdit*>(b.widget);
        const FieldView v = m_form.view(b.name);
        const QString text = QString::fromStdString(v.text);
        if (edit->text() != text)
            edit->setText(text);
        edit->setReadOnly(v.readOnly);
        edit->setVisible(v.visible);
        if (b.caption) {
            b.caption->setVisible(v.visible);
            if (!v.caption.empty())
                b.caption->setText(QString::fromStdString(v.caption));
        }
        break;
    }
    case Bound::Kind::Check: {
        auto* box = static_cast<QCheckBox*>(b.widget);
        if (const auto ref = findField(m_wb.params, b.name))
            if (const auto* flag = std::get_if<bool*>(&*ref))
                box->setChecked(**flag);
        box->setVisible(m_form.view(b.name).visible);
        break;
    }
    case Bound::Kind::Option: {
        auto* button = static_cast<QRadioButton*>(b.widget);
        if (const auto ref = findField(m_wb.params, b.name))
            if (const auto* chosen = std::get_if<int*>(&*ref))
                button->setChecked(**chosen == b.option);
        button->setVisible(m_form.view(indexedName(b.name, b.option)).visible);
        break;
    }
    case Bound::Kind::Flag: {
        auto* button = static_cast<QRadioButton*>(b.widget);
        if (const auto ref = findField(m_wb.params, b.name))
            if (const auto* flag = std::get_if<bool*>(&*ref))
                button->setChecked(**flag);
        break;
    }
    case Bound::Kind::List: {
        auto* combo = static_cast<QComboBox*>(b.widget);
        if (const auto ref = findField(m_wb.params, b.name))
            if (const auto* chosen = std::get_if<int*>(&*ref))
                combo->setCurrentIndex(**chosen);
        break;
    }
    case Bound::Kind::Label: {
        auto* l = static_cast<QLabel*>(b.widget);
        const FieldView v = m_form.view(b.name);
        if (!b.fixedText)
            l->setText(QString::fromStdString(v.caption.empty() ? v.text : v.caption));
        l->setVisible(v.visible);
        break;
    }
    case Bound::Kind::Frame:
        b.widget->setVisible(m_form.view(b.name).visible);
        break;
    }
}

void FormBinder::refresh() {
    m_refreshing = true;
    for (const Bound& b : m_bound) {
        const QSignalBlocker blocker(b.widget);
        refreshOne(b);
    }
    for (const auto& r : m_extras)
        r();
    m_refreshing = false;
}

bool FormBinder::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && m_pendingEdit == nullptr) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // Focus that moves to another window (a message box, another dialog) does not leave the
        // field; moving to another control of the dialog does.
        auto* edit = qobject_cast<QLineEdit*>(watched);
        if (edit && !edit->isReadOnly() && reason != Qt::ActiveWindowFocusReason &&
            reason != Qt::PopupFocusReason) {
            // The field is judged as it stands when it is left; the message and the return of the
            // focus wait until the focus change has finished.
            const auto refusal = m_form.leave(str(edit->objectName()));
            if (refusal) {
                m_pendingEdit = edit;
                m_pendingRefusal = *refusal;
                QTimer::singleShot(0, this, [this] { settle(); });
            } else {
                QTimer::singleShot(0, this, [this] { refresh(); });
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

void FormBinder::remember() {
    m_remembered.clear();
    for (const Bound& b : m_bound) {
        const auto ref = findField(m_wb.params, b.name);
        if (!ref)
            continue;
        const bool seen = std::any_of(m_remembered.begin(), m_remembered.end(),
                                      [&](const Remembered& r) { return r.name == b.name; });
        if (seen) // an option group is bound once per option
            continue;
        Remembered r{b.kind, b.name, {}, false, 0};
        if (const auto* text = std::get_if<std::string*>(&*ref))
            r.text = **text;
        else if (const auto* flag = std::get_if<bool*>(&*ref))
            r.flag = **flag;
        else if (const auto* chosen = std::get_if<int*>(&*ref))
            r.chosen = **chosen;
        else
            continue;
        m_remembered.push_back(std::move(r));
    }
}

void FormBinder::restore() {
    m_pendingEdit = nullptr;
    // Selections first (they decide which fields are offered), then boxes, then texts. A reply's
    // messages are not shown: the user is discarding, not choosing.
    for (const Bound::Kind pass : {Bound::Kind::Option, Bound::Kind::List, Bound::Kind::Flag, Bound::Kind::Check,
                                   Bound::Kind::Text}) {
        for (const Remembered& r : m_remembered) {
            if (r.kind != pass)
                continue;
            const auto ref = findField(m_wb.params, r.name);
            if (!ref)
                continue;
            if (const auto* text = std::get_if<std::string*>(&*ref); text && **text != r.text)
                m_form.type(r.name, r.text);
            else if (const auto* flag = std::get_if<bool*>(&*ref); flag && **flag != r.flag)
                r.kind == Bound::Kind::Check ? (void)m_form.click(r.name, r.flag) : (void)(**flag = r.flag);
            else if (const auto* chosen = std::get_if<int*>(&*ref); chosen && **chosen != r.chosen)
                m_form.select(r.name, r.chosen);
        }
    }
    // Texts react to each other (the scan rate and the drop time): the remembered texts themselves
    // are put back last, without their reactions, so each is as it was.
    for (const Remembered& r : m_remembered) {
        const auto ref = findField(m_wb.params, r.name);
        if (!ref)
            continue;
        if (const auto* text = std::get_if<std::string*>(&*ref))
            **text = r.text;
        else if (const auto* flag = std::get_if<bool*>(&*ref))
            **flag = r.flag;
        else if (const auto* chosen = std::get_if<int*>(&*ref))
            **chosen = r.chosen;
    }
    refresh();
}

bool FormBinder::settleFocusedField() {
    if (!settle())
        return false;
    auto* edit = qobject_cast<QLineEdit*>(m_dialog->focusWidget());
    if (!edit || edit->isReadOnly() ||
        std::none_of(m_bound.begin(), m_bound.end(), [edit](const Bound& b) { return b.widget == edit; }))
        return true;
    const auto refusal = m_form.leave(str(edit->objectName()));
    if (!refusal)
        return true;
    m_pendingEdit = edit;
    m_pendingRefusal = *refusal;
    return settle();
}

bool FormBinder::settle() {
    if (!m_pendingEdit)
        return true;
    QLineEdit* edit = m_pendingEdit;
    const FormMessage refusal = m_pendingRefusal;
    refresh();
    m_wb.port().showMessage(refusal.text, refusal.title, refusal.icon);
    // The text stays as typed and the field keeps the focus.
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
    m_pendingEdit = nullptr;
    return false;
}

} // namespace tessaly
