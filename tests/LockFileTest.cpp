#include "link/LockFile.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <grp.h>
#include <signal.h>
#include <unistd.h>

namespace {

// Beyond any PID the kernel hands out, so surely no live process.
constexpr const char* kDeadPid = "2147483646\n";

// The process that started the tests stands for another program: it is surely alive.
std::string OtherPid()
{
    return std::to_string(::getppid());
}

std::string FirstLine(const std::string& file)
{
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct LockFileTest : ::testing::Test {
    CTempDir tree;
    std::string device = tree / "dev/ttyUSB0";
    std::string lockFile = tree / "lock/LCK..ttyUSB0";
};

TEST_F(LockFileTest, TheLockFileIsNamedAfterTheDevice)
{
    EXPECT_EQ(LockFilePath(tree / "lock", device), lockFile);
    EXPECT_EQ(LockFilePath("", device), "");
    tree.WriteFile("dev/ttyUSB0");
    tree.Symlink("../../ttyUSB0", "dev/serial/by-id/usb-Maker_Cable_A1-if00-port0");
    EXPECT_EQ(LockFilePath(tree / "lock", tree / "dev/serial/by-id/usb-Maker_Cable_A1-if00-port0"),
              lockFile);
}

struct HolderRow {
    const char* name;
    std::optional<std::string> content; // nothing: no lock file
    bool held;
};

struct LockHolderTest : LockFileTest, ::testing::WithParamInterface<HolderRow> {};

TEST_P(LockHolderTest, OnlyALiveProcessHoldsTheDevice)
{
    std::string content = GetParam().content.value_or("");
    if (const auto at = content.find("$PID"); at != std::string::npos)
        content.replace(at, 4, OtherPid());
    if (GetParam().content)
        tree.WriteFile("lock/LCK..ttyUSB0", content);
    const auto holder = FindLockHolder(tree / "lock", device);
    ASSERT_EQ(holder.has_value(), GetParam().held);
    if (holder) {
        EXPECT_EQ(holder->pid, ::getppid());
        EXPECT_EQ(holder->program, FirstLine("/proc/" + OtherPid() + "/comm"));
    }
}

INSTANTIATE_TEST_SUITE_P(LockFile, LockHolderTest,
                         ::testing::Values(HolderRow{"PaddedPid", "      $PID\n", true},
                                           HolderRow{"BarePid", "$PID", true},
                                           HolderRow{"NoLockFile", std::nullopt, false},
                                           HolderRow{"DeadPid", kDeadPid, false},
                                           HolderRow{"ZeroIsNoProcess", "0\n", false},
                                           HolderRow{"NegativeIsNoProcess", "-1\n",
                                                     false}, // kill(-1) reaches all
                                           HolderRow{"Garbage", "minicom\n", false},
                                           HolderRow{"TrailingGarbage", "$PIDx\n", false},
                                           HolderRow{"Empty", "", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LockFileTest, OwnLockHoldsThePidInTenColumnsAndGoesAway)
{
    tree.MakeDirectory("lock");
    ASSERT_EQ(CreateLockFile(tree / "lock", device), lockFile);
    char expected[32];
    std::snprintf(expected, sizeof expected, "%10d\n", static_cast<int>(::getpid()));
    EXPECT_EQ(ReadAll(lockFile), expected);
    RemoveLockFile(lockFile);
    EXPECT_FALSE(std::filesystem::exists(lockFile));
}

TEST_F(LockFileTest, AStaleLockIsReplaced)
{
    tree.WriteFile("lock/LCK..ttyUSB0", kDeadPid);
    ASSERT_EQ(CreateLockFile(tree / "lock", device), lockFile);
    EXPECT_EQ(std::stoi(ReadAll(lockFile)), ::getpid());
}

TEST_F(LockFileTest, ALockThatCannotBeMadeIsNoError)
{
    EXPECT_EQ(CreateLockFile(tree / "no such directory", device), "");
    EXPECT_EQ(CreateLockFile("", device), "");
}

// What FindLockHolder says, as an exit code, to a process that is not root: kill() then answers
// EPERM for PID 1, the init of this PID namespace, which belongs to root.
int HolderSeenByAnotherUser(const std::string& lockDir, const std::string& device)
{
    constexpr gid_t kNobody = 65534;
    if (::geteuid() == 0 &&
        (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
        std::perror("giving up root");
        return 2;
    }
    if (::kill(1, 0) == 0 || errno != EPERM) {
        std::fputs("kill(1, 0) does not answer EPERM here\n", stderr);
        return 3;
    }
    const auto holder = FindLockHolder(lockDir, device);
    return holder && holder->pid == 1 ? 0 : 1;
}

TEST_F(LockFileTest, ALiveLockOfAnotherUserHoldsTheDevice)
{
    tree.WriteFile("lock/LCK..ttyUSB0", "1\n");
    // The unprivileged child must reach the lock file through the test's private directory.
    std::filesystem::permissions(tree.Path(), std::filesystem::perms::others_exec,
                                 std::filesystem::perm_options::add);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::exit(HolderSeenByAnotherUser(tree / "lock", device)),
                ::testing::ExitedWithCode(0), "");
}

TEST_F(LockFileTest, AnotherProgramsLockIsNotRemoved)
{
    tree.WriteFile("lock/LCK..ttyUSB0", "1\n");
    RemoveLockFile(lockFile);
    EXPECT_TRUE(std::filesystem::exists(lockFile));
}

} // namespace
