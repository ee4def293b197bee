// The transmission worker against the window thread: a tick that meets a running worker, a
// console closed under a transmission, a device that goes away mid-transmission, and every
// way a port can fail to open or to take a byte. The worker is held inside a write by a gate
// the test opens, so every interleaving here is forced, never waited out.
#include "console/ConsoleDlg.h"
#include "link/PosixCommPort.h"
#include "link/SerialLink.h"
#include "res/Resource.h"
#include "res/Templates.h"
#include "testing/RecordingCommPort.h"
#include "testing/SubstituteWindow.h"
#include "transmit/Transmit.h"

#include "FrameDecoder.h"
#include "PseudoTerminal.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace {

using Kind = CRecordingCommPort::EventKind;
constexpr auto kDeadline = std::chrono::seconds(10);
// A held write gives up after this long, so a failing test ends instead of hanging.
constexpr auto kGateDeadline = std::chrono::seconds(20);
constexpr std::size_t kFrameBytes = 6;
constexpr std::uint32_t kSomeError = 31;

// A port in front of another that holds the `holdAt`-th write (1-based, counted over its
// life) and every later one until the test opens the gate. The worker calls WriteByte; the
// test thread calls the rest.
class CGatedCommPort : public CCommPort {
public:
    CGatedCommPort(std::shared_ptr<CCommPort> inner, int holdAt)
        : m_pInner(std::move(inner)), m_nHoldAt(holdAt)
    {
    }

    // True once a write waits at the closed gate; false at the deadline.
    bool WaitUntilHeld(std::chrono::milliseconds deadline)
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, deadline, [this] { return m_bHeld; });
    }
    void Open()
    {
        {
            std::lock_guard lock(m_mutex);
            m_bOpen = true;
        }
        m_changed.notify_all();
    }
    bool GaveUp() const
    {
        std::lock_guard lock(m_mutex);
        return m_bGaveUp;
    }

    PortHandle OpenDevice(const std::string& name) override { return m_pInner->OpenDevice(name); }
    void FlushBuffers(PortHandle handle) override { m_pInner->FlushBuffers(handle); }
    bool GetState(PortHandle handle, CommState& state) override
    {
        return m_pInner->GetState(handle, state);
    }
    bool SetState(PortHandle handle, const CommState& state) override
    {
        return m_pInner->SetState(handle, state);
    }
    bool DrainOutput(PortHandle handle) override { return m_pInner->DrainOutput(handle); }
    bool WriteByte(PortHandle handle, std::uint8_t value) override
    {
        {
            std::unique_lock lock(m_mutex);
            if (++m_nWrites >= m_nHoldAt && !m_bOpen) {
                m_bHeld = true;
                m_changed.notify_all();
                if (!m_changed.wait_for(lock, kGateDeadline, [this] { return m_bOpen; }))
                    m_bGaveUp = true;
            }
        }
        return m_pInner->WriteByte(handle, value);
    }
    bool CloseDevice(PortHandle handle) override { return m_pInner->CloseDevice(handle); }
    std::uint32_t LastError() const override { return m_pInner->LastError(); }
    void Sleep(std::uint32_t milliseconds) override { m_pInner->Sleep(milliseconds); }
    std::uint64_t NowMicros() override { return m_pInner->NowMicros(); }
    void SleepMicros(std::uint64_t micros) override { m_pInner->SleepMicros(micros); }

private:
    std::shared_ptr<CCommPort> m_pInner;
    const int m_nHoldAt;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_nWrites = 0;
    bool m_bHeld = false;
    bool m_bOpen = false;
    bool m_bGaveUp = false;
};

std::vector<DecodedSetLevel> SetLevels(const std::vector<FrameByte>& line)
{
    const FrameDecoding decoded = DecodeFrames(line);
    EXPECT_TRUE(decoded.Clean()) << ::testing::PrintToString(decoded.errors);
    std::vector<DecodedSetLevel> commands;
    for (const DecodedFrame& frame : decoded.frames)
        if (const auto command = DecodeSetLevel(frame, nullptr))
            commands.push_back(*command);
    return commands;
}

std::vector<std::uint8_t> Bytes(const std::vector<FrameByte>& line)
{
    std::vector<std::uint8_t> bytes;
    for (const FrameByte& byte : line)
        bytes.push_back(byte.value);
    return bytes;
}

