#include "curves/DelimitedText.h"
#include "curves/HeadedTable.h"
#include "curves/MeasuredReaders.h"

#include <array>

namespace tessaly {
namespace {

// "Jan. 5, 2021   10:15:32", "2021-01-05 10:15", "05/01/2021": a month name, or three numbers
// joined by '-' or '/'.
bool looksLikeDate(std::string_view line) {
    const std::string lower = lowerCase(line);
    constexpr std::array<const char*, 12> months{"jan", "feb", "mar", "apr", "may", "jun",
                                                 "jul", "aug", "sep", "oct", "nov", "dec"};
    for (const char* m : months)
        if (lower.starts_with(m))
            return true;
    int digits = 0;
    int joins = 0;
    for (char c : lower.substr(0, 10)) {
        if (c >= '0' && c <= '9')
            ++digits;
        else if (c == '-' || c == '/' || c == '.')
            ++joins;
    }
    return digits >= 6 && joins == 2;
}

} // namespace

std::optional<MeasuredData> readDatedParameterTable(const TextLines& lines) {
    if (lines.empty() || !looksLikeDate(lines[0]))
        return std::nullopt;
    for (std::size_t n = 1; n < lines.size(); ++n) {
        const std::vector<std::string_view> names = splitFields(lines[n], ',');
        if (names.size() < 2 || lowerCase(names[0]) != "potential/v" || !lowerCase(names[1]).starts_with("current/"))
            continue;
        const ColumnRoles roles = rolesFromNames(names);
        if (roles.E < 0 || roles.I < 0)
            return std::nullopt;
        MeasuredData data;
        readTableRows(lines, n + 1, lines.size(), ',', false, roles, data);
        data.layout = "dated parameter block";
        return data;
    }
    return std::nullopt;
}

} // namespace tessaly
