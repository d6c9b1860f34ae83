// Fuzz target: the parameter-file reader, what Open does with what it reads, and the writer. Any
// input is either refused with a Failure or read into contents whose options and counts lie within
// their groups and rows. Contents that read are restored into a new experiment through its dialogs,
// as Open does; that either refuses a value or leaves options and counts within their rows. The
// experiment is then written, read into another new experiment and written again: the second file
// is the first, byte for byte, and reading it once more changes nothing.

#include "base/Failure.h"
#include "model/Commits.h"
#include "model/ParameterFile.h"
#include "model/ParameterRestore.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace {

using namespace tessaly;

bool withinRows(const ParameterFileContents& c) {
    return c.technique >= 1 && c.technique <= kTechniqueCount && c.electrode >= 1 &&
           c.electrode <= kElectrodeCount && c.mechanism >= 1 && c.mechanism <= kMechanismCount && c.scan >= 0 &&
           c.scan <= 3 && c.numCharge >= 0 && c.numCharge <= kMaxCharge && c.numChem >= 0 && c.numChem <= kMaxChem &&
           c.numSpecies >= 0 && c.numSpecies <= kMaxSpecies && !c.actions.empty();
}

bool withinRows(const ExperimentParams& p) {
    return p.optTech >= 1 && p.optTech <= kTechniqueCount && p.Electrode >= 1 && p.Electrode <= kElectrodeCount &&
           p.Mechanism >= 1 && p.Mechanism <= kMechanismCount && p.ComboScan >= 0 && p.ComboScan <= 3 &&
           p.NumCharge >= 0 && p.NumCharge <= kMaxCharge && p.NumChem >= 0 && p.NumChem <= kMaxChem &&
           p.NumSpecies >= 0 && p.NumSpecies <= kMaxSpecies;
}

// A quoted item may begin or end with blanks, which the writer keeps and the reader then trims: such
// a file reaches its fixed point one writing later.
bool hasBlankEnds(const ParameterFileContents& c) {
    for (const ParameterAction& a : c.actions)
        if (a.kind == ParameterAction::Kind::Text && !a.text.empty() &&
            (a.text.front() == ' ' || a.text.front() == '\t' || a.text.back() == ' ' || a.text.back() == '\t'))
            return true;
    return false;
}

// Open into a new experiment, then Save: the file's bytes, or nothing when a value is refused. Open
// ends with a simulation, whose commits fill what the dialogs show and the file also holds (the
// reaction captions, the species names): they run here as well.
std::optional<std::string> openAndSave(const ParameterFileContents& contents) {
    ExperimentParams p;
    try {
        restoreParameterFile(contents, p);
        Notices notices;
        commitSpecies(p, notices);
    } catch (const Failure&) {
        return std::nullopt;
    }
    if (!withinRows(p))
        __builtin_trap();
    try {
        return parameterFileText(p);
    } catch (const Failure&) { // a text the file could not give back (a quoted comma)
        return std::nullopt;
    }
}

// What the program wrote, it reads and restores without refusal.
std::string reopened(const std::string& written) {
    try {
        const ParameterFileContents c = parseParameterFile(written);
        if (!withinRows(c))
            __builtin_trap();
        const std::optional<std::string> again = openAndSave(c);
        if (!again)
            __builtin_trap();
        return *again;
    } catch (const Failure&) {
        __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    ParameterFileContents contents;
    try {
        contents = parseParameterFile(text);
    } catch (const Failure&) {
        return 0;
    }
    if (!withinRows(contents))
        __builtin_trap();
    const std::optional<std::string> first = openAndSave(contents);
    if (!first)
        return 0;
    const std::string second = reopened(*first);
    if (second != *first && !hasBlankEnds(contents))
        __builtin_trap();
    if (reopened(second) != second)
        __builtin_trap();
    return 0;
}
