#include "curves/WaveformFile.h"

#include "base/Failure.h"
#include "base/ItemReader.h"
#include "base/NumberText.h"
#include "curves/StoreViews.h"

#include <algorithm>

namespace tessaly {

WaveformText sampledWaveformText(const CurveStore& store, int technique, double dropTime) {
    WaveformText out;
    for (int i = 0; i <= store.LastIndex; ++i) {
        out.text += printForm(finiteForFile(programmeTime(store, technique, dropTime, i)));
        out.text += ',';
        out.text += printForm(finiteForFile(store.E.at(i)));
        out.text += "\r\n";
        ++out.lines;
    }
    return out;
}

WaveformText designWaveformText(std::span<const std::string> t1, std::span<const std::string> E1) {
    WaveformText out;
    const std::size_t rows = std::min(t1.size(), E1.size());
    for (std::size_t k = 0; k < rows; ++k) {
        if (k > 0 && leadingNumber(t1[k]) == 0)
            continue;
        out.text += t1[k];
        out.text += ',';
        out.text += E1[k];
        out.text += "\r\n";
        ++out.lines;
    }
    return out;
}

WaveformData readWaveformFile(std::string_view text, int maxPoints) {
    WaveformData data;
    const auto capacity = static_cast<std::size_t>(std::clamp(maxPoints, 0, kPointCapacity));
    data.t.assign(capacity, 0.0);
    data.E.assign(capacity, 0.0);
    data.count = readNumberPairs(text, data.t, data.E);
    if (data.count == 0)
        raise(failure_text::inputPastEnd);
    return data;
}

void storeWaveform(CurveStore& store, const WaveformData& data) {
    const int n = checkedIndex(data.count, 0, kPointCapacity);
    store.NCurves = 1;
    store.CurvesPerRun = 1;
    store.MeasuredTime = false;
    store.Cycle.clear();
    for (int i = 0; i < n; ++i) {
        store.WaveT[i] = data.t[static_cast<std::size_t>(i)];
        store.E[i] = data.E[static_cast<std::size_t>(i)];
    }
    store.NPoints = n;
    store.LastIndex = n - 1;
    store.LastPoint = n - 2;
}

} // namespace tessaly
