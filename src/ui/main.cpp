// tessaly: the desktop window.

#include "ui/MainWindow.h"
#include "ui/QtUserPort.h"
#include "workbench/Workbench.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Tessaly"));
    QApplication::setApplicationName(QStringLiteral("Tessaly"));
    QApplication::setApplicationVersion(QStringLiteral(TESSALY_VERSION));

    tessaly::QtUserPort port;
    tessaly::Workbench wb(port);
    tessaly::MainWindow window(wb, port);
    window.show();
    window.arrangeChildren();
    return QApplication::exec();
}