// A console on a substitute window, its link on `backend`. Whatever a test leaves behind, the
// gate is opened and the worker waited for before the window closes, and the link gets a fresh
// recording port.
struct TransmitThreading : ::testing::Test {
    std::shared_ptr<CRecordingCommPort> recording = std::make_shared<CRecordingCommPort>();
    std::shared_ptr<CGatedCommPort> gate;
    CSerialLink link{recording};
    TransmitSnapshot snapshot;
    bool refuseThreads = false; // no thread to be had, as when the process is at its limit
    CTransmitWorker worker{link, snapshot, [this](std::function<void()> body) {
                               if (refuseThreads)
                                   throw std::system_error(std::make_error_code(
                                       std::errc::resource_unavailable_try_again));
                               return std::thread(std::move(body));
                           }};
    CConsoleDlg dlg{worker};
    CSubstituteWindow win{*FindDialogTemplate(IDD_CONSOLE)};

    void Start(std::shared_ptr<CCommPort> backend)
    {
        ASSERT_TRUE(link.UseBackend(std::move(backend)));
        win.Open(dlg);
    }
    // Value units; channels 1..count enabled at levels 10, 20, ...; marked for the next tick.
    void EnableChannels(int count)
    {
        win.Click(IDC_VALUE);
        for (int i = 0; i < count; ++i) {
            win.Type(kLevelIds.at(static_cast<std::size_t>(i)), std::to_string(10 * (i + 1)));
            win.Click(kEnaIds.at(static_cast<std::size_t>(i)));
        }
        win.Click(IDC_SET_ALL);
        ASSERT_EQ(dlg.m_bDirty, 1);
    }
    void Tick() { win.AdvanceClock(kTickMilliseconds); }
    int Count(Kind kind) const
    {
        int n = 0;
        for (const auto& e : recording->Events())
            n += e.kind == kind ? 1 : 0;
        return n;
    }

    ~TransmitThreading() override
    {
        if (gate)
            gate->Open();
        worker.WaitFor(kDeadline);
        win.Close();
    }
};

TEST_F(TransmitThreading, AThreadThatCannotBeStartedKeepsTheChangeForTheNextTick)
{
    ASSERT_NO_FATAL_FAILURE(Start(recording));
    ASSERT_NO_FATAL_FAILURE(EnableChannels(1));
    refuseThreads = true;
    Tick();
    EXPECT_EQ(dlg.m_bDirty, 1);
    EXPECT_EQ(Count(Kind::Open), 0);

    refuseThreads = false;
    Tick();
    ASSERT_TRUE(worker.WaitFor(kDeadline));
    EXPECT_EQ(SetLevels(recording->Written()), (std::vector<DecodedSetLevel>{{1, 10}}));
}

TEST_F(TransmitThreading, TickDuringARunningTransmissionStartsNothingAndKeepsTheChange)
{
    gate = std::make_shared<CGatedCommPort>(recording, 1);
    ASSERT_NO_FATAL_FAILURE(Start(gate));
    win.Click(IDC_VALUE);
    win.Type(IDC_LEVEL1, "100");
    win.Click(IDC_ENA1);
    win.Click(IDC_SET1);
    Tick();
    ASSERT_TRUE(gate->WaitUntilHeld(kDeadline)) << "the worker never reached its first write";
    ASSERT_TRUE(worker.Busy());
    EXPECT_EQ(dlg.m_bDirty, 0);

    win.Type(IDC_LEVEL1, "200");
    win.Click(IDC_SET1);
    ASSERT_EQ(dlg.m_bDirty, 1);
    Tick();
    EXPECT_EQ(dlg.m_bDirty, 1) << "the change made during the transmission was dropped";
    EXPECT_EQ(snapshot.nSlot[0], 100) << "the snapshot changed under the running worker";
    EXPECT_EQ(Count(Kind::Open), 1) << "a second transmission started";
    EXPECT_TRUE(worker.Busy());

    gate->Open();
    ASSERT_TRUE(worker.WaitFor(kDeadline));
    EXPECT_EQ(SetLevels(recording->Written()), (std::vector<DecodedSetLevel>{{1, 100}}));

    recording->ClearRecord();
    Tick();
    ASSERT_TRUE(worker.WaitFor(kDeadline));
    EXPECT_EQ(dlg.m_bDirty, 0);
    EXPECT_EQ(SetLevels(recording->Written()), (std::vector<DecodedSetLevel>{{1, 200}}))
        << "the next tick must send the newest state";
    EXPECT_FALSE(gate->GaveUp());
}

