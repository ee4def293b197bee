// UUCP lock files: how programs on a POSIX system tell each other that a serial device is
// theirs. A file "LCK..<device name>" in the lock directory holds the owner's PID as ASCII.
#pragma once

#include "PortMap.h"

#include <optional>
#include <string>

// "/run/lock" where it exists, else "/var/lock".
std::string DefaultLockDir();
// The lock file that claims `devicePath`, named after the device a link leads to ("" when
// `lockDir` is "").
std::string LockFilePath(const std::string& lockDir, const std::string& devicePath);
// The live program (other than this one) whose lock file claims the device; nothing for no
// lock, a stale one, or anything but a small regular file: the file is read without following
// a link and without ever blocking.
std::optional<LockHolder> FindLockHolder(const std::string& lockDir, const std::string& devicePath);
// Claims the device for this process, replacing a lock FindLockHolder judges stale, never a
// live one. Returns the lock file's path, or "" when none could be created (no lock directory,
// no permission, a live holder): that is no error.
std::string CreateLockFile(const std::string& lockDir, const std::string& devicePath);
// Removes a lock file CreateLockFile made, if it still names this process.
void RemoveLockFile(const std::string& path);
