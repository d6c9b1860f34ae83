#include "ui/OptionsDialog.h"

#include "base/Failure.h"
#include "plot/PlotOptions.h"
#include "render/QtCanvas.h"
#include "workbench/FormCommands.h"
#include "workbench/Workbench.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tessaly {

namespace {

QString indexed(const char* name, int index) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

constexpr std::array<const char*, 3> kStyleCaptions = {"...........", "oooooo", "______"};

Colour colourOf(const QColor& c) {
    return static_cast<Colour>(c.red()) | (static_cast<Colour>(c.green()) << 8) |
           (static_cast<Colour>(c.blue()) << 16);
}

} // namespace

OptionsDialog::OptionsDialog(Workbench& wb, QWidget* parent)
    : FormDialog(QStringLiteral("formOption"), QStringLiteral("Option"), parent), m_wb(wb) {
    auto* slotGrid = new QGridLayout;
    for (int i = 0; i < kOptionSlots; ++i) {
        auto* frame = new QGroupBox(QStringLiteral("Curve %1").arg(i + 1), this);
        frame->setObjectName(indexed("Frame1", i));
        auto* colour = new QPushButton(QStringLiteral("Color"), frame);
        colour->setObjectName(indexed("Command1", i));
        colour->setAutoDefault(false);
        connect(colour, &QPushButton::clicked, this, [this, i] { chooseColour(i); });

        auto* styleFrame = new QGroupBox(QStringLiteral("Line style"), frame);
        styleFrame->setObjectName(indexed("Linestyle", i));
        auto* group = new QButtonGroup(styleFrame);
        auto* styleLayout = new QVBoxLayout(styleFrame);
        for (int s = 0; s < 3; ++s) {
            auto* button = new QRadioButton(QString::fromLatin1(kStyleCaptions[static_cast<std::size_t>(s)]),
                                            styleFrame);
            const QString name = indexed(("linestyle" + std::to_string(s + 1)).c_str(), i);
            button->setObjectName(name);
            group->addButton(button);
            styleLayout->addWidget(button);
            connect(button, &QRadioButton::toggled, this, [this, name](bool on) {
                if (!on)
                    return;
                PlotOptionsForm(m_wb.plotOptions).select(name.toStdString());
            });
            m_styles[static_cast<std::size_t>(i)][static_cast<std::size_t>(s)] = button;
        }
        auto* frameLayout = new QVBoxLayout(frame);
        frameLayout->addWidget(colour);
        frameLayout->addWidget(styleFrame);
        slotGrid->addWidget(frame, i / 3, i % 3);
    }

    auto* axis = new QGroupBox(QStringLiteral("Axis"), this);
    axis->setObjectName(QStringLiteral("axis"));
    m_checks[0] = addCheck("CheckGrid", "Grid", nullptr);
    m_checks[1] = addCheck("overlap", "Overlap", "overlap plot");
    m_checks[2] = addCheck("CheckXdir", "X direction: + -> -", "+ to -, or - to +");
    m_checks[3] = addCheck("Xauto", "X auto", "auto scale of X axis ");
    m_checks[4] = addCheck("Yauto", "Y auto", "auto scale of Y axis ");
    m_labels[0] = addLabel("Label2", "X min", "mininum X value");
    m_labels[1] = addLabel("Label3", "X max", "maxinum X value");
    m_labels[2] = addLabel("Label4", "Y min", "mininum Y value");
    m_labels[3] = addLabel("Label5", "Y max", "maxinum Y value");
    m_limits[0] = addLimit("XminText");
    m_limits[1] = addLimit("XmaxText");
    m_limits[2] = addLimit("YminText");
    m_limits[3] = addLimit("YmaxText");

    auto* axisLayout = new QGridLayout(axis);
    axisLayout->addWidget(m_checks[2], 0, 0, 1, 4);
    axisLayout->addWidget(m_checks[3], 1, 0);
    axisLayout->addWidget(m_labels[0], 1, 1);
    axisLayout->addWidget(m_limits[0], 1, 2);
    axisLayout->addWidget(m_labels[1], 1, 3);
    axisLayout->addWidget(m_limits[1], 1, 4);
    axisLayout->addWidget(m_checks[4], 2, 0);
    axisLayout->addWidget(m_labels[2], 2, 1);
    axisLayout->addWidget(m_limits[2], 2, 2);
    axisLayout->addWidget(m_labels[3], 2, 3);
    axisLayout->addWidget(m_limits[3], 2, 4);

    auto* switches = new QVBoxLayout;
    switches->addWidget(m_checks[0]);
    switches->addWidget(m_checks[1]);
    switches->addStretch();

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &OptionsDialog::ok);

    auto* bottom = new QHBoxLayout;
    bottom->addLayout(switches);
    bottom->addWidget(axis, 1);
    bottom->addWidget(ok, 0, Qt::AlignBottom);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(slotGrid);
    layout->addLayout(bottom);
    refresh();
}

