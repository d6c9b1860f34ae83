#include "ui/dialogs/KineticsDialog.h"

#include "fitting/AutoFit.h"
#include "model/FieldTable.h"
#include "model/FitLimits.h"
#include "model/KineticsForm.h"
#include "ui/dialogs/FitSetupPanel.h"
#include "workbench/Workbench.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace tessaly {

namespace {

constexpr int kFieldWidth = 76;

void headers(QGridLayout& grid, QWidget* parent, std::initializer_list<const char*> captions) {
    int col = 1;
    for (const char* c : captions)
        grid.addWidget(new QLabel(QString::fromLatin1(c), parent), 0, col++);
}

// A row of a grid: value, fit box and limits in the order the captions give.
struct Cell {
    enum Kind { Text, Fit } kind;
    QString name;
};

void addRow(FormBinder& b, QGridLayout& grid, QWidget* parent, int row, std::initializer_list<Cell> cells) {
    int col = 1;
    for (const Cell& cell : cells) {
        if (cell.kind == Cell::Fit) {
            grid.addWidget(b.check(cell.name, QString(), parent), row, col++, Qt::AlignCenter);
        } else {
            QLineEdit* e = b.text(cell.name, parent);
            e->setMaximumWidth(kFieldWidth);
            grid.addWidget(e, row, col++);
        }
    }
}

QScrollArea* scrolled(QWidget* content, int height) {
    auto* area = new QScrollArea;
    area->setWidget(content);
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    area->setMinimumHeight(height);
    return area;
}

} // namespace

KineticsDialog::KineticsDialog(Workbench& wb, QWidget* parent)
    : ExperimentDialog(wb, std::make_unique<KineticsForm>(wb.params), QStringLiteral("Kinetics"), parent) {
    QGroupBox* charge = chargeFrame();
    QGroupBox* chemical = chemicalFrame();
    QGroupBox* solution = solutionFrame();
    QGroupBox* instrument = instrumentFitFrame();
    QGroupBox* dataSets = dataSetFrame();
    m_fitSetup = new FitSetupPanel(wb, this);
    binder().extra([this] {
        showFittedValues();
        showDataSets();
        m_fitSetup->refresh();
    });

    auto* middle = new QHBoxLayout;
    middle->addWidget(solution);
    middle->addWidget(instrument, 1);
    middle->addWidget(okButton(), 0, Qt::AlignBottom);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(dataSets, 2);
    bottom->addWidget(m_fitSetup, 3);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(charge);
    layout->addWidget(chemical, 1);
    layout->addLayout(middle);
    layout->addLayout(bottom);
    resize(1200, 700);
    refresh();
}

// Charge reaction i: ks, alpha and E' with their fit boxes and limits.
QGroupBox* KineticsDialog::chargeFrame() {
    FormBinder& b = binder();
    QGroupBox* charge = group(QStringLiteral("Charge Reaction"));
    auto* chargeGrid = new QGridLayout(charge);
    headers(*chargeGrid, charge,
            {"ks (cm/s)", "ks fitted", "ks min", "ks max", "a", "min", "max", "fitted", "E' (V)",
             "E' fitted (V)", "E' min", "E' max"});
    for (int i = 1; i <= kMaxCharge; ++i) {
        chargeGrid->addWidget(b.label(QStringLiteral("heter(%1)").arg(i), charge), i, 0);
        const auto n = [i](const char* base) {
            return QStringLiteral("%1(%2)").arg(QLatin1String(base)).arg(i);
        };
        const auto fit = [i](int code) { return QStringLiteral("CheckFitted(%1)").arg(code + i); };
        addRow(b, *chargeGrid, charge, i,
               {{Cell::Text, n("ks")},
                {Cell::Fit, fit(10)},
                {Cell::Text, n("TextKsmin")},
                {Cell::Text, n("TextKsmax")},
                {Cell::Text, n("alph")},
                {Cell::Text, n("TextAlphaMin")},
                {Cell::Text, n("TextAlphamax")},
                {Cell::Fit, fit(20)},
                {Cell::Text, n("Eze")},
                {Cell::Fit, fit(30)},
                {Cell::Text, n("TextEzeromin")},
                {Cell::Text, n("TextEzeromax")}});
    }
    return charge;
}

