#pragma once
// A modeless dialog of the main window: created once, hidden (never destroyed) by its OK button or by
// closing its window. Closing it without OK commits nothing but tells the main window, which then
// re-applies its availability rules as when any dialog closes.

#include <QDialog>

namespace tessaly {

class FormDialog : public QDialog {
    Q_OBJECT
public:
    FormDialog(const QString& name, const QString& caption, QWidget* parent);

    // Re-reads every text, check, option, caption and visible/read-only state from the form.
    virtual void refresh() {}

signals:
    // The window was closed (or Escape pressed) without OK.
    void closedWithoutOk();

public slots:
    void reject() override;
};

} // namespace tessaly