QCheckBox* OptionsDialog::addCheck(const char* name, const char* caption, const char* tip) {
    auto* box = new QCheckBox(QString::fromLatin1(caption), this);
    box->setObjectName(QString::fromLatin1(name));
    if (tip)
        box->setToolTip(QString::fromLatin1(tip));
    const std::string field = name;
    connect(box, &QCheckBox::clicked, this, [this, field](bool ticked) {
        PlotOptionsForm(m_wb.plotOptions).setChecked(field, ticked);
        refresh();
    });
    return box;
}

QLabel* OptionsDialog::addLabel(const char* name, const char* caption, const char* tip) {
    auto* label = new QLabel(QString::fromLatin1(caption), this);
    label->setObjectName(QString::fromLatin1(name));
    label->setToolTip(QString::fromLatin1(tip));
    return label;
}

QLineEdit* OptionsDialog::addLimit(const char* name) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMaximumWidth(90);
    const std::string field = name;
    connect(edit, &QLineEdit::textEdited, this, [this, field](const QString& text) {
        PlotOptionsForm(m_wb.plotOptions).setText(field, text.toStdString());
    });
    return edit;
}

void OptionsDialog::refresh() {
    PlotOptionsForm form(m_wb.plotOptions);
    for (QCheckBox* box : m_checks)
        box->setChecked(form.checked(box->objectName().toStdString()));
    for (QLineEdit* edit : m_limits) {
        const std::string name = edit->objectName().toStdString();
        const QString text = QString::fromStdString(form.text(name));
        if (edit->text() != text)
            edit->setText(text);
        edit->setEnabled(form.enabled(name));
    }
    for (QLabel* label : m_labels)
        label->setEnabled(form.enabled(label->objectName().toStdString()));
    for (int i = 0; i < kOptionSlots; ++i) {
        const QColor colour = qtColour(form.captionColour(i));
        for (int s = 0; s < 3; ++s) {
            QRadioButton* button = m_styles[static_cast<std::size_t>(i)][static_cast<std::size_t>(s)];
            const bool chosen = form.lineStyle(i) == s + 1;
            if (button->isChecked() != chosen)
                button->setChecked(chosen);
            QPalette palette = button->palette();
            palette.setColor(QPalette::WindowText, colour);
            palette.setColor(QPalette::ButtonText, colour);
            button->setPalette(palette);
        }
    }
}

void OptionsDialog::colourChosen(int index, const QColor& colour) {
    PlotOptionsForm(m_wb.plotOptions).colourChosen(index, colourOf(colour), m_wb.store.CurveColor);
    refresh();
}

void OptionsDialog::chooseColour(int index) {
    const QColor initial = qtColour(PlotOptionsForm(m_wb.plotOptions).captionColour(index));
    const QColor chosen = QColorDialog::getColor(initial, this, QStringLiteral("Color"));
    if (chosen.isValid()) // a cancelled colour dialog changes nothing
        colourChosen(index, chosen);
}

void OptionsDialog::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        m_openedWith = m_wb.plotOptions;
        m_coloursOpenedWith = m_wb.store.CurveColor;
    }
    FormDialog::showEvent(event);
}

void OptionsDialog::reject() {
    m_wb.plotOptions = m_openedWith;
    m_wb.store.CurveColor = m_coloursOpenedWith;
    refresh();
    if (m_wb.plotRequest.valid)
        m_wb.port().plotChanged();
    FormDialog::reject();
}

void OptionsDialog::ok() {
    try {
        okForm(m_wb, "formOption");
    } catch (const Failure& failure) {
        m_wb.port().showMessage(failure.description(), "Error", MessageIcon::Critical);
    }
    accept();
}

} // namespace tessaly
