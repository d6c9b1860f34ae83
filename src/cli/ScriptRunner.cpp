#include "cli/ScriptRunner.h"

#include "base/Failure.h"
#include "cli/ConsolePort.h"
#include "cli/ScriptLine.h"
#include "cli/StorePrinter.h"
#include "curves/MeasuredImport.h"
#include "fitting/AutoFit.h"
#include "fitting/FitSetup.h"
#include "base/NumberText.h"
#include "model/ExperimentKinds.h"
#include "model/FieldTable.h"
#include "workbench/CommandTable.h"
#include "workbench/Commands.h"
#include "workbench/FormCommands.h"
#include "workbench/Workbench.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <istream>
#include <ostream>

namespace tessaly {
namespace {

std::string lower(std::string_view s) {
    std::string r(s);
    std::transform(r.begin(), r.end(), r.begin(), [](unsigned char c) { return std::tolower(c); });
    return r;
}

std::optional<int> parseInt(std::string_view s) {
    int value = 0;
    const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || p != s.data() + s.size() || s.empty())
        return std::nullopt;
    return value;
}

void listMenu(const std::vector<MenuItem>& items, std::string& out) {
    for (const MenuItem& it : items) {
        if (it.isSeparator())
            continue;
        if (it.isSubmenu()) {
            listMenu(it.children, out);
        } else {
            out += "  " + it.name.substr(3);
            if (!it.handler)
                out += "  (not available in this version)";
            out += '\n';
        }
    }
}

// The options of `select optTech`, `optElectrode` and `mech`: their numbers and captions.
void listKinds(std::string& out) {
    out += "\nOptions of select (the numbers of the parameter file):\n  optTech\n";
    for (const kind::Technique t : kind::kAllTechniques)
        out += std::string("    ") + traits(t).caption + '\n';
    std::string digitalOnly;
    for (const kind::Electrode e : kind::kAllElectrodes)
        if (traits(e).digitalOnly)
            digitalOnly += (digitalOnly.empty() ? "" : ", ") + std::to_string(kind::code(e));
    out += "  optElectrode (" + digitalOnly + " only with the digital simulation)\n";
    for (const kind::Electrode e : kind::kAllElectrodes)
        out += std::string("    ") + traits(e).caption + '\n';
    out += "  mech (analytical mechanisms)\n";
    for (const kind::Mechanism m : kind::kAllMechanisms)
        out += std::string("    ") + traits(m).caption + "   (" + traits(m).tip + ")\n";
}

} // namespace

bool ScriptRunner::fail(int lineNumber, const std::string& text) {
    m_err << "tessaly-cli: line " << lineNumber << ": " << text << '\n';
    return false;
}

int ScriptRunner::run(std::istream& script) {
    std::string line;
    int lineNumber = 0;
    while (std::getline(script, line)) {
        ++lineNumber;
        if (!runLine(line, lineNumber))
            return 2;
        if (m_exit)
            break;
    }
    return 0;
}

bool ScriptRunner::runLine(const std::string& text, int lineNumber) {
    const ScriptLine line = splitScriptLine(text);
    if (line.error)
        return fail(lineNumber, *line.error);
    if (line.words.empty())
        return true;
    const Words& w = line.words;
    const std::string verb = lower(w[0]);
    if (verb == "set")
        return setLine(w, lineNumber);
    if (verb == "check")
        return checkLine(w, lineNumber);
    if (verb == "select")
        return selectLine(w, lineNumber);
    if (verb == "show" || verb == "ok")
        return formLine(verb, w, lineNumber);
    if (verb == "print")
        return printLine(w, lineNumber);
    if (verb == "dump")
        return dumpLine(w, lineNumber);
    if (verb == "dataset")
        return datasetLine(w, lineNumber);
    if (verb == "tie")
        return tieLine(w, lineNumber);
    if (verb == "untie")
        return untieLine(w, lineNumber);
    if (verb == "fitwindow")
        return fitWindowLine(w, lineNumber);
    if (verb == "fithistory")
        return fitHistoryLine(w, lineNumber);
    if (verb == "clear") {
        clearResultsCommand(m_wb);
        return true;
    }
    if (verb == "exit" || verb == "mnuexit") {
        m_exit = true;
        return true;
    }
    return menuLine(w, lineNumber);
}

