#include "PlatformErrors.h"

#include <windows.h>

namespace SystemError {
const std::uint32_t kAccessDenied = ERROR_ACCESS_DENIED;
const std::uint32_t kNoDevice = ERROR_FILE_NOT_FOUND;
const std::uint32_t kBusy = ERROR_SHARING_VIOLATION;
const std::uint32_t kInvalid = ERROR_INVALID_PARAMETER;
const std::uint32_t kTimedOut = ERROR_SEM_TIMEOUT;
const std::uint32_t kIo = ERROR_GEN_FAILURE;
} // namespace SystemError

// Windows refuses a COM port that another program holds open as access denied.
const char* const kAccessDeniedReason = "in use by another program";
