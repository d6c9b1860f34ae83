#pragma once
// The body shared by the text exports: a table of delimited rows under an optional row of column
// names. The names pick the potential, current, time and cycle columns and their units; rows where
// the potential or the current is not a number (padding rows, comments, a second header) are
// skipped. A header made of potential/current pairs ("V,uA,V,uA") holds one scan per pair.

#include "curves/MeasuredData.h"

#include <string_view>
#include <vector>

namespace tessaly {

struct ColumnRoles {
    int E = -1;     // potential column
    int I = -1;     // current column
    int t = -1;     // time column, -1 when none
    int cycle = -1; // cycle or scan column, -1 when none
    double eFactor = 1; // to V
    double iFactor = 1; // to A
    double tFactor = 1; // to s
    int pairs = 1;      // potential/current column pairs, one scan each
};

// The roles the column names give; E or I is -1 when the names do not name both.
ColumnRoles rolesFromNames(const std::vector<std::string_view>& names);

// The first line at or after `from` that holds a data row: at least two fields read as numbers and
// no field holds text. lines.size() when none.
std::size_t firstDataLine(const std::vector<std::string_view>& lines, std::size_t from, char delimiter,
                          bool decimalComma);

// Reads the rows of lines[from, to) into data with the given roles. Raises the import limit failure
// beyond kMaxImportPoints rows.
void readTableRows(const std::vector<std::string_view>& lines, std::size_t from, std::size_t to, char delimiter,
                   bool decimalComma, const ColumnRoles& roles, MeasuredData& data);

// The failure text of a file beyond the store's capacity.
std::string importLimitText();

} // namespace tessaly
