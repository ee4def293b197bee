#include "link/SerialLink.h"
#include "testing/RecordingCommPort.h"
#include "tests/FrameDecoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace {

using Kind = CRecordingCommPort::EventKind;
constexpr CommParity M = CommParity::Mark;
constexpr CommParity S = CommParity::Space;
constexpr std::uint32_t kSomeError = 31;

struct SerialLinkTest : ::testing::Test {
    std::shared_ptr<CRecordingCommPort> port = std::make_shared<CRecordingCommPort>();
    CSerialLink link{port};

    void OpenFramed()
    {
        ASSERT_EQ(link.Open(0, kDefaultBaudRate, 1), "");
        link.SetAddress(0xFF);
        link.SetHeaderByte(0x00);
        port->ClearRecord();
    }

    // The calls that reached the port, as short tokens: W<byte>/<parity>, D, P<ms>, S<parity>.
    std::vector<std::string> Trace() const
    {
        std::vector<std::string> out;
        for (const auto& e : port->Events()) {
            switch (e.kind) {
            case Kind::Write: {
                char text[16];
                std::snprintf(text, sizeof text, "W%02X/%c", e.value, e.parity == M ? 'M' : 'S');
                out.emplace_back(text);
                break;
            }
            case Kind::Drain:
                out.emplace_back("D");
                break;
            case Kind::Sleep:
                out.push_back("P" + std::to_string(e.milliseconds));
                break;
            case Kind::SetState:
                out.emplace_back(e.parity == M ? "SM" : "SS");
                break;
            default:
                out.emplace_back("?");
                break;
            }
        }
        return out;
    }
};

TEST_F(SerialLinkTest, OpenAppliesTheCharacterFormatAndKeepsEverythingElse)
{
    ASSERT_EQ(link.Open(2, kDefaultBaudRate, 1), "");
    EXPECT_TRUE(link.IsOpen());
    EXPECT_EQ(link.m_nPort, 2);
    EXPECT_EQ(link.m_wBaudRate, 9600);
    EXPECT_EQ(link.m_wNineBit, 1);
    EXPECT_EQ(link.m_bNineBitMode, 1);
    EXPECT_EQ(link.m_dcb.BaudRate, 9600U);
    EXPECT_EQ(link.m_dcb.ByteSize, 8);
    EXPECT_EQ(link.m_dcb.StopBits, ONESTOPBIT);
    EXPECT_EQ(link.m_dcb.Parity, CommParity::Mark);
    EXPECT_EQ(link.m_dcb.native, CRecordingCommPort::InitialState().native);

    const auto events = port->Events();
    ASSERT_EQ(events.size(), 4U);
    EXPECT_EQ(events[0].device, "COM3");
    EXPECT_EQ(events[1].kind, Kind::Flush);
    EXPECT_EQ(events[2].kind, Kind::GetState);
    EXPECT_EQ(events[3].kind, Kind::SetState);
}

TEST_F(SerialLinkTest, OpenUsesOnlyTheLow16BitsOfTheRate)
{
    ASSERT_EQ(link.Open(0, 115200, 1), "");
    EXPECT_EQ(link.m_wBaudRate, 49664);
    EXPECT_EQ(port->Events().back().baudRate, 49664U);
}

TEST_F(SerialLinkTest, OpenOfAnUnsupportedPortMakesNoCallAndChangesNothing)
{
    link.m_dwLastError = 7;
    EXPECT_EQ(link.Open(4, kDefaultBaudRate, 1), kOpenErrorUnsupportedPort);
    EXPECT_EQ(link.m_eFailedStep, LinkStep::PortNumber);
    EXPECT_TRUE(port->Events().empty());
    EXPECT_FALSE(link.IsOpen());
    EXPECT_EQ(link.m_dwLastError, 7U);
}

struct OpenFailure {
    const char* name;
    std::function<void(CRecordingCommPort&)> inject;
    const char* text;
    LinkStep step;
};

class SerialLinkOpenFailureTest : public SerialLinkTest,
                                  public ::testing::WithParamInterface<OpenFailure> {};

