#include "analysis/PeakFinder.h"

#include "base/Checked.h"
#include "base/NumberText.h"
#include "curves/MeasuredImport.h"
#include "model/ExperimentKinds.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace tessaly {
namespace {

constexpr const char* kEnd = "\r\n";

// The empirical correction of the reverse-to-forward peak ratio for the current at the switching
// potential (Nicholson, Anal. Chem. 38 (1966) 1406): |Ipa0/Ipc| + 0.485 |isp/Ipc| + kSwitchingOffset.
constexpr double kSwitchingSlope = 0.485;
constexpr double kSwitchingOffset = 0.08;

// A peak stands out when it exceeds this fraction of its curve's span.
constexpr double kPeakThreshold = 0.02;

// Highest minus lowest value of curve c over first..last, zero included, A.
double curveSpan(const CurveStore& store, int c, int first, int last) {
    double low = 0;
    double high = 0;
    for (int i = first; i <= last; ++i) {
        low = std::min(low, store.Curve.at(i, c));
        high = std::max(high, store.Curve.at(i, c));
    }
    return high - low;
}

double sign(double x) {
    return x > 0 ? 1.0 : (x < 0 ? -1.0 : 0.0);
}

// A reported number, or "undefined" where the arithmetic gave no finite value (a difference or ratio
// of numbers near the largest double): the report never shows an infinity or a NaN.
std::string masked(double value, const char* mask) {
    return std::isfinite(value) ? formatMask(value, mask) : std::string("undefined");
}
std::string volts(double value) {
    return masked(value, "0.####");
}
std::string amperes(double value) {
    return masked(value, "0.####E-0");
}

// Whether the potentials and curve c are finite over first..last.
bool finiteOver(const CurveStore& store, int c, int first, int last) {
    for (int i = first; i <= last; ++i)
        if (!std::isfinite(store.E.at(i)) || !std::isfinite(store.Curve.at(i, c)))
            return false;
    return true;
}

// The half-peak points: one ascending scan, slot s serving peak (s + 1) / 2; an odd slot takes the
// first point within 10 % of half the peak height (of the peak's sign), an even slot the first such
// point on the other side of the peak potential.
void findHalfPeakPoints(const CurveStore& store, int c, int first, int last, PeakTable& t) {
    int s = 1;
    for (int i = first + 1; i <= last - 1 && s <= kHalfPeakSlots; ++i) {
        const int p = (s + 1) / 2;
        const double peak = t.PeakI[p][c];
        const double y = store.Curve.at(i, c);
        const double half = std::fabs(peak) / 2;
        if (peak == 0 || sign(y) != sign(peak) || !(0.9 * half < std::fabs(y) && std::fabs(y) < 1.1 * half))
            continue;
        if (s % 2 == 1) {
            t.HalfE[s][c] = store.E.at(i);
            ++s;
        } else if (sign(store.E[i] - t.PeakE[p][c]) == -sign(t.HalfE[s - 1][c] - t.PeakE[p][c])) {
            t.HalfE[s][c] = store.E.at(i);
            ++s;
        }
    }
}

std::string peakLine(const PeakTable& t, int k, int c) {
    std::string line = "Peak " + std::to_string(k) + ": Ep= " + volts(t.PeakE[k][c]) +
                       " V, Ip= " + amperes(t.PeakI[k][c]) + " A, ";
    const double odd = k <= kHalfPeakSlots / 2 ? t.HalfE[2 * k - 1][c] : 0.0;
    const double even = k <= kHalfPeakSlots / 2 ? t.HalfE[2 * k][c] : 0.0;
    if (odd != 0)
        line += "Ep/2 - Ep= " + volts(odd - t.PeakE[k][c]) + " V, ";
    if (even != 0)
        line +=
            "Ep/2 - Ep= " + volts(even - t.PeakE[k][c]) + " V, W1/2= " + volts(std::fabs(even - odd)) + " V,";
    return line + kEnd;
}

// Peaks of |y| on the points a..b of one sweep, by index, in ascending order.
void sweepPeaks(const CurveStore& store, int c, int a, int b, double threshold, std::vector<int>& peaks) {
    const auto h = [&](int i) { return std::fabs(store.Curve(i, c)); };
    int i = a;
    while (i <= b) {
        // The run of equal samples starting at i.
        int q = i;
        while (q < b && h(q + 1) == h(i))
            ++q;
        const bool interior = i > a && q < b;
        if (interior && h(i - 1) < h(i) && h(q + 1) < h(i)) {
            const double top = h(i);
            // Lowest point on each side before a higher point (or the sweep's end). A later sample of
            // equal height stops the walk to the right, an earlier one does not: of two equal tops
            // only the later one stands out.
            double leftBase = top;
            for (int j = i - 1; j >= a && h(j) <= top; --j)
                leftBase = std::min(leftBase, h(j));
            double rightBase = top;
            for (int j = q + 1; j <= b && h(j) < top; ++j)
                rightBase = std::min(rightBase, h(j));
            if (top - std::max(leftBase, rightBase) >= threshold && top > threshold)
                peaks.push_back((i + q) / 2);
        }
        i = q + 1;
    }
}

// One sweep's line of Find Halfwave E: the limiting currents Id,r (largest) and Id,o (smallest) and
// the potential where the current is halfway between them, taken from the point closest to halfway
// within 5 % of the half height. Where no such potential exists (a flat sweep, no point near
// halfway, numbers that are not finite) the line says E1/2 is undefined instead of inventing one.
std::string halfWaveLine(const CurveStore& store, int c, int k, int from, int to) {
    const std::string head = "Peak " + std::to_string(k) + ": ";
    if (!finiteOver(store, c, from, to))
        return head + "E1/2 is undefined: the sweep holds a number that is not finite." + kEnd;
    double upper = store.Curve(from, c); // Id,r, A
    double lower = upper;                // Id,o, A
    for (int i = from; i <= to; ++i) {
        upper = std::max(upper, store.Curve(i, c));
        lower = std::min(lower, store.Curve(i, c));
    }
    const std::string currents = "Id,r= " + amperes(upper) + " A, Id,o= " + amperes(lower) +
                                 " A, Id= " + amperes(upper - lower) + " A";
    const double h = (upper - lower) / 2; // half the wave's height, A
    if (!std::isfinite(h))
        return head + "E1/2 is undefined: the wave's height is not a finite number, " + currents + kEnd;
    if (!(h > 0))
        return head + "E1/2 is undefined: the current does not change over the sweep, " + currents + kEnd;
    std::optional<double> halfWave; // V
    double best = 0;
    for (int i = from; i <= to; ++i) {
        const double above = store.Curve(i, c) - lower; // A
        if (above >= 0.95 * h && above <= 1.05 * h && (!halfWave || std::fabs(above - h) < best)) {
            best = std::fabs(above - h);
            halfWave = store.E[i];
        }
    }
    if (!halfWave)
        return head + "E1/2 is undefined: no point lies halfway between the limiting currents, " + currents +
               kEnd;
    return head + "E1/2= " + volts(*halfWave) + " V, " + currents + kEnd;
}
} // namespace

