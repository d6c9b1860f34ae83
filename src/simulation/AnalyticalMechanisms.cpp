#include "simulation/AnalyticalMechanisms.h"

#include "base/Checked.h"

namespace tessaly {
namespace {

// Faradaic current of charge reaction j at point k, written into its ComponentCurrent columns. The
// mechanism formulas are added here; until then no combination produces a faradaic current.
void reactionCurrents(const SimulationContext&, int /*k*/, int /*j*/) {}

} // namespace

void AnalyticalCurrents(const SimulationContext& ctx) {
    const CommittedValues& c = ctx.params.committed;
    CurveStore& store = ctx.store;
    const int numCharge = ctx.params.NumCharge;
    const int total = checkedIndex(ctx.run.TotalCurrentColumn, 0, kMaxColumn);

    // Double-layer charging of a sweep, i_c = Cdl v, lagged by the cell time constant Ru Cdl over
    // the time step: i(k) = (T(k) - s Cdl v + (Ru Cdl / dt) i(k-1)) / (1 + Ru Cdl / dt).
    const double rcRatio = c.DoubleLayerCap * c.Resistance / ctx.run.TimeGrid;
    const double rcRatio1 = 1 + rcRatio;
    const bool charging = c.DoubleLayerCap * c.ScanRate > 0 || rcRatio > 0;
    double previous = 0;

    FloatingPointGuard::check();
    for (int k = store.FirstPoint + 1; k <= store.LastPoint; ++k) {
        checkedIndex(k, 0, kMaxPoint);
        double faradaic = 0;
        for (int j = 1; j <= numCharge; ++j) {
            reactionCurrents(ctx, k, j);
            faradaic += store.ComponentCurrent.at(k, j);
        }
        if (charging) {
            const double de = store.E[k] - store.E[k - 1];
            const double s = de > 0 ? 1.0 : (de < 0 ? -1.0 : 0.0);
            previous = (faradaic - s * c.DoubleLayerCap * c.ScanRate + rcRatio * previous) / rcRatio1;
            store.ComponentCurrent(k, total) = previous;
        } else {
            store.ComponentCurrent(k, total) = faradaic;
        }
        FloatingPointGuard::check();
    }
}

void applyAnalyticalAfterPass(const SimulationContext&) {}

} // namespace tessaly
