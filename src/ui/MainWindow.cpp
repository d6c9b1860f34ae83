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
#include "simulation/SimulationDriver.h"
#include "workbench/CommandTable.h"
#include "workbench/Commands.h"
#include "workbench/Workbench.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMenu>
#include <QGuiApplication>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QStatusBar>
#include <QThread>
#include <QTimer>
#include <algorithm>

namespace tessaly {

namespace {

// Exit belongs to the window: it closes the main window, which ends the program.
bool isWindowCommand(const MenuItem& item) {
    return item.name == "mnuExit";
}

// How long a hint stays in the status bar.
constexpr int kHintMilliseconds = 6000;

// How often the progress bar reads a running simulation's count.
constexpr int kProgressMilliseconds = 100;

const QString kRunningReason =
    QStringLiteral("A simulation is running: wait for it, or press Cancel (Esc) to stop it");

// The recent files kept in the File menu.
constexpr int kRecentFiles = 8;
const QString kRecentKey = QStringLiteral("recentFiles");

// The Open command that reads back what a file command chose: saving a parameter file makes it a
// recent parameter file. Save Graph writes nothing the program reads.
QString openCommandFor(const std::string& name) {
    static const std::pair<const char*, const char*> pairs[] = {
        {"mnuOpenParameter", "mnuOpenParameter"}, {"mnuSaveParameter", "mnuOpenParameter"},
        {"mnuWaveform", "mnuWaveform"},           {"mnuSaveWaveform", "mnuWaveform"},
        {"mnuImport", "mnuImport"},               {"mnuExport", "mnuImport"},
    };
    for (const auto& [command, opener] : pairs)
        if (name == command)
            return QString::fromLatin1(opener);
    return {};
}

QMdiSubWindow* addChild(QMdiArea& area, QWidget* child) {
    QMdiSubWindow* frame = area.addSubWindow(child);
    frame->setObjectName(child->objectName() + QStringLiteral("Frame"));
    frame->setWindowTitle(child->windowTitle());
    frame->setAttribute(Qt::WA_DeleteOnClose, false); // closing only hides it
    return frame;
}

} // namespace

void fitToScreen(QWidget& window, QSize preferred) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen) {
        window.resize(preferred);
        return;
    }
    // Logical pixels: a scale factor of 2 halves the room, so the preferred size shrinks to fit it.
    const QRect room = screen->availableGeometry();
    const QSize most(room.width() * 95 / 100, room.height() * 92 / 100);
    const QSize size = preferred.boundedTo(most).expandedTo(window.minimumSize());
    window.resize(size.boundedTo(room.size()));
    QRect frame(window.pos(), window.size());
    if (!room.contains(frame)) {
        frame.moveCenter(room.center());
        frame.moveTopLeft(QPoint(std::max(frame.left(), room.left()), std::max(frame.top(), room.top())));
        window.move(frame.topLeft());
    }
}

MainWindow::MainWindow(Workbench& wb, QtUserPort& port)
    : m_wb(wb), m_port(port), m_mdi(new QMdiArea(this)), m_plot(new PlotWindow(wb)),
      m_result(new ResultWindow(wb)), m_readout(new QLabel), m_progress(new QProgressBar),
      m_cancel(new QPushButton(QStringLiteral("Cancel"))), m_escape(new QShortcut(QKeySequence(Qt::Key_Escape), this)),
      m_progressTimer(new QTimer(this)) {
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

    // A running simulation's progress and its Cancel, at the left of the read-out; hidden between runs.
    m_progress->setObjectName(QStringLiteral("simulationProgress"));
    m_progress->setMaximumWidth(fontMetrics().horizontalAdvance(QLatin1Char('0')) * 24);
    m_progress->setFormat(QStringLiteral("Simulating %p%"));
    m_cancel->setObjectName(QStringLiteral("cancelSimulation"));
    m_cancel->setToolTip(QStringLiteral("Stop the simulation; the curves stay as they were (Esc)"));
    statusBar()->addPermanentWidget(m_progress);
    statusBar()->addPermanentWidget(m_cancel);
    m_progress->hide();
    m_cancel->hide();
    m_escape->setEnabled(false);
    connect(m_cancel, &QPushButton::clicked, this, &MainWindow::cancelSimulation);
    connect(m_escape, &QShortcut::activated, this, &MainWindow::cancelSimulation);
    m_progressTimer->setInterval(kProgressMilliseconds);
    connect(m_progressTimer, &QTimer::timeout, this, &MainWindow::showProgress);

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

    // File > Recent Files, above Exit.
    if (QAction* file = m_menus->action("mnuFile"); file && file->menu()) {
        m_recentMenu = new QMenu(QStringLiteral("&Recent Files"), this);
        m_recentMenu->setObjectName(QStringLiteral("mnuRecent"));
        file->menu()->insertMenu(m_menus->action("mnuBar3"), m_recentMenu);
        rebuildRecentMenu();
    }

    m_port.attach(this);
    fitToScreen(*this, QSize(1180, 720));
    m_mdi->installEventFilter(this);
    activate();
}

