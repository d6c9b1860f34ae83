#pragma once
// What "print NAME" and "dump FILE" of tessaly-cli write.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

class Workbench;

// The value of any field (its text exactly as held), selection, count, committed value, store
// scalar, store array element ("E(120)", "Curve(5,1)"), plot option or plot limit; doubles with 17
// significant digits. Nothing when the name is unknown.
std::optional<std::string> printValue(Workbench& wb, std::string_view name);

// The names "print" knows beyond the dialog fields, for --help.
std::vector<std::string> printableStoreNames();

// The store over FirstPoint..LastPoint as CSV: "index,E,XAxis,1,2,...", 17 significant digits.
// False when the file cannot be written.
bool dumpStore(const Workbench& wb, const std::string& path);

std::string fullPrecision(double value);

} // namespace tessaly
