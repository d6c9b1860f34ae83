#include "workbench/Workbench.h"

#include <string>

namespace tessaly {

namespace {

// Why a menu is greyed, as the status bar says it.
constexpr const char* kNoCurveYet =
    "Available once there is a curve: Run > Simulate, or File > Open > Current";
constexpr const char* kTheoryAnalyticalOnly = "Theoretical peaks are for the analytical mechanisms: the "
                                              "digital simulation is ticked (Input > Mechanism)";
constexpr const char* kSurfaceConcentrations =
    "Surface concentrations come from the digital simulation, or from DC or normal pulse voltammetry at "
    "the planar disk";
constexpr const char* kSampledCurrents = "Sampled currents belong to normal pulse, differential pulse and "
                                         "square wave voltammetry (Input > Techniques)";

std::string noAnalyticalSolution(int mechanism) {
    return "Mechanism " + std::to_string(mechanism) +
           " has no analytical solution: tick the digital simulation (Input > Mechanism)";
}

} // namespace

Workbench::Workbench(UserPort& port) : m_port(port) {
    // Start-up: technique 1, electrode 1, single scan, the digital flag from its check box; the Plot
    // and Analyze menus wait for a curve; i s vs E only for the pulse techniques 4..6.
    params.optTech = params.Technique = 1;
    params.Electrode = 1;
    params.ComboScan = 0;
    params.DigitalFlag = params.CheckDigital;
    menus.setEnabled("mnuPlot", false, kNoCurveYet);
    menus.setEnabled("mnuAnalyze", false, kNoCurveYet);
    offerSampledCurrents(false);
    // The plot options dialog loads with the program: curves 1 and 2 take its initial colours.
    PlotOptionsForm(plotOptions).load(store.CurveColor);
    Notices notices;
    buildMechanism(params, notices);
    activateMainWindow();
}

void Workbench::appendResult(std::string_view text) {
    log.append(text);
    m_port.resultLogChanged();
}

void Workbench::clearResults() {
    log.clear();
    m_port.resultLogChanged();
}

void Workbench::setPlotTitle(std::string_view title) {
    plotTitle = std::string(title);
    m_port.setPlotTitle(title);
}

void Workbench::redraw(Abscissa abscissa) {
    plotRequest = {store.FirstPoint, store.LastPoint, abscissa, true};
    plotView.reset();
    PlotOptionsForm(plotOptions).apply(plotState, store.CurveStyle);
    const PlotLimits limits = plotLimits(plotInput(), plotOptions);
    keepFrame(limits, plotState);
    if (!limits.hasXRange())
        m_port.showMessage(kNoDataText, kNoDataTitle, kNoDataIcon);
    m_port.plotChanged();
}

PlotInput Workbench::plotInput() const {
    const bool potential = !plotRequest.valid || plotRequest.abscissa == Abscissa::Potential;
    PlotInput input = plotInputOf(store, potential ? store.E : store.XAxis);
    if (plotRequest.valid) {
        input.first = plotRequest.first;
        input.last = plotRequest.last;
    }
    input.CurveName = curveNames;
    return input;
}

PlotOutcome Workbench::paintPlot(Canvas& canvas) {
    if (!plotRequest.valid)
        return {};
    PlotOptionsForm(plotOptions).apply(plotState, store.CurveStyle);
    return drawPlot(plotInput(), plotOptions, plotState, canvas, plotView ? &*plotView : nullptr);
}

void Workbench::showNotices(const Notices& notices) {
    for (const Notice& n : notices)
        m_port.showMessage(n.text, n.title, n.critical ? MessageIcon::Critical : MessageIcon::None);
}

void Workbench::activateMainWindow() {
    Notices notices;
    buildMechanism(params, notices);
    showNotices(notices);
    PlotOptionsForm(plotOptions).apply(plotState, store.CurveStyle);
    const bool digital = params.DigitalFlag;
    menus.setEnabled("mnuTheoPeak", !digital, kTheoryAnalyticalOnly);
    menus.setEnabled("mnuRun", digital || traits(params.mechanism()).runMenuAnalytical,
                     noAnalyticalSolution(params.Mechanism));
    // The analytical surface concentrations are shown for the sampled steps at the planar disk.
    const bool sampledPlanar =
        params.electrode() == kind::Electrode::PlanarDisk && traits(params.technique()).sampledStep;
    menus.setEnabled("mnuC0E", digital || sampledPlanar, kSurfaceConcentrations);
    m_port.menusChanged();
}

void Workbench::enableCurveMenus() {
    menus.setEnabled("mnuPlot", true);
    menus.setEnabled("mnuAnalyze", true);
    m_port.menusChanged();
}

void Workbench::offerSampledCurrents(bool offered) {
    menus.setEnabled("mnuIPulse", offered, kSampledCurrents);
}

} // namespace tessaly
