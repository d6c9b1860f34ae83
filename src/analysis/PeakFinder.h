#pragma once
// Peaks and half-wave potentials of the curves in the store, reported as result lines (each ending in
// CR LF). Peaks of either sign are found: the search works on |y|.

#include "curves/CurveStore.h"

#include <array>
#include <string>

namespace tessaly {

inline constexpr int kMaxPeaks = 16;      // peaks kept per curve
inline constexpr int kHalfPeakSlots = 12; // half-peak potentials: two per peak for peaks 1..6

// The peak table of the last Find Peak, indexed [peak or slot][curve] from 1 as the report numbers
// them. HalfE is 0 where no half-peak point was found.
struct PeakTable {
    std::array<std::array<double, kColumnCapacity>, kMaxPeaks + 1> PeakE{};      // V
    std::array<std::array<double, kColumnCapacity>, kMaxPeaks + 1> PeakI{};      // A, signed
    std::array<std::array<double, kColumnCapacity>, kHalfPeakSlots + 1> HalfE{}; // V
    int PeakCount = 0; // peaks of the curve processed last
};

// What Find Peak needs besides the curves.
struct PeakSearch {
    double CycleCount = 0.5; // 0.5 single sweep, 1 one cycle, 2, 3
    int Technique = 1;
};

// Find Peak over the points first..last of every curve 1..NCurves (the command passes FirstPoint + 2
// and LastPoint - 2). The range is split into sweeps where the potential turns; within a sweep a peak
// is a maximum of |y| (a run of equal samples counts once) that does not touch the sweep's ends or
// lie within four points of the range's ends, and that stands out from its surroundings (its
// prominence: the height above the higher of the lowest points between it and a higher point on
// either side) by at least 2 % of the curve's own span over the searched points (from its lowest to
// its highest value, zero included), however the curve is plotted. Noise and tied samples at a top
// therefore give one peak. Returns the report lines; fills the table.
std::string FindPeaks(const CurveStore& store, int first, int last, const PeakSearch& search,
                      PeakTable& table);

// Find Halfwave E: for every sweep of every curve (at most two sweeps), the upper and lower limiting
// currents and the potential where the curve is halfway between them. Returns the report lines.
std::string FindHalfWave(const CurveStore& store, double cycleCount);

} // namespace tessaly
