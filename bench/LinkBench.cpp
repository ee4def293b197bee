// How fast frames are built and sent through the serial link, on the recording port (which
// does no I/O), so the figure is the link's own cost per frame.
#include "link/DeviceFrame.h"
#include "link/PreciseWakeup.h"
#include "link/SerialLink.h"
#include "testing/RecordingCommPort.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

namespace {

void BuildSetLevelFrame(benchmark::State& state)
{
    std::uint32_t channel = 1;
    for (auto _ : state) {
        auto frame = BuildFrame(0xFF, 0x00, BuildSetLevelPayload(channel, 0x80));
        benchmark::DoNotOptimize(frame);
        channel = channel % kLastChannel + 1;
    }
    state.counters["frames_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BuildSetLevelFrame);

void SendSetLevelFrameRecorded(benchmark::State& state)
{
    auto port = std::make_shared<CRecordingCommPort>();
    CSerialLink link(port);
    link.Open(0, kDefaultBaudRate, 1);
    link.SetAddress(0xFF);
    link.SetHeaderByte(0x00);
    std::uint32_t channel = 1;
    std::int64_t frames = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(link.Send(BuildSetLevelPayload(channel, 0x80)));
        channel = channel % kLastChannel + 1;
        // Keep the record from growing without bound; not part of the measured cost.
        if (++frames % 4096 == 0) {
            state.PauseTiming();
            port->ClearRecord();
            state.ResumeTiming();
        }
    }
    state.counters["frames_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(SendSetLevelFrameRecorded);

// One eight-channel transmission on the modelled line at 9600 baud, in real time: bytes leave a
// FIFO at the baud rate, and the drain either waits for them (a UART) or returns at once (many
// USB adapters). "ratio_to_line" compares it with the physical limit, eight frames of 66 bit
// times each with two 2 ms pauses: 8 x (6.875 + 4) ms = 87.0 ms.
void EightFramesOnLineModel(benchmark::State& state)
{
    constexpr double kLimitSeconds = 8 * (66.0 / 9600.0 + 2 * 0.002);
    constexpr std::uint32_t kFrames = 8;
    constexpr std::uint32_t kLevelStep = 31;
    // The link's pauses are short; let the kernel wake this thread on time, as the termios
    // backend does for its own sleeps.
    [[maybe_unused]] const CPreciseWakeup precise;

    auto port = std::make_shared<CRecordingCommPort>();
    port->SetDrainMode(state.range(0) == 0 ? CRecordingCommPort::DrainMode::Exact
                                           : CRecordingCommPort::DrainMode::Early);
    port->UseRealTime();
    CSerialLink link(port);
    link.SetAddress(0xFF);
    link.SetHeaderByte(0x00);
    std::chrono::duration<double> total{0};
    for (auto _ : state) {
        port->ClearRecord();
        const auto start = std::chrono::steady_clock::now();
        link.Open(0, kDefaultBaudRate, 1);
        for (std::uint32_t channel = 1; channel <= kFrames; ++channel)
            link.Send(
                BuildSetLevelPayload(channel, static_cast<std::uint8_t>(channel * kLevelStep)));
        link.Close();
        total += std::chrono::steady_clock::now() - start;
        if (port->Written().size() != kFrames * 6) {
            state.SkipWithError("bytes were lost or garbled on the line");
            break;
        }
    }
    state.counters["ratio_to_line"] =
        benchmark::Counter(total.count() / kLimitSeconds, benchmark::Counter::kAvgIterations);
}
// The least of several runs: the link's own cost, without the wake-ups a busy machine delays.
BENCHMARK(EightFramesOnLineModel)
    ->ArgName("early_drain")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ComputeStatistics("min",
                        [](const std::vector<double>& v) {
                            return *std::min_element(v.begin(), v.end());
                        })
    ->ReportAggregatesOnly();

} // namespace
