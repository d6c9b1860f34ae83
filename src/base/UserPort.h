#pragma once
// Everything a command needs from the windowing platform. The Qt window implements it with real
// dialogs, the command-line runner answers from the script, and tests use a recording fake.

#include <optional>
#include <string>
#include <string_view>

namespace tessaly {

enum class MessageIcon { None, Critical, Exclamation, Information, Question };

class UserPort {
public:
    virtual ~UserPort() = default;

    // A modal message box with an OK button. An empty title means the platform's default title.
    virtual void showMessage(std::string_view text, std::string_view title = {},
                             MessageIcon icon = MessageIcon::None) = 0;

    // File dialogs. The filter is a list of description|pattern pairs separated by "|", for
    // example "csv|*.csv|all|*.*". No value means the user cancelled.
    virtual std::optional<std::string> openFileName(std::string_view filter) = 0;
    // The open dialog of a measured data file; it may also offer the cycle to import, which
    // takeImportOption() then returns ("cycle=N", "cycle=all", "cycle=last"). Taking it clears it.
    virtual std::optional<std::string> openDataFileName(std::string_view filter) { return openFileName(filter); }
    virtual std::optional<std::string> takeImportOption() { return std::nullopt; }
    virtual std::optional<std::string> saveFileName(std::string_view filter) = 0;

    // A single-line input box. No value means Cancel.
    virtual std::optional<std::string> inputText(std::string_view prompt, std::string_view title,
                                                 std::string_view defaultText) = 0;

    // The busy (hourglass) pointer while a command runs.
    virtual void setBusy(bool busy) = 0;

    // A clock in seconds for the timing reports; only differences are used.
    virtual double clockSeconds() = 0;

    // Opens a file or an address in the web browser.
    virtual void openInBrowser(std::string_view target) = 0;

    // The result log grew or was cleared: show the result window with the whole log.
    virtual void resultLogChanged() = 0;

    // The plot must be repainted from the workbench's plot request.
    virtual void plotChanged() = 0;

    // The plot window's caption.
    virtual void setPlotTitle(std::string_view title) = 0;

    // Menu availability changed (read it from the workbench).
    virtual void menusChanged() = 0;

    // Shows an experiment or options dialog (by its form name: "FormTech", "FormIns", "FormMech",
    // "FormExpr", "FormSpecies", "formOption", "frmAbout") without blocking; its activation has run.
    virtual void showForm(std::string_view formName) = 0;

    // Image services of the plot window. Each returns false when it could not be done. Saving the
    // image throws a Failure that says why when the file cannot be written (a missing folder, a full
    // device); the file it was to replace is then left as it was.
    virtual bool savePlotImage(const std::string& path) = 0;
    virtual bool copyPlotToClipboard() = 0;
    // Asks for a printer and copies; false when cancelled.
    virtual bool printPlot() = 0;
};

} // namespace tessaly
