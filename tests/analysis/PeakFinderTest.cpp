// Find Peak and Find Halfwave E on curves from theory: Nernstian sigmoids, sech^2 bells and the
// reversible cyclic voltammogram of a planar electrode.

#include "analysis/PeakFinder.h"

#include "analysis/VoltammogramTheory.h"
#include "base/NumberText.h"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace tessaly {
namespace {

constexpr double kNf = 96484.6 / (8.31441 * 298.14); // F/RT at 25 C, 1/V

std::vector<std::string> lines(const std::string& report) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < report.size()) {
        const auto end = report.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "every line ends in CR LF";
        if (end == std::string::npos)
            break;
        out.push_back(report.substr(start, end - start));
        start = end + 2;
    }
    return out;
}

// The number printed after `label` in `line` (the n-th occurrence, from 0).
double valueAfter(const std::string& line, const std::string& label, int occurrence = 0) {
    std::size_t at = 0;
    for (int k = 0; k <= occurrence; ++k) {
        at = line.find(label, k == 0 ? 0 : at + 1);
        if (at == std::string::npos) {
            ADD_FAILURE() << "no '" << label << "' in: " << line;
            return NAN;
        }
    }
    return leadingNumber(line.substr(at + label.size()));
}

// Whether text is a number written with "0.####" (fixed = true: -?d+(.d{1,4})?) or with "0.####E-0"
// (d(.d{1,4})?E-?d+). Sign, integer digits, up to four decimals without trailing zeros, exponent.
bool maskShape(const std::string& text, bool fixed) {
    std::size_t i = 0;
    const auto digits = [&](std::size_t most) {
        std::size_t n = 0;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) && n < most + 1) {
            ++i;
            ++n;
        }
        return n;
    };
    if (i < text.size() && text[i] == '-')
        ++i;
    const std::size_t integer = digits(fixed ? 20 : 1);
    if (integer == 0 || (!fixed && integer != 1))
        return false;
    if (i < text.size() && text[i] == '.') {
        ++i;
        const std::size_t start = i;
        const std::size_t decimals = digits(4);
        if (decimals == 0 || decimals > 4 || text[i - 1] == '0' || i - start != decimals)
            return false;
    }
    if (!fixed) {
        if (i >= text.size() || text[i] != 'E')
            return false;
        ++i;
        if (i < text.size() && text[i] == '-')
            ++i;
        if (digits(3) == 0)
            return false;
    }
    return i == text.size();
}

// The tokens between the labels of a report line, checked against their masks in order.
void expectLineShape(const std::string& line, const std::vector<std::pair<std::string, bool>>& fields,
                     const std::string& head, const std::string& tail) {
    ASSERT_EQ(line.rfind(head, 0), 0u) << line;
    std::size_t at = head.size();
    for (std::size_t f = 0; f < fields.size(); ++f) {
        const auto& [label, fixed] = fields[f];
        ASSERT_EQ(line.compare(at, label.size(), label), 0) << "expected '" << label << "' in: " << line;
        at += label.size();
        const auto end = line.find(' ', at);
        const std::string token = line.substr(at, end - at);
        EXPECT_TRUE(maskShape(token, fixed)) << "'" << token << "' in: " << line;
        at = end;
    }
    EXPECT_EQ(line.substr(at), tail) << line;
}

// A bell y = ip sech^2((E - ep)/w) on a 5 mV grid running negative from `start`.
void writeBell(CurveStore& store, double start, int n, double ep, double ip, double w) {
    for (int k = 0; k < n; ++k) {
        store.E[k] = start - 0.005 * k;
        const double c = std::cosh((store.E[k] - ep) / w);
        store.Curve(k, 1) = ip / (c * c);
    }
    store.NPoints = n;
    store.LastIndex = n - 1;
    store.FirstPoint = 1;
    store.LastPoint = n - 2;
    store.NCurves = 1;
    store.CurveNo = 1;
}

