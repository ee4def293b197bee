// A port that passes every call on to the port plugged into it, so that a test can give a
// link it has already handed out another backend. Plug only while the link is closed and no
// worker runs; the calls come from the link's one user at a time.
#pragma once

#include "link/CommPort.h"

#include <cstdint>
#include <memory>
#include <string>

class CPluggableCommPort : public CCommPort {
public:
    explicit CPluggableCommPort(std::shared_ptr<CCommPort> port) : m_pPort(std::move(port)) {}

    void Plug(std::shared_ptr<CCommPort> port) { m_pPort = std::move(port); }

    PortHandle OpenDevice(const std::string& name) override;
    void FlushBuffers(PortHandle handle) override;
    bool GetState(PortHandle handle, CommState& state) override;
    bool SetState(PortHandle handle, const CommState& state) override;
    bool DrainOutput(PortHandle handle) override;
    bool WriteByte(PortHandle handle, std::uint8_t value) override;
    bool CloseDevice(PortHandle handle) override;
    std::uint32_t LastError() const override;
    void Sleep(std::uint32_t milliseconds) override;
    std::uint64_t NowMicros() override;
    void SleepMicros(std::uint64_t micros) override;

private:
    std::shared_ptr<CCommPort> m_pPort;
};
