#include "LockFile.h"

#include "UniqueFd.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// HDB format: the PID right-aligned in ten characters, then a newline.
constexpr int kPidWidth = 10;
// Room for that with some slack; a longer file is no lock a program wrote.
constexpr std::size_t kMaxLockSize = 32;

std::optional<long> ParsePid(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return std::nullopt;
    long pid = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data() + first, end, pid);
    if (error != std::errc{} || (stop != end && *stop != '\n' && *stop != ' '))
        return std::nullopt;
    // 0 and negative numbers name process groups to kill(), never one program.
    if (pid <= 0)
        return std::nullopt;
    return pid;
}

// The lock directory is writable by every local user, so the file may be anything: a FIFO
// (whose open and read wait for a writer for ever), a link to a device, a directory, a huge
// file. Only a small regular file, reached without following a link and opened without
// waiting, is read.
std::optional<long> ReadPid(const std::string& path)
{
    const CUniqueFd fd(
        ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat info {};
    if (fd.Get() < 0 || ::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    // One byte more than allowed shows a longer file.
    std::array<char, kMaxLockSize + 1> text{};
    const ssize_t length = ::read(fd.Get(), text.data(), text.size());
    if (length < 0 || static_cast<std::size_t>(length) > kMaxLockSize)
        return std::nullopt;
    return ParsePid(std::string_view(text.data(), static_cast<std::size_t>(length)));
}

bool IsAlive(long pid)
{
    // EPERM: it exists but belongs to another user.
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

// The PID of the live program that holds the lock. A lock naming this process is no other
// program's claim: it is our own, left while a transmission holds the port, or a stale one whose
// PID was another process's before a reboot or in another container. We never open a port we
// already hold.
std::optional<long> LiveHolder(const std::string& path)
{
    const auto pid = ReadPid(path);
    if (!pid || *pid == static_cast<long>(::getpid()) || !IsAlive(*pid))
        return std::nullopt;
    return pid;
}

std::string ProgramName(long pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(in, name);
    return name;
}

} // namespace

std::string DefaultLockDir()
{
    std::error_code error;
    return fs::is_directory("/run/lock", error) ? "/run/lock" : "/var/lock";
}

std::string LockFilePath(const std::string& lockDir, const std::string& devicePath)
{
    if (lockDir.empty())
        return {};
    // Other programs may name the device through a link (/dev/serial/by-id/...); the lock is
    // named after the device node itself.
    std::error_code error;
    fs::path device = fs::canonical(devicePath, error);
    if (error)
        device = devicePath;
    return (fs::path(lockDir) / ("LCK.." + device.filename().string())).string();
}

std::optional<LockHolder> FindLockHolder(const std::string& lockDir, const std::string& devicePath)
{
    const std::string path = LockFilePath(lockDir, devicePath);
    if (path.empty())
        return std::nullopt;
    const auto pid = LiveHolder(path);
    if (!pid)
        return std::nullopt;
    return LockHolder{*pid, ProgramName(*pid)};
}

std::string CreateLockFile(const std::string& lockDir, const std::string& devicePath)
{
    const std::string path = LockFilePath(lockDir, devicePath);
    if (path.empty())
        return {};
    char content[kMaxLockSize];
    const int length =
        std::snprintf(content, sizeof content, "%*ld\n", kPidWidth, static_cast<long>(::getpid()));
    if (length <= 0)
        return {};
    // A file already there is replaced once, and only when it holds no live program's lock.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int fd =
            ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd < 0) {
            if (errno == EEXIST && attempt == 0 && !LiveHolder(path) && ::unlink(path.c_str()) == 0)
                continue;
            return {};
        }
        const bool written = ::write(fd, content, static_cast<std::size_t>(length)) == length;
        ::close(fd);
        if (!written) {
            ::unlink(path.c_str());
            return {};
        }
        return path;
    }
    return {};
}

void RemoveLockFile(const std::string& path)
{
    if (!path.empty() && ReadPid(path) == static_cast<long>(::getpid()))
        ::unlink(path.c_str());
}
