// The hand-over from the console to the wire: the snapshot a tick fills, and the worker
// thread that turns it into one set-level frame per channel on the link it was handed.
#pragma once

#include "link/SerialLink.h"

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

constexpr int kConsoleChannels = 8;
constexpr std::int32_t kSlotNotSent = -1;

// What one transmission sends. Slot i belongs to channel nBaseAddress + i and holds the
// level byte to send (0..255), or a negative number for a channel that is not sent.
struct TransmitSnapshot {
    std::uint32_t nBaseAddress = 0;
    std::int32_t nPortIndex = 0;
    std::array<std::int32_t, kConsoleChannels> nSlot{};
};

// How the last finished transmission went, for the window to show. Never shown as a message.
struct TransmitReport {
    bool finished = false;                // false until a first transmission has ended
    std::uint64_t sequence = 0;           // counts finished transmissions
    std::int32_t portIndex = 0;           // the port it was sent to
    LinkStep failedStep = LinkStep::None; // what failed: a step of the open, or of a byte
    std::string openError;                // the link's text when the port did not open, else ""
    std::uint32_t errorCode = 0;          // the system's, at the step that failed
    int framesSent = 0;
    int framesFailed = 0;
    std::chrono::system_clock::time_point finishedAt;
    // Every sign of failure counts, so a frame failure reported without its step is still
    // tried again.
    bool Succeeded() const
    {
        return finished && failedStep == LinkStep::None && openError.empty() && framesFailed == 0;
    }
};

// One transmission: opens the snapshot's port on `link`, sends a set-level frame for every
// slot, closes. A failed frame ends it, since a port that failed a byte is broken or held.
TransmitReport RunTransmission(CSerialLink& link, const TransmitSnapshot& snapshot);
// The body of a worker's thread: `parameter` is the CTransmitWorker that started it, never
// null. Always returns 0.
std::uint32_t TransmitThreadProc(void* parameter);
// Sends one set-level frame on `link`; false when it could not be sent.
bool SendChannelLevel(CSerialLink& link, std::uint32_t channel, std::uint8_t level);

// Runs one transmission at a time on its own thread at below-normal priority, on the link and
// snapshot it was handed (both outlive it). Start, Busy, Wait and LastReport are for the
// window thread.
class CTransmitWorker {
public:
    // Starts a thread running `body`; throws std::system_error when none can be had.
    using ThreadStarter = std::function<std::thread(std::function<void()> body)>;

    CTransmitWorker(CSerialLink& link, TransmitSnapshot& snapshot,
                    ThreadStarter startThread = DefaultThreadStarter());
    ~CTransmitWorker();
    CTransmitWorker(const CTransmitWorker&) = delete;
    CTransmitWorker& operator=(const CTransmitWorker&) = delete;

    static ThreadStarter DefaultThreadStarter();

    CSerialLink& Link() const { return m_link; }
    // Filled by the window thread before Start, and only while no transmission runs.
    TransmitSnapshot& Snapshot() const { return m_snapshot; }
    // False (and nothing started) while the previous transmission still runs, or when no
    // thread can be started.
    bool Start();
    bool Busy() const { return m_bRunning.load(std::memory_order_acquire); }
    // Blocks until no transmission runs; bounded by the link's own deadlines.
    void Wait();
    // Blocks until no transmission runs or the deadline passes; true when none runs.
    bool WaitFor(std::chrono::milliseconds timeout);
    TransmitReport LastReport() const;
    // The thread's body: the transmission, then its report.
    void Run();

private:
    void Finish(const TransmitReport& report);

    CSerialLink& m_link;
    TransmitSnapshot& m_snapshot;
    ThreadStarter m_startThread;
    std::thread m_thread;
    std::atomic<bool> m_bRunning{false};
    mutable std::mutex m_mutex;
    std::condition_variable m_done;
    TransmitReport m_report;
};

// Lowers the calling thread's scheduling priority (platform file).
void LowerCurrentThreadPriority();
