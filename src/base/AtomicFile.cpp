#include "base/AtomicFile.h"

#include "base/Failure.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tessaly {
namespace {

namespace fs = std::filesystem;

constexpr const char* kAccessError = "Path/File access error";
constexpr int kMaxLinkHops = 40; // as the kernel's own limit on a chain of symbolic links

SaveFaults& installedFaults() {
    static SaveFaults faults;
    return faults;
}

[[noreturn]] void raiseAccess(const std::string& reason) {
    raise(std::string(kAccessError) + ": " + reason);
}

std::string reasonOf(int error) {
    return std::generic_category().message(error);
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// The file a save replaces: the end of a chain of symbolic links. A dangling link names the file to
// create.
fs::path followLinks(fs::path p, const std::string& shown) {
    for (int hops = 0; hops < kMaxLinkHops; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(p, ec)))
            return p;
        const fs::path to = fs::read_symlink(p, ec);
        if (ec)
            raiseAccess("cannot follow the link " + shown + " (" + ec.message() + ")");
        p = to.is_absolute() ? to : p.parent_path() / to;
    }
    raiseAccess("cannot follow the link " + shown + " (" + reasonOf(ELOOP) + ")");
}

// Writes all bytes to a descriptor; false, with errno set, when the device refuses them.
bool writeAll(int fd, std::string_view bytes) {
    const SaveFaults& faults = installedFaults();
    std::size_t limit = bytes.size();
    const bool fillsDevice = faults.spaceLeft && *faults.spaceLeft < limit;
    if (fillsDevice)
        limit = *faults.spaceLeft;
    std::size_t done = 0;
    while (done < limit) {
        const ssize_t n = ::write(fd, bytes.data() + done, limit - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    if (fillsDevice) {
        errno = ENOSPC;
        return false;
    }
    return true;
}

// A device, pipe or terminal cannot be replaced by a rename: its bytes are written in place.
void writeInPlace(const fs::path& target, const std::string& shown, std::string_view bytes) {
    const int fd = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0)
        raiseAccess("cannot open " + shown + " (" + reasonOf(errno) + ")");
    const bool written = writeAll(fd, bytes);
    const int writeError = errno;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed)
        raiseAccess("cannot write " + shown + " (" + reasonOf(written ? errno : writeError) + ")");
}

// The temporary file of one save, removed again unless it became the target. A unique name beside
// the target, ".<name>.<tag>.tmp", created exclusively so that two saves (or a file left by a save
// that was killed) never share it.
class TemporaryFile {
public:
    TemporaryFile(const fs::path& target, const std::string& shown) {
        static std::atomic<unsigned> counter{0};
        const auto clock =
            static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
        for (int attempt = 0; attempt < 100; ++attempt) {
            const unsigned long long tag = clock + counter.fetch_add(1);
            m_path = target.parent_path() /
                     ("." + target.filename().string() + "." + std::to_string(tag) + ".tmp");
            m_fd = ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (m_fd >= 0)
                return;
            if (errno != EEXIST)
                break; // not a name clash: the folder cannot be written
        }
        raiseAccess("cannot create a file in the folder of " + shown + " (" + reasonOf(errno) + ")");
    }
    ~TemporaryFile() {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_renamed)
            ::unlink(m_path.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int fd() const { return m_fd; }
    const fs::path& path() const { return m_path; }
    // Closes the descriptor; false with errno set when the last bytes could not be stored.
    bool close() {
        const int fd = std::exchange(m_fd, -1);
        return ::close(fd) == 0;
    }
    void renamed() { m_renamed = true; }

private:
    fs::path m_path;
    int m_fd = -1;
    bool m_renamed = false;
};

// The replaced file's permission bits, and its owner where the process may set it (an
// administrator saving a user's file leaves it the user's).
void keepAttributes(int fd, const struct stat& old) {
    ::fchmod(fd, old.st_mode & 07777);
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
        // Only a privileged process may give a file away; the file then belongs to whoever saved it.
    }
}

// Makes the rename itself durable: the folder's entry is flushed as well. A folder that cannot be
// opened or flushed leaves that to the system; the save has happened either way.
void syncFolder(const fs::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
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
    if (path.empty())
        raiseAccess("no file name");
    const fs::path target = followLinks(fs::absolute(fs::path(path)), path);
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode))
        raiseAccess(path + " is a folder");
    if (exists && !S_ISREG(old.st_mode)) {
        writeInPlace(target, path, bytes);
        return;
    }
    const fs::path folder = target.parent_path();
    std::error_code ec;
    if (!fs::is_directory(folder, ec))
        raiseAccess("the folder " + folder.string() + " does not exist");

    TemporaryFile temporary(target, path);
    if (exists)
        keepAttributes(temporary.fd(), old);
    if (!writeAll(temporary.fd(), bytes) || ::fsync(temporary.fd()) != 0 || !temporary.close())
        raiseAccess("cannot write " + path + " (" + reasonOf(errno) + ")");
    if (const auto& beforeRename = installedFaults().beforeRename)
        beforeRename(temporary.path().string());
    if (::rename(temporary.path().c_str(), target.c_str()) != 0)
        raiseAccess("cannot replace " + path + " (" + reasonOf(errno) + ")");
    temporary.renamed();
    syncFolder(folder);
}

ScopedSaveFaults::ScopedSaveFaults(SaveFaults faults) : m_previous(std::move(installedFaults())) {
    installedFaults() = std::move(faults);
}

ScopedSaveFaults::~ScopedSaveFaults() {
    installedFaults() = std::move(m_previous);
}

} // namespace tessaly
