// Fuzz target: the parameter-file reader. Any input is either refused with a Failure or read into
// contents whose options and counts lie within their groups and rows.

#include "base/Failure.h"
#include "model/ParameterFile.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tessaly;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const ParameterFileContents c = parseParameterFile(text);
        const bool valid = c.technique >= 1 && c.technique <= kTechniqueCount && c.electrode >= 1 &&
                           c.electrode <= kElectrodeCount && c.mechanism >= 1 &&
                           c.mechanism <= kMechanismCount && c.scan >= 0 && c.scan <= 3 && c.numCharge >= 0 &&
                           c.numCharge <= kMaxCharge && c.numChem >= 0 && c.numChem <= kMaxChem &&
                           c.numSpecies >= 0 && c.numSpecies <= kMaxSpecies && !c.actions.empty();
        if (!valid)
            __builtin_trap();
    } catch (const Failure&) {
    }
    return 0;
}
