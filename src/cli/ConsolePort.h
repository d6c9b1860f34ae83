#pragma once
// The user port of the command-line runner: result text goes to standard output as it is appended,
// message boxes to standard error as "TITLE: TEXT", and dialogs are answered from the script line.

#include "base/UserPort.h"

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <utility>

namespace tessaly {

class ConsolePort : public UserPort {
public:
    ConsolePort(std::ostream& out, std::ostream& err, bool keepCrLf);

    // The answer the next file dialog or input box gets (the current line's argument; none = cancel).
    void setPendingAnswer(std::optional<std::string> answer) { m_answer = std::move(answer); }
    // The option that comes with the next data file (the line's second argument: "cycle=N", "all").
    void setPendingOption(std::optional<std::string> option) { m_option = std::move(option); }
    std::optional<std::string> takeImportOption() override { return std::exchange(m_option, std::nullopt); }
    // Where newly appended result text is read from.
    void setResultSource(std::function<const std::string&()> source) { m_resultSource = std::move(source); }
    // Renders the plot image; installed by the runner.
    void setImageWriter(std::function<bool(const std::string&)> writer) { m_imageWriter = std::move(writer); }

    void showMessage(std::string_view text, std::string_view title, MessageIcon icon) override;
    std::optional<std::string> openFileName(std::string_view filter) override;
    std::optional<std::string> saveFileName(std::string_view filter) override;
    std::optional<std::string> inputText(std::string_view prompt, std::string_view title,
                                         std::string_view defaultText) override;
    void setBusy(bool) override {}
    double clockSeconds() override;
    void openInBrowser(std::string_view target) override;
    void resultLogChanged() override;
    void plotChanged() override {}
    void setPlotTitle(std::string_view) override {}
    void menusChanged() override {}
    void showForm(std::string_view) override {}
    bool savePlotImage(const std::string& path) override;
    bool copyPlotToClipboard() override { return false; }
    bool printPlot() override { return false; }

private:
    std::optional<std::string> takeAnswer();

    std::ostream& m_out;
    std::ostream& m_err;
    bool m_keepCrLf;
    std::optional<std::string> m_answer;
    std::optional<std::string> m_option;
    std::function<const std::string&()> m_resultSource;
    std::function<bool(const std::string&)> m_imageWriter;
    std::size_t m_printed = 0; // characters of the result log already written
};

} // namespace tessaly