MainWindow::~MainWindow() {
    if (m_worker) { // the run reads nothing of the window, but its result must not outlive it unwatched
        m_control->requestCancel();
        m_worker->wait();
        delete m_worker;
    }
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

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    // The plot and the results follow the main window's size, unless one fills the area.
    if (watched == m_mdi && event->type() == QEvent::Resize && isVisible()) {
        const bool tiled = !(m_plotFrame->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized)) &&
                           !(m_resultFrame->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized));
        if (tiled)
            QMetaObject::invokeMethod(this, &MainWindow::arrangeChildren, Qt::QueuedConnection);
    }
    return QMainWindow::eventFilter(watched, event);
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
    if (m_worker) { // a shortcut, a recent file or a test: nothing waits to run after the simulation
        statusBar()->showMessage(kRunningReason, kHintMilliseconds);
        return;
    }
    if (item.name == "mnuSimulate") {
        startSimulation();
        return;
    }
    try {
        m_port.forgetChosenFile();
        const CommandStatus status = runCommand(m_wb, item.name);
        if (status == CommandStatus::Unavailable) // a shortcut to a greyed item
            statusBar()->showMessage(m_menus->unavailableReason(m_wb.menus, item.name), kHintMilliseconds);
        else if (status == CommandStatus::Ran)
            rememberFile(item);
    } catch (const Failure& failure) {
        // Commands catch their own failures; one that escapes is still shown, not lost.
        m_wb.port().showMessage(failure.description(), "Error", MessageIcon::Critical);
    }
    // A fit writes its values beside the fit boxes: dialogs left open show them at once.
    for (const char* formName : {"FormExpr", "FormSpecies"})
        if (FormDialog* form = dialog(QString::fromLatin1(formName)); form && form->isVisible())
            form->refresh();
}

QStringList MainWindow::recentFiles() const {
    return QSettings().value(kRecentKey).toStringList();
}

void MainWindow::rememberFile(const MenuItem& item) {
    const QString opener = openCommandFor(item.name);
    const QString path = m_port.lastChosenFile();
    if (opener.isEmpty() || path.isEmpty() || !QFileInfo::exists(path))
        return; // cancelled, or nothing was written
    const QString entry = opener + QLatin1Char('|') + QFileInfo(path).absoluteFilePath();
    QStringList list = recentFiles();
    list.removeAll(entry);
    list.prepend(entry);
    while (list.size() > kRecentFiles)
        list.removeLast();
    QSettings().setValue(kRecentKey, list);
    rebuildRecentMenu();
}

void MainWindow::rebuildRecentMenu() {
    if (!m_recentMenu)
        return;
    m_recentMenu->clear();
    const QStringList list = recentFiles();
    int n = 0;
    for (const QString& entry : list) {
        const QString path = entry.section(QLatin1Char('|'), 1);
        const MenuItem* opener = findMenuItem(entry.section(QLatin1Char('|'), 0, 0).toStdString());
        if (!opener)
            continue;
        // "&1 run1.par (Parameter)": the Open submenu's caption says what the file holds.
        const QString kind = QString::fromStdString(opener->caption).remove(QLatin1Char('&'));
        QAction* action = m_recentMenu->addAction(
            QStringLiteral("&%1 %2 (%3)").arg(++n).arg(QFileInfo(path).fileName(), kind));
        action->setStatusTip(path);
        action->setToolTip(path);
        connect(action, &QAction::triggered, this, [this, entry] { openRecent(entry); });
    }
    m_recentMenu->setEnabled(!list.isEmpty());
    m_recentMenu->menuAction()->setStatusTip(list.isEmpty() ? QStringLiteral("No file opened or saved yet")
                                                             : QString());
}

void MainWindow::openRecent(const QString& entry) {
    const QString command = entry.section(QLatin1Char('|'), 0, 0);
    const QString path = entry.section(QLatin1Char('|'), 1);
    if (!QFileInfo::exists(path)) {
        QStringList list = recentFiles();
        list.removeAll(entry);
        QSettings().setValue(kRecentKey, list);
        rebuildRecentMenu();
        m_wb.port().showMessage(("The file " + path + " no longer exists.").toStdString(), "Recent Files",
                                MessageIcon::Exclamation);
        return;
    }
    m_port.answerNextOpen(path);
    runMenuCommand(command);
    m_port.answerNextOpen(QString()); // a refused command leaves no answer for a later dialog
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_worker) { // leaving stops the run; its curve is not kept
        cancelSimulation();
        m_worker->wait();
        finishSimulation();
    }
    if (m_wb.unsavedCurves) {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Tessaly"),
                        QStringLiteral("The curves made since the last export are not saved. Save them before "
                                       "leaving?"),
                        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
        box.setObjectName(QStringLiteral("exitQuestion"));
        box.setDefaultButton(QMessageBox::Save);
        const int answer = box.exec();
        if (answer == QMessageBox::Cancel) {
            event->ignore();
            return;
        }
        if (answer == QMessageBox::Save) {
            runMenuCommand(QStringLiteral("mnuExport"));
            if (m_wb.unsavedCurves) { // the save was cancelled or failed: stay
                event->ignore();
                return;
            }
        }
    }
    event->accept();
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
    if (m_worker)
        m_menus->disableAll(kRunningReason, {"mnuExit"});
    else
        m_menus->refresh(m_wb.menus);
}