TEST_P(SerialLinkOpenFailureTest, ReturnsItsTextRecordsTheErrorAndReleasesTheHandle)
{
    GetParam().inject(*port);
    EXPECT_EQ(link.Open(0, kDefaultBaudRate, 1), GetParam().text);
    EXPECT_EQ(link.m_eFailedStep, GetParam().step);
    EXPECT_EQ(link.m_dwLastError, kSomeError);
    EXPECT_FALSE(link.IsOpen());
    EXPECT_EQ(port->OpenHandles(), 0);

    port->ClearRecord();
    EXPECT_FALSE(link.Send(BuildSetLevelPayload(1, 1)));
    link.Close();
    EXPECT_TRUE(port->Events().empty()) << "a failed open leaves nothing to send or close";
}

INSTANTIATE_TEST_SUITE_P(
    SerialLink, SerialLinkOpenFailureTest,
    ::testing::Values(OpenFailure{"InvalidHandle", [](auto& p) { p.FailOpen(kSomeError); },
                                  kOpenErrorInvalidHandle, LinkStep::Open},
                      OpenFailure{"MissingDevice",
                                  [](auto& p) {
                                      p.RemoveDevice("COM1");
                                      p.FailOpen(kSomeError);
                                  },
                                  kOpenErrorInvalidHandle, LinkStep::Open},
                      OpenFailure{"GetState", [](auto& p) { p.FailGetState(kSomeError); },
                                  kOpenErrorGetState, LinkStep::ReadSettings},
                      OpenFailure{"SetState", [](auto& p) { p.FailSetState(kSomeError); },
                                  kOpenErrorSetState, LinkStep::ApplySettings}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SerialLinkTest, OpenFlushesBeforeItTestsTheHandle)
{
    port->FailOpen(kSomeError);
    link.Open(0, kDefaultBaudRate, 1);
    const auto events = port->Events();
    ASSERT_EQ(events.size(), 2U);
    EXPECT_EQ(events[1].kind, Kind::Flush);
}

TEST_F(SerialLinkTest, OpenOnAnOpenLinkClosesTheOldPortFirst)
{
    ASSERT_EQ(link.Open(0, kDefaultBaudRate, 1), "");
    ASSERT_EQ(link.Open(0, kDefaultBaudRate, 1), "") << "the port we hold must not block us";
    EXPECT_EQ(port->OpenHandles(), 1);
    EXPECT_EQ(port->Events()[4].kind, Kind::Close);
}

TEST_F(SerialLinkTest, CloseTwiceIsHarmlessAndTheSecondRecordsNothing)
{
    ASSERT_EQ(link.Open(0, kDefaultBaudRate, 1), "");
    link.Close();
    EXPECT_EQ(link.m_bLastResult, 1);
    link.m_bLastResult = 42;
    link.Close();
    EXPECT_EQ(link.m_bLastResult, 42);
    EXPECT_EQ(port->OpenHandles(), 0);
}

TEST_F(SerialLinkTest, FailedCloseStillClosesTheLink)
{
    ASSERT_EQ(link.Open(0, kDefaultBaudRate, 1), "");
    port->FailClose(kSomeError);
    link.Close();
    EXPECT_FALSE(link.IsOpen());
    EXPECT_EQ(link.m_bLastResult, 0);
    EXPECT_EQ(link.m_dwLastError, kSomeError);
}

TEST_F(SerialLinkTest, SetAddressForcesBitSevenAndSurvivesReopening)
{
    link.SetAddress(0x05);
    EXPECT_EQ(link.m_byAddress, 0x85);
    link.SetHeaderByte(0x21);
    ASSERT_EQ(link.Open(0, kDefaultBaudRate, 1), "");
    link.Close();
    ASSERT_EQ(link.Open(1, kDefaultBaudRate, 1), "");
    EXPECT_EQ(link.m_byAddress, 0x85);
    EXPECT_EQ(link.m_byHeader, 0x21);
    link.SetAddress(0xFF);
    EXPECT_EQ(link.m_byAddress, 0xFF);
}

TEST_F(SerialLinkTest, OneFrameSwitchesParityTwiceAfterDrainAndPause)
{
    OpenFramed();
    ASSERT_TRUE(link.Send(BuildSetLevelPayload(1, 128)));
    EXPECT_EQ(Trace(), (std::vector<std::string>{"WFF/M", "D", "P2", "SS", "W00/S", "W07/S",
                                                 "W00/S", "W80/S", "D", "P2", "SM", "W43/M"}));
}

TEST_F(SerialLinkTest, SecondFrameNeedsNoChangeBeforeItsAddressByte)
{
    OpenFramed();
    ASSERT_TRUE(link.Send(BuildSetLevelPayload(1, 128)));
    ASSERT_TRUE(link.Send(BuildSetLevelPayload(1, 128)));
    const auto trace = Trace();
    ASSERT_EQ(trace.size(), 24U);
    EXPECT_EQ(trace[11], "W43/M");
    EXPECT_EQ(trace[12], "WFF/M");
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "P2"), 4);
}

