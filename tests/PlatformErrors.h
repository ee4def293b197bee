// The system error codes tests hand to the code under test, as the platform the tests run on
// spells them, and what an operator is told about the one whose meaning differs by platform.
#pragma once

#include <cstdint>
#include <string>

namespace SystemError {
extern const std::uint32_t kAccessDenied; // the open was refused
extern const std::uint32_t kNoDevice;     // nothing behind the name
extern const std::uint32_t kBusy;         // another program holds the port
extern const std::uint32_t kInvalid;      // a setting the port cannot take
extern const std::uint32_t kTimedOut;     // a write that could not leave in time
extern const std::uint32_t kIo;           // the device failed under a write
extern const std::uint32_t kNotSerial;    // the device takes no serial settings
// Every code below this one is checked for the system's own text.
extern const std::uint32_t kCheckedCodesEnd;
} // namespace SystemError

// The reason the port tooltip gives for kAccessDenied on COM1 = "/run/test/ttyUSB0".
extern const char* const kAccessDeniedReason;

// The system's own description of `code` without its final full stop; "" when it has none.
std::string SystemsOwnText(std::uint32_t code);
