#pragma once
// Current data files: one curve as text, one point per line, the potential (V) and the ordinate
// (normally the current, A) separated by a comma, CR LF line ends.

#include "curves/CurveStore.h"

#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

// One number as the current file writes it: the general form, preceded by a blank when it is not
// negative and followed by a blank (" 0.5 ", "-1.5E-06 ").
std::string currentNumberText(double value);

// The file for points first..last of E (V) and column curveNo of the curves: one line
// "<E>,<Curve(i, curveNo)>" per point. An empty text when first > last. "Subscript out of range"
// for a point or column outside the store.
std::string currentFileText(const CurveStore& store, int first, int last, int curveNo);

// The points of a current file, read completely before anything is stored.
struct CurrentFileData {
    std::vector<double> E;       // potentials, V
    std::vector<double> current; // ordinates, A
    int count = 0;               // points read
};

// Reads a current file: one point per line (blank lines skipped, an empty second field is 0).
// Fails on a field that is not a number, more than `capacity` points ("Subscript out of range"), or a
// file with no point at all ("Input past end of file"); the failure names the line.
CurrentFileData readCurrentFile(std::string_view text, int capacity = kPointCapacity);

// Stores an imported curve: E (and the abscissa XAxis) and column CurveNo for points 0..count-1,
// NPoints = count, LastIndex = count - 1 and LastPoint = count - 2 (the last point is stored but
// outside the active range). FirstPoint is left as it was.
void storeImportedCurve(CurveStore& store, const CurrentFileData& data);

} // namespace tessaly
