// A serial port that exists only in memory: it keeps every byte with the parity it went out
// with, every settings change and every pause on a virtual clock, and can be told to fail.
// Tests and benchmarks use it in place of a real device.
//
// Thread-safe: the transmission worker writes while a test thread may read the record.
#pragma once

#include "CommPort.h"
#include "DeviceFrame.h"

#include <cstdint>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

class CRecordingCommPort : public CCommPort {
public:
    enum class EventKind { Open, Flush, GetState, SetState, Drain, Write, Close, Sleep };
    struct Event {
        EventKind kind = EventKind::Open;
        std::uint64_t atMicros = 0;     // virtual clock when the call was made
        std::string device;             // Open
        std::uint8_t value = 0;         // Write
        std::uint16_t parity = 0;       // Write: parity in force; SetState: parity applied
        std::uint32_t baudRate = 0;     // SetState
        std::uint32_t milliseconds = 0; // Sleep
        bool ok = true;
    };

    // Only COM1..COM4 and paths added with AddDevice exist; all four COM ports do by default.
    CRecordingCommPort();

    // Failure injection; each applies to every later call of its kind until cleared.
    void FailOpen(std::uint32_t error) { Set(m_failOpen, error); }
    void FailGetState(std::uint32_t error) { Set(m_failGetState, error); }
    // Fails SetState calls from the `fromCall`-th one on (1-based, counted over the port's life).
    void FailSetState(std::uint32_t error, int fromCall = 1);
    // Fails writes from the `fromWrite`-th one on (1-based, counted over the port's life).
    void FailWrite(std::uint32_t error, int fromWrite = 1);
    void FailClose(std::uint32_t error) { Set(m_failClose, error); }
    void FailDrain(std::uint32_t error) { Set(m_failDrain, error); }
    void ClearFailures();
    void RemoveDevice(const std::string& name);

    // What happened so far.
    std::vector<Event> Events() const;
    std::vector<FrameByte> Written() const;
    int OpenHandles() const;
    std::uint64_t NowMicros() const;
    void ClearRecord();

    PortHandle OpenDevice(const std::string& name) override;
    void FlushBuffers(PortHandle handle) override;
    bool GetState(PortHandle handle, CommState& state) override;
    bool SetState(PortHandle handle, const CommState& state) override;
    bool DrainOutput(PortHandle handle) override;
    bool WriteByte(PortHandle handle, std::uint8_t value) override;
    bool CloseDevice(PortHandle handle) override;
    std::uint32_t LastError() const override;
    void Sleep(std::uint32_t milliseconds) override;

    // The settings a freshly opened port reports: 19200 baud, 7 data bits, even parity, two
    // stop bits, and a native block the link must hand back untouched.
    static CommState InitialState();

private:
    void Set(std::optional<std::uint32_t>& slot, std::uint32_t error);
    bool Valid(PortHandle handle) const;
    bool Fail(const std::optional<std::uint32_t>& slot);
    void Record(Event event);

    mutable std::mutex m_mutex;
    std::set<std::string> m_devices;
    std::set<PortHandle> m_open;
    PortHandle m_nextHandle = 100;
    CommState m_state;
    std::vector<Event> m_events;
    std::uint64_t m_nowMicros = 0;
    std::uint32_t m_lastError = 0;
    int m_setStateCalls = 0;
    int m_writeCalls = 0;
    std::optional<std::uint32_t> m_failOpen, m_failGetState, m_failSetState, m_failWrite,
        m_failClose, m_failDrain;
    int m_failSetStateFrom = 1;
    int m_failWriteFrom = 1;
};