bool ScriptRunner::setLine(const Words& w, int lineNumber) {
    if (w.size() != 3)
        return fail(lineNumber, "usage: set NAME TEXT");
    const FormStatus status = setField(m_wb, w[1], w[2]);
    if (status == FormStatus::UnknownName)
        return fail(lineNumber, "unknown field " + w[1]);
    if (status == FormStatus::BadValue)
        return fail(lineNumber, w[1] + " is not a text field");
    return true;
}

bool ScriptRunner::checkLine(const Words& w, int lineNumber) {
    const auto value = w.size() == 3 ? parseInt(w[2]) : std::nullopt;
    if (!value || (*value != 0 && *value != 1))
        return fail(lineNumber, "usage: check NAME 0|1");
    const FormStatus status = setCheck(m_wb, w[1], *value == 1);
    if (status == FormStatus::UnknownName)
        return fail(lineNumber, "unknown check box " + w[1]);
    if (status == FormStatus::BadValue)
        return fail(lineNumber, w[1] + " is not a check box");
    return true;
}

bool ScriptRunner::selectLine(const Words& w, int lineNumber) {
    const auto value = w.size() == 3 ? parseInt(w[2]) : std::nullopt;
    if (!value)
        return fail(lineNumber, "usage: select GROUP N");
    const FormStatus status = selectOption(m_wb, w[1], *value);
    if (status == FormStatus::UnknownName)
        return fail(lineNumber, "unknown option group " + w[1]);
    if (status == FormStatus::BadValue)
        m_err << "tessaly-cli: line " << lineNumber << ": option " << w[2] << " of " << w[1]
              << " cannot be chosen now\n";
    return true;
}

bool ScriptRunner::formLine(const std::string& verb, const Words& w, int lineNumber) {
    if (w.size() != 2)
        return fail(lineNumber, "usage: " + verb + " FORM");
    const FormStatus status = verb == "show" ? showForm(m_wb, w[1]) : okForm(m_wb, w[1]);
    if (status == FormStatus::UnknownName)
        return fail(lineNumber, "unknown dialog " + w[1]);
    return true;
}

bool ScriptRunner::printLine(const Words& w, int lineNumber) {
    if (w.size() != 2)
        return fail(lineNumber, "usage: print NAME");
    const auto value = printValue(m_wb, w[1]);
    if (!value)
        return fail(lineNumber, "unknown name " + w[1]);
    m_out << w[1] << " = " << *value << '\n';
    m_out.flush();
    return true;
}

bool ScriptRunner::dumpLine(const Words& w, int lineNumber) {
    if (w.size() != 2)
        return fail(lineNumber, "usage: dump FILE");
    try {
        dumpStore(m_wb, w[1]);
    } catch (const Failure& f) {
        m_err << "tessaly-cli: line " << lineNumber << ": cannot dump to " << w[1] << ": " << f.description()
              << '\n';
    }
    return true;
}

bool ScriptRunner::datasetLine(const Words& w, int lineNumber) {
    FitSetup& setup = m_wb.fitSetup;
    if (w.size() == 2 && lower(w[1]) == "clear") {
        setup.dataSets.clear();
        return true;
    }
    if (w.size() < 2 || w.size() % 2 != 0)
        return fail(lineNumber, "usage: dataset FILE [FIELD TEXT ...] or dataset clear");
    if (static_cast<int>(setup.dataSets.size()) >= kMaxFitSets)
        return fail(lineNumber, "at most " + std::to_string(kMaxFitSets) + " data sets");
    FitDataSetSpec shape{w[1], {}};
    for (std::size_t k = 2; k + 1 < w.size(); k += 2) {
        if (isDataSetCycleWord(w[k])) {
            if (!parseCycleChoice(w[k + 1]))
                return fail(lineNumber, "cycle " + w[k + 1] + " is not a cycle (N, all or last)");
        } else if (!printValue(m_wb, w[k])) {
            return fail(lineNumber, "unknown field " + w[k]);
        }
        shape.fields.emplace_back(w[k], w[k + 1]);
    }
    setup.dataSets.push_back(std::move(shape));
    return true;
}