// Homogeneous reaction j: kf and kb with their fit boxes and limits, and Keq; scrolled.
QGroupBox* KineticsDialog::chemicalFrame() {
    FormBinder& b = binder();
    auto* chemContent = new QWidget;
    auto* chemGrid = new QGridLayout(chemContent);
    headers(*chemGrid, chemContent,
            {"kf (/s, /sM)", "kf fitted", "kf min", "kf max", "kb (/s, /sM)", "kb fitted", "kb min", "kb max",
             "Keq"});
    for (int j = 1; j <= kMaxChem; ++j) {
        chemGrid->addWidget(b.label(QStringLiteral("homo(%1)").arg(j), chemContent), j, 0);
        const auto n = [j](const char* base) {
            return QStringLiteral("%1(%2)").arg(QLatin1String(base)).arg(j);
        };
        const auto fit = [j](int code) { return QStringLiteral("CheckFitted(%1)").arg(code + j); };
        addRow(b, *chemGrid, chemContent, j,
               {{Cell::Text, n("kf")},
                {Cell::Fit, fit(40)},
                {Cell::Text, n("TextKfmin")},
                {Cell::Text, n("TextKfmax")},
                {Cell::Text, n("kb")},
                {Cell::Fit, fit(60)},
                {Cell::Text, n("TextKbmin")},
                {Cell::Text, n("TextKbmax")},
                {Cell::Text, n("LabelKeq")}});
    }
    chemGrid->setRowStretch(kMaxChem + 1, 1);
    QGroupBox* chemical = group(QStringLiteral("Homogeneous Reaction"));
    auto* chemLayout = new QVBoxLayout(chemical);
    chemLayout->addWidget(scrolled(chemContent, 120));
    return chemical;
}

QGroupBox* KineticsDialog::dataSetFrame() {
    QGroupBox* frame = group(QStringLiteral("Data sets (Auto Fit fits them all when listed)"));
    auto* layout = new QHBoxLayout(frame);
    m_dataSets = new QListWidget(frame);
    m_dataSets->setObjectName(QStringLiteral("ListDataSets"));
    m_dataSets->setMaximumHeight(64);
    m_dataSets->setToolTip(QStringLiteral("Measured curves fitted together, each with the fields in which its "
                                          "experiment differs from these dialogs"));
    layout->addWidget(m_dataSets, 1);
    auto* buttons = new QVBoxLayout;
    const auto button = [&](const char* name, const char* caption, auto action) {
        auto* b = new QPushButton(QString::fromLatin1(caption), frame);
        b->setObjectName(QString::fromLatin1(name));
        connect(b, &QPushButton::clicked, this, action);
        buttons->addWidget(b);
    };
    button("cmdAddDataSet", "Add...", [this] { addDataSet(); });
    button("cmdRemoveDataSet", "Remove", [this] {
        const int row = m_dataSets->currentRow();
        auto& sets = m_wb.fitSetup.dataSets;
        if (row >= 0 && row < static_cast<int>(sets.size()))
            sets.erase(sets.begin() + row);
        showDataSets();
    });
    button("cmdClearDataSets", "Clear", [this] {
        m_wb.fitSetup.dataSets.clear();
        showDataSets();
    });
    layout->addLayout(buttons);
    return frame;
}