TEST(FindPeaks, SymmetricBellSampledEvery5mVGivesOneLineWithBothHalfPeakPoints) {
    CurveStore store;
    const double ep = -0.45; // V, on the grid
    const double ip = 1.2345e-6;
    const double w = 0.03; // V: a 5 mV grid point (25 mV out) falls within 10 % of half height
    writeBell(store, 0.1, 221, ep, ip, w);
    PeakTable table;
    const auto out = lines(FindPeaks(store, 3, 217, {0.5, 1}, table));
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0], "Curve 1:");
    expectLineShape(out[1],
                    {{"Ep= ", true},
                     {" V, Ip= ", false},
                     {" A, Ep/2 - Ep= ", true},
                     {" V, Ep/2 - Ep= ", true},
                     {" V, W1/2= ", true}},
                    "Peak 1: ", " V,");
    EXPECT_EQ(out[1].substr(0, 36), "Peak 1: Ep= -0.45 V, Ip= 1.2345E-6 A");

    // The half-peak points lie where sech^2 is within 10 % of 1/2: |E - Ep| = w acosh(1/sqrt(y/ip)).
    const double inner = w * std::acosh(1 / std::sqrt(0.55));
    const double outer = w * std::acosh(1 / std::sqrt(0.45));
    const double before = valueAfter(out[1], "Ep/2 - Ep= ", 0);
    const double after = valueAfter(out[1], "Ep/2 - Ep= ", 1);
    EXPECT_GT(before, inner - 1e-4); // the sweep runs negative: the first point is positive of Ep
    EXPECT_LT(before, outer + 1e-4);
    EXPECT_LT(after, -inner + 1e-4);
    EXPECT_GT(after, -outer - 1e-4);
    const double fullWidth = 2 * w * std::acosh(std::sqrt(2.0)); // 1.7627 w
    EXPECT_NEAR(valueAfter(out[1], "W1/2= "), fullWidth, 0.0101);
}

TEST(FindPeaks, ReversibleCycleGivesTwoPeaksFiftyNineMillivoltsApartAndTheSwitchingCorrection) {
    CurveStore store;
    testing::SweepSetup sweep;
    sweep.start = 0.3;
    sweep.step = 0.001;
    sweep.forward = 601; // switching 300 mV past E1/2
    sweep.cycle = true;
    sweep.nf = kNf;
    sweep.nFACsqrtD = 1e-6;
    sweep.substeps = 4;
    testing::writeReversibleSweep(store, sweep);
    PeakTable table;
    const auto out = lines(FindPeaks(store, 3, store.LastPoint - 2, {1, 1}, table));
    ASSERT_EQ(out.size(), 5u);
    ASSERT_EQ(table.PeakCount, 2);

    // Randles-Sevcik: Ip = 0.4463 nFAC sqrt(nf v D); Ep = E1/2 - 1.109 RT/nF (28.5 mV).
    const double randlesSevcik = 0.4463 * sweep.nFACsqrtD * std::sqrt(kNf * sweep.scanRate);
    EXPECT_NEAR(table.PeakI[1][1] / randlesSevcik, 1.0, 0.01);
    EXPECT_NEAR(table.PeakE[1][1], -1.109 / kNf, 0.0015);
    EXPECT_LT(table.PeakI[2][1], 0.0);

    // Nicholson, Anal. Chem. 37 (1965) 1351: 58-59 mV for a switch 300 mV beyond E1/2 at 25 C.
    const std::string& summary = out[3];
    ASSERT_EQ(summary.rfind("Ep2 - Ep1 = ", 0), 0u) << summary;
    EXPECT_NEAR(valueAfter(summary, "Ep2 - Ep1 = "), 0.0585, 0.002);
    EXPECT_NEAR(valueAfter(summary, "(Ep2 + Ep1)/2 = "), 0.0, 0.002);
    EXPECT_NE(summary.find("Ip2/Ip1 = -"), std::string::npos) << summary;

    // The switching-current rule restores Ipa/Ipc = 1 for a chemically reversible couple.
    const std::string& correction = out[4];
    ASSERT_EQ(correction.rfind("Ipc = ", 0), 0u) << correction;
    EXPECT_NEAR(valueAfter(correction, "Ipa/Ipc = "), 1.0, 0.03);
    EXPECT_LT(valueAfter(correction, "Ipa = "), 0.0);
}

