// Curve slots, the display commands of the store and its checked accessors.

#include "curves/CurveStore.h"

#include "curves/StoreViews.h"

#include <gtest/gtest.h>

namespace tessaly {
namespace {

struct SlotCase {
    const char* name;
    bool overlap, fit, separate;
    int nCurves, curvesPerRun, curveNo, numCharge;
    int expectNCurves, expectCurveNo, expectCurvesPerRun;
};

TEST(PrepareCurveSlots, FirstMatchingRuleWins) {
    const SlotCase cases[] = {
        {"plain one-curve producer", false, false, false, 3, 1, 3, 1, 1, 1, 1},
        {"nothing asked gives one curve", false, false, false, 0, 0, 0, 1, 1, 1, 0},
        {"overlap stacks after the curves shown", true, false, false, 7, 1, 2, 1, 8, 8, 1},
        {"overlap restarts beyond eight columns", true, false, false, 8, 1, 8, 1, 1, 1, 1},
        {"fit keeps the current curve", false, true, false, 5, 1, 3, 1, 2, 3, 2},
        {"separation makes room for the components", false, true, true, 5, 1, 3, 2, 2, 3, 4},
        {"overlap wins over a fit", true, true, false, 2, 1, 2, 1, 3, 3, 1},
    };
    for (const SlotCase& c : cases) {
        CurveStore store;
        store.NCurves = c.nCurves;
        store.CurvesPerRun = c.curvesPerRun;
        store.CurveNo = c.curveNo;
        store.FitMode = c.fit;
        store.SeparateMode = c.separate;
        PrepareCurveSlots(store, c.overlap, c.numCharge);
        EXPECT_EQ(store.NCurves, c.expectNCurves) << c.name;
        EXPECT_EQ(store.CurveNo, c.expectCurveNo) << c.name;
        EXPECT_EQ(store.CurvesPerRun, c.expectCurvesPerRun) << c.name;
    }
}

TEST(PrepareCurveSlots, OverlapFillsColumnEightThenRestarts) {
    CurveStore store;
    store.NCurves = 7;
    store.CurvesPerRun = 1;
    PrepareCurveSlots(store, true, 1);
    EXPECT_EQ(store.CurveNo, 8);
    PrepareCurveSlots(store, true, 1);
    EXPECT_EQ(store.NCurves, 1);
    EXPECT_EQ(store.CurveNo, 1);
}

CurveStore storeWithRange(int first, int last) {
    CurveStore store;
    store.FirstPoint = first;
    store.LastPoint = last;
    store.NPoints = last + 2;
    store.LastIndex = last + 1;
    for (int i = 0; i <= last + 1; ++i) {
        store.E[i] = 0.3 - 0.01 * i;
        store.EApplied[i] = 0.5 - 0.01 * i;
        store.WaveT[i] = 2.0 * i;
    }
    return store;
}

TEST(StoreViews, NextCurveWrapsToOne) {
    CurveStore store;
    store.NCurves = 3;
    store.CurveNo = 2;
    selectNextCurve(store);
    EXPECT_EQ(store.CurveNo, 3);
    selectNextCurve(store);
    EXPECT_EQ(store.CurveNo, 1);
    store.NCurves = 0;
    selectNextCurve(store);
    EXPECT_EQ(store.CurveNo, 1);
}

TEST(StoreViews, SurfaceConcentrationsFallBackToColumnOneWhenOverlapWouldPassEight) {
    for (const bool overlap : {false, true}) {
        CurveStore store = storeWithRange(0, 10);
        store.NCurves = 6;
        for (int j = 1; j <= 3; ++j)
            store.SurfaceConc(4, j) = 1e-3 * j;
        EXPECT_EQ(showSurfaceConcentrations(store, overlap, 3), Abscissa::Potential);
        EXPECT_EQ(store.NCurves, 3);
        EXPECT_EQ(store.Curve(4, 2), 2e-3);
        EXPECT_EQ(store.XTitle, "E /V  ");
        EXPECT_EQ(store.YTitle, "C0 /M  ");
    }
    CurveStore stacked = storeWithRange(0, 10);
    stacked.NCurves = 2;
    stacked.SurfaceConc(4, 1) = 7e-4;
    showSurfaceConcentrations(stacked, true, 2);
    EXPECT_EQ(stacked.NCurves, 4);
    EXPECT_EQ(stacked.Curve(4, 3), 7e-4); // offset by the two curves shown
}

TEST(StoreViews, SampledCurrentsSumTheReactionsOfEachSamplingGroup) {
    CurveStore store = storeWithRange(1, 5);
    const int numCharge = 2;
    // first group: columns 4, 5; second group: columns 6, 7
    store.ComponentCurrent(3, 4) = 1;
    store.ComponentCurrent(3, 5) = 2;
    store.ComponentCurrent(3, 6) = 10;
    store.ComponentCurrent(3, 7) = 20;
    showSampledCurrents(store, false, numCharge);
    EXPECT_EQ(store.NCurves, 2);
    EXPECT_EQ(store.Curve(3, 1), 3);
    EXPECT_EQ(store.Curve(3, 2), 30);
}

TEST(StoreViews, TimeAxisLeavesTheOrdinatesAndPotentialAxisRestoresE) {
    CurveStore store = storeWithRange(1, 8);
    store.Curve(4, 1) = 5e-6;
    store.NCurves = 1;
    store.YTitle = "i /A";
    EXPECT_EQ(useTimeAxis(store, 1, 0.5), Abscissa::XAxis);
    EXPECT_DOUBLE_EQ(store.XAxis[4], 2.0);
    EXPECT_EQ(store.Curve(4, 1), 5e-6);
    EXPECT_EQ(store.XTitle, "t /s");
    EXPECT_EQ(store.YTitle, "i /A");
    useTimeAxis(store, 10, 0.5); // an imported waveform carries its own times
    EXPECT_DOUBLE_EQ(store.XAxis[4], 8.0);
    EXPECT_EQ(usePotentialAxis(store), Abscissa::Potential);
    EXPECT_DOUBLE_EQ(store.XAxis[4], store.E[4]);
    EXPECT_EQ(store.XTitle, "E /V");
}

// EApplied holds what the digital model recorded per time step, which is not per point on a fine
// time grid: the waveform is the programme, E of each point at the point's time.
TEST(StoreViews, WaveformShowsTheProgrammeAgainstTime) {
    CurveStore store = storeWithRange(1, 8);
    store.NCurves = 3;
    showWaveform(store, 1, 0.1);
    EXPECT_EQ(store.NCurves, 1);
    EXPECT_EQ(store.CurveNo, 1);
    EXPECT_DOUBLE_EQ(store.Curve(3, 1), store.E[3]);
    EXPECT_DOUBLE_EQ(store.XAxis[3], 0.3);
    showWaveform(store, 9, 0.1);
    EXPECT_DOUBLE_EQ(store.Curve(3, 1), store.E[3]);
    EXPECT_DOUBLE_EQ(store.XAxis[3], store.WaveT[3]);
}

TEST(CurveStore, CheckedAccessRefusesIndicesBeyondTheCapacity) {
    CurveStore store;
    EXPECT_NO_THROW(store.Curve.at(kMaxPoint, kMaxColumn));
    EXPECT_THROW(store.Curve.at(kMaxPoint + 1, 1), Failure);
    EXPECT_THROW(store.Curve.at(0, kMaxColumn + 1), Failure);
    EXPECT_THROW(store.E.at(-1), Failure);
    try {
        store.E.at(5001);
    } catch (const Failure& f) {
        EXPECT_EQ(f.description(), "Subscript out of range");
    }
}

} // namespace
} // namespace tessaly
