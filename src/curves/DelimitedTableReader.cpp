#include "base/Failure.h"
#include "curves/DelimitedText.h"
#include "curves/HeadedTable.h"
#include "curves/MeasuredReaders.h"

#include <cctype>

namespace tessaly {
namespace {

// Lines that may be data: they start with a digit, a sign or a decimal separator.
TextLines candidateDataLines(const TextLines& lines) {
    TextLines sample;
    for (std::string_view line : lines) {
        const std::string_view t = trimField(line);
        if (!t.empty() && (std::isdigit(static_cast<unsigned char>(t[0])) || t[0] == '-' || t[0] == '+' || t[0] == '.'))
            sample.push_back(line);
        if (sample.size() >= 200)
            break;
    }
    return sample;
}

} // namespace

MeasuredData readDelimitedTable(const TextLines& lines) {
    const char delimiter = detectDelimiter(candidateDataLines(lines));
    const bool decimalComma = delimiter != ',';
    const std::size_t first = firstDataLine(lines, 0, delimiter, decimalComma);
    if (first >= lines.size())
        raise(std::string(failure_text::typeMismatch) + " in line 1");
    // The nearest non-blank line above the data names the columns, when it does.
    ColumnRoles roles;
    bool named = false;
    for (std::size_t n = first; n-- > 0;) {
        if (trimField(lines[n]).empty())
            continue;
        const ColumnRoles header = rolesFromNames(splitFields(lines[n], delimiter));
        if (header.E >= 0 && header.I >= 0) {
            roles = header;
            named = true;
        }
        break;
    }
    if (!named) {
        roles.E = 0;
        roles.I = 1;
    }
    MeasuredData data;
    readTableRows(lines, first, lines.size(), delimiter, decimalComma, roles, data);
    data.layout = std::string(named ? "delimited table with column names" : "delimited table without header");
    return data;
}

} // namespace tessaly
