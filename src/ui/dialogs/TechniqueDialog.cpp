#include "ui/dialogs/TechniqueDialog.h"

#include "model/TechniqueForm.h"
#include "workbench/Workbench.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tessaly {

namespace {

constexpr const char* kTechniques[] = {"1)  Linear sweep and cyclic voltammetry",
                                       "2)  DC voltammetry",
                                       "3)  Normal pulse and reverse pulse voltammetry",
                                       "4)  Differential pulse voltammetry",
                                       "5)  Square wave voltammetry",
                                       "6)  Additive square wave voltammetry",
                                       "7)  Staircase voltammetry",
                                       "8)  Potential step chronoamperometry",
                                       "9)  Design waveform",
                                       "10)  Import waveform"};

} // namespace

TechniqueDialog::TechniqueDialog(Workbench& wb, QWidget* parent)
    : ExperimentDialog(wb, std::make_unique<TechniqueForm>(wb.params), QStringLiteral("Techniques"), parent) {
    QGroupBox* frame = group(QStringLiteral("Voltammetry and chronoamperometry"));
    auto* options = new QVBoxLayout(frame);
    int n = 1;
    for (const char* caption : kTechniques)
        options->addWidget(
            binder().option(QStringLiteral("optTech"), n++, QString::fromLatin1(caption), frame));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(okButton(), 0, Qt::AlignRight);
    refresh();
}

} // namespace tessaly
