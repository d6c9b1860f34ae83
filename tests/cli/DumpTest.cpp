// The runner's dump: the store as CSV, written like every other save of the program, through a
// temporary file and a rename. A dump that cannot be written says why on standard error, keeps the
// file it was to replace and leaves nothing behind; the script goes on.

#include "base/AtomicFile.h"
#include "base/Failure.h"
#include "cli/ConsolePort.h"
#include "cli/ScriptRunner.h"
#include "cli/StorePrinter.h"
#include "workbench/Workbench.h"

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sstream>

#include <unistd.h>

namespace tessaly {
namespace {

namespace fs = std::filesystem;

std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A runner over a simulated default experiment, in a fresh folder.
struct Runner {
    std::ostringstream out, err;
    ConsolePort port{out, err, false};
    Workbench wb{port};
    ScriptRunner runner{wb, port, out, err};
    fs::path dir;

    Runner() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::temp_directory_path() /
              ("tessaly-dump-" + std::string(info->test_suite_name()) + "-" + info->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        port.setResultSource([this]() -> const std::string& { return wb.log.text(); });
        EXPECT_TRUE(runner.runLine("Simulate", 1));
        out.str("");
    }
    ~Runner() { fs::remove_all(dir); }
    bool runLine(const std::string& line, int number) { return runner.runLine(line, number); }
    std::string file(const std::string& name) const { return (dir / name).string(); }
    std::vector<std::string> names() const {
        std::vector<std::string> found;
        for (const auto& entry : fs::directory_iterator(dir))
            found.push_back(entry.path().filename().string());
        std::sort(found.begin(), found.end());
        return found;
    }
};

TEST(Dump, TheActiveRangeAsCsv) {
    Runner r;
    ASSERT_TRUE(r.runLine("dump " + r.file("store.csv"), 2));
    EXPECT_EQ(r.err.str(), "");
    const std::string text = readBytes(r.file("store.csv"));
    EXPECT_EQ(text, storeDumpText(r.wb));
    EXPECT_EQ(text.substr(0, text.find('\n')), "index,E,XAxis,1");
    const CurveStore& s = r.wb.store;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), s.LastPoint - s.FirstPoint + 2);
    EXPECT_EQ(r.names(), std::vector<std::string>{"store.csv"});
}

// Full device (from the first byte or part way), a missing folder, the real /dev/full and a rename
// that fails: each is reported with its reason; the old dump is intact, no temporary file is left,
// and the next line of the script runs.
TEST(Dump, FailuresAreReportedAndKeepTheOldFile) {
    Runner r;
    const std::string old = "index,E,XAxis\nan older dump\n";
    const std::string path = r.file("store.csv");
    std::ofstream(path, std::ios::binary) << old;
    struct Case {
        std::string path;
        SaveFaults faults;
        std::string reason;
    };
    const Case cases[] = {
        {path, {.spaceLeft = 0}, "Path/File access error: cannot write " + path + " (No space left on device)"},
        {path, {.spaceLeft = 500}, "Path/File access error: cannot write " + path + " (No space left on device)"},
        {r.file("missing/store.csv"), {}, "Path/File access error: the folder " + r.file("missing") + " does not exist"},
        {"/dev/full", {}, "Path/File access error: cannot write /dev/full (No space left on device)"},
        {path, {.beforeRename = [](const std::string&) { raise("rename interrupted"); }}, "rename interrupted"},
    };
    for (const Case& c : cases) {
        r.err.str("");
        {
            ScopedSaveFaults faults(c.faults);
            EXPECT_TRUE(r.runLine("dump " + c.path, 7));
        }
        EXPECT_EQ(r.err.str(), "tessaly-cli: line 7: cannot dump to " + c.path + ": " + c.reason + "\n");
        EXPECT_EQ(readBytes(path), old);
        EXPECT_EQ(r.names(), std::vector<std::string>{"store.csv"});
    }
    r.err.str("");
    EXPECT_TRUE(r.runLine("dump " + path, 8));
    EXPECT_EQ(r.err.str(), "");
    EXPECT_EQ(readBytes(path), storeDumpText(r.wb));
}

// The runner killed after the dump is complete but before it replaces the old file.
TEST(DumpDeathTest, KillBeforeTheRenameKeepsTheOldFile) {
    Runner r;
    const std::string path = r.file("store.csv");
    std::ofstream(path, std::ios::binary) << "an older dump\n";
    EXPECT_EXIT(
        {
            ScopedSaveFaults kill({.beforeRename = [](const std::string&) { ::kill(::getpid(), SIGKILL); }});
            r.runLine("dump " + path, 2);
        },
        ::testing::KilledBySignal(SIGKILL), "");
    EXPECT_EQ(readBytes(path), "an older dump\n");
    const std::vector<std::string> names = r.names();
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0].rfind(".store.csv.", 0), 0u); // the dead dump's temporary file, complete
    EXPECT_EQ(readBytes(r.dir / names[0]), storeDumpText(r.wb));
}

TEST(Dump, ThroughALinkKeepingPermissions) {
    Runner r;
    fs::create_directories(r.dir / "runs");
    const fs::path real = r.dir / "runs" / "store.csv";
    std::ofstream(real, std::ios::binary) << "old";
    fs::permissions(real, fs::perms(0600), fs::perm_options::replace);
    fs::create_symlink("runs/store.csv", r.dir / "latest.csv");
    EXPECT_TRUE(r.runLine("dump " + r.file("latest.csv"), 2));
    EXPECT_EQ(r.err.str(), "");
    EXPECT_TRUE(fs::is_symlink(r.dir / "latest.csv"));
    EXPECT_EQ(readBytes(real), storeDumpText(r.wb));
    EXPECT_EQ(fs::status(real).permissions(), fs::perms(0600));
}

} // namespace
} // namespace tessaly