TEST(FindPeaks, PeaksBelowTwoPercentOfTheirCurvesSpanAndNearTheEndsAreNotReported) {
    // A bell of 5e-5 A at -0.2 V and a small one at -0.7 V on one curve: the small one is reported
    // only above 2 % of the curve's span (1e-6 A), however small the curve is as a whole.
    struct Case {
        double scale; // of the whole curve
        double small; // height of the small bell, A before scaling
        int peaks;
    };
    const Case cases[] = {{1.0, 0.8e-6, 1}, {1.0, 1.2e-6, 2}, {1e-6, 0.8e-6, 1}, {1e-6, 1.2e-6, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.scale << " " << c.small);
        CurveStore store;
        writeBell(store, 0.1, 221, -0.2, 5e-5 * c.scale, 0.02);
        for (int k = 0; k < 221; ++k) {
            const double sech = 1 / std::cosh((store.E[k] + 0.7) / 0.02);
            store.Curve(k, 1) += c.scale * c.small * sech * sech;
        }
        PeakTable table;
        EXPECT_EQ(lines(FindPeaks(store, 3, 217, {0.5, 1}, table)).size(), 1u + c.peaks);
    }

    // A peak three points inside the searched range is not examined.
    CurveStore edge;
    writeBell(edge, 0.1, 221, 0.1 - 0.005 * 6, 1e-6, 0.01);
    PeakTable table;
    EXPECT_EQ(FindPeaks(edge, 3, 217, {0.5, 1}, table), "Curve 1:\r\n");
}

// A measured cycle: a reduction peak on the forward sweep, an oxidation peak on the reverse one,
// the current still large at the vertex and at the start.
void writeMeasuredCycle(CurveStore& store, int perSweep, double noise, bool tieTops) {
    const int n = 2 * perSweep;
    std::uint32_t seed = 12345;
    const auto uniform = [&] { // a small linear congruential generator: the same noise on every run
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) / double(1u << 24) - 0.5;
    };
    for (int k = 0; k < n; ++k) {
        const bool forward = k < perSweep;
        const int j = forward ? k : n - 1 - k;
        store.E[k] = 0.3 - 0.6 * j / (perSweep - 1); // V
        const double x = (store.E[k] + (forward ? 0.03 : -0.03)) / 0.03;
        const double bell = 1 / (std::cosh(x) * std::cosh(x));
        // Falling to the vertex (cathodic tail) forward, rising from it on the reverse sweep.
        const double tail = forward ? 0.6e-6 * j / perSweep : 0.6e-6 * j / perSweep - 0.3e-6;
        double y = forward ? 1e-6 * bell + tail : -0.8e-6 * bell + tail;
        if (tieTops)
            y = std::round(y / 2e-8) * 2e-8; // an ADC step of 20 nA: equal samples at the tops
        store.Curve(k, 1) = y + noise * uniform();
    }
    store.NPoints = n;
    store.LastIndex = n - 1;
    store.FirstPoint = 1;
    store.LastPoint = n - 2;
    store.NCurves = 1;
    store.CurveNo = 1;
    store.NForward = perSweep;
}

