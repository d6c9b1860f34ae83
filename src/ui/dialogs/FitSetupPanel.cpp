#include "ui/dialogs/FitSetupPanel.h"

#include "base/NumberText.h"
#include "fitting/AutoFit.h"
#include "fitting/FitSetup.h"
#include "workbench/Workbench.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <initializer_list>

namespace tessaly {

namespace {

constexpr int kNameWidth = 64;
constexpr int kListHeight = 44;

QLineEdit* namedEdit(const char* name, const QString& tip, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMaximumWidth(kNameWidth);
    edit->setToolTip(tip);
    return edit;
}

// A push button that Enter in the dialog's fields never presses.
QPushButton* namedButton(const QString& caption, const char* name, const QString& tip, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    if (!tip.isEmpty())
        button->setToolTip(tip);
    return button;
}

// The widgets of a row in order; the last one (the row's list) takes the spare width.
void addToRow(QHBoxLayout* row, std::initializer_list<QWidget*> widgets) {
    for (QWidget* w : widgets)
        row->addWidget(w, w == *(widgets.end() - 1) ? 1 : 0);
}

QListWidget* namedList(const char* name, QWidget* parent) {
    auto* list = new QListWidget(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setMaximumHeight(kListHeight);
    return list;
}

// Shows `lines` in a list unless it already shows them (so a chosen row stays chosen).
void showLines(QListWidget& list, const QStringList& lines) {
    QStringList shown;
    for (int i = 0; i < list.count(); ++i)
        shown << list.item(i)->text();
    if (shown != lines) {
        list.clear();
        list.addItems(lines);
    }
}

QString windowLine(const FitWindow& w) {
    const bool potential = w.axis == FitWindow::Axis::Potential;
    return QStringLiteral("%1 %2 .. %3 %4")
        .arg(potential ? QStringLiteral("E") : QStringLiteral("t"))
        .arg(QString::fromStdString(generalForm(w.from)))
        .arg(QString::fromStdString(generalForm(w.to)))
        .arg(potential ? QStringLiteral("V") : QStringLiteral("s"));
}

} // namespace

FitSetupPanel::FitSetupPanel(Workbench& wb, QWidget* parent)
    : QGroupBox(QStringLiteral("Fit setup (ties, fitted points, history)"), parent), m_wb(wb) {
    setObjectName(QStringLiteral("FrameFitSetup"));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(tieRow());
    layout->addLayout(windowRow());
    layout->addLayout(cycleRow());
    refresh();
}

// Tie NAME to MASTER (both named as their fields: D(2), ks(1), Ru ...), untie the chosen or named one.
QLayout* FitSetupPanel::tieRow() {
    auto* row = new QHBoxLayout;
    const QString names =
        QStringLiteral("A quantity as its field is named: ks(1), alph(1), Eze(1), kf(1), kb(1), "
                       "C(1), D(1), Ru, Cdl or area");
    m_tieName = namedEdit("TextTieName", names, this);
    m_tieMaster = namedEdit("TextTieMaster", QStringLiteral("The quantity it follows. ") + names, this);
    auto* tieButton = namedButton(QStringLiteral("Tie"), "cmdTie", QString(), this);
    connect(tieButton, &QPushButton::clicked, this, [this] { tie(); });
    auto* untieButton =
        namedButton(QStringLiteral("Untie"), "cmdUntie",
                    QStringLiteral("Unties the tie chosen in the list, or the quantity named on the left"), this);
    connect(untieButton, &QPushButton::clicked, this, [this] { untie(); });
    m_ties = namedList("ListTies", this);
    addToRow(row, {new QLabel(QStringLiteral("Tie"), this), m_tieName, new QLabel(QStringLiteral("to"), this),
                   m_tieMaster, tieButton, untieButton, m_ties});
    return row;
}

// Windows of fitted points by potential or time; a point is fitted when it lies in any of them.
QLayout* FitSetupPanel::windowRow() {
    auto* row = new QHBoxLayout;
    m_windowAxis = new QComboBox(this);
    m_windowAxis->setObjectName(QStringLiteral("ComboWindowAxis"));
    m_windowAxis->addItems({QStringLiteral("E (V)"), QStringLiteral("t (s)")});
    m_windowFrom = namedEdit("TextWindowFrom", QStringLiteral("One end of the window"), this);
    m_windowTo = namedEdit("TextWindowTo", QStringLiteral("The other end of the window"), this);
    auto* add = namedButton(QStringLiteral("Add window"), "cmdAddWindow", QString(), this);
    connect(add, &QPushButton::clicked, this, [this] { addWindow(); });
    auto* clear = namedButton(QStringLiteral("All points"), "cmdClearWindows",
                              QStringLiteral("Removes every window: every point of the chosen cycle is fitted"), this);
    connect(clear, &QPushButton::clicked, this, [this] {
        m_wb.fitSetup.windows.clear();
        refresh();
    });
    m_windows = namedList("ListFitWindows", this);
    addToRow(row, {new QLabel(QStringLiteral("Fit"), this), m_windowAxis, new QLabel(QStringLiteral("from"), this),
                   m_windowFrom, new QLabel(QStringLiteral("to"), this), m_windowTo, add, clear, m_windows});
    return row;
}

// The cycle fitted (0: every cycle) and the cycles simulated before the measured one.
QLayout* FitSetupPanel::cycleRow() {
    auto* row = new QHBoxLayout;
    m_cycle = new QSpinBox(this);
    m_cycle->setObjectName(QStringLiteral("SpinFitCycle"));
    m_cycle->setRange(0, 999);
    m_cycle->setSpecialValueText(QStringLiteral("every"));
    m_cycle->setToolTip(QStringLiteral("Fit only this cycle of a cyclic sweep (a cycle is two sweeps)"));
    connect(m_cycle, &QSpinBox::valueChanged, this, [this](int cycle) { m_wb.fitSetup.cycle = cycle; });
    m_history = new QSpinBox(this);
    m_history->setObjectName(QStringLiteral("SpinFitHistory"));
    m_history->setRange(0, kMaxHistoryCycles);
    m_history->setToolTip(
        QStringLiteral("Simulate this many cycles before each measured curve (one whole cycle) "
                       "and fit only the measured one"));
    connect(m_history, &QSpinBox::valueChanged, this,
            [this](int cycles) { m_wb.fitSetup.historyCycles = cycles; });
    row->addWidget(new QLabel(QStringLiteral("Cycle fitted"), this));
    row->addWidget(m_cycle);
    row->addWidget(new QLabel(QStringLiteral("Cycles simulated before it"), this));
    row->addWidget(m_history);
    row->addStretch(1);
    return row;
}

void FitSetupPanel::tie() {
    UserPort& port = m_wb.port();
    const std::string name = m_tieName->text().trimmed().toStdString();
    const std::string master = m_tieMaster->text().trimmed().toStdString();
    const auto code = fitCodeOfName(name);
    const auto masterCode = fitCodeOfName(master);
    if (!code || !masterCode) {
        port.showMessage((code ? master : name) +
                             " is not a fitted quantity: name it as its field, e.g. D(2), ks(1), "
                             "alph(1), Eze(1), kf(1), kb(1), C(1), Ru, Cdl or area.",
                         "Tie");
        return;
    }
    if (const auto refused = addTie(m_wb.fitSetup, {*code, *masterCode}))
        port.showMessage(*refused + ".", "Tie");
    refresh();
}

void FitSetupPanel::untie() {
    std::vector<FitTie>& ties = m_wb.fitSetup.ties;
    const int row = m_ties->currentRow();
    if (row >= 0 && row < static_cast<int>(ties.size())) {
        ties.erase(ties.begin() + row);
    } else {
        const std::string name = m_tieName->text().trimmed().toStdString();
        const auto code = fitCodeOfName(name);
        if (!code || !removeTie(m_wb.fitSetup, *code))
            m_wb.port().showMessage("Choose a tie in the list, or name a tied quantity.", "Untie");
    }
    refresh();
}

void FitSetupPanel::addWindow() {
    bool fromOk = false, toOk = false;
    const QLocale c = QLocale::c();
    const double from = c.toDouble(m_windowFrom->text().trimmed(), &fromOk);
    const double to = c.toDouble(m_windowTo->text().trimmed(), &toOk);
    if (!fromOk || !toOk) {
        m_wb.port().showMessage("Type both ends of the window as numbers (V for E, s for t).", "Fit window");
        return;
    }
    FitWindow window;
    window.axis = m_windowAxis->currentIndex() == 1 ? FitWindow::Axis::Time : FitWindow::Axis::Potential;
    window.from = from;
    window.to = to;
    m_wb.fitSetup.windows.push_back(window);
    refresh();
}

void FitSetupPanel::refresh() {
    const FitSetup& setup = m_wb.fitSetup;
    QStringList ties;
    for (const FitTie& t : setup.ties)
        ties << QString::fromStdString(fitNameOfCode(t.code) + " = " + fitNameOfCode(t.master));
    showLines(*m_ties, ties);
    QStringList windows;
    for (const FitWindow& w : setup.windows)
        windows << windowLine(w);
    showLines(*m_windows, windows);
    const QSignalBlocker cycleBlocker(m_cycle);
    const QSignalBlocker historyBlocker(m_history);
    m_cycle->setValue(setup.cycle);
    m_history->setValue(setup.historyCycles);
}

} // namespace tessaly