void MainWindow::startSimulation() {
    if (m_worker)
        return;
    if (const QString reason = m_menus->unavailableReason(m_wb.menus, "mnuSimulate"); !reason.isEmpty()) {
        statusBar()->showMessage(reason, kHintMilliseconds);
        return;
    }
    SimulationInput input;
    try {
        m_runStart = m_port.clockSeconds();
        auto prepared = prepareSimulate(m_wb);
        if (!prepared)
            return;
        input = std::move(*prepared);
    } catch (const Failure& failure) {
        m_wb.port().showMessage(failure.description(), "Error", MessageIcon::Critical);
        return;
    }
    m_control = std::make_unique<RunControl>();
    input.control = m_control.get();
    if (!m_run)
        m_run = std::make_unique<SimulationResult>();
    // The worker owns copies of everything it reads: the input (its given programme is shared and
    // constant) and the result it writes; the workbench is not touched until the run has ended.
    m_worker = QThread::create([input = std::move(input), result = m_run.get()] {
        try {
            Simulate(input, *result);
        } catch (const std::exception& e) { // out of memory: the run failed, the window goes on
            result->stage = SimulationResult::Stage::Started;
            result->failure = e.what();
        }
    });
    m_worker->setObjectName(QStringLiteral("simulation"));
    connect(m_worker, &QThread::finished, this, &MainWindow::finishSimulation);
    setRunning(true);
    m_worker->start();
}

void MainWindow::cancelSimulation() {
    if (!m_worker)
        return;
    m_control->requestCancel();
    m_cancel->setEnabled(false);
    statusBar()->showMessage(QStringLiteral("Cancelling the simulation..."));
}

void MainWindow::showProgress() {
    if (!m_control)
        return;
    const int total = m_control->total();
    if (total <= 0) {
        m_progress->setRange(0, 0); // still building the programme: a busy bar
        return;
    }
    m_progress->setRange(0, total);
    m_progress->setValue(std::min(m_control->done(), total));
}

void MainWindow::finishSimulation() {
    if (!m_worker || !m_worker->isFinished())
        return; // already finished (Exit waits for the run, then the queued signal arrives)
    delete m_worker;
    m_worker = nullptr;
    SimulationResult& run = *m_run;
    setRunning(false);
    try {
        if (simulationSucceeded(run)) {
            std::swap(m_wb.lastRun, run); // the previous run's buffers serve the next
            finishCommand(m_wb, "mnuSimulate", [this] { completeSimulate(m_wb); });
            statusBar()->clearMessage();
        } else {
            reportUnstoredSimulate(m_wb, run);
            statusBar()->showMessage(run.cancelled
                                         ? QStringLiteral("Simulation cancelled: the curves are as they were")
                                         : QStringLiteral("Simulation failed: the curves are as they were"),
                                     kHintMilliseconds);
        }
    } catch (const Failure& failure) {
        m_wb.port().showMessage(failure.description(), "Error", MessageIcon::Critical);
    }
    m_wb.ElapsedTime = static_cast<float>(m_port.clockSeconds() - m_runStart);
    m_control.reset();
    refreshMenus();
    emit simulationFinished();
}

void MainWindow::setRunning(bool running) {
    m_progress->setRange(0, 0);
    m_progress->setValue(0);
    m_progress->setVisible(running);
    m_cancel->setVisible(running);
    m_cancel->setEnabled(running);
    m_escape->setEnabled(running);
    // The experiment dialogs commit into the workbench: they wait for the run's end as the menus do.
    for (const auto& [name, form] : m_dialogs)
        form->setEnabled(!running);
    if (running) {
        m_progressTimer->start();
        statusBar()->showMessage(QStringLiteral("Simulating... (Esc cancels)"));
    } else {
        m_progressTimer->stop();
    }
    refreshMenus();
}

void MainWindow::showForm(const QString& formName) {
    FormDialog* form = dialog(formName);
    if (!form) {
        QMessageBox::information(this, QStringLiteral("Tessaly"),
                                 QStringLiteral("This dialog is not available yet."));
        return;
    }
    form->refresh();
    if (!form->isVisible())
        fitToScreen(*form, form->size().expandedTo(form->sizeHint()));
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