bool ScriptRunner::tieLine(const Words& w, int lineNumber) {
    if (w.size() != 3)
        return fail(lineNumber, "usage: tie NAME MASTER");
    const auto code = fitCodeOfName(w[1]);
    const auto master = fitCodeOfName(w[2]);
    if (!code || !master)
        return fail(lineNumber, "not a fitted quantity: " + (code ? w[2] : w[1]));
    if (const auto refused = addTie(m_wb.fitSetup, {*code, *master}))
        m_err << "tessaly-cli: line " << lineNumber << ": " << *refused << '\n';
    return true;
}

bool ScriptRunner::untieLine(const Words& w, int lineNumber) {
    if (w.size() != 2)
        return fail(lineNumber, "usage: untie NAME");
    const auto code = fitCodeOfName(w[1]);
    if (!code)
        return fail(lineNumber, "not a fitted quantity: " + w[1]);
    if (!removeTie(m_wb.fitSetup, *code))
        m_err << "tessaly-cli: line " << lineNumber << ": " << w[1] << " is not tied\n";
    return true;
}

bool ScriptRunner::fitWindowLine(const Words& w, int lineNumber) {
    FitSetup& setup = m_wb.fitSetup;
    const std::string kind = w.size() >= 2 ? lower(w[1]) : "";
    if (w.size() == 2 && kind == "clear") {
        setup.windows.clear();
        setup.cycle = 0;
        return true;
    }
    if (w.size() == 3 && kind == "cycle") {
        const auto n = parseInt(w[2]);
        if (!n || *n < 0)
            return fail(lineNumber, "usage: fitwindow cycle N (0: every cycle)");
        setup.cycle = *n;
        return true;
    }
    if (w.size() == 4 && (kind == "e" || kind == "t")) {
        FitWindow window;
        window.axis = kind == "e" ? FitWindow::Axis::Potential : FitWindow::Axis::Time;
        window.from = leadingNumber(w[2]);
        window.to = leadingNumber(w[3]);
        setup.windows.push_back(window);
        return true;
    }
    return fail(lineNumber, "usage: fitwindow E FROM TO | fitwindow t FROM TO | fitwindow cycle N | "
                            "fitwindow clear");
}

bool ScriptRunner::fitHistoryLine(const Words& w, int lineNumber) {
    const auto n = w.size() == 2 ? parseInt(w[1]) : std::nullopt;
    if (!n || *n < 0 || *n > kMaxHistoryCycles)
        return fail(lineNumber, "usage: fithistory N (0.." + std::to_string(kMaxHistoryCycles) + ")");
    m_wb.fitSetup.historyCycles = *n;
    return true;
}

// A menu command; its argument answers the file dialog or input box it opens.
bool ScriptRunner::menuLine(const Words& w, int lineNumber) {
    // Import takes a second argument, the cycle to keep: cycle=N, cycle=all or cycle=last.
    const bool import = lower(w[0]) == "import";
    if (w.size() > (import ? 3u : 2u))
        return fail(lineNumber, import ? "Import takes a file and at most one option (cycle=N or cycle=all)"
                                       : "a menu command takes at most one argument");
    m_port.setPendingAnswer(w.size() >= 2 ? std::optional<std::string>(w[1]) : std::nullopt);
    m_port.setPendingOption(w.size() == 3 ? std::optional<std::string>(w[2]) : std::nullopt);
    const CommandStatus status = runCommand(m_wb, w[0]);
    m_port.setPendingAnswer(std::nullopt);
    m_port.setPendingOption(std::nullopt);
    switch (status) {
    case CommandStatus::Ran:
        return true;
    case CommandStatus::Unknown:
        return fail(lineNumber, "unknown command " + w[0]);
    case CommandStatus::NotBuilt:
        return fail(lineNumber, "the command " + w[0] + " is not available in this version");
    case CommandStatus::Unavailable:
        m_err << "tessaly-cli: line " << lineNumber << ": the command " << w[0]
              << " is unavailable now (its menu is disabled)\n";
        return true;
    }
    return true;
}

