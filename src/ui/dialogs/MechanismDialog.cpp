#include "ui/dialogs/MechanismDialog.h"

#include "model/MechanismForm.h"
#include "workbench/Workbench.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tessaly {

namespace {

QLabel* fixedLabel(const QString& text, QWidget* parent) {
    return new QLabel(text, parent);
}

} // namespace

MechanismDialog::MechanismDialog(Workbench& wb, QWidget* parent)
    : ExperimentDialog(wb, std::make_unique<MechanismForm>(wb.params), QStringLiteral("Mechanism"), parent) {
    QGroupBox* analytical = analyticalFrame();
    QGroupBox* charge = chargeFrame();
    QGroupBox* chemical = chemicalFrame();
    QHBoxLayout* settings = settingsRow();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(analytical);
    layout->addWidget(charge);
    layout->addWidget(chemical);
    layout->addLayout(settings);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    refresh();
}

// The eighteen analytical mechanisms with their reaction schemes as tooltips.
QGroupBox* MechanismDialog::analyticalFrame() {
    FormBinder& b = binder();
    QGroupBox* analytical =
        group(QStringLiteral("Analytical Simulation "), QStringLiteral("FrameAnalytical"));
    b.frame(analytical, QStringLiteral("FrameAnalytical"));
    auto* options = new QVBoxLayout(analytical);
    options->setSpacing(2);
    for (const kind::Mechanism m : kind::kAllMechanisms)
        options->addWidget(b.option(QStringLiteral("mech"), kind::code(m),
                                    QString::fromLatin1(traits(m).caption), analytical,
                                    QString::fromLatin1(traits(m).tip)));
    return analytical;
}

// Charge row i reads: a A + h H+ + n e = b B + w H2O, the proton and water terms only with the pH effect.
QGroupBox* MechanismDialog::chargeFrame() {
    FormBinder& b = binder();
    QGroupBox* charge = group(QStringLiteral("Charge reaction"), QStringLiteral("FrameCharge"));
    b.frame(charge, QStringLiteral("FrameCharge"));
    auto* chargeGrid = new QGridLayout(charge);
    for (int i = 1; i <= kMaxCharge; ++i) {
        auto field = [&](int term, int width) {
            QLineEdit* e = b.text(QStringLiteral("charge(%1)").arg(10 * i + term), charge);
            e->setMaximumWidth(width);
            return e;
        };
        int col = 0;
        chargeGrid->addWidget(field(1, 34), i, col++);
        chargeGrid->addWidget(field(2, 70), i, col++);
        chargeGrid->addWidget(fixedLabel(QStringLiteral(" +"), charge), i, col++);
        QLabel* proton = fixedLabel(QString(), charge);
        chargeGrid->addWidget(b.text(QStringLiteral("charge(%1)").arg(10 * i + 3), charge, proton), i, col++);
        chargeGrid->addWidget(proton, i, col++);
        chargeGrid->addWidget(field(4, 34), i, col++);
        chargeGrid->addWidget(fixedLabel(QStringLiteral(" e ="), charge), i, col++);
        chargeGrid->addWidget(field(5, 34), i, col++);
        chargeGrid->addWidget(field(6, 70), i, col++);
        QLabel* plus = fixedLabel(QStringLiteral("+"), charge);
        b.follow(plus, QStringLiteral("charge(%1)").arg(10 * i + 7));
        b.extra([plus, this] {
            const std::string& text = m_wb.params.mechanismForm.productPlusLabel;
            plus->setText(text.empty() ? QStringLiteral("+") : QString::fromStdString(text));
        });
        chargeGrid->addWidget(plus, i, col++);
        QLabel* water = fixedLabel(QString(), charge);
        chargeGrid->addWidget(b.text(QStringLiteral("charge(%1)").arg(10 * i + 7), charge, water), i, col++);
        chargeGrid->addWidget(water, i, col++);
        chargeGrid->addWidget(
            b.check(QStringLiteral("CheckAdsorb(%1)").arg(i), QStringLiteral("Adsorb"), charge), i, col++);
    }
    for (QLineEdit* e : charge->findChildren<QLineEdit*>())
        if (e->maximumWidth() > 200)
            e->setMaximumWidth(34);
    return charge;
}

// Chemical reaction j: two reactants and two products.
QGroupBox* MechanismDialog::chemicalFrame() {
    FormBinder& b = binder();
    QGroupBox* chemical = group(QStringLiteral("Chemical reaction"), QStringLiteral("FrameChemical"));
    b.frame(chemical, QStringLiteral("FrameChemical"));
    auto* chemGrid = new QGridLayout(chemical);
    for (int j = 1; j <= kMaxChem; ++j) {
        const QString signs[] = {QStringLiteral(" +"), QStringLiteral(" ="), QStringLiteral(" +")};
        for (int k = 0; k < 4; ++k) {
            QLineEdit* e = b.text(QStringLiteral("chem2(%1)").arg(4 * j - 3 + k), chemical);
            e->setMaximumWidth(70);
            chemGrid->addWidget(e, j, 2 * k);
            if (k < 3)
                chemGrid->addWidget(fixedLabel(signs[k], chemical), j, 2 * k + 1);
        }
    }
    return chemical;
}

QHBoxLayout* MechanismDialog::settingsRow() {
    FormBinder& b = binder();
    auto* settings = new QHBoxLayout;
    settings->addWidget(b.check(QStringLiteral("CheckDigital"), QStringLiteral("Digital Simulation"), this,
                                QStringLiteral("Digital or analytical simulation")));
    settings->addWidget(b.check(QStringLiteral("CheckpH"), QStringLiteral("pH effect"), this));
    settings->addWidget(b.flagOption(QStringLiteral("OptionH"), QStringLiteral("H+"), this));
    settings->addWidget(b.flagOption(QStringLiteral("OptionOH"), QStringLiteral("OH-"), this));
    auto* mLabel = new QLabel(QStringLiteral("m="), this);
    mLabel->setToolTip(QStringLiteral("molecular number"));
    settings->addWidget(mLabel);
    QLineEdit* m = b.text(QStringLiteral("Textm"), this, mLabel);
    m->setToolTip(QStringLiteral("molecular number"));
    m->setMaximumWidth(50);
    settings->addWidget(m);
    settings->addStretch();
    settings->addWidget(okButton());
    return settings;
}

} // namespace tessaly
