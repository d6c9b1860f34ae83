#pragma once
// Runs a tessaly-cli script over a workbench, one command per line.

#include <iosfwd>
#include <string>
#include <vector>

namespace tessaly {

class Workbench;
class ConsolePort;

class ScriptRunner {
public:
    ScriptRunner(Workbench& wb, ConsolePort& port, std::ostream& out, std::ostream& err)
        : m_wb(wb), m_port(port), m_out(out), m_err(err) {}

    // Runs every line of the stream. Returns the exit status: 0 when the script ran to its end (or
    // to Exit), 2 at the first line that names an unknown command or field or cannot be parsed.
    int run(std::istream& script);

    // Runs one line; false when the line is refused (unknown or unparsable).
    bool runLine(const std::string& line, int lineNumber);

    bool exitRequested() const { return m_exit; }

private:
    using Words = std::vector<std::string>;

    bool fail(int lineNumber, const std::string& text);
    // One handler per script verb; each returns what runLine returns.
    bool setLine(const Words& w, int lineNumber);
    bool checkLine(const Words& w, int lineNumber);
    bool selectLine(const Words& w, int lineNumber);
    bool formLine(const std::string& verb, const Words& w, int lineNumber);
    bool printLine(const Words& w, int lineNumber);
    bool dumpLine(const Words& w, int lineNumber);
    bool menuLine(const Words& w, int lineNumber);
    // The fit verbs: data sets, ties and the fitted window.
    bool datasetLine(const Words& w, int lineNumber);
    bool tieLine(const Words& w, int lineNumber);
    bool untieLine(const Words& w, int lineNumber);
    bool fitWindowLine(const Words& w, int lineNumber);
    bool fitHistoryLine(const Words& w, int lineNumber);

    Workbench& m_wb;
    ConsolePort& m_port;
    std::ostream& m_out;
    std::ostream& m_err;
    bool m_exit = false;
};

// The --help text: the script commands, the menu commands and the field names.
std::string scriptHelp();

} // namespace tessaly