// A current file, then the fields in which its experiment differs, typed as NAME VALUE pairs.
void KineticsDialog::addDataSet() {
    UserPort& port = m_wb.port();
    auto& sets = m_wb.fitSetup.dataSets;
    if (static_cast<int>(sets.size()) >= kMaxFitSets) {
        port.showMessage("At most " + std::to_string(kMaxFitSets) + " data sets can be fitted together.", "Data sets");
        return;
    }
    const std::optional<std::string> file = port.openFileName("csv|*.csv|all|*.*");
    if (!file)
        return;
    const std::optional<std::string> typed =
        port.inputText("Fields in which this curve's experiment differs, as NAME VALUE pairs (e.g. V 0.5):",
                       "Data set", "");
    if (!typed)
        return;
    const auto fields = parseDataSetFields(*typed);
    if (!fields) {
        port.showMessage("Type each field name followed by its value.", "Data set");
        return;
    }
    for (const auto& [name, text] : *fields)
        if (!findField(m_wb.params, name)) {
            port.showMessage("There is no field named " + name + ".", "Data set");
            return;
        }
    sets.push_back({*file, *fields});
    showDataSets();
}

void KineticsDialog::showDataSets() {
    if (!m_dataSets)
        return;
    QStringList lines;
    for (const FitDataSetSpec& shape : m_wb.fitSetup.dataSets)
        lines << QString::fromStdString(describeDataSet(shape));
    QStringList shown;
    for (int i = 0; i < m_dataSets->count(); ++i)
        shown << m_dataSets->item(i)->text();
    if (shown != lines) {
        m_dataSets->clear();
        m_dataSets->addItems(lines);
    }
}

QGroupBox* KineticsDialog::instrumentFitFrame() {
    FormBinder& b = binder();
    QGroupBox* frame = group(QStringLiteral("Instrument (fit)"), QStringLiteral("FrameInstrumentFit"));
    auto* grid = new QGridLayout(frame);
    headers(*grid, frame, {"value", "fitted", "min", "max"});
    const struct {
        const char* caption;
        const char* value;
        int code;
        const char* min;
        const char* max;
    } rows[] = {{"Ru (ohm)", "txtRu", 1, "TextRumin", "TextRumax"},
                {"Cdl (F)", "Cdl", 2, "TextCdlmin", "TextCdlmax"},
                {"Area (cm2)", "ARE", 3, "TextAreamin", "TextAreamax"}};
    int row = 1;
    for (const auto& r : rows) {
        grid->addWidget(new QLabel(QString::fromLatin1(r.caption), frame), row, 0);
        addRow(b, *grid, frame, row,
               {{Cell::Text, QString::fromLatin1(r.value)},
                {Cell::Fit, QStringLiteral("CheckFitted(%1)").arg(r.code)},
                {Cell::Text, QString::fromLatin1(r.min)},
                {Cell::Text, QString::fromLatin1(r.max)}});
        ++row;
    }
    auto* rule = new QLabel(QString::fromLatin1(kLimitRuleText), frame);
    rule->setObjectName(QStringLiteral("LabelLimitRule"));
    rule->setWordWrap(true);
    grid->addWidget(rule, 0, 5, row, 1);
    grid->setColumnStretch(5, 1);
    return frame;
}

QGroupBox* KineticsDialog::solutionFrame() {
    FormBinder& b = binder();
    QGroupBox* solution = group(QStringLiteral("Solution"));
    auto* solutionGrid = new QGridLayout(solution);
    const std::pair<const char*, const char*> fields[] = {{"TextElectrolyte", "Electrolyte"},
                                                          {"TextElectrolyteC", "C (M)"},
                                                          {"TextpH", "pH"},
                                                          {"TextVis", "Vis (cm2/s)"}, // kinematic viscosity
                                                          {"txtVol", "Vol s (ml)"}};
    int col = 0;
    for (const auto& [name, caption] : fields) {
        solutionGrid->addWidget(new QLabel(QString::fromLatin1(caption), solution), 0, col);
        QLineEdit* e = b.text(QString::fromLatin1(name), solution);
        e->setMaximumWidth(kFieldWidth);
        solutionGrid->addWidget(e, 1, col++);
    }
    return solution;
}

} // namespace tessaly
