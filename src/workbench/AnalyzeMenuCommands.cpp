// Analyze menu: Find Peak, Find Halfwave E and Theoretical Peak. They measure the curves or the
// experiment and write result lines; none changes a curve.

#include "analysis/PeakFinder.h"
#include "analysis/TheoreticalPeaks.h"
#include "workbench/CommandGuard.h"
#include "workbench/Commands.h"
#include "workbench/Workbench.h"

namespace tessaly {
void findPeakCommand(Workbench& wb) {
    if (!curveToAnalyse(wb))
        return;
    runGuarded(wb, [&] {
        const CurveStore& s = wb.store;
        const PeakSearch search{wb.params.committed.CycleCount, wb.params.Technique};
        PeakTable table; // kept only while the report is written
        wb.appendResult(FindPeaks(s, s.FirstPoint + 2, s.LastPoint - 2, search, table));
    });
}

void findHalfWaveCommand(Workbench& wb) {
    if (!curveToAnalyse(wb))
        return;
    runGuarded(wb, [&] { wb.appendResult(FindHalfWave(wb.store, wb.params.committed.CycleCount)); });
}

void theoreticalPeakCommand(Workbench& wb) {
    runGuarded(wb, [&] {
        Notices notices;
        commitSpecies(wb.params, notices);
        wb.showNotices(notices);
        wb.appendResult(TheoreticalPeaks(wb.params));
    });
}

} // namespace tessaly
