#include "curves/DelimitedText.h"
#include "curves/HeadedTable.h"
#include "curves/MeasuredReaders.h"

#include <cmath>

namespace tessaly {

std::optional<MeasuredData> readCountedHeaderTable(const TextLines& lines) {
    const std::size_t scan = std::min<std::size_t>(lines.size(), 10);
    for (std::size_t n = 0; n < scan; ++n) {
        if (!lowerCase(lines[n]).starts_with("nb header lines"))
            continue;
        const std::size_t colon = lines[n].find(':');
        if (colon == std::string_view::npos)
            return std::nullopt;
        const auto count = parseDecimal(lines[n].substr(colon + 1), false);
        if (!count || *count < 1 || *count > static_cast<double>(lines.size()))
            return std::nullopt;
        // The header block counts its own lines, the last of which names the columns.
        const auto namesLine = static_cast<std::size_t>(std::lround(*count)) - 1;
        const ColumnRoles roles = rolesFromNames(splitFields(lines[namesLine], '\t'));
        if (roles.E < 0 || roles.I < 0)
            return std::nullopt;
        MeasuredData data;
        readTableRows(lines, namesLine + 1, lines.size(), '\t', true, roles, data);
        data.layout = "counted header block";
        data.sign = CurrentSign::AnodicPositive;
        return data;
    }
    return std::nullopt;
}

} // namespace tessaly
