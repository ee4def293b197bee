// CWin32CommPort: COM1..COM4 through the Win32 communications calls. Handles are the HANDLEs
// CreateFileA returns, owned by the caller from OpenDevice to CloseDevice. Calls on a handle
// come from one thread at a time (the link's rule); LastError() may be read from any thread.
//
// The same contract as the termios backend: whatever flow control the port's previous user
// left on is turned off (DTR and RTS held on), a byte that cannot leave within the write
// deadline fails as a timeout, and neither a drain nor a close waits past the drain deadline.
#pragma once

#include "CommPort.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>

struct Win32PortOptions {
    // How long one byte may wait to leave before its write fails (the port's write timeout).
    std::chrono::milliseconds writeDeadline{1000};
    // How long DrainOutput (and CloseDevice before closing) waits for the queue to empty.
    std::chrono::milliseconds drainDeadline{500};
};

class CWin32CommPort : public CCommPort {
public:
    CWin32CommPort() = default;
    explicit CWin32CommPort(Win32PortOptions options) : m_options(options) {}

    // Opens the port exclusively and sets its write timeout.
    PortHandle OpenDevice(const std::string& name) override;
    // Waits for pending output as DrainOutput does; the result is unused.
    void FlushBuffers(PortHandle handle) override;
    bool GetState(PortHandle handle, CommState& state) override;
    // The four fields, binary mode, and flow control off: no XON/XOFF either way, no CTS or
    // DSR handshake, DTR and RTS on.
    bool SetState(PortHandle handle, const CommState& state) override;
    // Watches the output queue until it is empty or the drain deadline passes
    // (ERROR_SEM_TIMEOUT).
    bool DrainOutput(PortHandle handle) override;
    bool WriteByte(PortHandle handle, std::uint8_t value) override;
    // Drains with the deadline, discards what could not leave and what was received, closes.
    bool CloseDevice(PortHandle handle) override;
    // GetLastError() as it stood right after this object's last failed call.
    std::uint32_t LastError() const override;
    void Sleep(std::uint32_t milliseconds) override;
    // Wakes within a few tens of microseconds, not at the system's next 15.6 ms timer tick.
    void SleepMicros(std::uint64_t micros) override;

private:
    bool Fail(std::uint32_t error);
    // 0 once the output queue is empty, else the system error (ERROR_SEM_TIMEOUT at the
    // deadline).
    std::uint32_t Drain(PortHandle handle);

    Win32PortOptions m_options;
    std::atomic<std::uint32_t> m_lastError{0};
};
