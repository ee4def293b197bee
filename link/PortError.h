// What a serial port's system error code means to an operator, mapped in one place per
// platform.
#pragma once

#include <cstdint>
#include <string>

enum class PortFailure {
    NoPermission, // the user may not open the device
    NoDevice,     // nothing stands behind the port name
    InUse,        // another program holds the port
    Timeout,      // the line would not take the bytes (flow control held, device gone)
    Other,
};

PortFailure ClassifyPortError(std::uint32_t code);
// The system's own short description of the code.
std::string SystemErrorText(std::uint32_t code);
