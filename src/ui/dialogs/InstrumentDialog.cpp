#include "ui/dialogs/InstrumentDialog.h"

#include "model/InstrumentForm.h"
#include "workbench/Workbench.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
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

// Adds "caption [field]" rows to a form layout.
void addFields(FormBinder& b, QFormLayout& form, QWidget* parent,
               std::initializer_list<std::pair<const char*, const char*>> fields) {
    for (const auto& [name, caption] : fields) {
        auto* label = new QLabel(QString::fromLatin1(caption), parent);
        label->setObjectName(QStringLiteral("Label_") + QString::fromLatin1(name));
        QLineEdit* edit = b.text(QString::fromLatin1(name), parent, label);
        edit->setMaximumWidth(110);
        form.addRow(label, edit);
    }
}

} // namespace

InstrumentDialog::InstrumentDialog(Workbench& wb, QWidget* parent)
    : ExperimentDialog(wb, std::make_unique<InstrumentForm>(wb.params), QStringLiteral("Instrument"),
                       parent) {
    // Built in the order of the tab chain: the frames left to right, then the buttons.
    auto* columns = new QHBoxLayout;
    columns->addWidget(programmeFrame(), 0, Qt::AlignTop);
    columns->addWidget(electrodeFrame(), 0, Qt::AlignTop);
    columns->addLayout(settingsColumn());
    columns->addWidget(designFrame(), 0, Qt::AlignTop);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(binder().button(QStringLiteral("cmdReset"), QStringLiteral("Reset"), this));
    buttons->addWidget(okButton());

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addLayout(buttons);
    // The design frame widens the dialog while it is shown and narrows it when hidden.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    refresh();
}

QGroupBox* InstrumentDialog::programmeFrame() {
    FormBinder& b = binder();
    QGroupBox* programme = group(QStringLiteral("Instrumental Parameters"));
    auto* programmeForm = new QFormLayout(programme);
    addFields(b, *programmeForm, programme,
              {{"Estart", "E start (V)"},
               {"Eend", "E end  (V)"},
               {"Estep", "E step (V)"},
               {"V", "v (V/s)"},
               {"td", "t drop  (s)"},
               {"tp", "t pulse (s)"},
               {"Epulse", "E pulse (V)"},
               {"TextF", "f (Hz)"},
               {"tsa1", "t s1"},
               {"tsa2", "t s2"},
               {"txttemp", "T (\xB0" "C)"}, // Latin-1 degree sign
               {"Noise", "Noise (A)"}});
    auto* scanLabel = new QLabel(QStringLiteral("Scan"), programme);
    programmeForm->addRow(scanLabel, b.list(QStringLiteral("ComboScan"),
                                            {QStringLiteral("single"), QStringLiteral("cycle"),
                                             QStringLiteral("2 cycles"), QStringLiteral("3 cycles")},
                                            programme));
    addFields(b, *programmeForm, programme, {{"TextTexp", "t exp (s)"}});
    return programme;
}

// The eleven electrode options in two columns of six, then the geometry fields.
QGroupBox* InstrumentDialog::electrodeFrame() {
    FormBinder& b = binder();
    QGroupBox* electrode = group(QStringLiteral("Electrode"));
    auto* electrodeLayout = new QVBoxLayout(electrode);
    auto* electrodeOptions = new QGridLayout;
    for (const kind::Electrode e : kind::kAllElectrodes) {
        const int n = kind::code(e);
        electrodeOptions->addWidget(
            b.option(QStringLiteral("optElectrode"), n, QString::fromLatin1(traits(e).caption), electrode),
            (n - 1) % 6, (n - 1) / 6);
    }
    electrodeLayout->addLayout(electrodeOptions);
    auto* geometry = new QFormLayout;
    addFields(b, *geometry, electrode,
              {{"ARE", "Area (cm2)"},
               {"radius", "Disc radius (cm)"},
               {"leng", "Length (cm)"},
               {"radius2", "Ring radius (cm)"},
               {"radius3", "Ring outter radius (cm)"},
               {"thickness", "Thickness (cm)"},
               {"Rotation", "Rotation (rpm)"}});
    electrodeLayout->addLayout(geometry);
    electrodeLayout->addStretch();
    return electrode;
}

// Baseline, the preconcentration check box with its frame, and the digital model.
QVBoxLayout* InstrumentDialog::settingsColumn() {
    FormBinder& b = binder();
    QGroupBox* baseline = group(QStringLiteral("Baseline"));
    auto* baselineForm = new QFormLayout(baseline);
    addFields(b, *baselineForm, baseline,
              {{"TxtI0", "I start (A)"}, {"TxtI1", "I end (A)"}, {"Cdl", "C d (F)"}, {"txtRu", "R u (ohm)"}});

    QCheckBox* precon = b.check(QStringLiteral("CheckPreCon"), QStringLiteral("Preconcentration"), this);
    auto* preconFrame = group(QString(), QStringLiteral("FramePrecon"));
    b.frame(preconFrame, QStringLiteral("FramePrecon"));
    auto* preconForm = new QFormLayout(preconFrame);
    addFields(b, *preconForm, preconFrame,
              {{"txtEPre", "E pre (V)"},
               {"txtTPre", "t pre (s)"},
               {"txtRStir", "R stir  (rpm)"},
               {"txtTpreconst", "t pre const (/s)"}});

    QGroupBox* digital = group(QStringLiteral("Digital Model"), QStringLiteral("FrameDigitalModel"));
    b.frame(digital, QStringLiteral("FrameDigitalModel"));
    auto* digitalForm = new QFormLayout(digital);
    digitalForm->addRow(b.check(QStringLiteral("CheckAuto"), QStringLiteral("Auto digital model"), digital));
    addFields(b, *digitalForm, digital,
              {{"TextTimeGrid", "Time grid (s)"}, {"TextExpanding", "Space grid factor"}});

    auto* column = new QVBoxLayout;
    column->addWidget(baseline);
    column->addWidget(precon);
    column->addWidget(preconFrame);
    column->addWidget(digital);
    column->addStretch();
    return column;
}

// The twelve vertices t1(k), E1(k) of the designed waveform.
QGroupBox* InstrumentDialog::designFrame() {
    FormBinder& b = binder();
    QGroupBox* design = group(QStringLiteral("Design Waveform"), QStringLiteral("FrameDesignWaveform"));
    b.frame(design, QStringLiteral("FrameDesignWaveform"));
    auto* designGrid = new QGridLayout(design);
    for (int k = 0; k < kDesignRows; ++k) {
        auto* tLabel = new QLabel(k == 0 ? QStringLiteral("t0(s)") : QStringLiteral("t%1").arg(k), design);
        auto* eLabel = new QLabel(k == 0 ? QStringLiteral("E0(V)") : QStringLiteral("E%1").arg(k), design);
        QLineEdit* t = b.text(QStringLiteral("t1(%1)").arg(k), design);
        QLineEdit* e = b.text(QStringLiteral("E1(%1)").arg(k), design);
        t->setMaximumWidth(70);
        e->setMaximumWidth(70);
        designGrid->addWidget(tLabel, k, 0);
        designGrid->addWidget(t, k, 1);
        designGrid->addWidget(eLabel, k, 2);
        designGrid->addWidget(e, k, 3);
    }
    return design;
}

} // namespace tessaly
