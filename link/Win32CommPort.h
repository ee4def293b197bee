// CWin32CommPort: COM1..COM4 through the Win32 communications calls. Handles are the HANDLEs
// CreateFileA returns, owned by the caller from OpenDevice to CloseDevice. Calls on a handle
// come from one thread at a time (the link's rule); LastError() may be read from any thread.
#pragma once

#include "CommPort.h"

#include <atomic>
#include <cstdint>
#include <string>

class CWin32CommPort : public CCommPort {
public:
    PortHandle OpenDevice(const std::string& name) override;
    void FlushBuffers(PortHandle handle) override;
    bool GetState(PortHandle handle, CommState& state) override;
    bool SetState(PortHandle handle, const CommState& state) override;
    // FlushFileBuffers: returns once the driver has sent everything written.
    bool DrainOutput(PortHandle handle) override;
    bool WriteByte(PortHandle handle, std::uint8_t value) override;
    bool CloseDevice(PortHandle handle) override;
    // GetLastError() as it stood right after this object's last failed call.
    std::uint32_t LastError() const override;
    void Sleep(std::uint32_t milliseconds) override;

private:
    bool Fail(std::uint32_t error);

    std::atomic<std::uint32_t> m_lastError{0};
};
