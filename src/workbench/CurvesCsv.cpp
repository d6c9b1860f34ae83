// File > Save > Curves (CSV): every curve the plot shows, in one table a spreadsheet reads.

#include "base/AtomicFile.h"
#include "base/Failure.h"
#include "workbench/Commands.h"
#include "workbench/Workbench.h"

#include <cstdio>

namespace tessaly {
namespace {

// A field in double quotes when it holds a comma, a quote or a line break; quotes doubled.
std::string csvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(text);
    std::string quoted = "\"";
    for (const char ch : text) {
        if (ch == '"')
            quoted += '"';
        quoted += ch;
    }
    return quoted + '"';
}

// Ten significant digits: what a double-precision current or potential carries that matters.
std::string csvNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", value);
    return text;
}

// The axis title without its padding ("E /V  " -> "E /V").
std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

} // namespace

std::string curvesCsvText(const PlotInput& input) {
    const std::string_view x = trimmed(input.XTitle);
    std::string text = csvField(x.empty() ? "x" : x);
    for (int c = 1; c <= input.NCurves; ++c) {
        const bool named = static_cast<std::size_t>(c) < input.CurveName.size() &&
                           !input.CurveName[static_cast<std::size_t>(c)].empty();
        text += ',' + csvField(named ? input.CurveName[static_cast<std::size_t>(c)]
                                     : "Curve " + std::to_string(c));
    }
    text += "\r\n";
    for (int i = input.first; i <= input.last; ++i) {
        text += csvNumber(finiteForFile(input.abscissa[static_cast<std::size_t>(i)]));
        for (int c = 1; c <= input.NCurves; ++c)
            text += ',' + csvNumber(finiteForFile(input.curve(i, c)));
        text += "\r\n";
    }
    return text;
}

void exportCurvesCommand(Workbench& wb) {
    const PlotInput input = wb.plotInput();
    // An empty store, or a header without rows, saves nothing (an empty store would be written as a row
    // of zeros).
    if (wb.store.NPoints <= 0 || input.first > input.last) {
        wb.port().showMessage("There is no data to export: the active range holds no point.", "Error",
                              MessageIcon::Critical);
        return;
    }
    const std::optional<std::string> name = wb.port().saveFileName("csv|*.csv|all|*.*");
    if (!name || name->empty())
        return;
    try {
        writeFileAtomically(*name, curvesCsvText(input));
    } catch (const Failure& f) {
        wb.port().showMessage("Save curves Error: " + f.description(), "Error", MessageIcon::Critical);
        return;
    }
    wb.appendResult("Save curves to file " + *name + " :" + kLineEnd);
}

} // namespace tessaly
