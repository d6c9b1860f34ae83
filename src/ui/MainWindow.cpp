#include "ui/MainWindow.h"

#include "base/Failure.h"
#include "render/PlotImage.h"
#include "ui/AboutDialog.h"
#include "ui/FormDialog.h"
#include "ui/MenuBinding.h"
#include "ui/OptionsDialog.h"
#include "ui/PlotWindow.h"
#include "ui/QtUserPort.h"
#include "ui/ResultWindow.h"
#include "ui/dialogs/InstrumentDialog.h"
#include "ui/dialogs/KineticsDialog.h"
#include "ui/dialogs/MechanismDialog.h"
#include "ui/dialogs/SpeciesDialog.h"
#include "ui/dialogs/TechniqueDialog.h"
#include "workbench/CommandTable.h"
#include "workbench/Workbench.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>

namespace tessaly {

namespace {

// Exit belongs to the window: it closes the main window, which ends the program.
bool isWindowCommand(const MenuItem& item) {
    return item.name == "mnuExit";
}

// How long a hint stays in the status bar.
constexpr int kHintMilliseconds = 6000;

QMdiSubWindow* addChild(QMdiArea& area, QWidget* child) {
    QMdiSubWindow* frame = area.addSubWindow(child);
    frame->setObjectName(child->objectName() + QStringLiteral("Frame"));
    frame->setWindowTitle(child->windowTitle());
    frame->setAttribute(Qt::WA_DeleteOnClose, false); // closing only hides it
    return frame;
}

} // namespace

MainWindow::MainWindow(Workbench& wb, QtUserPort& port)
    : m_wb(wb), m_port(port), m_mdi(new QMdiArea(this)), m_plot(new PlotWindow(wb)),
      m_result(new ResultWindow(wb)), m_readout(new QLabel) {
    setObjectName(QStringLiteral("MDIForm1"));
    setWindowTitle(QStringLiteral("Tessaly"));
    m_mdi->setObjectName(QStringLiteral("mdiArea"));
    m_mdi->setBackground(QColor(0xAB, 0xAB, 0xAB));
    setCentralWidget(m_mdi);
    m_plotFrame = addChild(*m_mdi, m_plot);
    m_resultFrame = addChild(*m_mdi, m_result);

    m_readout->setObjectName(QStringLiteral("readout"));
    m_readout->setMinimumWidth(
        fontMetrics().horizontalAdvance(QStringLiteral("E = -0.0000 V   i = -000.00 mA")));
    statusBar()->setObjectName(QStringLiteral("statusBar"));
    statusBar()->addPermanentWidget(m_readout);
    connect(m_plot, &PlotWindow::pointerReadout, m_readout, &QLabel::setText);

    m_menus = std::make_unique<MenuBinding>(
        *menuBar(), mainMenu(), [this](const MenuItem& item) { runMenuCommand(item); }, isWindowCommand,
        [this](const QString& hint) { statusBar()->showMessage(hint, kHintMilliseconds); });

    addDialog(new TechniqueDialog(wb, this));
    addDialog(new InstrumentDialog(wb, this));
    addDialog(new MechanismDialog(wb, this));
    addDialog(new KineticsDialog(wb, this));
    addDialog(new SpeciesDialog(wb, this));
    addDialog(new OptionsDialog(wb, this));
    addDialog(new AboutDialog(this));

    m_port.attach(this);
    resize(1180, 720);
    activate();
}

MainWindow::~MainWindow() {
    m_port.attach(nullptr);
}

void MainWindow::addDialog(FormDialog* dialog) {
    dialog->setParent(this, dialog->windowFlags() | Qt::Dialog);
    m_dialogs[dialog->objectName()] = dialog;
    connect(dialog, &FormDialog::closedWithoutOk, this, &MainWindow::activate);
    connect(dialog, &QDialog::accepted, this, [this] { refreshMenus(); });
}

FormDialog* MainWindow::dialog(const QString& formName) const {
    const auto it = m_dialogs.find(formName);
    return it == m_dialogs.end() ? nullptr : it->second;
}

void MainWindow::arrangeChildren() {
    // Plot on the left, results on the right, as on first showing.
    const QRect area = m_mdi->viewport()->rect();
    const int plotWidth = area.width() * 62 / 100;
    m_plotFrame->setGeometry(0, 0, plotWidth, area.height());
    m_resultFrame->setGeometry(plotWidth, 0, area.width() - plotWidth, area.height());
}

void MainWindow::runMenuCommand(const MenuItem& item) {
    if (isWindowCommand(item) && !item.handler) {
        close();
        return;
    }
    try {
        if (runCommand(m_wb, item.name) == CommandStatus::Unavailable) // a shortcut to a greyed item
            statusBar()->showMessage(m_menus->unavailableReason(m_wb.menus, item.name), kHintMilliseconds);
    } catch (const Failure& failure) {
        // Commands catch their own failures; one that escapes is still shown, not lost.
        m_wb.port().showMessage(failure.description(), "Error", MessageIcon::Critical);
    }
}

void MainWindow::runMenuCommand(const QString& name) {
    if (const MenuItem* item = findMenuItem(name.toStdString()))
        runMenuCommand(*item);
}

void MainWindow::showResults() {
    m_result->showLog();
    if (!m_resultFrame->isVisible()) {
        m_resultFrame->show();
        if (isVisible() && !m_plotFrame->isVisible())
            arrangeChildren();
    }
}

void MainWindow::showPlot() {
    if (!m_plotFrame->isVisible())
        m_plotFrame->show();
    m_plot->plotChanged();
}

void MainWindow::setPlotTitle(const QString& title) {
    m_plotFrame->setWindowTitle(title.isEmpty() ? m_plot->windowTitle() : title);
}

void MainWindow::refreshMenus() {
    m_menus->refresh(m_wb.menus);
}

void MainWindow::showForm(const QString& formName) {
    FormDialog* form = dialog(formName);
    if (!form) {
        QMessageBox::information(this, QStringLiteral("Tessaly"),
                                 QStringLiteral("This dialog is not available yet."));
        return;
    }
    form->refresh();
    form->show();
    form->raise();
    form->activateWindow();
}

QImage MainWindow::plotImage() {
    return renderPlotImage(m_wb, m_plot->size());
}

void MainWindow::activate() {
    if (m_activating) // a notice shown during the build must not start another
        return;
    m_activating = true;
    try {
        m_wb.activateMainWindow();
    } catch (const Failure& failure) {
        m_wb.port().showMessage(failure.description(), "Error", MessageIcon::Critical);
    }
    for (const auto& [name, form] : m_dialogs)
        if (form->isVisible())
            form->refresh();
    refreshMenus();
    m_activating = false;
}

} // namespace tessaly