std::string scriptHelp() {
    std::string h =
        "Usage: tessaly-cli [--crlf] [SCRIPT | -]\n"
        "Runs a script of workbench commands, one per line (standard input when SCRIPT is absent or -).\n"
        "Blank lines and lines starting with # are skipped; words are separated by blanks and may be\n"
        "double-quoted. Result text goes to standard output (LF line ends; --crlf keeps CR LF), message\n"
        "boxes to standard error as TITLE: TEXT. Exit status 0 at the end of the script, 2 at the first\n"
        "line naming an unknown command or field or that cannot be parsed.\n\n"
        "Script commands:\n"
        "  set NAME TEXT      type TEXT into a dialog field (change reaction, then validation)\n"
        "  check NAME 0|1     set a check box and run its click reaction\n"
        "  select GROUP N     choose option N of optTech, optElectrode, mech, ComboScan, OptionH,\n"
        "                     OptionOH or linestyle(K)\n"
        "  show FORM          a dialog's activation: FormTech FormIns FormMech FormExpr FormSpecies "
        "formOption\n"
        "  ok FORM            a dialog's OK button\n"
        "  print NAME         write NAME = VALUE (fields, committed values, store values)\n"
        "  dump FILE          write the active range of the curve store as CSV\n"
        "  dataset FILE [FIELD TEXT ...]\n"
        "                     add a measured curve (any file Import reads) to the fit, with the fields\n"
        "                     in which its experiment differs from the dialogs, and cycle N|all|last for\n"
        "                     the file's cycle (the last complete one by default); AutoFit and ManualFit\n"
        "                     then fit every data set at once, sharing the ticked quantities\n"
        "  dataset clear      empty the data-set list (the fit commands use the current curve again)\n"
        "  tie NAME MASTER    fit NAME as equal to MASTER, e.g. tie D(2) D(1) (ks alph Eze kf kb C D)\n"
        "  untie NAME         fit NAME on its own again\n"
        "  fitwindow E FROM TO  fit only the points between two potentials (V); windows add up\n"
        "  fitwindow t FROM TO  fit only the points between two times (s)\n"
        "  fitwindow cycle N  fit only cycle N of a cyclic sweep (0: every cycle)\n"
        "  fitwindow clear    fit every point again\n"
        "  fithistory N       simulate N cycles before each measured cycle and fit only the measured one\n"
        "                     (0: none); the measured curve must be one whole cycle\n"
        "  Clear              clear the result window\n"
        "  Exit               end the script\n";
    listKinds(h);
    h += "\n"
         "Menu commands (name without the mnu prefix, case-insensitive; one optional argument answers\n"
         "the file dialog or input box the command opens, none cancels it; Import FILE takes a second\n"
         "argument cycle=N, cycle=all or cycle=last, the cycle of a measured file to keep):\n";
    listMenu(mainMenu(), h);
    h += "\nField names (array indices in parentheses):\n";
    for (const std::string& n : fieldNameList())
        h += "  " + n + '\n';
    h += "\nCommitted values (print only):\n";
    for (const std::string& n : committedNameList())
        h += "  " + n + '\n';
    h += "\nStore and plot values (print only):\n";
    for (const std::string& n : printableStoreNames())
        h += "  " + n + '\n';
    return h;
}

} // namespace tessaly
