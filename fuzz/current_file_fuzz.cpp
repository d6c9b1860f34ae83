// Fuzz target: the current-file reader. A file that reads is stored, written back and read again:
// the same number of points and the same values to half a unit of the fifteenth digit.

#include "base/Failure.h"
#include "curves/CurrentFile.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

bool close(double a, double b) {
    return std::fabs(a - b) <= 5e-15 * std::fabs(b) + 1e-300;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tessaly;
    static CurveStore store; // allocated once: the arrays hold 5001 x 17 points
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CurrentFileData read;
    try {
        read = readCurrentFile(text);
    } catch (const Failure&) {
        return 0;
    }
    if (read.count < 1 || read.count > kPointCapacity)
        __builtin_trap();
    store.CurveNo = 1;
    storeImportedCurve(store, read);
    for (int i = 0; i < read.count; ++i) // the general form rounds the largest doubles beyond range
        if (std::fabs(read.E[i]) > 1e300 || std::fabs(read.current[i]) > 1e300)
            return 0;
    const CurrentFileData again = readCurrentFile(currentFileText(store, 0, store.LastIndex, 1));
    if (again.count != read.count)
        __builtin_trap();
    for (int i = 0; i < read.count; ++i)
        if (!close(again.E[i], read.E[i]) || !close(again.current[i], read.current[i]))
            __builtin_trap();
    return 0;
}
