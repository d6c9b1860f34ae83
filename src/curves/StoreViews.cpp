#include "curves/StoreViews.h"

#include "model/ExperimentKinds.h"

namespace tessaly {
namespace {

// The active range, checked once so the loops below can index without checks.
struct Range {
    int first;
    int last;
};

Range activeRange(const CurveStore& store) {
    if (store.LastPoint < store.FirstPoint)
        return {store.FirstPoint, store.LastPoint}; // empty: loops do nothing
    return {checkedIndex(store.FirstPoint, 0, store.maxPoint()), checkedIndex(store.LastPoint, 0, store.maxPoint())};
}

// A waveform carries its own times; the built programmes advance by the drop time per point.
bool waveformTechnique(int technique) {
    return traits(kind::asTechnique(technique)).waveform;
}

void timeAbscissa(CurveStore& store, int technique, double dropTime, Range r) {
    for (int i = r.first; i <= r.last; ++i)
        store.XAxis[i] = programmeTime(store, technique, dropTime, i);
}

} // namespace

double programmeTime(const CurveStore& store, int technique, double dropTime, int i) {
    return waveformTechnique(technique) || store.MeasuredTime ? store.WaveT.at(i) : i * dropTime;
}

Abscissa showCurrentVsPotential(CurveStore& store) {
    store.XTitle = "E /V";
    store.YTitle = "i /A";
    const Range r = activeRange(store);
    for (int i = r.first; i <= r.last; ++i)
        store.XAxis[i] = store.E[i];
    return Abscissa::Potential;
}

Abscissa showSampledCurrents(CurveStore& store, bool overlap, int numCharge) {
    PrepareDisplaySlots(store, overlap, numCharge, 2);
    const Range r = activeRange(store);
    for (int k = 1; k <= 2; ++k) {
        const int column = checkedIndex(store.NCurves - 2 + k, 0, kMaxColumn);
        for (int i = r.first; i <= r.last; ++i) {
            double sum = 0;
            for (int j = 1; j <= numCharge; ++j)
                sum += store.ComponentCurrent.at(i, k * numCharge + 1 + j);
            store.Curve(i, column) = sum;
        }
    }
    return Abscissa::Potential;
}

Abscissa showSurfaceConcentrations(CurveStore& store, bool overlap, int numSpecies) {
    store.XTitle = "E /V  ";
    store.YTitle = "C0 /M  ";
    int offset = 0;
    if (overlap && store.NCurves + numSpecies <= 8) {
        offset = store.NCurves;
        store.NCurves += numSpecies;
    } else {
        store.NCurves = numSpecies;
    }
    const Range r = activeRange(store);
    for (int j = 1; j <= numSpecies; ++j) {
        const int column = checkedIndex(offset + j, 0, kMaxColumn);
        checkedIndex(j, 0, kMaxColumn);
        for (int i = r.first; i <= r.last; ++i)
            store.Curve(i, column) = store.SurfaceConc(i, j);
    }
    return Abscissa::Potential;
}

Abscissa showWaveform(CurveStore& store, int technique, double dropTime) {
    store.XTitle = "t /s";
    store.YTitle = "E /V";
    store.CurveNo = 1;
    store.NCurves = 1;
    // The programme point by point: E of each point at its time. (EApplied is not used: the digital
    // model records it per time step, and a time grid finer than the drop time would put the first
    // time steps at the points' times.)
    const Range r = activeRange(store);
    for (int i = r.first; i <= r.last; ++i) {
        store.Curve(i, 1) = store.E[i];
        store.XAxis[i] = programmeTime(store, technique, dropTime, i);
    }
    return Abscissa::XAxis;
}

Abscissa useTimeAxis(CurveStore& store, int technique, double dropTime) {
    store.XTitle = "t /s";
    timeAbscissa(store, technique, dropTime, activeRange(store));
    return Abscissa::XAxis;
}

Abscissa usePotentialAxis(CurveStore& store) {
    store.XTitle = "E /V";
    const Range r = activeRange(store);
    for (int i = r.first; i <= r.last; ++i)
        store.XAxis[i] = store.E[i];
    return Abscissa::Potential;
}

void selectNextCurve(CurveStore& store) {
    if (store.CurveNo < store.NCurves)
        store.CurveNo += 1;
    else
        store.CurveNo = 1;
}

} // namespace tessaly
