#include "base/Failure.h"
#include "curves/DelimitedText.h"
#include "curves/HeadedTable.h"
#include "curves/MeasuredReaders.h"

namespace tessaly {

std::optional<MeasuredData> readTaggedCurveTables(const TextLines& lines) {
    MeasuredData data;
    int tables = 0;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const std::vector<std::string_view> tag = splitFields(lines[n], '\t');
        if (tag.size() < 2 || !tag[0].starts_with("CURVE") || tag[1] != "TABLE" || n + 2 >= lines.size())
            continue;
        // Column names, then units; data rows start with a tab (an empty first field).
        std::vector<std::string_view> names = splitFields(lines[n + 1], '\t');
        ColumnRoles roles;
        for (std::size_t k = 0; k < names.size(); ++k) {
            const int column = static_cast<int>(k);
            if (names[k] == "Vf")
                roles.E = column;
            else if (names[k] == "Im")
                roles.I = column;
            else if (names[k] == "T")
                roles.t = column;
        }
        if (roles.E < 0 || roles.I < 0)
            continue;
        ++tables;
        std::size_t end = n + 3;
        while (end < lines.size() && !lines[end].empty() && (lines[end][0] == '\t' || lines[end][0] == ' '))
            ++end;
        MeasuredData table;
        readTableRows(lines, n + 3, end, '\t', true, roles, table);
        for (int k = 0; k < table.rows(); ++k) {
            const auto row = static_cast<std::size_t>(k);
            if (data.rows() >= kMaxImportPoints)
                raise(importLimitText());
            data.add(table.E[row], table.current[row], table.time.empty() ? nullptr : &table.time[row], &tables);
        }
        n = end - 1;
    }
    if (tables == 0)
        return std::nullopt;
    data.layout = "tagged header with CURVE tables";
    data.sign = CurrentSign::AnodicPositive;
    return data;
}

} // namespace tessaly
