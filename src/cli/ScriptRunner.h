#pragma once
// Runs a tessaly-cli script over a workbench, one command per line.

#include <iosfwd>
#include <string>

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
    bool fail(int lineNumber, const std::string& text);

    Workbench& m_wb;
    ConsolePort& m_port;
    std::ostream& m_out;
    std::ostream& m_err;
    bool m_exit = false;
};

// The --help text: the script commands, the menu commands and the field names.
std::string scriptHelp();

} // namespace tessaly
