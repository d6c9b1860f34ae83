#include "ui/AboutDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tessaly {

QString versionText() {
    return QStringLiteral("Version ") + QStringLiteral(TESSALY_VERSION);
}

QString aboutDescription() {
    return QStringLiteral(
               "Tessaly simulates voltammetric and chronoamperometric experiments at electrodes of "
               "eleven geometries, for eighteen mechanisms with analytical solutions and for general "
               "mechanisms of charge-transfer and chemical reactions by finite-difference simulation; "
               "it imports measured curves, fits simulations to them by non-linear least squares, "
               "separates overlapped peaks and analyses, transforms, plots and prints curves.") +
           QStringLiteral("\nPlease read its help document. ");
}

AboutDialog::AboutDialog(QWidget* parent)
    : FormDialog(QStringLiteral("frmAbout"), QStringLiteral("About"), parent) {
    auto* title = new QLabel(QStringLiteral("Tessaly"), this);
    title->setObjectName(QStringLiteral("lblTitle"));
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 1.8);
    big.setBold(true);
    title->setFont(big);

    auto* version = new QLabel(versionText(), this);
    version->setObjectName(QStringLiteral("lblVersion"));

    auto* description = new QLabel(aboutDescription(), this);
    description->setObjectName(QStringLiteral("lblDescription"));
    description->setWordWrap(true);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(version);
    layout->addSpacing(8);
    layout->addWidget(description);
    layout->addWidget(ok, 0, Qt::AlignRight);
    setMinimumWidth(420);
}

} // namespace tessaly
