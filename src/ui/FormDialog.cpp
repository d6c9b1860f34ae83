#include "ui/FormDialog.h"

namespace tessaly {

FormDialog::FormDialog(const QString& name, const QString& caption, QWidget* parent) : QDialog(parent) {
    setObjectName(name);
    setWindowTitle(caption);
    setModal(false);
}

void FormDialog::reject() {
    QDialog::reject();
    emit closedWithoutOk();
}

} // namespace tessaly
