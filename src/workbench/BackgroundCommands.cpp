// Y Data menu: background subtraction of the current curve, by a straight baseline fitted to
// potential windows of each sweep, or by a blank curve read from a file.

#include "base/AtomicFile.h"
#include "base/NumberText.h"
#include "curves/Background.h"
#include "curves/MeasuredImport.h"
#include "workbench/CommandGuard.h"
#include "workbench/Commands.h"
#include "workbench/Workbench.h"

#include <algorithm>
#include <cmath>

namespace tessaly {
namespace {

// The first tenth of the potential range on the side where the sweep starts, where a voltammogram
// usually carries only its background.
std::string defaultWindow(const CurveStore& s) {
    if (s.LastPoint <= s.FirstPoint || s.FirstPoint < 0 || s.LastPoint > s.maxPoint())
        return {};
    const auto begin = s.E.span().begin();
    const auto [low, high] = std::minmax_element(begin + s.FirstPoint, begin + s.LastPoint + 1);
    const double start = s.E[s.FirstPoint];
    const double width = 0.1 * (*high - *low); // V
    const bool fromHigh = std::fabs(start - *high) < std::fabs(start - *low);
    const double a = fromHigh ? *high - width : *low;
    const double b = fromHigh ? *high : *low + width;
    return generalForm(a) + " " + generalForm(b);
}

} // namespace

void baselineCommand(Workbench& wb) {
    runGuarded(wb, [&] {
        CurveStore& s = wb.store;
        const int column = checkedIndex(s.CurveNo, 1, kMaxColumn);
        const auto reply = wb.port().inputText("Please input baseline windows E1 E2 [E3 E4 ...] (V)", "Baseline",
                                               defaultWindow(s));
        if (!reply || reply->find_first_not_of(" \t") == std::string::npos)
            return;
        subtractLinearBaseline(s, column, s.FirstPoint, s.LastPoint, parseWindows(*reply));
        wb.redraw(Abscissa::XAxis);
    });
}

void subtractBlankCommand(Workbench& wb) {
    UserPort& port = wb.port();
    const std::optional<std::string> name = port.openDataFileName("csv|*.csv|all|*.*");
    if (!name)
        return;
    runGuarded(wb, [&] {
        CycleChoice choice;
        if (const std::optional<std::string> word = port.takeImportOption())
            if (const std::optional<CycleChoice> parsed = parseCycleChoice(*word))
                choice = *parsed;
        const ImportedCurve blank = importMeasuredFile(readWholeFile(*name), choice);
        CurveStore& s = wb.store;
        subtractBlank(s, checkedIndex(s.CurveNo, 1, kMaxColumn), s.FirstPoint, s.LastPoint, blank);
        wb.redraw(Abscissa::XAxis);
    });
}

} // namespace tessaly
