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

void PrepareCurveSlots(CurveStore& store, bool overlap, int numCharge) {
    if (overlap && store.CurvesPerRun + store.NCurves <= 8) {
        store.NCurves += store.CurvesPerRun;
        store.CurveNo = store.NCurves;
    } else if (store.SeparateMode) {
        store.NCurves = 2;
        store.CurvesPerRun = numCharge + 2;
    } else if (store.FitMode) {
        store.NCurves = 2;
        store.CurvesPerRun = 2;
    } else {
        store.NCurves = store.CurvesPerRun != 0 ? store.CurvesPerRun : 1;
        store.CurveNo = store.NCurves;
    }
}

} // namespace tessaly
