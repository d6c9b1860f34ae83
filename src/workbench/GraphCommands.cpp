// File menu: the plot image as a file, on the clipboard and on paper. None of them reports a cancel or
// a failure; they end without touching the result log.

#include "workbench/WindowCommands.h"
#include "workbench/Workbench.h"

#include <string>

namespace tessaly {

void saveGraphCommand(Workbench& wb) {
    const auto path = wb.port().saveFileName(kGraphFilter);
    if (!path || path->empty())
        return;
    if (!wb.port().savePlotImage(*path))
        return;
    wb.appendResult(std::string(kSaveGraphLine) + *path + " :" + kLineEnd);
}

void copyToClipboardCommand(Workbench& wb) {
    wb.port().copyPlotToClipboard();
}

void printCommand(Workbench& wb) {
    wb.port().printPlot();
}

} // namespace tessaly
