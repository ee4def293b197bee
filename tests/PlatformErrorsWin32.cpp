#include "PlatformErrors.h"

#include <windows.h>

namespace SystemError {
const std::uint32_t kAccessDenied = ERROR_ACCESS_DENIED;
const std::uint32_t kNoDevice = ERROR_FILE_NOT_FOUND;
const std::uint32_t kBusy = ERROR_SHARING_VIOLATION;
const std::uint32_t kInvalid = ERROR_INVALID_PARAMETER;
const std::uint32_t kTimedOut = ERROR_SEM_TIMEOUT;
const std::uint32_t kIo = ERROR_GEN_FAILURE;
const std::uint32_t kNotSerial = ERROR_NOT_SUPPORTED;
// The system's codes from 0 to ERROR_DEVICE_REMOVED and a little beyond.
const std::uint32_t kCheckedCodesEnd = 2000;
} // namespace SystemError

// Windows refuses a COM port that another program holds open as access denied.
const char* const kAccessDeniedReason = "in use by another program";

std::string SystemsOwnText(std::uint32_t code)
{
    char buffer[512] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, buffer, sizeof buffer, nullptr);
    std::string text(buffer, length);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == '.'))
        text.pop_back();
    return text;
}
