#include "PortError.h"

#include <cerrno>
#include <cstring>

PortFailure ClassifyPortError(std::uint32_t code)
{
    switch (static_cast<int>(code)) {
    case EACCES:
    case EPERM:
        return PortFailure::NoPermission;
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return PortFailure::NoDevice;
    case EBUSY:
    case EWOULDBLOCK:
        return PortFailure::InUse;
    case ETIMEDOUT:
        return PortFailure::Timeout;
    default:
        return PortFailure::Other;
    }
}

std::string SystemErrorText(std::uint32_t code)
{
    char buffer[256];
    // The GNU variant may return a static string instead of filling the buffer.
    const char* text = strerror_r(static_cast<int>(code), buffer, sizeof buffer);
    return text;
}
