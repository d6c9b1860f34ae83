#include "workbench/CurveLegend.h"

#include "model/ExperimentKinds.h"
#include "workbench/Workbench.h"

#include <algorithm>
#include <cstddef>

namespace tessaly {

namespace {

// Short names of the ten techniques, as chemists abbreviate them.
constexpr std::array<const char*, 11> kTechniqueShort = {"",
                                                         "CV",
                                                         "DC",
                                                         "NPV",
                                                         "DPV",
                                                         "SWV",
                                                         "ASWV",
                                                         "staircase",
                                                         "chronoamperometry",
                                                         "designed waveform",
                                                         "imported waveform"};

std::string withoutAccelerator(const std::string& caption) {
    std::string text;
    for (char c : caption)
        if (c != '&')
            text += c;
    return text;
}

// Points the table gained during the command (a longer curve grows it) were zero before.
bool columnChanged(const std::vector<double>& before, const PointTable& after, int column) {
    const auto data = after.data();
    for (std::size_t i = static_cast<std::size_t>(column); i < data.size(); i += PointTable::stride()) {
        const double old = i < before.size() ? before[i] : 0.0;
        if (data[i] != old && !(data[i] != data[i] && old != old)) // NaN stays NaN
            return true;
    }
    return false;
}

// The name of column `column` changed by command `name` (caption `caption`); `previous` is the name
// it had, `current` the current curve before the command, `file` the plot title it set.
std::string nameFor(const Workbench& wb, const std::string& name, const std::string& caption, int column,
                    const std::string& previous, int current) {
    const std::string file = baseName(wb.plotTitle);
    if (name == "mnuSimulate")
        return "Simulated, " + keyParameters(wb.params);
    if (name == "mnuOpenParameter")
        return "Simulated, " + (file.empty() ? keyParameters(wb.params) : file);
    if (name == "mnuImport")
        return "Imported: " + file;
    if (name == "mnuWaveform" || name == "mnuEt")
        return file.empty() || name == "mnuEt" ? "Applied potential" : "Waveform: " + file;
    if (name == "mnuManualSeparate" || name == "mnuAutoSeparate") {
        if (column > 2)
            return "Component " + std::to_string(column - 2);
        return "Fitted, " + keyParameters(wb.params);
    }
    if (name == "mnuManualFit" || name == "mnuAutoFit")
        return "Fitted, " + keyParameters(wb.params);
    if (name == "mnuIPulse")
        return "i s, sample " + std::to_string(column % 2 == 0 ? 2 : 1);
    if (name == "mnuC0E") {
        const int species = column - (wb.store.NCurves - wb.params.NumSpecies);
        if (species >= 1 && species <= kMaxSpecies &&
            !wb.params.specie[static_cast<std::size_t>(species)].empty())
            return "C0, " + wb.params.specie[static_cast<std::size_t>(species)];
        return "C0, species " + std::to_string(species);
    }
    // A transform of the current curve keeps its origin in the name; a curve it makes beside it is
    // named after the transform.
    if (column == current && !previous.empty())
        return previous + ", " + caption;
    return caption;
}

} // namespace

std::string keyParameters(const ExperimentParams& p) {
    const int technique = std::clamp(p.Technique, 1, 10);
    std::string text = kTechniqueShort[static_cast<std::size_t>(technique)];
    if (p.DigitalFlag)
        text += ", digital";
    else
        text += ", mechanism " + std::to_string(p.Mechanism);
    const kind::TechniqueTraits& t = traits(p.technique());
    if (t.squareWave)
        text += ", f = " + p.TextF + " Hz";
    else if (t.sweep)
        text += ", v = " + p.V + " V/s";
    return text;
}

std::string baseName(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

CurveWatch::CurveWatch(const Workbench& wb) : m_curveNo(wb.store.CurveNo), m_names(wb.curveNames) {
    const auto data = wb.store.Curve.data();
    m_before.assign(data.begin(), data.end());
}

bool CurveWatch::nameChangedCurves(Workbench& wb, const MenuItem& item) const {
    bool changed = false;
    const std::string caption = withoutAccelerator(item.caption);
    for (int c = 1; c <= kMaxColumn; ++c) {
        if (!columnChanged(m_before, wb.store.Curve, c))
            continue;
        changed = true;
        wb.curveNames[static_cast<std::size_t>(c)] =
            nameFor(wb, item.name, caption, c, m_names[static_cast<std::size_t>(c)], m_curveNo);
    }
    return changed;
}

} // namespace tessaly
