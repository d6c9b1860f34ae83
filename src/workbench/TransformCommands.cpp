// Plot menu: the transforms of the current curve (semi-derivative and semi-integral, derivative,
// integral, smoothing, the two logarithmic analyses) and the X and Y data commands.

#include "base/NumberText.h"
#include "curves/Transforms.h"
#include "workbench/CommandGuard.h"
#include "workbench/Commands.h"
#include "workbench/Workbench.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

namespace tessaly {
namespace {

// Column CurveNo of the curve table.
ColumnRef currentCurve(Workbench& wb) {
    const int column = checkedIndex(wb.store.CurveNo, 1, kMaxColumn);
    return ColumnRef::inTable(wb.store.Curve.data(), PointTable::stride(), column);
}

// The constants the transforms take from the experiment: the time per point td (s), the scan rate v
// (V/s) and the potential step h = |E[2] - E[1]| (V).
double dropTime(const Workbench& wb) {
    return leadingNumber(wb.params.td);
}
double scanRate(const Workbench& wb) {
    return std::fabs(leadingNumber(wb.params.V));
}
double potentialStep(const Workbench& wb) {
    return abscissaStep(wb.store.E.span());
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

// An input box's reply, trimmed; no value for Cancel or a blank reply.
std::optional<double> askNumber(Workbench& wb, const char* prompt, const char* title,
                                const std::string& initial) {
    const auto reply = wb.port().inputText(prompt, title, initial);
    if (!reply)
        return std::nullopt;
    const std::string text = trimmed(*reply);
    if (text.empty())
        return std::nullopt;
    return leadingNumber(text);
}

void combineCurves(Workbench& wb, double sign) {
    runGuarded(wb, [&] {
        CurveStore& s = wb.store;
        const int target = checkedIndex(s.CurveNo + 1, 1, kMaxColumn);
        s.NCurves = target;
        for (int i = s.FirstPoint; i <= s.LastPoint; ++i)
            s.Curve.at(i, target) = s.Curve.at(i, 2) + sign * s.Curve.at(i, 1);
        wb.redraw(Abscissa::XAxis);
    });
}

} // namespace

void semiDifferentiateCommand(Workbench& wb) {
    runGuarded(wb, [&] {
        semiDifferentiate(currentCurve(wb), wb.store.FirstPoint, wb.store.LastIndex, dropTime(wb));
        wb.redraw(Abscissa::Potential);
    });
}

void semiIntegrateCommand(Workbench& wb) {
    runGuarded(wb, [&] {
        semiIntegrate(currentCurve(wb), wb.store.FirstPoint, wb.store.LastIndex, potentialStep(wb),
                      scanRate(wb), dropTime(wb));
        wb.redraw(Abscissa::Potential);
    });
}

void differentiateCommand(Workbench& wb) {
    runGuarded(wb, [&] {
        differentiate(currentCurve(wb), wb.store.LastIndex, wb.store.NPoints, wb.store.LastPoint,
                      potentialStep(wb), scanRate(wb));
        wb.redraw(Abscissa::Potential);
    });
}

void integrateCommand(Workbench& wb) {
    runGuarded(wb, [&] {
        integrate(currentCurve(wb), wb.store.LastIndex, potentialStep(wb), scanRate(wb));
        wb.redraw(Abscissa::XAxis);
    });
}

void smoothCommand(Workbench& wb) {
    runGuarded(wb, [&] {
        smooth(currentCurve(wb), wb.store.LastIndex, wb.store.NPoints);
        wb.redraw(Abscissa::Potential);
    });
}

void logWaveCommand(Workbench& wb) {
    runGuarded(wb, [&] {
        logWave(currentCurve(wb), wb.store.LastIndex);
        wb.redraw(Abscissa::Potential);
    });
}

void logSemiIntegralCommand(Workbench& wb) {
    runGuarded(wb, [&] {
        CurveStore& s = wb.store;
        const ColumnRef y = currentCurve(wb);
        const double h = potentialStep(wb);
        s.LastIndex = s.NPoints - 1; // the semi-integral runs over every stored point
        logSemiIntegral(y, s.FirstPoint, s.LastPoint, s.NPoints, h, scanRate(wb), dropTime(wb));
        wb.redraw(Abscissa::Potential);
    });
}

void scaleXCommand(Workbench& wb, double factor) {
    runGuarded(wb, [&] {
        scaleRange(wb.store.E.span(), wb.store.FirstPoint, wb.store.LastPoint, factor);
        wb.redraw(Abscissa::XAxis);
    });
}

// Reverses the active range of the potentials and of the current curve: point i trades places with
// point FirstPoint + LastPoint - i.
void reverseXCommand(Workbench& wb) {
    runGuarded(wb, [&] {
        const ColumnRef y = currentCurve(wb);
        reverseRange(wb.store.E.span(), wb.store.FirstPoint, wb.store.LastPoint);
        reverseRange(y, wb.store.FirstPoint, wb.store.LastPoint);
        std::vector<int>& cycle = wb.store.Cycle; // a measurement's cycle numbers go with their points
        if (wb.store.FirstPoint >= 0 && wb.store.FirstPoint <= wb.store.LastPoint &&
            static_cast<std::size_t>(wb.store.LastPoint) < cycle.size())
            std::reverse(cycle.begin() + wb.store.FirstPoint, cycle.begin() + wb.store.LastPoint + 1);
        wb.redraw(Abscissa::XAxis);
    });
}

void scaleYCommand(Workbench& wb, double factor) {
    runGuarded(wb, [&] {
        scaleRange(currentCurve(wb), wb.store.FirstPoint, wb.store.LastPoint, factor);
        wb.redraw(Abscissa::XAxis);
    });
}

void scaleYInputCommand(Workbench& wb) {
    const auto factor = askNumber(wb, "Please input scale", "Scale * Y", "1");
    if (factor)
        scaleYCommand(wb, *factor);
}

void moveYCommand(Workbench& wb) {
    runGuarded(wb, [&] {
        const ColumnRef y = currentCurve(wb);
        const auto y0 = askNumber(wb, "Please input Y0", "Y-Y0", generalForm(y.at(1)));
        if (!y0)
            return;
        shiftRange(y, wb.store.FirstPoint, wb.store.LastPoint, *y0);
        wb.redraw(Abscissa::XAxis);
    });
}

void addCurvesCommand(Workbench& wb) {
    combineCurves(wb, 1.0);
}

void subtractCurvesCommand(Workbench& wb) {
    combineCurves(wb, -1.0);
}

} // namespace tessaly
