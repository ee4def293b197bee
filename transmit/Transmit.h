// The hand-over from the console to the wire: the snapshot a tick fills, and the worker
// thread that turns it into one set-level frame per channel on g_link.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
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

// Written by the window thread only while no worker runs; read by the worker.
extern TransmitSnapshot g_snapshot;

// How the last finished transmission went, for the window to show. Never shown as a message.
struct TransmitReport {
    bool finished = false;      // false until a first transmission has ended
    std::uint64_t sequence = 0; // counts finished transmissions
    std::int32_t portIndex = 0; // the port it was sent to
    std::string openError;      // empty when the port opened
    std::uint32_t errorCode = 0;
    int framesSent = 0;
    int framesFailed = 0;
    std::chrono::system_clock::time_point finishedAt;
    bool Succeeded() const { return finished && openError.empty() && framesFailed == 0; }
};

// The body of the worker: open the chosen port, send every slot, close. Always returns 0.
std::uint32_t TransmitThreadProc(void* parameter);
// Sends one set-level frame on g_link; false when it could not be sent.
bool SendChannelLevel(std::uint32_t channel, std::uint8_t level);

// Runs one transmission at a time on its own thread at below-normal priority.
// Start, Busy, Wait and LastReport are for the window thread.
class CTransmitWorker {
public:
    ~CTransmitWorker();
    // False (and nothing started) while the previous transmission still runs, or when no
    // thread can be started.
    bool Start();
    bool Busy() const { return m_bRunning.load(std::memory_order_acquire); }
    // Blocks until no transmission runs; bounded by the link's own deadlines.
    void Wait();
    // Blocks until no transmission runs or the deadline passes; true when none runs.
    bool WaitFor(std::chrono::milliseconds timeout);
    TransmitReport LastReport() const;
    // Called by the worker when it ends.
    void Finish(const TransmitReport& report);

private:
    std::thread m_thread;
    std::atomic<bool> m_bRunning{false};
    mutable std::mutex m_mutex;
    std::condition_variable m_done;
    TransmitReport m_report;
};

extern CTransmitWorker g_transmitWorker;

// Lowers the calling thread's scheduling priority (platform file).
void LowerCurrentThreadPriority();
