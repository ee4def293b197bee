#include "LockFile.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// HDB format: the PID right-aligned in ten characters, then a newline.
constexpr int kPidWidth = 10;
constexpr std::size_t kMaxLockSize = 64;

std::optional<long> ReadPid(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string text(kMaxLockSize, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
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

bool IsAlive(long pid)
{
    // EPERM: it exists but belongs to someone else.
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
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
    const auto pid = ReadPid(path);
    if (!pid || !IsAlive(*pid))
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
    // The caller has found no live holder, so a file already there is stale: replace it once.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0) {
            if (errno == EEXIST && attempt == 0 && !FindLockHolder(lockDir, devicePath) &&
                ::unlink(path.c_str()) == 0)
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
