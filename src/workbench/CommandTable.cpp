#include "workbench/CommandTable.h"

#include "analysis/Conversions.h"
#include "workbench/Commands.h"
#include "workbench/CurveLegend.h"
#include "workbench/WindowCommands.h"
#include "workbench/Workbench.h"

#include <algorithm>
#include <cctype>

namespace tessaly {
namespace {

// The special conversions of the E mechanism (1) and the EC' mechanism (8), for each species.
void i1toC0(Workbench& wb) {
    i1toC0Command(wb, kind::Mechanism::SimpleCharge);
}
void co0toI1(Workbench& wb) {
    co0toI1Command(wb, kind::Mechanism::SimpleCharge, kOxidisedSpecies);
}
void cr0toI1(Workbench& wb) {
    co0toI1Command(wb, kind::Mechanism::SimpleCharge, kReducedSpecies);
}
void i8toC0(Workbench& wb) {
    i1toC0Command(wb, kind::Mechanism::Catalytic);
}
void co0toI8(Workbench& wb) {
    co0toI1Command(wb, kind::Mechanism::Catalytic, kOxidisedSpecies);
}
void cr0toI8(Workbench& wb) {
    co0toI1Command(wb, kind::Mechanism::Catalytic, kReducedSpecies);
}

MenuItem item(const char* name, const char* caption, CommandHandler handler = {}, const char* shortcut = "") {
    return {name, caption, std::move(handler), {}, shortcut};
}
MenuItem separator(const char* name) {
    return {name, "-", {}, {}, ""};
}
MenuItem submenu(const char* name, const char* caption, std::vector<MenuItem> children) {
    return {name, caption, {}, std::move(children), ""};
}

std::vector<MenuItem> buildMenu() {
    return {
        submenu("mnuFile", "&File",
                {
                    submenu("mnuOpen", "&Open",
                            {item("mnuOpenParameter", "&Parameter", openParameterCommand, "Ctrl+O"),
                             item("mnuWaveform", "&Waveform", openWaveformCommand),
                             item("mnuImport", "&Current", importCurrentCommand, "Ctrl+I")}),
                    submenu("mnuSave", "&Save",
                            {item("mnuSaveParameter", "&Parameter", saveParameterCommand, "Ctrl+S"),
                             item("mnuSaveWaveform", "&Waveform", saveWaveformCommand),
                             item("mnuExport", "&Current", exportCurrentCommand, "Ctrl+E"),
                             item("mnuSaveGraph", "&Graph", saveGraphCommand, "Ctrl+G"),
                             item("mnuExportCurves", "C&urves (CSV)", exportCurvesCommand)}),
                    separator("mnuBar2"),
                    item("mnuCopyto", "&Copy to Clipboard", copyToClipboardCommand, "Ctrl+Shift+C"),
                    item("mnuPrint", "&Print...", printCommand, "Ctrl+P"),
                    separator("mnuBar3"),
                    item("mnuExit", "E&xit", {}, "Ctrl+Q"),
                }),
        submenu("mnuInput", "&Input",
                {
                    item("mnuTech", "&Techniques...", techniqueDialogCommand, "Ctrl+1"),
                    item("mnuInstrument", "&Instrument...", instrumentDialogCommand, "Ctrl+2"),
                    item("mnuMechamism", "&Mechanism...", mechanismDialogCommand, "Ctrl+3"),
                    item("mnuKinetics", "&Kinetics...", kineticsDialogCommand, "Ctrl+4"),
                    item("mnuSpecies", "&Concentration...", speciesDialogCommand, "Ctrl+5"),
                }),
        submenu("mnuRun", "&Run",
                {
                    item("mnuSimulate", "&Simulate", simulateCommand, "F5"),
                    separator("mnuBar31"),
                    item("mnuManualFit", "&Manual Fit", manualFitCommand, "F6"),
                    item("mnuAutoFit", "&Auto Fit", autoFitCommand, "F7"),
                    separator("mnuBar32"),
                    item("mnuManualSeparate", "Ma&nual Separate", manualSeparateCommand),
                    item("mnuAutoSeparate", "Auto S&eparate", autoSeparateCommand),
                }),
        submenu("mnuPlot", "&Plot",
                {
                    item("mnuiE", "i vs E", currentVsPotentialCommand),
                    item("mnuIPulse", "i s vs E", sampledCurrentsCommand),
                    item("mnuC0E", "C0 vs E", surfaceConcentrationsCommand),
                    separator("mnubarPlot1"),
                    item("mnuEt", "Waveform", waveformCommand),
                    separator("mnu_1"),
                    submenu("mnuConvert", "Convert",
                            {
                                item("mnuItoC0", "i to C0", currentToConcentrationCommand),
                                item("mnuC0toI", "Co0 and Cr0 to i", concentrationToCurrentCommand),
                                separator("mnubarConvert"),
                                item("mnui1toC0", "i1 to C0 for E mechanism 1", i1toC0),
                                item("mnuCo0toI1", "Co0 to i1 for E mechanism 1", co0toI1),
                                item("mnuCr0toI1", "Cr0 to i1 for E mechanism 1", cr0toI1),
                                separator("mnebar34"),
                                item("mnuI8toC0", "i8 to C0 for EC' mechanism 8", i8toC0),
                                item("mnuCo0toi8", "Co0 to i8 for EC' mechanism 8", co0toI8),
                                item("mnuCr0toI8", "Cr0 to i8 for EC' mechanism 8", cr0toI8),
                            }),
                    separator("mnuBar51"),
                    item("mnuSemi", "&Semi dy/dt", semiDifferentiateCommand),
                    item("mnuSemiInte", "S&emi-integrate", semiIntegrateCommand),
                    item("mnuDiff", "dy/dt", differentiateCommand),
                    item("mnuIntegrate", "&Integrate", integrateCommand),
                    separator("mnubar"),
                    item("mnuLog", "&Log((i lim1 - i)/(i - i lim2))", logWaveCommand),
                    item("mnuLogIrr", "Log((I lim - I)/i)", logSemiIntegralCommand),
                    separator("menuBar5"),
                    item("mnuSmooth", "S&mooth", smoothCommand),
                    separator("mnubar4"),
                    submenu("mnuXData", "&X Data",
                            {
                                item("mnuit", "t as X-axis", timeAxisCommand),
                                item("mnuEAxis", "E as X-axis", potentialAxisCommand),
                                separator("mnuBarXData"),
                                item("mnu0001X", "0.001X", [](Workbench& wb) { scaleXCommand(wb, 0.001); }),
                                item("mnu01X", "0.1X", [](Workbench& wb) { scaleXCommand(wb, 0.1); }),
                                item("mnu10X", "10X", [](Workbench& wb) { scaleXCommand(wb, 10); }),
                                item("mnu1000X", "1000X", [](Workbench& wb) { scaleXCommand(wb, 1000); }),
                                item("mnuMinusX", "Reverse", reverseXCommand),
                            }),
                    submenu("mnuYData", "&Y Data",
                            {
                                item("mnuMinusY", "-Y", [](Workbench& wb) { scaleYCommand(wb, -1); }),
                                item("mnu0001Y", "0.001Y", [](Workbench& wb) { scaleYCommand(wb, 0.001); }),
                                item("mnu01Y", "0.1Y", [](Workbench& wb) { scaleYCommand(wb, 0.1); }),
                                item("mnu10Y", "10Y", [](Workbench& wb) { scaleYCommand(wb, 10); }),
                                item("mnu1000Y", "1000Y", [](Workbench& wb) { scaleYCommand(wb, 1000); }),
                                item("mnuScaleY", "Scale Y", scaleYInputCommand),
                                item("mnuMoveY", "Move Y", moveYCommand),
                                item("mnuY1Y2", "Y1+Y2", addCurvesCommand),
                                item("mnuY2Y1", "Y2-Y1", subtractCurvesCommand),
                                item("mnuBaseline", "&Baseline...", baselineCommand),
                                item("mnuSubtractBlank", "Subtract B&lank...", subtractBlankCommand),
                            }),
                    separator("mnuBar44"),
                    item("mnuOption", "&Option...", optionDialogCommand, "Ctrl+Shift+O"),
                }),
        submenu("mnuAnalyze", "&Analyze",
                {
                    item("mnuFindPeak", "&Find Peak", findPeakCommand, "Ctrl+F"),
                    item("mnuFindHalfwaveE", "Find &Halfwave E", findHalfWaveCommand, "Ctrl+H"),
                    item("mnuTheoPeak", "&Theoretical Peak", theoreticalPeakCommand, "Ctrl+T"),
                    separator("mnuBar52"),
                    item("mnuCurveNumber", "Curve Number", curveNumberCommand),
                    item("mnuNextCurve", "&Next Curve Number", nextCurveCommand, "Ctrl+N"),
                    separator("mnubar12"),
                    item("mnuTime", "T&ime", timeCommand),
                }),
        submenu("mnuHelp", "&Help",
                {
                    item("mnuHomepage", "&Homepage", homepageCommand),
                    item("mnuManual", "&Manual", manualCommand, "F1"),
                    item("mnuAbout", "&About...", aboutCommand),
                }),
    };
}

std::vector<MenuItem>& mutableMenu() {
    static std::vector<MenuItem> menu = buildMenu();
    return menu;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool nameMatches(const MenuItem& item, std::string_view name) {
    if (equalsIgnoringCase(item.name, name))
        return true;
    return item.name.size() > 3 && equalsIgnoringCase(std::string_view(item.name).substr(3), name);
}

bool findPath(const std::vector<MenuItem>& items, std::string_view name, std::vector<const MenuItem*>& path) {
    for (const MenuItem& it : items) {
        if (it.isSeparator())
            continue;
        path.push_back(&it);
        if (nameMatches(it, name) || findPath(it.children, name, path))
            return true;
        path.pop_back();
    }
    return false;
}

// What every command leaves behind besides its own work: a simulation's curves are no longer the
// file's, so the plot drops the file name from its title; the legend names the curves the command
// wrote; curves made since the last export are unsaved results, which Exit asks about.
void afterCommand(Workbench& wb, const MenuItem& item, const CurveWatch& watch, bool reported) {
    if (item.name == "mnuSimulate" && !wb.plotTitle.empty())
        wb.setPlotTitle("");
    if (watch.nameChangedCurves(wb, item))
        wb.unsavedCurves = true;
    if ((item.name == "mnuExport" || item.name == "mnuExportCurves") && reported)
        wb.unsavedCurves = false;
}

} // namespace

const std::vector<MenuItem>& mainMenu() {
    return mutableMenu();
}

std::vector<const MenuItem*> menuPath(std::string_view name) {
    std::vector<const MenuItem*> path;
    if (!findPath(mainMenu(), name, path))
        path.clear();
    return path;
}

const MenuItem* findMenuItem(std::string_view name) {
    const auto path = menuPath(name);
    return path.empty() ? nullptr : path.back();
}

CommandStatus runCommand(Workbench& wb, std::string_view name) {
    const auto path = menuPath(name);
    if (path.empty() || path.back()->isSubmenu())
        return CommandStatus::Unknown;
    for (const MenuItem* it : path)
        if (!wb.menus.isEnabled(it->name))
            return CommandStatus::Unavailable;
    if (!path.back()->handler)
        return CommandStatus::NotBuilt;
    const MenuItem& item = *path.back();
    const CurveWatch watch(wb);
    const std::size_t logBefore = wb.log.text().size();
    item.handler(wb);
    afterCommand(wb, item, watch, wb.log.text().size() != logBefore);
    return CommandStatus::Ran;
}

void finishCommand(Workbench& wb, std::string_view name, const std::function<void()>& work) {
    const MenuItem* item = findMenuItem(name);
    const CurveWatch watch(wb);
    const std::size_t logBefore = wb.log.text().size();
    work();
    if (item)
        afterCommand(wb, *item, watch, wb.log.text().size() != logBefore);
}

} // namespace tessaly
