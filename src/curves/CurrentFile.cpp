#include "curves/CurrentFile.h"

#include "base/Failure.h"
#include "base/ItemReader.h"
#include "base/NumberText.h"

namespace tessaly {

std::string currentNumberText(double value) {
    std::string text = generalForm(value);
    if (!text.starts_with('-'))
        text.insert(0, 1, ' ');
    return text + ' ';
}

std::string currentFileText(const CurveStore& store, int first, int last, int curveNo) {
    std::string text;
    for (int i = first; i <= last; ++i) {
        text += currentNumberText(finiteForFile(store.E.at(i)));
        text += ',';
        text += currentNumberText(finiteForFile(store.Curve.at(i, curveNo)));
        text += "\r\n";
    }
    return text;
}

CurrentFileData readCurrentFile(std::string_view text, int capacity) {
    CurrentFileData data;
    data.E.assign(static_cast<std::size_t>(capacity), 0.0);
    data.current.assign(static_cast<std::size_t>(capacity), 0.0);
    data.count = readNumberPairs(text, data.E, data.current);
    if (data.count == 0)
        raise(failure_text::inputPastEnd);
    return data;
}

void storeImportedCurve(CurveStore& store, const CurrentFileData& data) {
    const int column = checkedIndex(store.CurveNo, 0, kMaxColumn);
    const int n = checkedIndex(data.count, 0, kPointCapacity);
    for (int i = 0; i < n; ++i) {
        store.E[i] = data.E[static_cast<std::size_t>(i)];
        store.XAxis[i] = store.E[i]; // the display abscissa is the potential, as the import draws it
        store.Curve(i, column) = data.current[static_cast<std::size_t>(i)];
    }
    store.Cycle.clear();
    store.NPoints = n;
    store.LastIndex = n - 1;
    store.LastPoint = n - 2;
}

} // namespace tessaly
