#pragma once
// The main window `MDIForm1`, titled "Tessaly": the menu bar built from the command table, and a
// multiple-document area holding the plot and result windows. It shows the modeless dialogs by their
// form names and re-applies the availability rules at start-up and whenever a dialog closes.

#include <QMainWindow>
#include <QSize>
#include <QString>
#include <QStringList>
#include <map>
#include <memory>

class QCloseEvent;
class QLabel;
class QProgressBar;
class QPushButton;
class QShortcut;
class QThread;
class QTimer;
class QMenu;
class QMdiArea;
class QMdiSubWindow;

namespace tessaly {

// Gives a top-level window its preferred size (logical pixels) or as much of the screen's available
// area as it may take, and moves it inside that area.
void fitToScreen(QWidget& window, QSize preferred);

class FormDialog;
class MenuBinding;
class PlotWindow;
class QtUserPort;
class ResultWindow;
class RunControl;
class Workbench;
struct MenuItem;
struct SimulationResult;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // Attaches itself to the port; the workbench must use that port.
    MainWindow(Workbench& wb, QtUserPort& port);
    ~MainWindow() override;

    Workbench& workbench() { return m_wb; }
    PlotWindow* plotWindow() const { return m_plot; }
    ResultWindow* resultWindow() const { return m_result; }
    // The status bar's read-out of the pointer's place on the plot.
    QLabel* readout() const { return m_readout; }
    MenuBinding& menus() { return *m_menus; }

    // The dialog of a form name ("FormIns", "formOption", "frmAbout"); nullptr when there is none.
    FormDialog* dialog(const QString& formName) const;
    // Registers an experiment dialog under its object name (the window owns it).
    void addDialog(FormDialog* dialog);

    // Runs a menu command as choosing it does; a command the menu state refuses does nothing.
    void runMenuCommand(const MenuItem& item);
    void runMenuCommand(const QString& name);

    // Port services.
    void showResults();
    void showPlot();
    void setPlotTitle(const QString& title);
    void refreshMenus();
    void showForm(const QString& formName);
    // The plot window's image at its present size.
    QImage plotImage();

    // The main window became active again (start-up, a dialog closed): mechanism build, plot
    // options, availability rules.
    void activate();

    // Places the plot window on the left and the result window on the right of the area.
    void arrangeChildren();

    // Simulate runs on a worker thread over a snapshot of the committed experiment; the window keeps
    // painting, shows the run's progress and a Cancel in the status bar, and refuses the menu commands
    // until the run ends. Only a run that succeeded goes into the store.
    void startSimulation();
    bool simulationRunning() const { return m_worker != nullptr; }
    // Asks the running simulation to stop at its next point (Cancel, Escape).
    void cancelSimulation();
    QProgressBar* progressBar() const { return m_progress; }
    QPushButton* cancelButton() const { return m_cancel; }

    // The recent files, newest first, as "COMMAND|PATH" (the Open command that reads the file).
    QStringList recentFiles() const;
    // The File menu's list of recent files.
    QMenu* recentMenu() const { return m_recentMenu; }

signals:
    // A simulation started by startSimulation ended (stored, failed or cancelled).
    void simulationFinished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Exit asks first when curves made since the last export would be lost.
    void closeEvent(QCloseEvent* event) override;

private:
    // After a file command: the file chosen goes to the top of the recent files.
    void rememberFile(const MenuItem& item);
    void rebuildRecentMenu();
    void openRecent(const QString& entry);
    void finishSimulation();
    void showProgress();
    // Enables or disables what a running simulation must not meet: the menus and the open dialogs.
    void setRunning(bool running);

    Workbench& m_wb;
    QtUserPort& m_port;
    QMdiArea* m_mdi;
    PlotWindow* m_plot;
    ResultWindow* m_result;
    QLabel* m_readout; // the pointer's E and i, at the right of the status bar
    QMdiSubWindow* m_plotFrame;
    QMdiSubWindow* m_resultFrame;
    std::unique_ptr<MenuBinding> m_menus;
    std::map<QString, FormDialog*> m_dialogs;
    bool m_activating = false;
    QMenu* m_recentMenu = nullptr;

    // The running simulation.
    QProgressBar* m_progress;
    QPushButton* m_cancel;
    QShortcut* m_escape;
    QTimer* m_progressTimer;
    QThread* m_worker = nullptr;
    std::unique_ptr<RunControl> m_control;
    std::unique_ptr<SimulationResult> m_run; // the worker's result; its buffers serve the next run
    double m_runStart = 0;
};

} // namespace tessaly