TEST_F(SerialLinkTest, EmptyPayloadSendsAddressHeaderAndChecksum)
{
    OpenFramed();
    link.SetAddress(0x05);
    ASSERT_TRUE(link.Send(ByteString()));
    EXPECT_EQ(port->Written(), (std::vector<FrameByte>{{0x85, M}, {0x00, S}, {0x42, M}}));
}

TEST_F(SerialLinkTest, PlainModeSendsOnlyThePayloadWithoutParityChanges)
{
    ASSERT_EQ(link.Open(0, kDefaultBaudRate, 0), "");
    EXPECT_EQ(link.m_dcb.Parity, CommParity::None);
    EXPECT_EQ(link.m_bNineBitMode, 0);
    port->ClearRecord();
    ASSERT_TRUE(link.Send(BuildSetLevelPayload(300, 255)));
    for (const auto& e : port->Events()) {
        EXPECT_EQ(e.kind, Kind::Write);
        EXPECT_EQ(e.parity, CommParity::None);
    }
    EXPECT_EQ(port->Written(),
              (std::vector<FrameByte>{
                  {0x1D, CommParity::None}, {0x2B, CommParity::None}, {0xFF, CommParity::None}}));
}

TEST_F(SerialLinkTest, ClosedLinkSendsAndWritesNothing)
{
    EXPECT_FALSE(link.Send(BuildSetLevelPayload(1, 1)));
    EXPECT_FALSE(link.WriteByte(0x01, CommParity::Mark));
    EXPECT_TRUE(port->Events().empty());
}

TEST_F(SerialLinkTest, TwoBytesWithTheSameParityReconfigureOnce)
{
    OpenFramed();
    ASSERT_TRUE(link.WriteByte(0x01, CommParity::Space));
    ASSERT_TRUE(link.WriteByte(0x02, CommParity::Space));
    EXPECT_EQ(Trace(), (std::vector<std::string>{"D", "P2", "SS", "W01/S", "W02/S"}));
}

TEST_F(SerialLinkTest, FailedWriteIsReportedAndStopsTheFrame)
{
    OpenFramed();
    port->FailWrite(kSomeError, 3); // the first payload byte
    EXPECT_FALSE(link.Send(BuildSetLevelPayload(1, 128)));
    EXPECT_EQ(link.m_bLastResult, 0);
    EXPECT_EQ(link.m_eFailedStep, LinkStep::Write);
    EXPECT_EQ(link.m_dwLastError, kSomeError);
    EXPECT_EQ(port->Written(), (std::vector<FrameByte>{{0xFF, M}, {0x00, S}}));
    EXPECT_TRUE(link.IsOpen());
}

TEST_F(SerialLinkTest, FailedParityChangeNeverSendsTheByteAndIsRetried)
{
    OpenFramed();
    port->FailSetState(kSomeError, 2); // the first change after the open's own
    EXPECT_FALSE(link.WriteByte(0x00, CommParity::Space));
    EXPECT_EQ(link.m_bLastResult, 0);
    EXPECT_EQ(link.m_eFailedStep, LinkStep::ChangeParity);
    EXPECT_EQ(link.m_dwLastError, kSomeError);
    EXPECT_EQ(link.m_dcb.Parity, CommParity::Mark) << "the port still has mark parity";
    EXPECT_TRUE(port->Written().empty());

    port->ClearFailures();
    port->ClearRecord();
    EXPECT_TRUE(link.WriteByte(0x00, CommParity::Space));
    EXPECT_EQ(Trace(), (std::vector<std::string>{"D", "P2", "SS", "W00/S"}));
}

