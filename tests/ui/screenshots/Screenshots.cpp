// Takes the documentation's screenshots: the main window with a simulated cyclic voltammogram and its
// peak report, and each dialog. Run under a display (xvfb-run) with the output folder as argument:
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
    return ok ? 0 : 1;
}
