// Saves through a temporary file and a rename: the target holds its old bytes or all of the new ones,
// whatever happens to the device or the process during the save, and nothing is left behind by a
// save that failed.

#include "base/AtomicFile.h"
#include "base/Failure.h"

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace tessaly {
namespace {

namespace fs = std::filesystem;

std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
void writeBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string failureOf(auto&& action) {
    try {
        action();
    } catch (const Failure& f) {
        return f.description();
    }
    return {};
}

// A fresh folder per test, removed afterwards.
struct Folder {
    fs::path dir;
    Folder() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::temp_directory_path() /
              ("tessaly-atomic-" + std::string(info->test_suite_name()) + "-" + info->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    ~Folder() { fs::remove_all(dir); }
    std::string file(const std::string& name) const { return (dir / name).string(); }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& entry : fs::directory_iterator(dir))
            out.push_back(entry.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
};

const std::string kOld = "the file as it was\r\n";
const std::string kNew = std::string(100000, 'x') + "\r\nthe new content\r\n";

TEST(AtomicFile, NewAndReplacedFilesHoldExactlyTheBytes) {
    Folder f;
    writeFileAtomically(f.file("a.par"), kNew);
    EXPECT_EQ(readBytes(f.file("a.par")), kNew);
    writeFileAtomically(f.file("a.par"), "short");
    EXPECT_EQ(readBytes(f.file("a.par")), "short");
    writeFileAtomically(f.file("a.par"), "");
    EXPECT_EQ(readBytes(f.file("a.par")), "");
    EXPECT_EQ(f.names(), std::vector<std::string>{"a.par"});
}

TEST(AtomicFile, ReplacedFileKeepsItsPermissions) {
    Folder f;
    for (const fs::perms mode : {fs::perms(0640), fs::perms(0600), fs::perms(0444), fs::perms(0755)}) {
        writeBytes(f.file("kept.csv"), kOld);
        fs::permissions(f.file("kept.csv"), mode, fs::perm_options::replace);
        writeFileAtomically(f.file("kept.csv"), kNew);
        EXPECT_EQ(readBytes(f.file("kept.csv")), kNew);
        EXPECT_EQ(fs::status(f.file("kept.csv")).permissions(), mode) << static_cast<int>(mode);
        fs::permissions(f.file("kept.csv"), fs::perms(0644), fs::perm_options::replace);
    }
    // A new file gets the permissions any new file of the process gets.
    const mode_t mask = ::umask(0022);
    ::umask(mask);
    writeFileAtomically(f.file("new.csv"), kNew);
    EXPECT_EQ(fs::status(f.file("new.csv")).permissions(), fs::perms(0666 & ~mask));
}

TEST(AtomicFile, SymbolicLinksAreFollowedToTheirTarget) {
    Folder f;
    fs::create_directories(f.dir / "real");
    writeBytes(f.dir / "real" / "data.par", kOld);
    fs::create_symlink("real/data.par", f.dir / "relative.par");          // relative link
    fs::create_symlink(f.dir / "relative.par", f.dir / "chain.par");       // a link to a link
    fs::create_symlink(f.dir / "real" / "made.par", f.dir / "dangling.par"); // names a file to create
    writeFileAtomically(f.file("relative.par"), "one");
    EXPECT_TRUE(fs::is_symlink(f.dir / "relative.par"));
    EXPECT_EQ(readBytes(f.dir / "real" / "data.par"), "one");
    writeFileAtomically(f.file("chain.par"), "two");
    EXPECT_TRUE(fs::is_symlink(f.dir / "chain.par"));
    EXPECT_TRUE(fs::is_symlink(f.dir / "relative.par"));
    EXPECT_EQ(readBytes(f.dir / "real" / "data.par"), "two");
    writeFileAtomically(f.file("dangling.par"), "three");
    EXPECT_TRUE(fs::is_symlink(f.dir / "dangling.par"));
    EXPECT_EQ(readBytes(f.dir / "real" / "made.par"), "three");

    fs::create_symlink("loop-b", f.dir / "loop-a");
    fs::create_symlink("loop-a", f.dir / "loop-b");
    EXPECT_EQ(failureOf([&] { writeFileAtomically(f.file("loop-a"), "x"); }).rfind(
                  "Path/File access error: cannot follow the link " + f.file("loop-a"), 0),
              0u);
}

TEST(AtomicFile, RefusedTargetsAreReportedAndLeaveNothingBehind) {
    Folder f;
    struct Case {
        std::string path;
        std::string description;
    };
    fs::create_directories(f.dir / "sub");
    const Case cases[] = {
        {f.file("missing/new.par"), "Path/File access error: the folder " + f.file("missing") +
                                        " does not exist"},
        {f.file("missing/deeper/new.par"), "Path/File access error: the folder " +
                                               f.file("missing/deeper") + " does not exist"},
        {f.file("sub"), "Path/File access error: " + f.file("sub") + " is a folder"},
        {"", "Path/File access error: no file name"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(failureOf([&] { writeFileAtomically(c.path, kNew); }), c.description) << c.path;
    EXPECT_EQ(f.names(), std::vector<std::string>{"sub"});
    EXPECT_TRUE(fs::is_empty(f.dir / "sub"));
}

// The device filling up at any point of the file: the save fails with the system's reason, the old
// file is intact and the temporary file is gone.
TEST(AtomicFile, FullDeviceKeepsTheOldFile) {
    Folder f;
    for (const std::size_t room : {std::size_t{0}, std::size_t{1}, std::size_t{4096}, kNew.size() - 1}) {
        writeBytes(f.file("a.csv"), kOld);
        ScopedSaveFaults full({.spaceLeft = room});
        EXPECT_EQ(failureOf([&] { writeFileAtomically(f.file("a.csv"), kNew); }),
                  "Path/File access error: cannot write " + f.file("a.csv") + " (No space left on device)")
            << room;
        EXPECT_EQ(readBytes(f.file("a.csv")), kOld);
        EXPECT_EQ(f.names(), std::vector<std::string>{"a.csv"});
        EXPECT_EQ(failureOf([&] { writeFileAtomically(f.file("new.csv"), kNew); }).empty(), false);
        EXPECT_FALSE(fs::exists(f.file("new.csv")));
    }
    ScopedSaveFaults enough({.spaceLeft = kNew.size()}); // exactly enough room
    writeFileAtomically(f.file("a.csv"), kNew);
    EXPECT_EQ(readBytes(f.file("a.csv")), kNew);
}

// Devices and pipes are written in place (a rename would replace the device itself): /dev/full
// reports the full device, /dev/null takes everything, and a link to them stays a link.
TEST(AtomicFile, DevicesAreWrittenInPlace) {
    Folder f;
    EXPECT_EQ(failureOf([&] { writeFileAtomically("/dev/full", kNew); }),
              "Path/File access error: cannot write /dev/full (No space left on device)");
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
    fs::create_symlink("/dev/full", f.dir / "full.csv");
    EXPECT_EQ(failureOf([&] { writeFileAtomically(f.file("full.csv"), kNew); }),
              "Path/File access error: cannot write " + f.file("full.csv") + " (No space left on device)");
    EXPECT_TRUE(fs::is_symlink(f.dir / "full.csv"));
    writeFileAtomically("/dev/null", kNew);
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_EQ(f.names(), std::vector<std::string>{"full.csv"});
}

// The process killed after the new bytes are complete but before the rename: the target still holds
// its old bytes, and what is left is one hidden temporary file beside it, never a mixture.
TEST(AtomicFileDeathTest, KillBeforeTheRenameKeepsTheOldFile) {
    Folder f;
    writeBytes(f.file("kept.par"), kOld);
    EXPECT_EXIT(
        {
            ScopedSaveFaults kill({.beforeRename = [](const std::string&) { ::kill(::getpid(), SIGKILL); }});
            writeFileAtomically(f.file("kept.par"), kNew);
        },
        ::testing::KilledBySignal(SIGKILL), "");
    EXPECT_EQ(readBytes(f.file("kept.par")), kOld);
    const std::vector<std::string> names = f.names();
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0].rfind(".kept.par.", 0), 0u);
    EXPECT_EQ(readBytes(f.dir / names[0]), kNew);
    // The next save is not disturbed by the leftover.
    writeFileAtomically(f.file("kept.par"), "after");
    EXPECT_EQ(readBytes(f.file("kept.par")), "after");
}

TEST(AtomicFile, FailingRenameRemovesTheTemporaryFile) {
    Folder f;
    writeBytes(f.file("kept.par"), kOld);
    std::string seen;
    {
        ScopedSaveFaults failing({.beforeRename = [&](const std::string& temporary) {
            seen = temporary;
            EXPECT_EQ(readBytes(temporary), kNew); // complete before the rename
            raise("interrupted");
        }});
        EXPECT_EQ(failureOf([&] { writeFileAtomically(f.file("kept.par"), kNew); }), "interrupted");
    }
    EXPECT_FALSE(seen.empty());
    EXPECT_FALSE(fs::exists(seen));
    EXPECT_EQ(readBytes(f.file("kept.par")), kOld);
    EXPECT_EQ(f.names(), std::vector<std::string>{"kept.par"});
    writeFileAtomically(f.file("kept.par"), kNew); // the seam is gone with its scope
    EXPECT_EQ(readBytes(f.file("kept.par")), kNew);
}

TEST(AtomicFile, ReadWholeFileFailures) {
    Folder f;
    EXPECT_EQ(failureOf([&] { readWholeFile(f.file("none.par")); }), "File not found");
    EXPECT_EQ(failureOf([&] { readWholeFile(f.dir.string()); }),
              "Path/File access error: " + f.dir.string() + " is a folder");
    writeBytes(f.file("a.par"), kNew);
    EXPECT_EQ(readWholeFile(f.file("a.par")), kNew);
}

} // namespace
} // namespace tessaly
