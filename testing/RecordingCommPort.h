// A serial port that exists only in memory: it keeps every call with the time it was made,
// and can be told to fail. Behind it runs a model of the line: bytes leave one after another
// at the baud rate from an unbounded FIFO, each with the parity in force when its start bit
// begins; a settings change while a byte is on the wire corrupts that byte, and a close
// discards what has not left yet. The line can be held (flow control, a stuck device): then
// bytes wait in a small FIFO, a write that finds it full fails at the write deadline and an
// exact drain at the drain deadline. A device is held by one handle at a time. What the far
// end sends is taken in and never read, echoed or sent; a close discards it. Tests and
// benchmarks use it in place of a real device.
//
// Thread-safe: the transmission worker writes while a test thread may read the record.
#pragma once

#include "link/CommPort.h"
#include "link/DeviceFrame.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

// The system error codes the recording port reports for failures of its own making. The
// defaults are Windows's; a test hands in its platform's when it classifies them.
struct RecordingPortErrors {
    std::uint32_t noDevice = 2;      // no such device
    std::uint32_t invalidHandle = 6; // a closed or unknown handle
    std::uint32_t inUse = 5;         // the device is held by another handle
    std::uint32_t timedOut = 121;    // a held line: no room for the byte, or no drain in time
};

class CRecordingCommPort : public CCommPort {
public:
    enum class EventKind { Open, Flush, GetState, SetState, Drain, Write, Close, Sleep, Wait };
    struct Event {
        EventKind kind = EventKind::Open;
        std::uint64_t atMicros = 0;           // virtual clock when the call was made
        std::string device;                   // Open
        std::uint8_t value = 0;               // Write
        CommParity parity = CommParity::None; // Write: in force; SetState: applied
        std::uint32_t baudRate = 0;           // SetState
        std::uint32_t milliseconds = 0;       // Sleep
        std::uint64_t micros = 0;             // Wait
        bool ok = true;
    };

    // A UART's drain waits until the last stop bit has left; many USB adapters cannot tell
    // and report their output drained at once.
    enum class DrainMode { Exact, Early };

    // One character on the modelled line.
    struct WireByte {
        std::uint8_t value = 0;
        CommParity parity = CommParity::None; // in force when its start bit began
        std::uint64_t queuedMicros = 0;
        std::uint64_t startMicros = 0;
        std::uint64_t endMicros = 0; // its stop bit has left
        bool corrupted = false;      // the settings changed while it was on the wire
        bool cut = false;            // discarded by a close before it had left
    };

    // Only COM1..COM4 exist.
    explicit CRecordingCommPort(RecordingPortErrors errors = {});

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
    void SetDrainMode(DrainMode mode);
    // How long a write may wait for room, and a drain for the line, on a held line; a real
    // port's defaults.
    void SetDeadlines(std::chrono::milliseconds write, std::chrono::milliseconds drain);
    // While held, no byte starts to leave; released, the waiting bytes leave from then on.
    void HoldLine(bool held);
    // Bytes the far end sends.
    void Receive(const std::vector<std::uint8_t>& bytes);
    // How many received bytes the port holds (none after a close).
    std::size_t Unread() const;
    // Runs the clock on steady time and really waits (benchmarks); the default is a virtual
    // clock that only the port's own waits advance.
    void UseRealTime();

    // What happened so far.
    std::vector<Event> Events() const;
    // The bytes that reached the far end intact, with their ninth bit.
    std::vector<FrameByte> Written() const;
    std::vector<WireByte> Wire() const;
    // For every parity change made after a byte was written: how long the line had been idle,
    // in microseconds; negative when a byte was still on the wire.
    std::vector<std::int64_t> QuietBeforeParityChanges() const;
    int OpenHandles() const;
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
    std::uint64_t NowMicros() override;
    void SleepMicros(std::uint64_t micros) override;

    // The settings a freshly opened port reports: 19200 baud, 7 data bits, even parity, two
    // stop bits, and a native block the link must hand back untouched.
    static CommState InitialState();
    // Room in the FIFO while the line is held, as a UART's.
    static constexpr std::size_t kHeldQueueBytes = 16;

private:
    void Set(std::optional<std::uint32_t>& slot, std::uint32_t error);
    bool Valid(PortHandle handle) const;
    bool Fail(const std::optional<std::uint32_t>& slot);
    void Record(Event event);
    std::uint64_t Now() const;
    // Moves the clock to `micros`: at once on the virtual clock, by sleeping on the real one.
    void AdvanceTo(std::unique_lock<std::mutex>& lock, std::uint64_t micros);
    // Lays the queued bytes from `first` on out again, from `from` on (a settings change, a
    // release of the line); on a held line they wait.
    void Retime(std::size_t first, std::uint64_t from);
    // The bytes written that wait on a held line.
    std::size_t Waiting() const;

    mutable std::mutex m_mutex;
    RecordingPortErrors m_errors;
    std::set<std::string> m_devices;
    std::map<PortHandle, std::string> m_open; // handle -> the device it holds
    PortHandle m_nextHandle = 100;
    CommState m_state;
    std::vector<Event> m_events;
    std::uint64_t m_nowMicros = 0;
    bool m_bRealTime = false;
    std::chrono::steady_clock::time_point m_epoch = std::chrono::steady_clock::now();
    DrainMode m_drainMode = DrainMode::Exact;
    std::vector<WireByte> m_wire;
    std::vector<std::int64_t> m_quiet;
    std::uint64_t m_lineFreeAt = 0;
    bool m_bHeld = false;
    std::chrono::milliseconds m_writeDeadline{1000};
    std::chrono::milliseconds m_drainDeadline{500};
    std::size_t m_unread = 0;
    std::uint32_t m_lastError = 0;
    int m_setStateCalls = 0;
    int m_writeCalls = 0;
    std::optional<std::uint32_t> m_failOpen, m_failGetState, m_failSetState, m_failWrite,
        m_failClose, m_failDrain;
    int m_failSetStateFrom = 1;
    int m_failWriteFrom = 1;
};