TEST_F(SerialLinkTest, OutputThatCannotDrainFailsTheByteBeforeTheParityChanges)
{
    OpenFramed();
    port->FailDrain(kSomeError);
    EXPECT_FALSE(link.Send(BuildSetLevelPayload(1, 128)));
    EXPECT_EQ(link.m_eFailedStep, LinkStep::Drain);
    EXPECT_EQ(link.m_dwLastError, kSomeError);
    EXPECT_EQ(Trace(), (std::vector<std::string>{"WFF/M", "D"}));
}

// The line model: bytes leave from a FIFO at the baud rate. A UART's drain waits for them; an
// adapter's reports the output drained at once, and only the link's own clock keeps a parity
// change off bytes still on the wire.
using Drain = CRecordingCommPort::DrainMode;

struct FrameRow {
    std::uint32_t channel;
    std::uint8_t level;
    std::vector<FrameByte> line;
};

// Written out by hand from the device's frame format, not from BuildFrame.
const FrameRow kFrameRows[] = {
    {1, 128, {{0xFF, M}, {0x00, S}, {0x07, S}, {0x00, S}, {0x80, S}, {0x43, M}}},
    {300, 255, {{0xFF, M}, {0x00, S}, {0x1D, S}, {0x2B, S}, {0xFF, S}, {0x23, M}}},
    {256, 1, {{0xFF, M}, {0x00, S}, {0x07, S}, {0xFF, S}, {0x01, S}, {0x03, M}}},
    {257, 100, {{0xFF, M}, {0x00, S}, {0x1D, S}, {0x00, S}, {0x64, S}, {0x40, M}}},
    {512, 255, {{0xFF, M}, {0x00, S}, {0x1D, S}, {0xFF, S}, {0xFF, S}, {0x0D, M}}},
};

struct SerialLinkLineTest : SerialLinkTest,
                            ::testing::WithParamInterface<std::tuple<Drain, FrameRow>> {};

constexpr std::int64_t kPauseMicros = 2000;

TEST_P(SerialLinkLineTest, EveryFrameLeavesExactWithTheLineQuietForThePauseBeforeEachChange)
{
    const auto& [drain, row] = GetParam();
    port->SetDrainMode(drain);
    OpenFramed();
    ASSERT_TRUE(link.Send(BuildSetLevelPayload(row.channel, row.level)));
    ASSERT_TRUE(link.Send(BuildSetLevelPayload(row.channel, row.level)));
    link.Close();

    std::vector<FrameByte> twice = row.line;
    twice.insert(twice.end(), row.line.begin(), row.line.end());
    EXPECT_EQ(port->Written(), twice) << DescribeBytes(port->Written());
    // Two changes a frame, none between the first checksum and the second address byte. Each
    // comes exactly the pause after the last stop bit: a UART's drain waits for it, and on an
    // early drain the line clock does, in the same wait as the pause.
    EXPECT_EQ(port->QuietBeforeParityChanges(), std::vector<std::int64_t>(4, kPauseMicros));
}

INSTANTIATE_TEST_SUITE_P(SerialLink, SerialLinkLineTest,
                         ::testing::Combine(::testing::Values(Drain::Exact, Drain::Early),
                                            ::testing::ValuesIn(kFrameRows)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param) == Drain::Exact
                                                    ? "Uart"
                                                    : "EarlyDrain") +
                                    "Channel" + std::to_string(std::get<1>(info.param).channel);
                         });

struct CharacterTimeRow {
    std::uint32_t baud;
    std::uint8_t dataBits;
    CommParity parity;
    std::uint8_t stopBits;
    std::uint64_t micros;
};

class CharacterTimeTest : public ::testing::TestWithParam<CharacterTimeRow> {};

