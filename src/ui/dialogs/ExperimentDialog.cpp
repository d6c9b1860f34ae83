#include "ui/dialogs/ExperimentDialog.h"

#include "base/Failure.h"
#include "fitting/FitParameters.h"
#include "workbench/FormCommands.h"
#include "workbench/Workbench.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QShowEvent>

namespace tessaly {

ExperimentDialog::ExperimentDialog(Workbench& wb, std::unique_ptr<ExperimentForm> form,
                                   const QString& caption, QWidget* parent)
    : FormDialog(QString::fromUtf8(form->formName().data(), static_cast<qsizetype>(form->formName().size())),
                 caption, parent),
      m_wb(wb), m_form(std::move(form)), m_binder(new FormBinder(wb, *m_form, this)) {}

void ExperimentDialog::refresh() {
    m_binder->refresh();
}

QString ExperimentDialog::fitBoxCaption(int code) {
    // The name the report gives the quantity, without its unit: "ks(1)", "a(1)", "E'(1)", "D(2)", "Ru".
    const std::string name = fitParameterName(code);
    return QString::fromStdString(name.substr(0, name.find(" (")));
}

void ExperimentDialog::showFittedValues() {
    const QString prefix = QStringLiteral("CheckFitted(");
    for (QCheckBox* box : findChildren<QCheckBox*>()) {
        const QString name = box->objectName();
        if (!name.startsWith(prefix) || !name.endsWith(QLatin1Char(')')))
            continue;
        bool ok = false;
        const int code = name.mid(prefix.size(), name.size() - prefix.size() - 1).toInt(&ok);
        if (!ok || code < 1 || code >= kFitCodeCount)
            continue;
        const QString fitted = QString::fromStdString(m_wb.params.FittedValueText[static_cast<std::size_t>(code)]);
        const QString caption = fitBoxCaption(code);
        const QString text = fitted.isEmpty() ? caption : caption + QStringLiteral(" = ") + fitted;
        if (box->text() != text)
            box->setText(text);
        box->setToolTip(fitted.isEmpty() ? QStringLiteral("Fit ") + caption
                                         : QStringLiteral("Fit ") + caption + QStringLiteral("; the last fit gave ") +
                                               fitted);
    }
}

QPushButton* ExperimentDialog::okButton() {
    if (!m_ok) {
        m_ok = new QPushButton(QStringLiteral("OK"), this);
        m_ok->setObjectName(QStringLiteral("cmdOK"));
        m_ok->setDefault(true);
        connect(m_ok, &QPushButton::clicked, this, &ExperimentDialog::ok);
    }
    return m_ok;
}

QGroupBox* ExperimentDialog::group(const QString& title, const QString& name) {
    auto* box = new QGroupBox(title, this);
    if (!name.isEmpty())
        box->setObjectName(name);
    return box;
}

void ExperimentDialog::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) // opened, not merely uncovered
        m_binder->remember();
    FormDialog::showEvent(event);
}

void ExperimentDialog::reject() {
    m_binder->restore();
    FormDialog::reject();
}

void ExperimentDialog::ok() {
    if (!m_binder->settleFocusedField())
        return;
    try {
        if (okForm(m_wb, m_form->formName()) == FormStatus::Refused) {
            m_binder->refresh();
            return; // the refused field's message was shown; the dialog stays open
        }
    } catch (const Failure& failure) {
        m_wb.port().showMessage(failure.description(), "Error", MessageIcon::Critical);
    }
    m_binder->refresh();
    accept();
}

} // namespace tessaly
