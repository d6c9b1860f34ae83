#pragma once
// The workbench: the one object a front-end owns. It holds the experiment, the curve store, the
// result log, the plot options and state, and the menu availability, and gives the commands the few
// services they share (appending a result line, asking for a redraw, showing notices).

#include "base/UserPort.h"
#include "curves/CurveStore.h"
#include "curves/StoreViews.h"
#include "fitting/FitSetup.h"
#include "model/Commits.h"
#include "model/ExperimentParams.h"
#include "plot/Canvas.h"
#include "plot/PlotDrawing.h"
#include "plot/PlotOptions.h"
#include "plot/PlotState.h"
#include "plot/PlotView.h"
#include "simulation/SimulationResult.h"
#include "workbench/MenuState.h"
#include "workbench/ResultLog.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace tessaly {

// What the plot window draws: Plot(first, last, abscissa) of the curve store.
struct PlotRequest {
    int first = 0;
    int last = -1;
    Abscissa abscissa = Abscissa::Potential;
    bool valid = false; // false until a command has drawn
};

class Workbench {
public:
    explicit Workbench(UserPort& port);
    Workbench(const Workbench&) = delete;
    Workbench& operator=(const Workbench&) = delete;

    UserPort& port() { return m_port; }

    ExperimentParams params;
    CurveStore store;
    ResultLog log;
    PlotOptions plotOptions;
    PlotState plotState;
    PlotRequest plotRequest;
    // The frame the user zoomed or panned to on the plot; none: the frame of the plot options. A
    // command that draws anew returns to the options' frame.
    std::optional<ViewRange> plotView;
    // The legend's name of each curve column (1..16): what made it (simulated, imported, fitted, a
    // component, a transform) with the file name or the key parameters. "" for none.
    std::array<std::string, kColumnCapacity> curveNames;
    // The plot window's title: the file the curves came from, or "" for the plain caption.
    std::string plotTitle;
    // Curves were made since the last export of curves: Exit asks before they are lost.
    bool unsavedCurves = false;
    MenuState menus;
    FitSetup fitSetup; // data sets, ties and fitted window of the fit commands

    float ElapsedTime = 0;          // s, duration of the last Simulate (or fit) command
    int negativeConcentrations = 0; // met by the last digital simulation
    int maxSolverIterations = 0;    // of one time step of the last digital simulation
    double surfaceAreaFactor = 0;   // g of the last digital simulation's grid (0: none yet)
    // How far the last digital simulation, run on a typed grid, lies from converged (a fraction of its
    // largest current); empty after a run on the automatic grid.
    std::optional<double> digitalGridError;
    // The last Simulate gave no curve (refused, nothing to compute, failed): the store's curve is not
    // its result, so the analyses refuse until a run or an import gives one.
    bool lastRunGaveNoCurve = false;
    SimulationResult lastRun; // the last simulation of Simulate or Manual Fit (its buffers serve the next)

    // Appends text (whole lines ending in CR LF) to the result log and shows the result window.
    void appendResult(std::string_view text);
    // The result window's Clear.
    void clearResults();

    // Plot(FirstPoint, LastPoint, abscissa): re-reads the plot options, returns to their frame from any
    // zoom, fixes the frame the mouse reads, reports an empty X range, and asks for a repaint.
    void redraw(Abscissa abscissa);

    // What the plot shows: the last plot request over the store; before the first one, the store's
    // active range against the potential.
    PlotInput plotInput() const;

    // Draws the last plot request on a canvas (the window's repaint), in the user's view when there is
    // one; nothing before the first draw.
    PlotOutcome paintPlot(Canvas& canvas);

    // Names the plot window after a file (or "" for its plain caption).
    void setPlotTitle(std::string_view title);

    // Shows the messages a commit or computation collected.
    void showNotices(const Notices& notices);

    // The main window became active: re-applies the mechanism build and the plot options, then the
    // menu availability rules.
    void activateMainWindow();

    // Makes the Plot and Analyze menus available once a curve exists.
    void enableCurveMenus();

    // The i s vs E command follows the chosen technique: the pulse techniques only.
    void offerSampledCurrents(bool offered);

private:
    UserPort& m_port;
};

} // namespace tessaly
