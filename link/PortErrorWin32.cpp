#include "PortError.h"

#include <windows.h>

namespace {
// ERROR_NO_SUCH_DEVICE, which older SDK headers lack.
constexpr std::uint32_t kErrorNoSuchDevice = 433;
} // namespace

PortFailure ClassifyPortError(std::uint32_t code)
{
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DEV_NOT_EXIST:
    case kErrorNoSuchDevice:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_DEVICE_REMOVED:
    // A COM name whose driver has no device to take the request: under Wine, a port whose
    // device node is gone opens, then fails every request so.
    case ERROR_INVALID_FUNCTION:
        return PortFailure::NoDevice;
    // What USB serial drivers answer once their adapter is pulled out or loses power; under
    // Wine, a pseudo-terminal whose far end closed.
    case ERROR_GEN_FAILURE:
    case ERROR_BAD_COMMAND:
    case ERROR_NOT_READY:
    case ERROR_IO_DEVICE:
    case ERROR_OPERATION_ABORTED:
        return PortFailure::Gone;
    // The name leads to a device without serial settings (under Wine, a COM port mapped to a
    // file or to /dev/null).
    case ERROR_NOT_SUPPORTED:
        return PortFailure::NotSerial;
    // A COM port held by another program refuses the exclusive open as access denied: on
    // Windows the two cannot be told apart.
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_BUSY:
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
