#pragma once
// The error boundary of a command that computes in the store: a failure stops it and is shown as a
// run-time error, and the store and the plot go back to what they were, so a command that cannot
// finish (a division by zero on a flat curve, an index beyond a one-point curve) leaves no half-written
// curve. A command whose numbers overflow or become undefined (an infinite or NaN point) is undone
// likewise, and says why, so no later command reads a non-finite number.

#include "base/Failure.h"
#include "workbench/Workbench.h"

#include <algorithm>
#include <cmath>

namespace tessaly {

// Whether the store's points 0..NPoints-1 hold finite potentials, abscissae and curves 1..NCurves.
inline bool storeIsFinite(const CurveStore& store) {
    const int points = std::clamp(store.NPoints, 0, store.maxPoint() + 1);
    const int curves = std::clamp(store.NCurves, 0, kMaxColumn);
    for (int k = 0; k < points; ++k) {
        if (!std::isfinite(store.E[k]) || !std::isfinite(store.XAxis[k]))
            return false;
        for (int c = 1; c <= curves; ++c)
            if (!std::isfinite(store.Curve(k, c)))
                return false;
    }
    return true;
}

inline constexpr const char* kNotFiniteMessage =
    "The result is not a finite number (overflow or an undefined operation); nothing was changed.";

// Whether there is a curve to analyse; if not, says why and returns false. Analyses of nothing (an
// empty store, or the curve left from before a Simulate that gave none) print no numbers.
inline bool curveToAnalyse(Workbench& wb) {
    const char* why = nullptr;
    if (wb.store.NPoints <= 0 || wb.store.CurveNo <= 0)
        why = "There is no curve to analyse: simulate or import one first.";
    else if (wb.lastRunGaveNoCurve)
        why = "There is no curve to analyse: the last simulation gave none.";
    if (!why)
        return true;
    wb.port().showMessage(why, "Error", MessageIcon::Critical);
    return false;
}

template <typename Action> void runGuarded(Workbench& wb, Action action) {
    const bool wasFinite = storeIsFinite(wb.store);
    const CurveStore before = wasFinite ? wb.store : CurveStore{};
    const PlotState plotBefore = wb.plotState;
    try {
        action();
    } catch (const Failure& failure) {
        if (wasFinite) {
            wb.store = before;
            wb.plotState = plotBefore;
            wb.port().plotChanged();
        }
        wb.port().showMessage(failure.description(), "Error", MessageIcon::Critical);
        return;
    }
    if (wasFinite && !storeIsFinite(wb.store)) {
        wb.store = before;
        wb.plotState = plotBefore;
        wb.port().plotChanged();
        wb.port().showMessage(kNotFiniteMessage, "Error", MessageIcon::Critical);
    }
}

} // namespace tessaly
