#include "curves/DelimitedText.h"
#include "curves/HeadedTable.h"
#include "curves/MeasuredReaders.h"

namespace tessaly {

std::optional<MeasuredData> readChannelColumnTable(const TextLines& lines) {
    const std::size_t scan = std::min<std::size_t>(lines.size(), 20);
    for (std::size_t n = 0; n < scan; ++n) {
        const std::string lower = lowerCase(lines[n]);
        if (lines[n].find('\t') == std::string_view::npos && lines[n].find(';') == std::string_view::npos)
            continue;
        if (lower.find("potential applied") == std::string::npos && lower.find("we(1).") == std::string::npos)
            continue;
        const char delimiter = lines[n].find('\t') != std::string_view::npos ? '\t' : ';';
        const ColumnRoles roles = rolesFromNames(splitFields(lines[n], delimiter));
        if (roles.E < 0 || roles.I < 0)
            return std::nullopt;
        MeasuredData data;
        readTableRows(lines, n + 1, lines.size(), delimiter, delimiter != ',', roles, data);
        data.layout = "tab table with channel column names";
        data.sign = CurrentSign::AnodicPositive;
        return data;
    }
    return std::nullopt;
}

} // namespace tessaly
