// Fuzz target: the waveform-file reader, for both the design grid (12 points) and a sampled
// programme (5001 points). A programme that reads is stored, written in print form and read again.

#include "base/Failure.h"
#include "curves/WaveformFile.h"
#include "model/ExperimentKinds.h"

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
    static CurveStore store;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const WaveformData grid = readWaveformFile(text, 12);
        if (grid.count < 1 || grid.count > 12)
            __builtin_trap();
    } catch (const Failure&) {
    }
    WaveformData read;
    try {
        read = readWaveformFile(text, kPointCapacity);
    } catch (const Failure&) {
        return 0;
    }
    storeWaveform(store, read);
    for (int i = 0; i < read.count; ++i)
        if (std::fabs(read.t[i]) > 1e300 || std::fabs(read.E[i]) > 1e300)
            return 0;
    const int imported = kind::code(kind::Technique::ImportedWaveform); // the times read are its own
    const WaveformData again = readWaveformFile(sampledWaveformText(store, imported, 0).text, kPointCapacity);
    if (again.count != read.count)
        __builtin_trap();
    for (int i = 0; i < read.count; ++i)
        if (!close(again.t[i], read.t[i]) || !close(again.E[i], read.E[i]))
            __builtin_trap();
    return 0;
}
