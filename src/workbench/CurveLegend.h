#pragma once
// The names of the curves in the plot's legend. A command does not name what it writes: the columns
// it changed are found by comparing the curve table before and after it, and each is named after the
// command — "Simulated, CV, mechanism 1, v = 0.1 V/s", "Imported: data.csv", "Fitted, ...",
// "Component 2", or a transform appended to the name the curve had ("..., Semi dy/dt").

#include "workbench/CommandTable.h"

#include <array>
#include <string>
#include <vector>

namespace tessaly {

class Workbench;
struct ExperimentParams;

// The experiment's key parameters as a legend shows them: "CV, mechanism 1, v = 0.1 V/s",
// "DPV, digital", "SWV, mechanism 11, f = 10 Hz".
std::string keyParameters(const ExperimentParams& p);

// The file name without its folders.
std::string baseName(const std::string& path);

class CurveWatch {
public:
    // Takes the curve table as it stands before a command.
    explicit CurveWatch(const Workbench& wb);

    // After `item` ran: names the columns it changed. True when some column changed.
    bool nameChangedCurves(Workbench& wb, const MenuItem& item) const;

private:
    std::vector<double> m_before; // the curve table, point-major
    int m_curveNo = 0;
    std::array<std::string, 17> m_names;
};

} // namespace tessaly