TEST(FindPeaks, NoisyAndTiedMeasuredPeaksAreFoundOnceAndVerticesAreNotPeaks) {
    struct Case {
        const char* what;
        double noise; // A, peak to peak
        bool tie;
    };
    const Case cases[] = {{"clean", 0, false}, {"tied samples", 0, true}, {"noise 2 %", 2e-8, false},
                          {"noise and ties", 1e-8, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CurveStore store;
        writeMeasuredCycle(store, 601, c.noise, c.tie);
        PeakTable table;
        const auto out = lines(FindPeaks(store, store.FirstPoint + 2, store.LastPoint - 2, {1, 1}, table));
        ASSERT_EQ(table.PeakCount, 2) << out.size();
        EXPECT_NEAR(table.PeakE[1][1], -0.03, 0.012);
        EXPECT_GT(table.PeakI[1][1], 0);
        EXPECT_NEAR(table.PeakE[2][1], 0.03, 0.012);
        EXPECT_LT(table.PeakI[2][1], 0);
        EXPECT_EQ(out[3].rfind("Ep2 - Ep1 = ", 0), 0u);
    }
}

TEST(FindPeaks, AFlatTopIsOnePeakAtItsMiddle) {
    CurveStore store;
    writeBell(store, 0.1, 221, -0.45, 1e-6, 0.02);
    for (int k = 105; k <= 115; ++k)
        store.Curve(k, 1) = 1e-6; // eleven equal samples across the top
    PeakTable table;
    FindPeaks(store, 3, 217, {0.5, 1}, table);
    ASSERT_EQ(table.PeakCount, 1);
    EXPECT_NEAR(table.PeakE[1][1], store.E[110], 1e-12);
}

TEST(FindPeaks, EveryCurveIsSearchedAndAtMostSixteenPeaksAreKept) {
    CurveStore store;
    const int n = 1001;
    for (int k = 0; k < n; ++k) {
        store.E[k] = -0.001 * k;
        store.Curve(k, 1) = -1e-6 * std::pow(std::sin(std::numbers::pi * k / 50.0), 2); // 20 negative bells
        store.Curve(k, 2) = 0;
    }
    store.NPoints = n;
    store.LastIndex = n - 1;
    store.FirstPoint = 1;
    store.LastPoint = n - 2;
    store.NCurves = 2;
    PeakTable table;
    const auto out = lines(FindPeaks(store, 3, n - 4, {0.5, 1}, table));
    ASSERT_EQ(out.size(), 1u + 16u + 1u);
    EXPECT_EQ(out[17], "Curve 2:");
    EXPECT_EQ(out[1].rfind("Peak 1: Ep= -0.025 V, Ip= -1E-6 A, ", 0), 0u) << out[1];
    EXPECT_EQ(out[16].rfind("Peak 16: Ep= -0.775 V", 0), 0u) << out[16];
}

TEST(FindHalfWave, NernstianWaveGivesItsHalfWavePotentialAndLimitingCurrents) {
    CurveStore store;
    const double id = 2.5e-6;        // A
    const double halfWave = -0.2513; // V
    testing::writeSigmoid(store, 0.2, 0.0005, 1501, halfWave, kNf, id);
    const auto out = lines(FindHalfWave(store, 0.5));
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0], "Curve 1:");
    EXPECT_NEAR(valueAfter(out[1], "E1/2= "), halfWave, 0.001);
    EXPECT_NEAR(valueAfter(out[1], "Id,r= "), id, id * 1e-4);
    EXPECT_NEAR(valueAfter(out[1], "Id,o= "), 0.0, id * 1e-4);
    EXPECT_NEAR(valueAfter(out[1], "Id= "), id, id * 1e-4);
    expectLineShape(out[1],
                    {{"E1/2= ", true}, {" V, Id,r= ", false}, {" A, Id,o= ", false}, {" A, Id= ", false}},
                    "Peak 1: ", " A");
}

TEST(FindHalfWave, OneCycleReportsBothSweepsAndLongerScansKeepTwo) {
    CurveStore store;
    const int forward = 401;
    for (int k = 0; k < 2 * forward; ++k) {
        store.E[k] = k < forward ? 0.2 - 0.001 * k : -0.2 + 0.001 * (k - forward);
        // Forward: a cathodic wave at -0.05 V; reverse: an anodic wave at +0.05 V.
        const double theta = std::exp(kNf * (store.E[k] - (k < forward ? -0.05 : 0.05)));
        store.Curve(k, 1) = k < forward ? 1e-6 / (1 + theta) : -1e-6 / (1 + 1 / theta);
    }
    store.NPoints = 2 * forward;
    store.LastIndex = store.NPoints - 1;
    store.FirstPoint = 1;
    store.LastPoint = store.NPoints - 2;
    store.NForward = forward;
    store.NCurves = 1;
    for (const double cycles : {1.0, 3.0}) {
        const auto out = lines(FindHalfWave(store, cycles));
        ASSERT_EQ(out.size(), 3u);
        EXPECT_NEAR(valueAfter(out[1], "E1/2= "), -0.05, 0.001);
        EXPECT_NEAR(valueAfter(out[2], "E1/2= "), 0.05, 0.001);
        EXPECT_EQ(out[2].rfind("Peak 2: ", 0), 0u);
        EXPECT_NEAR(valueAfter(out[2], "Id,o= "), -1e-6, 1e-8); // 0.3 % short of the plateau at 0.2 V
    }
}

} // namespace
} // namespace tessaly

