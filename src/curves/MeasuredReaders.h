#pragma once
// Readers of the text exports that potentiostat software writes, one per file structure. Each looks
// at the lines of a file and returns its data when the file has its structure, nothing otherwise;
// the generic delimited reader takes whatever is left.

#include "curves/MeasuredData.h"

#include <optional>
#include <string_view>
#include <vector>

namespace tessaly {

using TextLines = std::vector<std::string_view>;

// A tagged header (one "TAG<tab>TYPE<tab>value..." line per setting) and one or more tables
// introduced by "CURVE<n><tab>TABLE", each with a row of column names (Pt, T, Vf, Im, ...), a row of
// units and tab-indented data rows. Each table is one cycle. Currents anodic positive.
std::optional<MeasuredData> readTaggedCurveTables(const TextLines& lines);

// A header block whose length a line "Nb header lines : N" gives; its last line names the tab
// columns ("time/s", "Ewe/V", "<I>/mA", "cycle number"). Currents anodic positive.
std::optional<MeasuredData> readCountedHeaderTable(const TextLines& lines);

// A tab table whose column names carry a channel prefix or say what was applied, with units in
// parentheses: "Potential applied (V)", "WE(1).Current (A)", "WE(1).Potential (V)", "Time (s)",
// "Scan". Currents anodic positive.
std::optional<MeasuredData> readChannelColumnTable(const TextLines& lines);

// A first line with the date, a block of parameter lines ("Init E (V) = 0.5"), and a comma table
// under the header "Potential/V, Current/A". Currents as written (reduction positive).
std::optional<MeasuredData> readDatedParameterTable(const TextLines& lines);

// A comma table under two header lines: the method ("Cyclic Voltammetry ...") and the column names,
// with scans side by side in potential/current pairs. Currents anodic positive.
std::optional<MeasuredData> readTwoLineHeaderCsv(const TextLines& lines);

// Any delimited table (comma, tab, semicolon, blanks; decimal point or comma), with a header row that
// names the potential and current columns and their units, or without one (the first two columns
// are then potential in V and current in A). Currents as written. Raises "Type mismatch in line N"
// when no line holds data.
MeasuredData readDelimitedTable(const TextLines& lines);

} // namespace tessaly
