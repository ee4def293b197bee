// The few platform operations a serial link needs, behind one interface so that the link runs
// on real ports (termios, Win32) and on a recording port that tests and benchmarks inspect.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

using PortHandle = std::intptr_t;
constexpr PortHandle INVALID_PORT_HANDLE = -1;

constexpr std::uint8_t ONESTOPBIT = 0;
constexpr std::uint8_t ONE5STOPBITS = 1;
constexpr std::uint8_t TWOSTOPBITS = 2;

// The parity bit of each character. Mark and space hold it at 1 and at 0: the interface box
// reads it as a ninth data bit. Each backend translates it to its platform's own settings.
enum class CommParity : std::uint8_t { None, Odd, Even, Mark, Space };

// A port's serial settings. The four fields the link changes are spelled out; everything else
// (flow control, special characters, ...) travels untouched in `native`, the backend's own
// settings structure exactly as the port reported it.
struct CommState {
    std::uint32_t BaudRate = 0;
    std::uint8_t ByteSize = 8;
    CommParity Parity = CommParity::None;
    std::uint8_t StopBits = ONESTOPBIT;
    std::vector<std::uint8_t> native;
};

// Line time of one character with these settings: start bit, data bits, parity bit (unless
// none), stop bits, at the baud rate; rounded up to whole microseconds, 0 without a rate.
std::uint64_t CharacterMicros(const CommState& state);

// All calls come from one thread at a time (the link's current user). A backend never throws;
// a failing call returns false (or INVALID_PORT_HANDLE) and LastError() tells why.
class CCommPort {
public:
    virtual ~CCommPort() = default;

    // Opens "COM1".."COM4" (or a device path) for exclusive read/write use, without blocking.
    virtual PortHandle OpenDevice(const std::string& name) = 0;
    // Flushes the handle's buffers; may be called with an invalid handle, the result is unused.
    virtual void FlushBuffers(PortHandle handle) = 0;
    virtual bool GetState(PortHandle handle, CommState& state) = 0;
    virtual bool SetState(PortHandle handle, const CommState& state) = 0;
    // Waits, with a short deadline, until every byte written has left the line.
    virtual bool DrainOutput(PortHandle handle) = 0;
    // Sends one byte with the port's current parity; a byte that cannot leave in time fails.
    virtual bool WriteByte(PortHandle handle, std::uint8_t value) = 0;
    virtual bool CloseDevice(PortHandle handle) = 0;
    // The system error code of this port's last failed call.
    virtual std::uint32_t LastError() const = 0;
    virtual void Sleep(std::uint32_t milliseconds) = 0;

    // The clock the link keeps its line clock on: steady time in microseconds, and a wait of
    // a given number of microseconds on it. Real ports use the steady clock; a test port may
    // run a virtual one.
    virtual std::uint64_t NowMicros();
    virtual void SleepMicros(std::uint64_t micros);
};

// The real serial ports of the platform this program was built for.
std::unique_ptr<CCommPort> CreatePlatformCommPort();
