// The transmission worker against the window thread: a tick that meets a running worker, a
// console closed under a transmission, and every way a port can fail to open or to take a
// byte. The worker is held inside a write by a gate the test opens, so every interleaving here
// is forced, never waited out.
#include "TransmitThreadingFixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {
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

struct OpenFailureRow {
    const char* name;
    std::function<void(CRecordingCommPort&)> inject;
    const char* const* text;
    LinkStep step;
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
    EXPECT_EQ(report.failedStep, GetParam().step);
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
                       &kOpenErrorInvalidHandle, LinkStep::Open, 2},
        OpenFailureRow{"OpenRefused", [](CRecordingCommPort& port) { port.FailOpen(5); },
                       &kOpenErrorInvalidHandle, LinkStep::Open, 5},
        OpenFailureRow{"SettingsUnreadable",
                       [](CRecordingCommPort& port) { port.FailGetState(kSomeError); },
                       &kOpenErrorGetState, LinkStep::ReadSettings, kSomeError},
        OpenFailureRow{"SettingsRefused",
                       [](CRecordingCommPort& port) { port.FailSetState(87); },
                       &kOpenErrorSetState, LinkStep::ApplySettings, 87}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

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
    EXPECT_EQ(report.failedStep, LinkStep::Write);
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

TEST(TransmitReport, AnySignOfFailureIsNoSuccess)
{
    TransmitReport delivered;
    delivered.finished = true;
    EXPECT_TRUE(delivered.Succeeded());
    EXPECT_FALSE(TransmitReport{}.Succeeded()) << "nothing finished yet";
    TransmitReport frameFailed = delivered;
    frameFailed.framesFailed = 1; // even with no step recorded
    EXPECT_FALSE(frameFailed.Succeeded());
    TransmitReport notOpened = delivered;
    notOpened.openError = kOpenErrorInvalidHandle;
    EXPECT_FALSE(notOpened.Succeeded());
    TransmitReport stepFailed = delivered;
    stepFailed.failedStep = LinkStep::Write;
    EXPECT_FALSE(stepFailed.Succeeded());
}
