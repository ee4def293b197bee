// What the console's own work costs on the window thread: a fader drag with all eight faders
// grouped, the exchange from the controls, and a tick. The console runs on a substitute window
// and its link on a recording port, so no figure includes a window system or a device.
#include "res/Resource.h"
#include "res/Templates.h"
#include "testing/RecordedConsole.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

namespace {

constexpr int kDragLow = 100;
constexpr int kDragHigh = 150;
constexpr std::int64_t kRecordTrimEvery = 1024;
constexpr auto kWorkerDeadline = std::chrono::seconds(10);

// The console the tests use, in value units, every channel enabled with a level, so a tick
// sends all eight frames.
struct CBenchConsole : CRecordedConsole {
    CBenchConsole()
    {
        win.Click(IDC_VALUE);
        for (std::size_t i = 0; i < kLevelIds.size(); ++i)
            win.Type(kLevelIds[i], std::to_string(20 * (i + 1)));
        win.Click(IDC_ENA_ALL);
        win.Click(IDC_SET_ALL);
        worker.WaitFor(kWorkerDeadline);
    }
};

// One scroll notification from fader 1 with Grp All ticked: the exchange, the movement, seven
// followers moved, eight boxes rewritten.
void ConsoleVScrollAllGrouped(benchmark::State& state)
{
    CBenchConsole console;
    console.win.Click(IDC_GRP_ALL);
    bool high = false;
    for (auto _ : state) {
        console.win.MoveFader(IDC_SLIDER1, high ? kDragHigh : kDragLow, SB_THUMBTRACK);
        high = !high;
    }
    if (console.dlg.m_bGroup[kFaderCount - 1] == 0)
        state.SkipWithError("Grp All did not group the faders");
    state.SetLabel("OnVScroll, 8 faders grouped");
}
BENCHMARK(ConsoleVScrollAllGrouped);

// The exchange from the controls alone, every box valid: the first step of every tick and of
// nearly every operator action.
void ConsoleUpdateDataFromControls(benchmark::State& state)
{
    CBenchConsole console;
    for (auto _ : state)
        benchmark::DoNotOptimize(console.dlg.UpdateData(true));
    state.SetLabel("UpdateData(true) alone");
}
BENCHMARK(ConsoleUpdateDataFromControls);

// A tick with nothing changed: what every 500 ms costs while the operator does nothing.
void ConsoleTickNothingChanged(benchmark::State& state)
{
    CBenchConsole console;
    for (auto _ : state) {
        console.dlg.m_bDirty = 0;
        console.dlg.OnTick();
    }
    state.SetLabel("OnTick, m_bDirty clear");
}
BENCHMARK(ConsoleTickNothingChanged);

// A tick with changed levels. OnTick always starts a worker then, so this is the whole
// transmission: exchange, snapshot, thread start, eight frames on the recording port, and the
// wait for the worker's end. The window thread's own share is the tick before the wait.
void ConsoleTickTransmission(benchmark::State& state)
{
    CBenchConsole console;
    std::int64_t ticks = 0;
    for (auto _ : state) {
        console.dlg.m_bDirty = 1;
        console.dlg.OnTick();
        if (!console.worker.WaitFor(kWorkerDeadline)) {
            state.SkipWithError("the worker did not finish");
            break;
        }
        if (++ticks % kRecordTrimEvery == 0) {
            state.PauseTiming();
            console.port->ClearRecord();
            state.ResumeTiming();
        }
    }
    if (console.worker.LastReport().framesSent != kFaderCount)
        state.SkipWithError("a tick did not send all eight frames");
    state.SetLabel("OnTick + worker (8 frames, recording port) + wait");
}
BENCHMARK(ConsoleTickTransmission)->UseRealTime();

// The same tick timed on the window thread only: OnTick up to the worker's start (it also
// shows the previous transmission's outcome, which re-reads the port map). The wait for the
// worker is left out of the figure.
void ConsoleTickWindowThreadShare(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    CBenchConsole console;
    std::int64_t ticks = 0;
    for (auto _ : state) {
        console.dlg.m_bDirty = 1;
        const auto start = Clock::now();
        console.dlg.OnTick();
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        if (!console.worker.WaitFor(kWorkerDeadline)) {
            state.SkipWithError("the worker did not finish");
            break;
        }
        if (++ticks % kRecordTrimEvery == 0)
            console.port->ClearRecord();
    }
    state.SetLabel("OnTick with m_bDirty set, without the wait");
}
BENCHMARK(ConsoleTickWindowThreadShare)->UseManualTime();

} // namespace
