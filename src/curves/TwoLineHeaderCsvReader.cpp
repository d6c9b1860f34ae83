#include "curves/DelimitedText.h"
#include "curves/HeadedTable.h"
#include "curves/MeasuredReaders.h"

#include <array>

namespace tessaly {
namespace {

// The method line names the technique or the measurement.
bool namesMethod(std::string_view line) {
    const std::string lower = lowerCase(line);
    constexpr std::array<const char*, 6> words{"voltammetry", "amperometry", "method", "technique", "scan",
                                               "measurement"};
    for (const char* w : words)
        if (lower.find(w) != std::string::npos)
            return true;
    return false;
}

} // namespace

std::optional<MeasuredData> readTwoLineHeaderCsv(const TextLines& lines) {
    const std::size_t data = firstDataLine(lines, 0, ',', false);
    if (data < 2 || data >= lines.size())
        return std::nullopt;
    // The column names directly above the data (blank lines aside), the method line above them.
    std::size_t header = data - 1;
    while (header > 0 && trimField(lines[header]).empty())
        --header;
    if (header == 0)
        return std::nullopt;
    bool method = false;
    for (std::size_t n = 0; n < header; ++n) {
        const ColumnRoles above = rolesFromNames(splitFields(lines[n], ','));
        if (above.E >= 0 && above.I >= 0)
            return std::nullopt; // a second row of column names: not this structure
        method = method || namesMethod(lines[n]);
    }
    const ColumnRoles roles = rolesFromNames(splitFields(lines[header], ','));
    if (!method || roles.E < 0 || roles.I < 0)
        return std::nullopt;
    MeasuredData result;
    readTableRows(lines, data, lines.size(), ',', false, roles, result);
    result.layout = "comma table under method and column lines";
    result.sign = CurrentSign::AnodicPositive;
    return result;
}

} // namespace tessaly
