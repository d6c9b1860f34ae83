// Fuzz target: the import of measured files (structure recognition, the readers of every structure,
// sign and cycle selection). A file that reads gives matching columns of finite numbers, a switching
// point inside the curve, and stores without failure; every cycle choice keeps within the file.

#include "base/Failure.h"
#include "curves/MeasuredImport.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tessaly;
    static CurveStore store;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const char* option : {"cycle=last", "cycle=all", "cycle=2"}) {
        ImportedCurve curve;
        try {
            curve = importMeasuredFile(text, *parseCycleChoice(option));
        } catch (const Failure&) {
            continue;
        }
        const auto n = static_cast<std::size_t>(curve.count());
        if (n < 1 || curve.count() > kMaxImportPoints || curve.current.size() != n ||
            (!curve.time.empty() && curve.time.size() != n) || curve.cycle.size() != n)
            __builtin_trap();
        if (curve.NForward < 0 || curve.NForward > curve.count())
            __builtin_trap();
        for (std::size_t i = 0; i < n; ++i)
            if (!std::isfinite(curve.E[i]) || !std::isfinite(curve.current[i]))
                __builtin_trap();
        store.CurveNo = 1;
        storeMeasuredCurve(store, curve);
        if (store.NPoints != curve.count())
            __builtin_trap();
    }
    return 0;
}
