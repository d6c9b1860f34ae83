#include "curves/CurveStore.h"

#include "curves/MeasuredData.h"

namespace tessaly {

CurveStore::CurveStore() {
    for (int c = 1; c <= kMaxColumn; ++c)
        CurveColor[static_cast<std::size_t>(c)] = paletteColour(c);
    CurveStyle[1] = 3;
    CurveStyle[2] = 2;
    CurveStyle[3] = CurveStyle[4] = CurveStyle[5] = 3;
    CurveStyle[6] = 1;
}

void CurveStore::reservePoints(int count) {
    const int points = checkedIndex(count, 0, kMaxImportPoints) + 1;
    E.reserve(points);
    EApplied.reserve(points);
    WaveT.reserve(points);
    XAxis.reserve(points);
    Curve.reserve(points);
}

namespace {

enum class SlotRule { Appended, Separation, Fit, Restarted };

// The rules of PrepareCurveSlots for a producer of `curves` curves; which one applied.
SlotRule prepareSlots(CurveStore& store, bool overlap, int numCharge, int curves) {
    if (overlap && curves + store.NCurves <= 8) {
        store.NCurves += curves;
        return SlotRule::Appended;
    }
    if (store.SeparateMode) {
        store.NCurves = 2;
        store.CurvesPerRun = numCharge + 2;
        return SlotRule::Separation;
    }
    if (store.FitMode) {
        store.NCurves = 2;
        store.CurvesPerRun = 2;
        return SlotRule::Fit;
    }
    store.NCurves = curves != 0 ? curves : 1;
    return SlotRule::Restarted;
}

// Appended and restarted curves end with the current curve on the last column.
bool lastColumnIsCurrent(SlotRule rule) {
    return rule == SlotRule::Appended || rule == SlotRule::Restarted;
}

} // namespace

void PrepareCurveSlots(CurveStore& store, bool overlap, int numCharge) {
    if (lastColumnIsCurrent(prepareSlots(store, overlap, numCharge, store.CurvesPerRun)))
        store.CurveNo = store.NCurves;
}

void PrepareDisplaySlots(CurveStore& store, bool overlap, int numCharge, int curves) {
    if (lastColumnIsCurrent(prepareSlots(store, overlap, numCharge, curves)))
        store.CurveNo = store.NCurves;
}

int PrepareFitSlot(CurveStore& store, bool overlap, int numCharge) {
    const SlotRule rule = prepareSlots(store, overlap, numCharge, store.CurvesPerRun);
    return lastColumnIsCurrent(rule) ? store.NCurves : store.CurveNo + 1;
}

} // namespace tessaly
