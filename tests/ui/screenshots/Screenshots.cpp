// Takes the documentation's screenshots: the main window with a simulated cyclic voltammogram and its
// peak report, each dialog, and a long simulation's progress bar. Run under a display (xvfb-run) with the output folder as argument:
//   xvfb-run -a build/tests/ui/tessaly_screenshots docs

#include "ui/FormDialog.h"
#include "ui/MainWindow.h"
#include "ui/QtUserPort.h"
#include "workbench/FormCommands.h"
#include "workbench/Workbench.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPixmap>
#include <QProgressBar>
#include <QThread>
#include <cstdio>

namespace {

void settle(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QApplication::processEvents();
        QThread::msleep(10);
    }
}

bool save(QWidget* widget, const QString& path) {
    settle(300);
    const bool ok = widget->grab().save(path, "PNG");
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

// Simulate runs on its worker thread: the window waits for it as a user would.
void waitForRun(const tessaly::MainWindow& window) {
    while (window.simulationRunning())
        settle(20);
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs"));

    tessaly::QtUserPort port;
    port.setUrlOpener([](const QUrl&) { return true; });
    tessaly::Workbench wb(port);
    tessaly::MainWindow window(wb, port);
    window.resize(1280, 720);
    window.show();
    settle(300);
    window.arrangeChildren();

    // A cyclic voltammogram of the default couple, both axes automatic, with its peaks reported.
    tessaly::selectOption(wb, "ComboScan", 1);
    wb.plotOptions.Xauto = true;
    wb.plotOptions.Yauto = true;
    wb.plotOptions.CheckGrid = true;
    window.runMenuCommand(QStringLiteral("mnuSimulate"));
    waitForRun(window);
    window.runMenuCommand(QStringLiteral("mnuFindPeak"));
    window.runMenuCommand(QStringLiteral("mnuTime"));
    bool ok = save(&window, out.filePath(QStringLiteral("screenshot-main.png")));

    const std::pair<const char*, const char*> dialogs[] = {
        {"mnuTech", "FormTech"},     {"mnuInstrument", "FormIns"},  {"mnuMechamism", "FormMech"},
        {"mnuKinetics", "FormExpr"}, {"mnuSpecies", "FormSpecies"}, {"mnuOption", "formOption"},
        {"mnuAbout", "frmAbout"}};
    for (const auto& [command, form] : dialogs) {
        if (QString::fromLatin1(form) == QStringLiteral("FormExpr")) {
            // The catalytic mechanism 8 shows a chemical row; ks is marked for fitting.
            tessaly::selectOption(wb, "mech", 8);
            tessaly::okForm(wb, "FormMech");
            tessaly::setCheck(wb, "CheckFitted(11)", true);
        }
        window.runMenuCommand(QString::fromLatin1(command));
        tessaly::FormDialog* dialog = window.dialog(QString::fromLatin1(form));
        ok = save(dialog, out.filePath(QStringLiteral("screenshot-%1.png").arg(QString::fromLatin1(form)))) &&
             ok;
        dialog->hide();
    }

    // A long digital run (typed time grid of 10 us) caught part-way with its progress bar, then cancelled.
    tessaly::selectOption(wb, "mech", 1);
    tessaly::setCheck(wb, "CheckDigital", true);
    tessaly::okForm(wb, "FormMech");
    tessaly::setCheck(wb, "CheckAuto", false);
    tessaly::setField(wb, "TextTimeGrid", "1e-5");
    window.activate();
    window.runMenuCommand(QStringLiteral("mnuSimulate"));
    QElapsedTimer waited;
    waited.start();
    while (window.simulationRunning() && window.progressBar()->value() < window.progressBar()->maximum() / 3 &&
           waited.elapsed() < 60000)
        settle(50);
    ok = window.simulationRunning() && save(&window, out.filePath(QStringLiteral("screenshot-progress.png"))) && ok;
    window.cancelSimulation();
    waitForRun(window);
    return ok ? 0 : 1;
}
