// The system error codes tests hand to the code under test, as the platform the tests run on
// spells them, and what an operator is told about the one whose meaning differs by platform.
#pragma once

#include <cstdint>

namespace SystemError {
extern const std::uint32_t kAccessDenied; // the open was refused
extern const std::uint32_t kNoDevice;     // nothing behind the name
extern const std::uint32_t kBusy;         // another program holds the port
extern const std::uint32_t kInvalid;      // a setting the port cannot take
extern const std::uint32_t kTimedOut;     // a write that could not leave in time
extern const std::uint32_t kIo;           // the device failed under a write
} // namespace SystemError

// The reason the port tooltip gives for kAccessDenied on COM1 = "/run/test/ttyUSB0".
extern const char* const kAccessDeniedReason;
