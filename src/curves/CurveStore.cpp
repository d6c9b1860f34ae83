#include "curves/CurveStore.h"

namespace tessaly {

CurveStore::CurveStore() {
    // Curve 1 light red, curve 2 orange-blue as the plot options load them; the rest black.
    CurveColor[1] = 0x8080FF;
    CurveColor[2] = 0xFF8000;
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
