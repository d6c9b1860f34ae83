// File menu: the plot image as a file, on the clipboard and on paper. A cancel ends a command
// silently; a plot image that cannot be written is reported, like the failure of any other save.

#include "base/Failure.h"
#include "workbench/WindowCommands.h"
#include "workbench/Workbench.h"

#include <string>

namespace tessaly {

void saveGraphCommand(Workbench& wb) {
    const auto path = wb.port().saveFileName(kGraphFilter);
    if (!path || path->empty())
        return;
    try {
        if (!wb.port().savePlotImage(*path))
            return; // no plot window to draw
    } catch (const Failure& f) {
        wb.port().showMessage("Save graph Error: " + f.description(), "Error", MessageIcon::Critical);
        return;
    }
    wb.appendResult(std::string(kSaveGraphLine) + *path + " :" + kLineEnd);
}

void copyToClipboardCommand(Workbench& wb) {
    wb.port().copyPlotToClipboard();
}

void printCommand(Workbench& wb) {
    wb.port().printPlot();
}

} // namespace tessaly
