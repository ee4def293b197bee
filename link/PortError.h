// What a serial port's system error code means to an operator, mapped in one place per
// platform. The console words each kind with its remedy; the system's own text is never shown.
#pragma once

#include <cstdint>

enum class PortFailure {
    NoPermission, // the user may not open the device
    NoDevice,     // nothing stands behind the port name (any more)
    Gone,         // a device stands behind it but stopped answering (unplugged, switched off)
    NotSerial,    // the name leads to a device that takes no serial settings
    InUse,        // another program holds the port
    Timeout,      // the line would not take the bytes (flow control held, device gone)
    Other,
};

PortFailure ClassifyPortError(std::uint32_t code);
