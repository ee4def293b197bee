// One eight-frame transmission through the termios backend, on a pseudo-terminal standing in
// for COM1. A pseudo-terminal reports its output drained at once, like many USB adapters, so
// the link's line clock paces the frames: "ratio_to_line" compares the transmission with the
// physical limit at 9600 baud, eight frames of 66 bit times each with two 2 ms pauses (87 ms).
#include "link/PosixCommPort.h"
#include "link/SerialLink.h"
#include "tests/PseudoTerminal.h"
#include "tests/TempDir.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>

#include <poll.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kFrames = 8;
constexpr std::uint32_t kBytesPerFrame = 6; // address, header, 3 payload bytes, checksum
constexpr double kLineLimitSeconds = kFrames * (66.0 / 9600.0 + 2 * 0.002);
constexpr std::uint8_t kBroadcastAddress = 255;
constexpr std::uint32_t kLevelStep = 31; // a different level on every channel
constexpr int kReaderPollMs = 10;

// Reads the master side as fast as bytes arrive, as the interface box would.
class CMasterReader {
public:
    explicit CMasterReader(int master) : m_master(master), m_thread([this] { Run(); }) {}
    ~CMasterReader()
    {
        m_stop = true;
        m_thread.join();
    }
    CMasterReader(const CMasterReader&) = delete;
    CMasterReader& operator=(const CMasterReader&) = delete;

    std::uint64_t Received() const { return m_received.load(); }

private:
    void Run()
    {
        std::uint8_t buffer[512];
        while (!m_stop) {
            pollfd ready{m_master, POLLIN, 0};
            if (::poll(&ready, 1, kReaderPollMs) <= 0)
                continue;
            const ssize_t got = ::read(m_master, buffer, sizeof buffer);
            if (got > 0)
                m_received += static_cast<std::uint64_t>(got);
            else if ((ready.revents & POLLHUP) == 0)
                break;
        }
    }

    int m_master;
    std::atomic<bool> m_stop{false};
    std::atomic<std::uint64_t> m_received{0};
    std::thread m_thread;
};

void BM_EightFramesOnPty(benchmark::State& state)
{
    CTempDir tree;
    CPseudoTerminal pty;
    if (!pty.IsOpen()) {
        state.SkipWithError("no pseudo-terminal available");
        return;
    }
    tree.Symlink(pty.SlavePath(), "dev/ttyUSB0");
    PosixPortOptions options;
    options.portMap = std::make_shared<CPortMap>(tree / "dev", tree / "sys", tree / "lock");
    CSerialLink link{std::make_shared<CPosixCommPort>(options)};
    CMasterReader reader(pty.MasterFd());

    std::chrono::duration<double> total{0};
    for (auto _ : state) {
        const auto start = Clock::now();
        if (!link.Open(0, kDefaultBaudRate, 1).empty()) {
            state.SkipWithError("cannot open the pseudo-terminal as COM1");
            break;
        }
        link.SetAddress(kBroadcastAddress);
        link.SetHeaderByte(0);
        bool sent = true;
        for (std::uint32_t channel = 1; channel <= kFrames; ++channel) {
            const auto level = static_cast<std::uint8_t>(channel * kLevelStep);
            if (!link.Send(BuildSetLevelPayload(channel, level)))
                sent = false;
        }
        link.Close();
        total += Clock::now() - start;
        if (!sent) {
            state.SkipWithError("a frame could not be sent");
            break;
        }
    }

    // Every byte must have arrived, else the figure measured a broken transmission.
    const std::uint64_t expected = state.iterations() * kFrames * kBytesPerFrame;
    const auto deadline = Clock::now() + std::chrono::seconds(2);
    while (reader.Received() < expected && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (reader.Received() != expected)
        state.SkipWithError("the master did not receive every byte");

    state.counters["ratio_to_line"] =
        benchmark::Counter(total.count() / kLineLimitSeconds, benchmark::Counter::kAvgIterations);
}

BENCHMARK(BM_EightFramesOnPty)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
