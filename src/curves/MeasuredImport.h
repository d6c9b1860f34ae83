#pragma once
// Import of a measured curve: recognises the file's structure from its content, turns the currents
// into the program's convention (reduction positive), and picks the cycle to keep.

#include "curves/CurveStore.h"
#include "curves/MeasuredData.h"

#include <optional>
#include <span>
#include <utility>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

// Which cycle of a file with several cycles (or scans) to import.
struct CycleChoice {
    enum class Kind { LastComplete, Number, All };
    Kind kind = Kind::LastComplete;
    int number = 0; // 1.. for Kind::Number: the number-th cycle of the file
    bool given = false; // chosen by the user rather than the default
};

// "cycle=N", "cycle=all", "cycle=last" (also "N", "all", "last"); nothing for any other word.
std::optional<CycleChoice> parseCycleChoice(std::string_view word);

struct ImportedCurve {
    std::vector<double> E;       // V
    std::vector<double> current; // A, reduction positive
    std::vector<double> time;    // s; empty when the file has none
    std::vector<int> cycle;      // cycle number of each point (1..)
    bool cycleColumn = false;    // the cycle numbers are the file's own (else found from the potential)
    int NForward = 0;            // points before the first switching point (all points without one)
    bool ownFormat = false;      // the program's own current file, read as it always was
    std::vector<std::string> notes; // report lines (without line ends) on structure, sign and cycle
    int count() const { return static_cast<int>(E.size()); }
};

// Cycle numbers (1..) from the potential alone: a cycle ends where the potential, after its turns,
// comes back to the start potential in the starting direction. Turns smaller than 1 % of the
// potential extent are noise, not turns.
std::vector<int> cyclesFromPotential(const std::vector<double>& E);

// The points where the potential turns (the last of equal extreme points), in order; reversals
// smaller than 1 % of the potential extent are noise, not turns.
std::vector<int> potentialTurns(const std::vector<double>& E);

// The sweeps of points from..to of E as [first, last] index pairs, split where the potential turns;
// a turn point starts the next sweep (the reverse sweep of a simulated cycle starts at its repeated
// switching potential).
std::vector<std::pair<int, int>> sweepRanges(std::span<const double> E, int from, int to);

// Index of the first switching point: the point where the potential turns (the last of equal
// extreme points); the number of points when it never turns.
int firstSwitchingPoint(const std::vector<double>& E);

// Reads any supported file. The program's own format (comma pairs, no header) is read as it always
// was: every row, no cycle selection unless one is chosen. Other structures are recognised from their
// content (a UTF-16 export with its byte-order mark is read as its UTF-8 text); their currents are negated when the structure declares anodic currents positive; of several
// cycles the choice decides (by default the last complete one). Failures: "Type mismatch in line N"
// for a file without data, the store's limit for a file with too many points, "Cycle N not in file
// (M cycles)" for a cycle the file does not hold.
ImportedCurve importMeasuredFile(std::string_view text, const CycleChoice& choice);

// Stores an imported curve as a current file's rows are stored: E (and the abscissa XAxis) and column
// CurveNo for points
// 0..count-1, NPoints = count, LastIndex = count - 1, LastPoint = count - 2, FirstPoint left as it
// was; the times go to WaveT when the file has them, the file's own cycle numbers to Cycle (emptied
// when it has none), NForward is the first switching point.
void storeMeasuredCurve(CurveStore& store, const ImportedCurve& curve);

} // namespace tessaly
