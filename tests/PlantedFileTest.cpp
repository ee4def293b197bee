// Files another user can put where we read: a lock file in the lock directory, or the help
// file. One table of what may stand there, and what the lock reader, our own lock and the help
// loader make of each.
#include "framework/HelpFile.h"
#include "link/LockFile.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// Far beyond what a call that does not wait takes; only a call that blocks runs into it.
constexpr auto kDeadline = std::chrono::seconds(5);
constexpr int kReleaseAttempts = 20;
// Beyond the help file's cap, and so far beyond the lock file's.
constexpr std::size_t kHugeSize = 2 << 20;
constexpr std::uint32_t kTopic = 0x10;

enum class Planted { File, Fifo, Directory, LinkToFile, LinkToFifo, HugeFile };
// What the file, or the file a link leads to, says.
enum class Says { AliveProgram, OurPid, Garbage };

struct PlantedRow {
    const char* name;
    Planted planted;
    Says says;
    bool heldAsLock;     // FindLockHolder names a holder
    bool replacedByOurs; // CreateLockFile puts our lock in its place
    bool readAsHelp;     // CHelpFile::Load reads it
};

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string PidLine(long pid)
{
    char line[32];
    std::snprintf(line, sizeof line, "%10ld\n", pid);
    return line;
}

// Runs `call` on a thread of its own. A call still running at the deadline is blocked on the
// FIFO: the test fails, and the FIFO is opened from the other side, which ends a waiting open
// and, once closed again, a waiting read, so that the thread can be joined.
template <typename Call> auto WithinDeadline(Call call, const std::string& fifo) -> decltype(call())
{
    auto result = std::async(std::launch::async, call);
    if (result.wait_for(kDeadline) == std::future_status::ready)
        return result.get();
    ADD_FAILURE() << "blocked on what stands at the path";
    for (int attempt = 0; attempt < kReleaseAttempts; ++attempt) {
        if (const int fd = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK); fd >= 0)
            ::close(fd);
        if (result.wait_for(kDeadline) == std::future_status::ready)
            return result.get();
    }
    std::fputs("blocked for good; giving up\n", stderr);
    std::abort();
}

struct PlantedFileTest : ::testing::TestWithParam<PlantedRow> {
    CTempDir tree;
    std::string fifo = tree / "elsewhere/fifo"; // "" for rows without one
    std::string target = tree / "elsewhere/target";

    // Puts what the row names at `path`, the file (or the link's file) holding `text`.
    void Plant(const std::string& path, const std::string& text)
    {
        fs::create_directories(fs::path(path).parent_path());
        fs::create_directories(tree / "elsewhere");
        switch (GetParam().planted) {
        case Planted::File:
            std::ofstream(path, std::ios::binary) << text;
            break;
        case Planted::HugeFile:
            std::ofstream(path, std::ios::binary) << text << std::string(kHugeSize, '\n');
            break;
        case Planted::Directory:
            fs::create_directory(path);
            break;
        case Planted::Fifo:
            ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
            fifo = path;
            return;
        case Planted::LinkToFile:
            std::ofstream(target, std::ios::binary) << text;
            fs::create_symlink(target, path);
            break;
        case Planted::LinkToFifo:
            ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
            fs::create_symlink(fifo, path);
            return;
        }
        fifo.clear();
    }
    std::string LockText() const
    {
        switch (GetParam().says) {
        case Says::AliveProgram:
            return PidLine(::getppid()); // the process that started the tests: surely alive
        case Says::OurPid:
            return PidLine(::getpid());
        case Says::Garbage:
            break;
        }
        return "minicom\n";
    }
    std::string HelpText() const
    {
        return GetParam().says == Says::AliveProgram ? "[0x10] Planted\nA topic.\n" : LockText();
    }
};

TEST_P(PlantedFileTest, OnlyASmallRegularFileOfALiveProgramIsALock)
{
    const std::string lockDir = tree / "lock";
    const std::string device = tree / "dev/ttyUSB0";
    const std::string lockFile = lockDir + "/LCK..ttyUSB0";
    Plant(lockFile, LockText());

    const auto holder = WithinDeadline([&] { return FindLockHolder(lockDir, device); }, fifo);
    ASSERT_EQ(holder.has_value(), GetParam().heldAsLock);
    if (holder) {
        EXPECT_EQ(holder->pid, ::getppid());
    }

    const std::string made = WithinDeadline([&] { return CreateLockFile(lockDir, device); }, fifo);
    EXPECT_EQ(made == lockFile, GetParam().replacedByOurs);
    const fs::file_status status = fs::symlink_status(lockFile);
    if (GetParam().replacedByOurs) {
        EXPECT_TRUE(fs::is_regular_file(status));
        EXPECT_EQ(ReadAll(lockFile), PidLine(::getpid()));
    } else if (GetParam().planted == Planted::Directory) {
        EXPECT_TRUE(fs::is_directory(status));
    } else {
        EXPECT_EQ(ReadAll(lockFile), LockText()) << "a live lock is never replaced";
    }
    // Our lock never goes through a link.
    if (GetParam().planted == Planted::LinkToFile) {
        EXPECT_EQ(ReadAll(target), LockText());
    }
    if (GetParam().planted == Planted::LinkToFifo) {
        EXPECT_TRUE(fs::is_fifo(fifo));
    }
}

TEST_P(PlantedFileTest, OnlyARegularFileWithinTheCapIsReadAsHelp)
{
    const std::string helpFile = tree / "program/lumivane.HLP";
    Plant(helpFile, HelpText());
    const auto help = WithinDeadline([&] { return CHelpFile::Load(helpFile); }, fifo);
    ASSERT_EQ(help.has_value(), GetParam().readAsHelp);
    if (help && GetParam().says == Says::AliveProgram) {
        ASSERT_NE(help->Find(kTopic), nullptr);
        EXPECT_EQ(help->Find(kTopic)->text, "A topic.");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Planted, PlantedFileTest,
    ::testing::Values(
        // name, what stands at the path, what it says: held as a lock, replaced by ours, help
        PlantedRow{"FileOfALiveProgram", Planted::File, Says::AliveProgram, true, false, true},
        PlantedRow{"Fifo", Planted::Fifo, Says::AliveProgram, false, true, false},
        PlantedRow{"Directory", Planted::Directory, Says::AliveProgram, false, false, false},
        PlantedRow{"LinkToAFile", Planted::LinkToFile, Says::AliveProgram, false, true, true},
        PlantedRow{"LinkToAFifo", Planted::LinkToFifo, Says::AliveProgram, false, true, false},
        PlantedRow{"HugeFile", Planted::HugeFile, Says::AliveProgram, false, true, false},
        PlantedRow{"OurOwnPid", Planted::File, Says::OurPid, false, true, true},
        PlantedRow{"Garbage", Planted::File, Says::Garbage, false, true, true}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
