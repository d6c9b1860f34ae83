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

struct MechanismOption {
    const char* caption;
    const char* tip;
};

constexpr MechanismOption kMechanisms[] = {
    {"1)  A + ne = B", "simple charge reaction E"},
    {"2)  A + ne <-> B, B + ne <-> C, if E'1>E'2", "2-step charge reversible reaction EE if E'1>E'2"},
    {"3)  A + ne <-> B, B + ne <-> C, C + ne <-> D if E'1>E'2>E'3",
     "3-step charge reversible reaction EEE if E'1>E'2>E'3"},
    {"4)  A + ne = B, C + ne = D, E + ne = F", "multicompoment charge reaction E+E+E"},
    {"5)  C=2A, A + ne = B, if kf>100v, K<1", "2nd order preoceding reaction C2E"},
    {"6)  C+mD = A+mE, A+ne = B, if K<1, D>m*100C, E>m*100A", "1st order preceding reaction CE"},
    {"7)  A + ne = B, B = C, if kf>100v, K>1", "following  reaction EC"},
    {"8)  A + ne = B, B + C = A, if kf*C>10v, C>100A", "1st order catalytic reaction ECi'"},
    {"9)  A + ne = B, 2B->C, if kf*B>100v, K>1", "2nd order following reaction ECi2"},
    {"10)  MLm = M + mL, M + ne = B, if L>m*M, K<1", "complex reaction CE"},
    {"11)  A + ne <-> B", "reversible charge reaction Er"},
    {"12)  A + ne <-> B, C + ne <-> D, E + ne <-> F", "rev multicompoment charge reaction Er+Er+Er"},
    {"13)  A + ne <-> B, B + ne <-> C", "2-step reversible charge reaction ErEr"},
    {"14)  A + ne <-> B, B + ne <-> C, C + ne <-> D", "3-step reversible charge reaction ErErEr"},
    {"15)  A(abs) + ne <-> B(abs)", "absorb reversible charge reaction"},
    {"16)  A(abs) + ne <-> B(abs), C(abs) + ne <-> D(abs)", "absorb reversible charge reaction"},
    {"17)  A(abs) + ne = B(abs)", "absorb charge reaction"},
    {"18)  A(abs) + ne = B(abs),  C(abs) + ne = D(abs)", "absorb charge reaction"},
};

QLabel* fixedLabel(const QString& text, QWidget* parent) {
    return new QLabel(text, parent);
}

} // namespace

MechanismDialog::MechanismDialog(Workbench& wb, QWidget* parent)
    : ExperimentDialog(wb, std::make_unique<MechanismForm>(wb.params), QStringLiteral("Mechanism"), parent) {
    FormBinder& b = binder();

    QGroupBox* analytical =
        group(QStringLiteral("Analytical Simulation "), QStringLiteral("FrameAnalytical"));
    b.frame(analytical, QStringLiteral("FrameAnalytical"));
    auto* options = new QVBoxLayout(analytical);
    options->setSpacing(2);
    int n = 1;
    for (const MechanismOption& m : kMechanisms)
        options->addWidget(b.option(QStringLiteral("mech"), n++, QString::fromLatin1(m.caption), analytical,
                                    QString::fromLatin1(m.tip)));

    // Charge row i reads: a A + h H+ + n e = b B + w H2O, the proton and water terms only with the pH
    // effect.
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

    // Chemical reaction j: two reactants and two products.
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

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(analytical);
    layout->addWidget(charge);
    layout->addWidget(chemical);
    layout->addLayout(settings);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    refresh();
}

} // namespace tessaly