TEST_F(TransmitThreading, ClosingTheConsoleWaitsForTheTransmission)
{
    gate = std::make_shared<CGatedCommPort>(recording, 1);
    ASSERT_NO_FATAL_FAILURE(Start(gate));
    ASSERT_NO_FATAL_FAILURE(EnableChannels(2));
    Tick();
    ASSERT_TRUE(gate->WaitUntilHeld(kDeadline));

    std::mutex mutex;
    std::condition_variable changed;
    bool closing = false;
    std::atomic<bool> closed{false};
    std::thread closer([&] {
        {
            std::lock_guard lock(mutex);
            closing = true;
        }
        changed.notify_all();
        win.Close();
        closed.store(true);
    });
    {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, kDeadline, [&] { return closing; }));
    }
    // The worker is held at its first write: Close cannot have come back yet.
    EXPECT_FALSE(closed.load());
    gate->Open();
    closer.join();

    EXPECT_TRUE(closed.load());
    EXPECT_FALSE(worker.Busy());
    EXPECT_FALSE(link.IsOpen());
    EXPECT_EQ(recording->OpenHandles(), 0);
    // The transmission ran to its end before anything closed the port under it.
    EXPECT_EQ(SetLevels(recording->Written()), (std::vector<DecodedSetLevel>{{1, 10}, {2, 20}}));
    const auto events = recording->Events();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().kind, Kind::Close);
    EXPECT_EQ(Count(Kind::Close), 1);
    EXPECT_EQ(Count(Kind::Write), 2 * static_cast<int>(kFrameBytes));
    EXPECT_FALSE(gate->GaveUp());
}

TEST_F(TransmitThreading, DeviceVanishingMidTransmissionEndsTheWorkerAndClosesTheLink)
{
    CTempDir tree;
    CPseudoTerminal pty;
    ASSERT_TRUE(pty.IsOpen());
    // COM1 is the first adapter the port map finds: make the pty look like one.
    tree.Symlink(pty.SlavePath(), "dev/ttyUSB0");
    PosixPortOptions options;
    options.portMap = std::make_shared<CPortMap>(tree / "dev", tree / "sys", tree / "lock");
    // Hold the first byte of the second frame until the device is gone.
    gate = std::make_shared<CGatedCommPort>(std::make_shared<CPosixCommPort>(options),
                                            static_cast<int>(kFrameBytes) + 1);
    ASSERT_NO_FATAL_FAILURE(Start(gate));
    ASSERT_NO_FATAL_FAILURE(EnableChannels(kFaderCount));
    const int descriptors = OpenDescriptorCount();
    Tick();

    const std::vector<std::uint8_t> first = pty.Read(kFrameBytes, kDeadline);
    EXPECT_EQ(first, Bytes(BuildFrame(0xFF, 0x00, BuildSetLevelPayload(1, 10))));
    ASSERT_TRUE(gate->WaitUntilHeld(kDeadline));
    pty.CloseMaster();
    gate->Open();

    ASSERT_TRUE(worker.WaitFor(kDeadline)) << "the worker hangs on a vanished device";
    const TransmitReport report = worker.LastReport();
    EXPECT_TRUE(report.finished);
    EXPECT_EQ(report.openError, "");
    EXPECT_EQ(report.framesSent, 1);
    EXPECT_EQ(report.framesFailed, 1) << "the worker must stop at the first failed frame";
    EXPECT_EQ(report.errorCode, static_cast<std::uint32_t>(EIO));
    EXPECT_FALSE(link.IsOpen());
    // The slave is closed again and the master is gone.
    EXPECT_EQ(OpenDescriptorCount(), descriptors - 1);
    EXPECT_FALSE(gate->GaveUp());
}

struct OpenFailureRow {
    const char* name;
    std::function<void(CRecordingCommPort&)> inject;
    const char* const* text;
    std::uint32_t errorCode;
};

void PrintTo(const OpenFailureRow& row, std::ostream* out)
{
    *out << row.name;
}

struct TransmitOpenFailure : TransmitThreading, ::testing::WithParamInterface<OpenFailureRow> {};

