#include "PlatformErrors.h"

#include <cerrno>

namespace SystemError {
const std::uint32_t kAccessDenied = EACCES;
const std::uint32_t kNoDevice = ENOENT;
const std::uint32_t kBusy = EBUSY;
const std::uint32_t kInvalid = EINVAL;
const std::uint32_t kTimedOut = ETIMEDOUT;
const std::uint32_t kIo = EIO;
} // namespace SystemError

// A device node the user may not open: the user lacks the group that owns serial devices.
const char* const kAccessDeniedReason =
    "no permission to use /run/test/ttyUSB0. Add your user to the dialout group";
