#include "curves/CurveStore.h"

namespace tessaly {

CurveStore::CurveStore() {
    for (int c = 1; c <= kMaxColumn; ++c)
        CurveColor[static_cast<std::size_t>(c)] = paletteColour(c);
    CurveStyle[1] = 3;
    CurveStyle[2] = 2;
    CurveStyle[3] = CurveStyle[4] = CurveStyle[5] = 3;
    CurveStyle[6] = 1;
}

namespace {

// The rules of PrepareCurveSlots for a producer of `curves` curves.
void prepareSlots(CurveStore& store, bool overlap, int numCharge, int curves) {
    if (overlap && curves + store.NCurves <= 8) {
        store.NCurves += curves;
        store.CurveNo = store.NCurves;
    } else if (store.SeparateMode) {
        store.NCurves = 2;
        store.CurvesPerRun = numCharge + 2;
    } else if (store.FitMode) {
        store.NCurves = 2;
        store.CurvesPerRun = 2;
    } else {
        store.NCurves = curves != 0 ? curves : 1;
        store.CurveNo = store.NCurves;
    }
}

} // namespace

void PrepareCurveSlots(CurveStore& store, bool overlap, int numCharge) {
    prepareSlots(store, overlap, numCharge, store.CurvesPerRun);
}

void PrepareDisplaySlots(CurveStore& store, bool overlap, int numCharge, int curves) {
    prepareSlots(store, overlap, numCharge, curves);
}

} // namespace tessaly
