// How fast frames are built and sent through the serial link, on the recording port (which
// does no I/O), so the figure is the link's own cost per frame.
#include "link/DeviceFrame.h"
#include "link/RecordingCommPort.h"
#include "link/SerialLink.h"

#include <benchmark/benchmark.h>

#include <memory>

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

} // namespace
