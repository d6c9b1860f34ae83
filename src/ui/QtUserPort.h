#pragma once
// The user port of the desktop window: Qt message boxes, file, input, colour and printer dialogs,
// the wait pointer, the web browser, and the plot window's image services.

#include "base/UserPort.h"

#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <optional>
#include <string>
#include <utility>

class QWidget;

namespace tessaly {

class MainWindow;

// A filter list "desc|*.ext|desc2|*.e2|all|*.*" as Qt's "desc (*.ext);;desc2 (*.e2);;all (*)". A
// description that already shows its pattern in parentheses is kept as it is; "*.*" matches every
// file, with or without an extension.
QString qtFileFilter(std::string_view filter);

// The address Manual and Homepage open: a web address as it is, a file name relative to the
// program's own directory (`programDir`), an absolute path as a local file.
QUrl browserUrl(std::string_view target, const QString& programDir);

// Where a help file is looked for, in order: beside the program, in the source tree's docs (a program
// run from its build tree), in the installed program directory.
QStringList helpFileFolders(const QString& programDir);
// The first of `folders` that holds `fileName`, as a path; "" when none does.
QString findHelpFile(const QString& fileName, const QStringList& folders);

// A file name from a Save dialog with the extension of the chosen filter ("*.par") added when the name
// has none; names with an extension, and filters that match every file, leave it as typed.
QString withFilterExtension(const QString& fileName, const QString& qtFilter);

class QtUserPort : public UserPort {
public:
    // The port answers with no window until the main window is attached (the workbench is built
    // before its window).
    void attach(MainWindow* window) { m_window = window; }

    // How an address is handed to the browser; tests replace it to record the address.
    void setUrlOpener(std::function<bool(const QUrl&)> opener) { m_openUrl = std::move(opener); }
    // Answers the file dialogs without showing them (scripted front-ends and tests); no value = cancel.
    void setFileAnswerer(std::function<std::optional<std::string>()> answerer) {
        m_fileAnswerer = std::move(answerer);
    }

    // The next Open dialog is answered with `path` without being shown (a recent file chosen).
    void answerNextOpen(const QString& path) { m_nextOpen = path; }
    // The file chosen in the last Open or Save dialog; "" after a cancel.
    const QString& lastChosenFile() const { return m_lastChosen; }
    void forgetChosenFile() { m_lastChosen.clear(); }

    void showMessage(std::string_view text, std::string_view title, MessageIcon icon) override;
    std::optional<std::string> openFileName(std::string_view filter) override;
    std::optional<std::string> openDataFileName(std::string_view filter) override;
    std::optional<std::string> takeImportOption() override { return std::exchange(m_importOption, std::nullopt); }
    std::optional<std::string> saveFileName(std::string_view filter) override;
    std::optional<std::string> inputText(std::string_view prompt, std::string_view title,
                                         std::string_view defaultText) override;
    void setBusy(bool busy) override;
    double clockSeconds() override;
    void openInBrowser(std::string_view target) override;
    void resultLogChanged() override;
    void plotChanged() override;
    void setPlotTitle(std::string_view title) override;
    void menusChanged() override;
    void showForm(std::string_view formName) override;
    bool savePlotImage(const std::string& path) override;
    bool copyPlotToClipboard() override;
    bool printPlot() override;

private:
    QWidget* dialogParent() const;

    MainWindow* m_window = nullptr;
    int m_busyDepth = 0;
    std::optional<std::string> m_importOption; // the cycle chosen in the last data file dialog
    std::function<std::optional<std::string>()> m_fileAnswerer;
    std::function<bool(const QUrl&)> m_openUrl;
    QString m_nextOpen;
    int m_pngDotsPerInch = 96; // the resolution last chosen for a PNG graph
    QString m_lastChosen;
};

} // namespace tessaly
