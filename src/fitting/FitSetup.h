#pragma once
// What a fit covers besides the ticked quantities: the measured data sets of a global fit, the ties
// between quantities, and the window of fitted points. The command-line runner and the fit dialog edit
// it; the fit commands read it.

#include "fitting/FitObjective.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tessaly {

// One measured curve of a global fit: its file (any structure Import reads) and the experiment fields in
// which it differs from the dialogs (named as the runner's set names them: "V", "td", "C(1)", ...). The
// word "cycle" among the fields is no experiment field: its text (N, all or last) chooses the cycle of the
// file that is fitted, as Import's cycle option does; without it the last complete cycle is fitted.
struct FitDataSetSpec {
    std::string file;
    std::vector<std::pair<std::string, std::string>> fields;
};

// The fields of a data set as typed in one line, "NAME TEXT NAME TEXT ..." separated by blanks; nothing
// when the words do not pair up.
std::optional<std::vector<std::pair<std::string, std::string>>> parseDataSetFields(std::string_view text);
// True for the word that chooses a data set's cycle rather than naming an experiment field.
bool isDataSetCycleWord(std::string_view name);
// One line for a list of data sets: the file, then NAME=TEXT of each field.
std::string describeDataSet(const FitDataSetSpec& shape);

// A range of fitted points, by potential (V) or by time (s, as the t axis counts it).
struct FitWindow {
    enum class Axis { Potential, Time };
    Axis axis = Axis::Potential;
    double from = 0;
    double to = 0;
};

struct FitSetup {
    std::vector<FitDataSetSpec> dataSets;
    std::vector<FitTie> ties;
    std::vector<FitWindow> windows; // a point is fitted when it lies in any of them; none: every point
    int cycle = 0;                  // fit only this cycle of a cyclic sweep (1, 2, ...); 0: every cycle
    int historyCycles = 0;          // cycles simulated before each measured curve (one cycle), not fitted

    bool windowed() const { return !windows.empty() || cycle > 0; }
};

// The code of a fittable quantity named as its dialog field: ks(k), alph(k), Eze(k), kf(r), kb(r), C(s),
// D(s), and the instrument's Ru, Cdl and area (case-insensitive); nothing for another name. And back.
std::optional<int> fitCodeOfName(std::string_view name);
std::string fitNameOfCode(int code);

// Ties `code` to `master`. Refused with a reason: a quantity tied to itself, to one that is itself tied,
// or a master that already follows another. A new tie of the same quantity replaces the old one.
std::optional<std::string> addTie(FitSetup& setup, FitTie tie);
// Removes the tie of `code`; false when it had none.
bool removeTie(FitSetup& setup, int code);

// The fitted points first..last of a curve of potentials E (one per point from 0): those inside a window
// (all when there is none) and inside the chosen cycle. A point's time is i·pointTime, or times[i] when
// times is given (a waveform). A cycle is two successive sweeps, a sweep ending where the potential
// turns.
std::vector<int> windowPoints(std::span<const double> E, std::span<const double> times, double pointTime,
                              int first, int last, const FitSetup& setup);

} // namespace tessaly
