#include "ui/dialogs/SpeciesDialog.h"

#include "model/SpeciesForm.h"
#include "workbench/Workbench.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace tessaly {

SpeciesDialog::SpeciesDialog(Workbench& wb, QWidget* parent)
    : ExperimentDialog(wb, std::make_unique<SpeciesForm>(wb.params), QStringLiteral("Species"), parent) {
    FormBinder& b = binder();
    QGroupBox* species = speciesFrame();
    binder().extra([this] { showFittedValues(); });

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(
        b.check(QStringLiteral("CheckPreEqu"), QStringLiteral("Chemical pre-equilibration"), this));
    bottom->addWidget(
        b.check(QStringLiteral("CheckElectrode"), QStringLiteral("Electrode pre-equilibration"), this));
    bottom->addStretch();
    bottom->addWidget(okButton());

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(species, 1);
    layout->addLayout(bottom);
    resize(1080, 520);
    refresh();
}

QGroupBox* SpeciesDialog::speciesFrame() {
    FormBinder& b = binder();
    auto* content = new QWidget;
    auto* grid = new QGridLayout(content);
    const char* captions[] = {"C anal (M)", "C fitted (M)",     "C min", "C max", "C init (M)",
                              "D (cm2/s)",  "D fitted (cm2/s)", "D min", "D max", "b (/M)",
                              "G"};
    int col = 1;
    for (const char* c : captions)
        grid->addWidget(new QLabel(QString::fromLatin1(c), content), 0, col++);
    for (int s = 1; s <= kMaxSpecies; ++s) {
        const auto n = [s](const char* base) {
            return QStringLiteral("%1(%2)").arg(QLatin1String(base)).arg(s);
        };
        grid->addWidget(b.label(n("specie"), content), s, 0);
        col = 1;
        const auto field = [&](const QString& name) {
            QLineEdit* e = b.text(name, content);
            e->setMaximumWidth(80);
            grid->addWidget(e, s, col++);
        };
        field(n("C"));
        grid->addWidget(b.check(QStringLiteral("CheckFitted(%1)").arg(100 + s), QString(), content), s, col++,
                        Qt::AlignCenter);
        field(n("TextCmin"));
        field(n("TextCmax"));
        field(n("Cinit"));
        field(n("D"));
        grid->addWidget(b.check(QStringLiteral("CheckFitted(%1)").arg(120 + s), QString(), content), s, col++,
                        Qt::AlignCenter);
        field(n("TextDmin"));
        field(n("TextDmax"));
        field(n("TextB"));
        field(n("TextG"));
    }
    grid->setRowStretch(kMaxSpecies + 1, 1);
    auto* area = new QScrollArea;
    area->setWidget(content);
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);

    QGroupBox* species = group(QStringLiteral("Species"));
    auto* speciesLayout = new QVBoxLayout(species);
    speciesLayout->addWidget(area);
    return species;
}

} // namespace tessaly
