#include "PortError.h"

#include <windows.h>

PortFailure ClassifyPortError(std::uint32_t code)
{
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return PortFailure::NoDevice;
    // A COM port held by another program refuses the exclusive open as access denied.
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return PortFailure::InUse;
    // A write timeout ends the write with ERROR_SEM_TIMEOUT, or with success and nothing
    // written, which the port reports as ERROR_COUNTER_TIMEOUT.
    case ERROR_SEM_TIMEOUT:
    case ERROR_COUNTER_TIMEOUT:
        return PortFailure::Timeout;
    default:
        return PortFailure::Other;
    }
}

std::string SystemErrorText(std::uint32_t code)
{
    char buffer[256] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, buffer, sizeof buffer, nullptr);
    std::string text(buffer, length);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == '.'))
        text.pop_back();
    return text.empty() ? "error " + std::to_string(code) : text;
}
