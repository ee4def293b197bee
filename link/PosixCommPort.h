// CPosixCommPort: serial ports through termios. "COM1".."COM4" are the ports the port map
// numbers (looked up afresh at every open); a name beginning with '/' is opened as a device path.
// A device another live program has claimed with a UUCP lock file counts as busy; while this
// object holds a port it claims the device the same way, where the lock directory allows.
//
// Handles are file descriptors this object opened; it owns them from OpenDevice to CloseDevice
// and closes any still open when it is destroyed. Calls on a handle come from one thread at a
// time (the link's rule); LastError() may be read from any thread.
#pragma once

#include "CommPort.h"
#include "PortMap.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include <termios.h>

struct PosixPortOptions {
    // Which device each COMn is, and where lock files live (a fake tree in tests).
    std::shared_ptr<CPortMap> portMap = CPortMap::Program();
    // How long one byte may wait for room in the output queue before its write fails.
    std::chrono::milliseconds writeDeadline{1000};
    // How long DrainOutput (and CloseDevice before closing) waits for the queue to empty.
    std::chrono::milliseconds drainDeadline{500};
};

class CPosixCommPort : public CCommPort {
public:
    CPosixCommPort();
    explicit CPosixCommPort(PosixPortOptions options);
    ~CPosixCommPort() override;
    CPosixCommPort(const CPosixCommPort&) = delete;
    CPosixCommPort& operator=(const CPosixCommPort&) = delete;

    PortHandle OpenDevice(const std::string& name) override;
    void FlushBuffers(PortHandle handle) override;
    bool GetState(PortHandle handle, CommState& state) override;
    // The four fields in raw mode (ApplyCommState), read back: a setting the port did not
    // take fails the call (ENOTSUP for mark or space parity, else EINVAL).
    bool SetState(PortHandle handle, const CommState& state) override;
    bool DrainOutput(PortHandle handle) override;
    bool WriteByte(PortHandle handle, std::uint8_t value) override;
    bool CloseDevice(PortHandle handle) override;
    // The errno of this object's last failed call.
    std::uint32_t LastError() const override;
    void Sleep(std::uint32_t milliseconds) override;
    void SleepMicros(std::uint64_t micros) override;

private:
    bool Fail(int error);
    // The descriptor behind a handle this object opened and has not closed, else -1.
    int Descriptor(PortHandle handle) const;
    // 0 once the output queue is empty, else the errno (ETIMEDOUT at the deadline).
    int Drain(int fd) const;
    // Drains with the deadline, discards what could not leave and what was received, closes,
    // gives up the lock file `lockFile` ("" for none); 0 or the close errno.
    int Release(int fd, const std::string& lockFile) const;

    PosixPortOptions m_options;
    mutable std::mutex m_mutex;        // guards m_open
    std::map<int, std::string> m_open; // descriptor -> the lock file made for it, or ""
    std::atomic<std::uint32_t> m_lastError{0};
};

// The conversions behind GetState and SetState, apart from any port so tests can check them.
// Stop bits ONESTOPBIT or TWOSTOPBITS.
CommState CommStateFromTermios(const termios& settings);
// Applies the four fields to `settings` and puts the port in raw mode: no input or output
// processing, no echo, no line editing, no signals, no XON/XOFF or RTS/CTS flow control,
// CLOCAL, CREAD and HUPCL set, VMIN 1 and VTIME 0; the special characters stay. Returns 0
// (`settings` changed), EINVAL for a value termios cannot express, or ENOTSUP for mark or
// space parity where the platform has no CMSPAR (`settings` untouched).
int ApplyCommState(const CommState& state, termios& settings);
