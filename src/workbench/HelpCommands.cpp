// Help menu: the project's page and the manual in the web browser, and the about box.

#include "workbench/WindowCommands.h"
#include "workbench/Workbench.h"

namespace tessaly {

void homepageCommand(Workbench& wb) {
    wb.port().openInBrowser(kHomepageAddress);
}

void manualCommand(Workbench& wb) {
    wb.port().openInBrowser(kManualFile);
}

void aboutCommand(Workbench& wb) {
    wb.port().showForm("frmAbout");
}

} // namespace tessaly
