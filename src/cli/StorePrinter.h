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
std::string storeDumpText(const Workbench& wb);

// Writes storeDumpText to `path` through a temporary file and a rename, as the program's own saves
// do; throws a Failure saying why the file could not be written, and the file it was to replace is
// then left as it was.
void dumpStore(const Workbench& wb, const std::string& path);

std::string fullPrecision(double value);

} // namespace tessaly
