#include "PortError.h"

#include <cerrno>

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
    // What a USB serial adapter's tty answers once the adapter is pulled out.
    case EIO:
        return PortFailure::Gone;
    case ENOTTY:
        return PortFailure::NotSerial;
    case EBUSY:
    case EWOULDBLOCK:
        return PortFailure::InUse;
    case ETIMEDOUT:
        return PortFailure::Timeout;
    default:
        return PortFailure::Other;
    }
}
