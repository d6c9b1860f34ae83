#pragma once
// Background subtraction for measured curves: a straight baseline fitted, sweep by sweep, to the
// points in chosen potential windows where no faradaic current flows (the capacitive and residual
// current); or a blank curve, measured without the analyte, subtracted point by point.

#include "curves/CurveStore.h"
#include "curves/MeasuredImport.h"

#include <string_view>
#include <vector>

namespace tessaly {

struct PotentialWindow {
    double low;  // V
    double high; // V
};

// Windows from a text of potential pairs ("0.25 0.3 -0.3 -0.25", commas or blanks between numbers).
// "Type mismatch" for anything but numbers, "Invalid procedure call or argument" for an odd count or
// none.
std::vector<PotentialWindow> parseWindows(std::string_view text);

// Fits y = a + b E by least squares to the points of each sweep of first..last (the sweeps split where
// the potential turns, so forward and reverse sweeps get their own line) that lie in any window, and
// subtracts it from that sweep's points of the column. A sweep with fewer than two points in the
// windows, or all of them at one potential, fails with "No baseline points on sweep N" before anything
// changes.
void subtractLinearBaseline(CurveStore& store, int column, int first, int last,
                            const std::vector<PotentialWindow>& windows);

// Subtracts the blank's current from the column at each point first..last. The blank must hold the
// same points: as many as the store and the same potentials within half a potential step.
void subtractBlank(CurveStore& store, int column, int first, int last, const ImportedCurve& blank);

} // namespace tessaly
