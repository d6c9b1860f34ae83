#include "ui/dialogs/TechniqueDialog.h"

#include "model/TechniqueForm.h"
#include "workbench/Workbench.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tessaly {

TechniqueDialog::TechniqueDialog(Workbench& wb, QWidget* parent)
    : ExperimentDialog(wb, std::make_unique<TechniqueForm>(wb.params), QStringLiteral("Techniques"), parent) {
    QGroupBox* frame = group(QStringLiteral("Voltammetry and chronoamperometry"));
    auto* options = new QVBoxLayout(frame);
    for (const kind::Technique t : kind::kAllTechniques)
        options->addWidget(binder().option(QStringLiteral("optTech"), kind::code(t),
                                           QString::fromLatin1(traits(t).caption), frame));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(okButton(), 0, Qt::AlignRight);
    refresh();
}

} // namespace tessaly
