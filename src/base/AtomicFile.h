#pragma once
// Whole-file reading and writing for the data files. A save never leaves a half-written file: the
// bytes go to a temporary file beside the target, which then replaces the target in one rename, so a
// failed or interrupted save keeps the file that was there before.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tessaly {

// Largest file the readers accept, bytes. The biggest legitimate file (a current file of 5001 rows)
// is a few hundred kilobytes; the limit keeps a mistaken choice of file from exhausting memory.
inline constexpr std::size_t kMaxReadBytes = 64u << 20;

// The whole content of a file, byte for byte. "File not found" when it does not exist, "Path/File
// access error" when it cannot be read, "File too large" beyond kMaxReadBytes.
std::string readWholeFile(const std::string& path);

// Writes `bytes` to `path` so that the file afterwards holds either its old content or all of the
// new one:
// - the bytes go to a temporary file in the target's folder (".NAME.TAG.tmp"), are flushed to the
//   device, and the temporary file then replaces the target in one rename;
// - a symbolic link is followed: the file it points to is replaced and the link stays a link;
// - a replaced file keeps its permission bits (and, where the process may set them, its owner);
// - a target that exists but is not a regular file (a terminal, a pipe, /dev/null) cannot be
//   replaced and is written in place;
// - on any failure the temporary file is removed, the target is left as it was, and a Failure says
//   what went wrong: "Path/File access error: " followed by the reason, for example "the folder
//   /data/run does not exist" or "cannot write /data/a.par (No space left on device)".
void writeFileAtomically(const std::string& path, std::string_view bytes);

// Test seam: faults of the device and of the process, injected into the saves made while a
// ScopedSaveFaults lives. Nothing in the program installs one.
struct SaveFaults {
    // Bytes the device takes before it reports itself full (ENOSPC); none: no limit.
    std::optional<std::size_t> spaceLeft{};
    // Runs when the temporary file is complete, just before the rename: a test ends the process
    // here to stand for a kill during the save, or throws to stand for a failing rename.
    std::function<void(const std::string& temporaryPath)> beforeRename{};
};

class ScopedSaveFaults {
public:
    explicit ScopedSaveFaults(SaveFaults faults);
    ~ScopedSaveFaults();
    ScopedSaveFaults(const ScopedSaveFaults&) = delete;
    ScopedSaveFaults& operator=(const ScopedSaveFaults&) = delete;

private:
    SaveFaults m_previous;
};

} // namespace tessaly