TEST_P(TransmitOpenFailure, EndsTheWorkerWithTheLinkClosedAndReportsTheStep)
{
    ASSERT_NO_FATAL_FAILURE(Start(recording));
    GetParam().inject(*recording);
    ASSERT_NO_FATAL_FAILURE(EnableChannels(2));
    Tick();
    ASSERT_TRUE(worker.WaitFor(kDeadline));

    const TransmitReport report = worker.LastReport();
    EXPECT_TRUE(report.finished);
    EXPECT_EQ(report.openError, *GetParam().text);
    EXPECT_EQ(report.errorCode, GetParam().errorCode);
    EXPECT_EQ(report.framesSent, 0);
    EXPECT_FALSE(report.Succeeded());
    EXPECT_FALSE(link.IsOpen());
    EXPECT_EQ(recording->OpenHandles(), 0) << "a failed open kept its handle";
    EXPECT_TRUE(recording->Written().empty());
    EXPECT_EQ(dlg.m_bDirty, 0);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    TransmitThreading, TransmitOpenFailure,
    ::testing::Values(
        OpenFailureRow{"MissingDevice",
                       [](CRecordingCommPort& port) { port.RemoveDevice("COM1"); },
                       &kOpenErrorInvalidHandle, 2},
        OpenFailureRow{"OpenRefused", [](CRecordingCommPort& port) { port.FailOpen(5); },
                       &kOpenErrorInvalidHandle, 5},
        OpenFailureRow{"SettingsUnreadable",
                       [](CRecordingCommPort& port) { port.FailGetState(kSomeError); },
                       &kOpenErrorGetState, kSomeError},
        OpenFailureRow{"SettingsRefused",
                       [](CRecordingCommPort& port) { port.FailSetState(87); },
                       &kOpenErrorSetState, 87}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST_F(TransmitThreading, MissingSerialDeviceOnTheRealBackendEndsTheWorker)
{
    CTempDir tree;
    tree.MakeDirectory("dev");
    PosixPortOptions options;
    options.portMap = std::make_shared<CPortMap>(tree / "dev", tree / "sys", tree / "lock");
    const int descriptors = OpenDescriptorCount();
    ASSERT_NO_FATAL_FAILURE(Start(std::make_shared<CPosixCommPort>(options)));
    ASSERT_NO_FATAL_FAILURE(EnableChannels(1));
    Tick();
    ASSERT_TRUE(worker.WaitFor(kDeadline));

    const TransmitReport report = worker.LastReport();
    EXPECT_EQ(report.openError, kOpenErrorInvalidHandle);
    EXPECT_EQ(report.errorCode, static_cast<std::uint32_t>(ENOENT));
    EXPECT_FALSE(link.IsOpen());
    EXPECT_EQ(OpenDescriptorCount(), descriptors);
}

struct WriteFailureRow {
    const char* name;
    int failingWrite; // 1-based over the transmission
    int framesSent;
};

void PrintTo(const WriteFailureRow& row, std::ostream* out)
{
    *out << row.name;
}

struct TransmitWriteFailure : TransmitThreading, ::testing::WithParamInterface<WriteFailureRow> {};

TEST_P(TransmitWriteFailure, StopsTheTransmissionAndClosesTheLink)
{
    ASSERT_NO_FATAL_FAILURE(Start(recording));
    recording->FailWrite(kSomeError, GetParam().failingWrite);
    ASSERT_NO_FATAL_FAILURE(EnableChannels(3));
    Tick();
    ASSERT_TRUE(worker.WaitFor(kDeadline));

    const TransmitReport report = worker.LastReport();
    EXPECT_EQ(report.openError, "");
    EXPECT_EQ(report.framesSent, GetParam().framesSent);
    EXPECT_EQ(report.framesFailed, 1);
    EXPECT_EQ(report.errorCode, kSomeError);
    EXPECT_FALSE(link.IsOpen());
    EXPECT_EQ(recording->OpenHandles(), 0);
    // Nothing more is tried after the failed byte: the port is closed next, once the bytes
    // before it have left the line.
    auto events = recording->Events();
    EXPECT_EQ(Count(Kind::Write), GetParam().failingWrite);
    std::erase_if(events, [](const auto& e) { return e.kind == Kind::Wait; });
    ASSERT_GE(events.size(), 2U);
    EXPECT_EQ(events[events.size() - 2].kind, Kind::Write);
    EXPECT_FALSE(events[events.size() - 2].ok);
    EXPECT_EQ(events.back().kind, Kind::Close);
    // Whole frames for the ones sent, then the bytes of the failed frame before its bad byte.
    const FrameDecoding decoded = DecodeFrames(recording->Written());
    EXPECT_EQ(decoded.frames.size(), static_cast<std::size_t>(GetParam().framesSent));
    const bool partial = (GetParam().failingWrite - 1) % static_cast<int>(kFrameBytes) != 0;
    EXPECT_EQ(decoded.errors.size(), partial ? 1U : 0U) << ::testing::PrintToString(decoded.errors);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    TransmitThreading, TransmitWriteFailure,
    ::testing::Values(WriteFailureRow{"FirstFramesPayload", 3, 0},
                      WriteFailureRow{"SecondFramesAddress", 7, 1},
                      WriteFailureRow{"ThirdFramesChecksum", 18, 2}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

} // namespace
