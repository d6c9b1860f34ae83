#include "render/OffscreenPlot.h"

#include "render/PlotImage.h"

#include <QByteArray>
#include <QGuiApplication>

namespace tessaly {

namespace {

// Text needs the GUI application's font database; a command-line program has no application object,
// so one is started once, on the windowless platform unless the user chose another.
void ensureGuiApplication() {
    if (QCoreApplication::instance() != nullptr)
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    static int argc = 1;
    static char name[] = "tessaly-cli";
    static char* argv[] = {name, nullptr};
    static QGuiApplication application(argc, argv);
}

} // namespace

void writeOffscreenPlot(Workbench& wb, const std::string& path, int width, int height) {
    ensureGuiApplication();
    writePlotFile(wb, QSize(width, height), path);
}

} // namespace tessaly
