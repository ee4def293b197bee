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
// The live program whose lock file claims the device; nothing for no lock, an unreadable one,
// or a stale one whose PID is gone.
std::optional<LockHolder> FindLockHolder(const std::string& lockDir, const std::string& devicePath);
// Claims the device for this process, replacing a stale lock. Returns the lock file's path,
// or "" when none could be created (no lock directory, no permission): that is no error.
std::string CreateLockFile(const std::string& lockDir, const std::string& devicePath);
// Removes a lock file CreateLockFile made, if it still names this process.
void RemoveLockFile(const std::string& path);
