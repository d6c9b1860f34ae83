#pragma once
// The frame shared by the five experiment dialogs: the dialog's form over the workbench's experiment,
// the binder of its widgets, and the OK button, which settles a pending validation, runs the form's
// commit through the workbench (as the command-line runner's `ok` does) and hides the dialog. Only OK
// keeps what was typed: closing the dialog otherwise restores the values it opened with.

#include "model/ExperimentForm.h"
#include "ui/FormDialog.h"
#include "ui/dialogs/FormBinder.h"

#include <memory>

class QGroupBox;
class QPushButton;

namespace tessaly {

class Workbench;

class ExperimentDialog : public FormDialog {
    Q_OBJECT
public:
    ExperimentDialog(Workbench& wb, std::unique_ptr<ExperimentForm> form, const QString& caption,
                     QWidget* parent);

    void refresh() override;

public slots:
    // Closing without OK (Escape, the window's close box) puts back what the dialog showed when it
    // opened, then tells the main window as any close does.
    void reject() override;

    ExperimentForm& form() { return *m_form; }
    FormBinder& binder() { return *m_binder; }

protected:
    void showEvent(QShowEvent* event) override;
    // The OK button (`cmdOK`), the dialog's default button.
    QPushButton* okButton();
    // A titled frame.
    QGroupBox* group(const QString& title, const QString& name = {});
    // Each fit box (CheckFitted(code)) is captioned with its quantity ("ks(1)") and, after a fit, the value
    // the fit gave it ("ks(1) = 1.23e-2"). Dialogs with fit boxes call it on every refresh.
    void showFittedValues();
    static QString fitBoxCaption(int code);

    Workbench& m_wb;

private:
    void ok();

    std::unique_ptr<ExperimentForm> m_form;
    FormBinder* m_binder;
    QPushButton* m_ok = nullptr;
};

} // namespace tessaly
