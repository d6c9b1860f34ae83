// Analyze menu: Find Peak, Find Halfwave E and Theoretical Peak. They measure the curves or the
// experiment and write result lines; none changes a curve.

#include "analysis/PeakFinder.h"
#include "analysis/TheoreticalPeaks.h"
#include "workbench/Commands.h"
#include "workbench/Workbench.h"

namespace tessaly {
namespace {

template <typename Action> void guarded(Workbench& wb, Action action) {
    try {
        action();
    } catch (const Failure& failure) {
        wb.port().showMessage(failure.description(), "Error", MessageIcon::Critical);
    }
}

} // namespace

void findPeakCommand(Workbench& wb) {
    guarded(wb, [&] {
        const CurveStore& s = wb.store;
        const PeakSearch search{wb.plotState.Ymin, wb.plotState.Ymax, wb.params.committed.CycleCount,
                                wb.params.Technique};
        PeakTable table; // kept only while the report is written
        wb.appendResult(FindPeaks(s, s.FirstPoint + 2, s.LastPoint - 2, search, table));
    });
}

void findHalfWaveCommand(Workbench& wb) {
    guarded(wb, [&] { wb.appendResult(FindHalfWave(wb.store, wb.params.committed.CycleCount)); });
}

void theoreticalPeakCommand(Workbench& wb) {
    guarded(wb, [&] {
        Notices notices;
        commitSpecies(wb.params, notices);
        wb.showNotices(notices);
        wb.appendResult(TheoreticalPeaks(wb.params));
    });
}

} // namespace tessaly