namespace tessaly {
namespace {

// Curves from which no half-wave potential follows: the line says E1/2 is undefined and why, and no
// report prints an infinity or a NaN.
struct DegenerateCurve {
    const char* label;
    double (*current)(int k); // A, of point k of 201
    const char* why;          // the reason the half-wave line gives
};

double flatCurrent(int) { return 1e-6; }
double zeroCurrent(int) { return 0; }
double infiniteAtOnePoint(int k) { return k == 90 ? INFINITY : 1e-6 * k; }
double nanAtOnePoint(int k) { return k == 120 ? NAN : 1e-6 * k; }
double alternatingHuge(int k) { return k % 2 ? 1.7e308 : -1.7e308; }
double stepWithoutMiddle(int k) { return k < 100 ? 0.0 : 1e-6; } // no point near halfway

TEST(FindHalfWave, DegenerateCurvesLeaveTheHalfWavePotentialUndefined) {
    const DegenerateCurve cases[] = {
        {"flat", flatCurrent, "the current does not change over the sweep"},
        {"all zero", zeroCurrent, "the current does not change over the sweep"},
        {"an infinite point", infiniteAtOnePoint, "the sweep holds a number that is not finite"},
        {"a NaN point", nanAtOnePoint, "the sweep holds a number that is not finite"},
        {"huge of both signs", alternatingHuge, "the wave's height is not a finite number"},
        {"a step", stepWithoutMiddle, "no point lies halfway between the limiting currents"},
    };
    for (const DegenerateCurve& c : cases) {
        SCOPED_TRACE(c.label);
        CurveStore store;
        const int n = 201;
        for (int k = 0; k < n; ++k) {
            store.E[k] = 0.5 - 0.005 * k;
            store.Curve(k, 1) = c.current(k);
        }
        store.NPoints = n;
        store.LastIndex = n - 1;
        store.FirstPoint = 1;
        store.LastPoint = n - 2;
        store.NCurves = 1;
        const std::string report = FindHalfWave(store, 0.5);
        const auto out = lines(report);
        ASSERT_EQ(out.size(), 2u) << report;
        EXPECT_EQ(out[1].rfind(std::string("Peak 1: E1/2 is undefined: ") + c.why, 0), 0u) << out[1];
        EXPECT_EQ(out[1].find("E1/2= "), std::string::npos) << out[1];
        PeakTable table;
        const std::string peaks = FindPeaks(store, 3, n - 4, {1, 1}, table) + report;
        for (const char* bad : {"INF", "NAN", "inf", "nan"})
            EXPECT_EQ(peaks.find(bad), std::string::npos) << peaks;
    }
}

// A cyclic voltammogram whose potentials are near the largest double: the sums and differences of the
// two-peak summary overflow, and the report says "undefined" where it would print an infinity.
TEST(FindPeaks, SummaryOfHugePotentialsPrintsNoInfinity) {
    CurveStore store;
    const int forward = 101;
    for (int k = 0; k < 2 * forward; ++k) {
        const int j = k < forward ? k : 2 * forward - 1 - k;
        store.E[k] = 1.7e308 * (1 - 0.02 * j); // a sweep down to -1.7e308 V and back
        // The forward peak near +1.36e308 V, the reverse one near -1.36e308 V.
        const double bell = std::exp(-std::pow((j - (k < forward ? 10 : 90)) / 4.0, 2));
        store.Curve(k, 1) = k < forward ? 1e-6 * bell : -0.8e-6 * bell;
    }
    store.NPoints = 2 * forward;
    store.LastIndex = store.NPoints - 1;
    store.FirstPoint = 1;
    store.LastPoint = store.NPoints - 2;
    store.NForward = forward;
    store.NCurves = 1;
    PeakTable table;
    const std::string report = FindPeaks(store, 3, store.LastPoint - 2, {1, 1}, table);
    EXPECT_EQ(table.PeakCount, 2) << report;
    EXPECT_NE(report.find("Ep2 - Ep1 = undefined V"), std::string::npos) << report;
    for (const char* bad : {"INF", "NAN"})
        EXPECT_EQ(report.find(bad), std::string::npos) << report;
}

} // namespace
} // namespace tessaly
