#include "PlatformErrors.h"

#include <cerrno>
#include <cstring>

namespace SystemError {
const std::uint32_t kAccessDenied = EACCES;
const std::uint32_t kNoDevice = ENOENT;
const std::uint32_t kBusy = EBUSY;
const std::uint32_t kInvalid = EINVAL;
const std::uint32_t kTimedOut = ETIMEDOUT;
const std::uint32_t kIo = EIO;
const std::uint32_t kNotSerial = ENOTTY;
// Beyond the last errno of Linux (EHWPOISON, 133).
const std::uint32_t kCheckedCodesEnd = 200;
} // namespace SystemError

// A device node the user may not open: the user lacks the group that owns serial devices.
const char* const kAccessDeniedReason =
    "no permission to use /run/test/ttyUSB0. Add your user to the dialout group";

std::string SystemsOwnText(std::uint32_t code)
{
    char buffer[256];
    // The GNU variant may return a static string instead of filling the buffer; unknown codes
    // read "Unknown error N".
    const std::string text = strerror_r(static_cast<int>(code), buffer, sizeof buffer);
    return text.starts_with("Unknown error") ? std::string() : text;
}
