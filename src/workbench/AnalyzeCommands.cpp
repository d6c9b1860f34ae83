// Analyze menu: curve number, next curve, timing report; and the result window's Clear.

#include "base/NumberText.h"
#include "digital/DigitalSimulation.h"
#include "workbench/Commands.h"
#include "workbench/Workbench.h"

#include <string>

namespace tessaly {

void curveNumberCommand(Workbench& wb) {
    wb.appendResult("Curve Number is " + std::to_string(wb.store.CurveNo) + kLineEnd);
}

void nextCurveCommand(Workbench& wb) {
    selectNextCurve(wb.store);
    curveNumberCommand(wb);
}

// The duration of the last simulation (single precision, as the clock keeps it), the most solver
// iterations one digital time step needed, the negative concentrations the digital model met, and,
// after a digital run on a typed grid, how far that grid leaves it from converged.
void timeCommand(Workbench& wb) {
    const double seconds = leadingNumber(formatMask(wb.ElapsedTime, "0.000000E-0"));
    std::string text = "time = " + generalForm(seconds) + " s" + kLineEnd;
    text += "max iteration in simulation = " + std::to_string(wb.maxSolverIterations) + kLineEnd;
    text += "Number of - concentration = " + std::to_string(wb.negativeConcentrations) + kLineEnd;
    if (wb.digitalGridError)
        text += typedGridReport(*wb.digitalGridError) + kLineEnd;
    wb.appendResult(text);
}

void clearResultsCommand(Workbench& wb) {
    wb.clearResults();
}

} // namespace tessaly
