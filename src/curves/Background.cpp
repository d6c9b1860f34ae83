#include "curves/Background.h"

#include "base/Failure.h"
#include "curves/DelimitedText.h"

#include <algorithm>
#include <cmath>

namespace tessaly {

std::vector<PotentialWindow> parseWindows(std::string_view text) {
    std::string spaced(text);
    std::replace(spaced.begin(), spaced.end(), ',', ' ');
    std::replace(spaced.begin(), spaced.end(), ';', ' ');
    std::vector<double> values;
    for (std::string_view field : splitFields(spaced, ' ')) {
        const auto v = parseDecimal(field, false);
        if (!v)
            raise(failure_text::typeMismatch);
        values.push_back(*v);
    }
    if (values.empty() || values.size() % 2 != 0)
        raise(failure_text::invalidCall);
    std::vector<PotentialWindow> windows;
    for (std::size_t k = 0; k < values.size(); k += 2)
        windows.push_back({std::min(values[k], values[k + 1]), std::max(values[k], values[k + 1])});
    return windows;
}

void subtractLinearBaseline(CurveStore& store, int column, int first, int last,
                            const std::vector<PotentialWindow>& windows) {
    checkedIndex(column, 1, kMaxColumn);
    if (first > last)
        return;
    checkedIndex(first, 0, store.maxPoint());
    checkedIndex(last, 0, store.maxPoint());
    // Forward and reverse sweeps get their own line: their charging currents have opposite signs.
    const std::vector<std::pair<int, int>> sweeps = sweepRanges(store.E.span(), first, last);

    struct Line {
        double a; // A
        double b; // A/V
    };
    std::vector<Line> lines;
    for (std::size_t s = 0; s < sweeps.size(); ++s) {
        double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
        for (int i = sweeps[s].first; i <= sweeps[s].second; ++i) {
            const double e = store.E[i];
            const bool inside = std::any_of(windows.begin(), windows.end(),
                                            [&](const PotentialWindow& w) { return e >= w.low && e <= w.high; });
            if (!inside)
                continue;
            const double y = store.Curve(i, column);
            n += 1;
            sx += e;
            sy += y;
            sxx += e * e;
            sxy += e * y;
        }
        const double det = n * sxx - sx * sx;
        if (n < 2 || !(std::fabs(det) > 1e-300))
            raise("No baseline points on sweep " + std::to_string(s + 1));
        const double b = (n * sxy - sx * sy) / det;
        lines.push_back({(sy - b * sx) / n, b});
    }
    for (std::size_t s = 0; s < sweeps.size(); ++s)
        for (int i = sweeps[s].first; i <= sweeps[s].second; ++i)
            store.Curve(i, column) -= lines[s].a + lines[s].b * store.E[i];
}

void subtractBlank(CurveStore& store, int column, int first, int last, const ImportedCurve& blank) {
    checkedIndex(column, 1, kMaxColumn);
    if (blank.count() != store.NPoints)
        raise("The blank has " + std::to_string(blank.count()) + " points, the curve " +
              std::to_string(store.NPoints));
    if (first > last)
        return;
    checkedIndex(first, 0, blank.count() - 1);
    checkedIndex(last, 0, blank.count() - 1);
    const double step = store.NPoints >= 2 ? std::fabs(store.E[1] - store.E[0]) : 0.0; // V
    for (int i = first; i <= last; ++i)
        if (std::fabs(blank.E[static_cast<std::size_t>(i)] - store.E[i]) > 0.5 * step + 1e-12)
            raise("The blank's potential differs from the curve's at point " + std::to_string(i));
    for (int i = first; i <= last; ++i)
        store.Curve(i, column) -= blank.current[static_cast<std::size_t>(i)];
}

} // namespace tessaly
