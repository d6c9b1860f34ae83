#pragma once
// Whole-file reading and writing for the data files. A save never leaves a half-written file: the
// bytes go to a temporary file beside the target, which then replaces the target in one rename, so a
// failed save keeps the file that was there before.

#include <cstddef>
#include <string>
#include <string_view>

namespace tessaly {

// Largest file the readers accept, bytes. The biggest legitimate file (a current file of 5001 rows)
// is a few hundred kilobytes; the limit keeps a mistaken choice of file from exhausting memory.
inline constexpr std::size_t kMaxReadBytes = 64u << 20;

// The whole content of a file, byte for byte. "File not found" when it does not exist, "Path/File
// access error" when it cannot be read, "File too large" beyond kMaxReadBytes.
std::string readWholeFile(const std::string& path);

// Writes `bytes` to `path` through a temporary file in the same folder and a rename over the target.
// On any failure the temporary file is removed, the target is left as it was, and a Failure
// describes what went wrong ("Path/File access error: <reason>").
void writeFileAtomically(const std::string& path, std::string_view bytes);

} // namespace tessaly