std::string FindPeaks(const CurveStore& store, int first, int last, const PeakSearch& search, PeakTable& t) {
    std::string report;
    const int nCurves = checkedIndex(store.NCurves, 0, kMaxColumn);
    for (int c = 1; c <= nCurves; ++c) {
        report += "Curve " + std::to_string(c) + ":" + kEnd;
        for (int k = 1; k <= kMaxPeaks; ++k) {
            t.PeakE[k][c] = 0;
            t.PeakI[k][c] = 0;
        }
        for (int s = 1; s <= kHalfPeakSlots; ++s)
            t.HalfE[s][c] = 0;
        t.PeakCount = 0;

        const int from = std::max(first + 4, 0);
        const int to = std::min(last - 4, store.maxPoint());
        if (from <= to && !finiteOver(store, c, std::max(first, 0), std::min(last, store.maxPoint()))) {
            report += std::string("No peak is reported: the curve holds a number that is not finite.") + kEnd;
            continue;
        }
        const double threshold = kPeakThreshold * curveSpan(store, c, first, last); // A
        std::vector<int> peaks;
        for (const auto& [a, b] : sweepRanges(store.E.span(), from, to))
            sweepPeaks(store, c, a, b, threshold, peaks);
        for (int i : peaks) {
            if (t.PeakCount >= kMaxPeaks)
                break;
            ++t.PeakCount;
            t.PeakE[t.PeakCount][c] = store.E.at(i);
            t.PeakI[t.PeakCount][c] = store.Curve(i, c);
        }
        findHalfPeakPoints(store, c, first, last, t);

        for (int k = 1; k <= t.PeakCount; ++k)
            report += peakLine(t, k, c);

        if (search.CycleCount == 1 && t.PeakCount == 2) {
            const double e1 = t.PeakE[1][c];
            const double e2 = t.PeakE[2][c];
            const double ip1 = t.PeakI[1][c];
            const double ip2 = t.PeakI[2][c];
            report += "Ep2 - Ep1 = " + volts(e2 - e1) + " V, (Ep2 + Ep1)/2 = " + volts(e2 / 2 + e1 / 2) +
                      " V, Ip2/Ip1 = " + masked(ip2 / ip1, "#.###") + kEnd;
            if (traits(kind::asTechnique(search.Technique)).sweep) { // a cyclic voltammogram
                const double ipc = ip1;
                const double isp = store.Curve.at(store.NForward, c); // current at the switching point
                const double ratio =
                    std::fabs(ip2 / ipc) + kSwitchingSlope * std::fabs(isp / ipc) + kSwitchingOffset;
                report += "Ipc = " + amperes(ipc) + " A, Ipa = " + amperes(-ratio * ipc) +
                          " A, Ipa/Ipc = " + masked(ratio, "#.###") + kEnd;
            }
        }
    }
    return report;
}

std::string FindHalfWave(const CurveStore& store, double cycleCount) {
    std::string report;
    const int nCurves = checkedIndex(store.NCurves, 0, kMaxColumn);
    const int first = store.FirstPoint;
    const int last = store.LastPoint;
    // Sweeps of NForward points each; a curve without a sweep length (a file) is one sweep.
    const int sweepLength = store.NForward > 0 ? store.NForward : last - first + 1;
    const int sweeps = std::clamp(static_cast<int>(std::lround(2 * cycleCount)), 1, 2);
    for (int c = 1; c <= nCurves; ++c) {
        report += "Curve " + std::to_string(c) + ":" + kEnd;
        for (int k = 1; k <= sweeps; ++k) {
            // The sweep's block, within the active range (points outside it carry no current).
            const int from = std::max(first, (k - 1) * sweepLength);
            const int to = std::min(last, k * sweepLength - 1);
            if (from > to)
                break;
            checkedIndex(from, 0, store.maxPoint());
            checkedIndex(to, 0, store.maxPoint());
            report += halfWaveLine(store, c, k, from, to);
        }
    }
    return report;
}

} // namespace tessaly
