#include "base/AtomicFile.h"

#include "base/Failure.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

namespace tessaly {
namespace {

namespace fs = std::filesystem;

constexpr const char* kAccessError = "Path/File access error";

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

[[noreturn]] void raiseAccess(const std::string& reason) {
    raise(std::string(kAccessError) + ": " + reason);
}

// A temporary name beside the target that no other file has: ".<name>.<tag>.tmp", created
// exclusively so that two saves (or a leftover file) never share it.
FileHandle createTemporary(const fs::path& target, fs::path& temporary) {
    static std::atomic<unsigned> counter{0};
    const auto clock =
        static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const unsigned long long tag = clock + counter.fetch_add(1);
        temporary =
            target.parent_path() / ("." + target.filename().string() + "." + std::to_string(tag) + ".tmp");
        if (std::FILE* f = std::fopen(temporary.string().c_str(), "wbx"))
            return FileHandle(f);
        std::error_code ec;
        if (!fs::exists(temporary, ec))
            break; // not a name clash: the folder cannot be written
    }
    raiseAccess("cannot create a file in the folder of " + target.string());
}

} // namespace

std::string readWholeFile(const std::string& path) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (!fs::exists(status))
        raise("File not found");
    if (fs::is_directory(status))
        raiseAccess(path + " is a folder");
    FileHandle file(std::fopen(path.c_str(), "rb"));
    if (!file)
        raiseAccess("cannot open " + path);
    std::string bytes;
    char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        if (bytes.size() + got > kMaxReadBytes)
            raise("File too large");
        bytes.append(buffer, got);
    }
    if (std::ferror(file.get()))
        raiseAccess("cannot read " + path);
    return bytes;
}

void writeFileAtomically(const std::string& path, std::string_view bytes) {
    const fs::path target = fs::absolute(fs::path(path));
    std::error_code ec;
    if (fs::is_directory(target, ec))
        raiseAccess(path + " is a folder");
    fs::path temporary;
    FileHandle file = createTemporary(target, temporary);
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size() &&
                         std::fflush(file.get()) == 0;
    const bool closed = std::fclose(file.release()) == 0;
    if (!written || !closed) {
        fs::remove(temporary, ec);
        raiseAccess("cannot write " + path);
    }
    fs::rename(temporary, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        raiseAccess("cannot replace " + path + " (" + ec.message() + ")");
    }
}

} // namespace tessaly
