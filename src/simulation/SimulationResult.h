#pragma once
// What one simulation gives: the programme, the currents of every point, the state of the electrode
// surface and the digital model's diagnostics, sized by the run's point count. Simulate writes into a
// result it is handed; the vectors and tables keep their capacity, so the runs of a fit that reuse one
// result allocate nothing after the first.

#include "curves/MeasuredData.h"
#include "curves/RunTable.h"
#include "digital/DigitalSimulation.h"

#include <optional>
#include <string>
#include <vector>

namespace tessaly {

// The last point index a run may write: a programme of at most kMaxImportPoints points (the most the
// curve store holds), its tables one row beyond the last point. A longer programme is refused with
// importLimitText() when its potentials are built.
inline constexpr int kMaxRunIndex = kMaxImportPoints;

struct SimulationResult {
    // How far the run got, in the order of its steps. A failure ends the run where it happens: what the
    // stages before it wrote is complete, the rest keeps the values of the run before.
    enum class Stage {
        Started,  // the programme's potentials are written as far as they go
        Counted,  // NPoints, LastIndex and NForward are set
        Ranged,   // and the range FirstPoint..LastPoint
        Cleared,  // EApplied and the tables cover points 0..NPoints, currents computed as far as they got
        Finished, // every current, the baseline and the noise are in: the total is the simulated curve
    };

    Stage stage = Stage::Started;
    std::optional<std::string> failure; // description of the failure that ended the run
    bool cancelled = false;             // the run's control stopped it (failure says so too)

    std::vector<double> E;        // potential of points 0..NPoints-1, V
    std::vector<double> EApplied; // applied potential, V: E of every point; the digital model writes the
                                  // potential of its time steps 1..4999 at those indices (a point with
                                  // several time steps makes the list longer than the points)
    std::vector<double> times;    // s: the time of every point of a waveform (techniques 9, 10), else empty
    int NPoints = 0;
    int LastIndex = 0;
    int FirstPoint = 0;
    int LastPoint = 0;
    int NForward = 0;           // points of one forward sweep or half-cycle
    double TimeGrid = 0;        // s per point of the analytical path; the digital model's time step
    int TotalCurrentColumn = 1; // NumCharge + 1

    // currents(k, j): the current of charge reaction j at point k, A; column NumCharge + 1 the total
    // (with charging, baseline and noise); columns NumCharge + 1 + j and 2 NumCharge + 1 + j the current
    // of reaction j at the first and second sampling instant (pulse techniques) or, at the spheres, the
    // radial part of it. Points 0..NPoints.
    RunTable currents;
    // surface(k, s): surface concentration of species s at point k, mol/L. Points 0..NPoints.
    RunTable surface;

    DigitalOutcome digital; // of the digital model; empty for an analytical run

    bool finished() const { return stage == Stage::Finished; }
    bool reached(Stage s) const { return stage >= s; }
    // Total current of point k, A.
    double total(int k) const { return currents(k, TotalCurrentColumn); }
};

} // namespace tessaly