TEST_P(CharacterTimeTest, FollowsRateAndCharacterSize)
{
    const auto& row = GetParam();
    CommState state;
    state.BaudRate = row.baud;
    state.ByteSize = row.dataBits;
    state.Parity = row.parity;
    state.StopBits = row.stopBits;
    EXPECT_EQ(CharacterMicros(state), row.micros);
}

// 1e6 / baud per bit, rounded up: 11 bits at 9600 are 1145.8 us.
INSTANTIATE_TEST_SUITE_P(SerialLink, CharacterTimeTest,
                         ::testing::Values(CharacterTimeRow{9600, 8, M, ONESTOPBIT, 1146},
                                           CharacterTimeRow{19200, 8, S, ONESTOPBIT, 573},
                                           CharacterTimeRow{9600, 7, M, ONESTOPBIT, 1042},
                                           CharacterTimeRow{9600, 8, CommParity::None, ONESTOPBIT,
                                                            1042},
                                           CharacterTimeRow{9600, 8, M, TWOSTOPBITS, 1250},
                                           CharacterTimeRow{9600, 8, M, ONE5STOPBITS, 1198},
                                           CharacterTimeRow{0, 8, M, ONESTOPBIT, 0}));

struct LineClockRow {
    std::uint32_t baud;
    std::uint16_t nineBit;
    std::uint64_t waitMicros; // one character: what the link must wait after the drain
};

class SerialLinkLineClockTest : public SerialLinkTest,
                                public ::testing::WithParamInterface<LineClockRow> {};

TEST_P(SerialLinkLineClockTest, WaitsOneCharacterAfterADrainThatReturnedEarly)
{
    port->SetDrainMode(Drain::Early);
    ASSERT_EQ(link.Open(0, GetParam().baud, GetParam().nineBit), "");
    port->ClearRecord();
    ASSERT_TRUE(link.WriteByte(0xFF, CommParity::Mark));
    link.Close();

    std::vector<std::uint64_t> waits;
    for (const auto& e : port->Events())
        if (e.kind == Kind::Wait)
            waits.push_back(e.micros);
    EXPECT_EQ(waits, std::vector<std::uint64_t>{GetParam().waitMicros});
    EXPECT_EQ(port->Written().size(), 1U) << "the close must not cut the byte off";
}

INSTANTIATE_TEST_SUITE_P(SerialLink, SerialLinkLineClockTest,
                         ::testing::Values(LineClockRow{9600, 1, 1146}, LineClockRow{19200, 1, 573},
                                           LineClockRow{9600, 0, 1042}));

TEST_F(SerialLinkTest, TheLineClockWaitsNoLongerThanItsDeadline)
{
    // At 50 baud a character with parity takes 11 x 20 ms = 220 ms. Three address bytes and
    // then three payload bytes, all written at once on an early drain: the line clock runs
    // 660 ms ahead at the first change and 1320 ms at the close, past the 500 ms bound.
    port->SetDrainMode(Drain::Early);
    ASSERT_EQ(link.Open(0, 50, 1), "");
    port->ClearRecord();
    for (const std::uint8_t value : {0x01, 0x02, 0x03})
        ASSERT_TRUE(link.WriteByte(value, CommParity::Mark));
    for (const std::uint8_t value : {0x04, 0x05, 0x06})
        ASSERT_TRUE(link.WriteByte(value, CommParity::Space));
    link.Close();

    std::vector<std::uint64_t> waits;
    for (const auto& e : port->Events())
        if (e.kind == Kind::Wait)
            waits.push_back(e.micros);
    EXPECT_EQ(waits, (std::vector<std::uint64_t>{500'000 + 2'000, 500'000}));
}

TEST_F(SerialLinkTest, OpenOfAnUnsupportedPortLeavesAnOpenPortOpen)
{
    OpenFramed();
    EXPECT_EQ(link.Open(4, kDefaultBaudRate, 1), kOpenErrorUnsupportedPort);
    EXPECT_TRUE(link.IsOpen());
    EXPECT_TRUE(port->Events().empty()) << "not even a close";
}

} // namespace
