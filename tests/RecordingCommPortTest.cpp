#include "testing/RecordingCommPort.h"

#include "CommPortContract.h"
#include "PlatformErrors.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

namespace {

using Drain = CRecordingCommPort::DrainMode;
using port_contract::LineSettings;
constexpr CommParity M = CommParity::Mark;
constexpr CommParity S = CommParity::Space;

// The recording port as a backend of the seam: the box reads what reaches the far end of its
// line model, as the bytes arrive on the port's clock.
template <Drain kDrain> class RecordingDriver {
public:
    RecordingDriver()
    {
        m_port.SetDrainMode(kDrain);
        m_port.SetDeadlines(port_contract::kWriteDeadline, port_contract::kDrainDeadline);
    }
    std::string Missing() const { return {}; }
    CCommPort& Port() { return m_port; }
    std::string Name() const { return "COM1"; }
    std::string WhyASecondOpenPasses() const { return {}; }
    // A fresh port holds 19200 baud, 7 data bits, even parity and two stop bits; the model has
    // no echo, line editing or flow control to leave on.
    void LeaveItAsAPreviousUserWould() {}
    LineSettings Settings(PortHandle handle)
    {
        CommState state;
        EXPECT_TRUE(m_port.GetState(handle, state));
        LineSettings settings;
        settings.baudRate = state.BaudRate;
        settings.dataBits = state.ByteSize;
        settings.stopBits = state.StopBits;
        return settings;
    }
    std::optional<CommParity> ParityOfLastByte(PortHandle)
    {
        const auto wire = m_port.Wire();
        if (wire.empty())
            return std::nullopt;
        return wire.back().parity;
    }
    void BoxSends(const std::vector<std::uint8_t>& bytes) { m_port.Receive(bytes); }
    std::size_t Unread(PortHandle) const { return m_port.Unread(); }
    std::vector<std::uint8_t> BoxReceives(std::size_t count, std::chrono::milliseconds deadline)
    {
        const auto wire = m_port.Wire();
        const std::uint64_t until = m_port.NowMicros() + port_contract::Micros(deadline);
        std::vector<std::uint8_t> bytes;
        std::uint64_t arrived = 0;
        for (; m_nextByte < wire.size() && bytes.size() < count; ++m_nextByte) {
            const auto& byte = wire[m_nextByte];
            if (byte.cut || byte.endMicros > until)
                break;
            if (!byte.corrupted)
                bytes.push_back(byte.value);
            arrived = byte.endMicros;
        }
        // The box has listened until the last of them arrived.
        if (const std::uint64_t now = m_port.NowMicros(); arrived > now)
            m_port.SleepMicros(arrived - now);
        return bytes;
    }
    void HoldLine(PortHandle) { m_port.HoldLine(true); }

private:
    CRecordingCommPort m_port{RecordingPortErrors{.noDevice = SystemError::kNoDevice,
                                                  .inUse = SystemError::kBusy,
                                                  .timedOut = SystemError::kTimedOut}};
    std::size_t m_nextByte = 0;
};

using RecordingDrivers =
    ::testing::Types<RecordingDriver<Drain::Exact>, RecordingDriver<Drain::Early>>;

struct DrainName {
    template <class Driver> static std::string GetName(int)
    {
        return std::is_same_v<Driver, RecordingDriver<Drain::Exact>> ? "Uart" : "EarlyDrain";
    }
};
} // namespace

namespace port_contract {
INSTANTIATE_TYPED_TEST_SUITE_P(Recording, CommPortContract, RecordingDrivers, DrainName);
} // namespace port_contract

namespace {

// The line model against timings worked out by hand: at 9600 baud with 8 data bits, a parity
// bit and one stop bit a character takes 11 / 9600 s, 1146 us rounded up. Three bytes written
// at 0 with mark parity occupy the line 0..1146, 1146..2292 and 2292..3438.
constexpr std::uint64_t kCharacter = 1146;

struct RecordingLine : ::testing::Test {
    CRecordingCommPort port;
    PortHandle handle = INVALID_PORT_HANDLE;

    void SetUp() override
    {
        handle = port.OpenDevice("COM1");
        ASSERT_NE(handle, INVALID_PORT_HANDLE);
        ASSERT_TRUE(SetParity(M));
        for (const std::uint8_t value : {0x01, 0x02, 0x03})
            ASSERT_TRUE(port.WriteByte(handle, value));
    }
    bool SetParity(CommParity parity)
    {
        CommState state;
        state.BaudRate = 9600;
        state.Parity = parity;
        return port.SetState(handle, state);
    }
};

struct LineEventRow {
    const char* name;
    std::uint64_t atMicros; // when the settings change or the close comes
    bool close;             // else the parity changes to space
    std::vector<FrameByte> intact;
    std::vector<std::int64_t> quiet; // QuietBeforeParityChanges
};

struct RecordingLineEvent : RecordingLine, ::testing::WithParamInterface<LineEventRow> {};

TEST_P(RecordingLineEvent, GarblesTheByteOnTheWireAndActsOnTheRestAsTimed)
{
    const LineEventRow& row = GetParam();
    port.SleepMicros(row.atMicros);
    if (row.close)
        ASSERT_TRUE(port.CloseDevice(handle));
    else
        ASSERT_TRUE(SetParity(S));
    EXPECT_EQ(port.Written(), row.intact);
    EXPECT_EQ(port.QuietBeforeParityChanges(), row.quiet);
}

INSTANTIATE_TEST_SUITE_P(
    RecordingCommPort, RecordingLineEvent,
    ::testing::Values(
        // The second byte is on the wire (1146..2292): garbled; the third leaves after it.
        LineEventRow{"ChangeUnderTheSecondByte", 1500, false, {{1, M}, {3, S}}, {1500 - 2292}},
        // The first byte has just left, the second has not begun: both wait for the change.
        LineEventRow{"ChangeBetweenBytes", 1146, false, {{1, M}, {2, S}, {3, S}}, {0}},
        LineEventRow{"ChangeOnAQuietLine", 4000, false, {{1, M}, {2, M}, {3, M}}, {4000 - 3438}},
        // The close discards the byte on the wire and the one behind it.
        LineEventRow{"CloseUnderTheSecondByte", 1500, true, {{1, M}}, {}},
        LineEventRow{"CloseOnAQuietLine", 3438, true, {{1, M}, {2, M}, {3, M}}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RecordingLine, AChangeUnderAByteTimesTheBytesBehindItAnew)
{
    port.SleepMicros(1500);
    ASSERT_TRUE(SetParity(S));
    const auto wire = port.Wire();
    ASSERT_EQ(wire.size(), 3U);
    EXPECT_FALSE(wire[0].corrupted);
    EXPECT_TRUE(wire[1].corrupted);
    EXPECT_EQ(wire[2].startMicros, 2 * kCharacter);
    EXPECT_EQ(wire[2].endMicros, 3 * kCharacter);
    EXPECT_EQ(wire[2].parity, S);
}

TEST_F(RecordingLine, AHeldLineKeepsItsBytesUntilReleased)
{
    port.SetDeadlines(std::chrono::milliseconds(100), std::chrono::milliseconds(40));
    port.SleepMicros(1500); // the second byte is on the wire and finishes; the third waits
    port.HoldLine(true);
    for (std::size_t i = 1; i < CRecordingCommPort::kHeldQueueBytes; ++i)
        ASSERT_TRUE(port.WriteByte(handle, 0x10));
    EXPECT_FALSE(port.WriteByte(handle, 0x11)) << "the FIFO holds 16 bytes";
    EXPECT_EQ(port.NowMicros(), 1500U + 100'000) << "the write gave up at its deadline";
    EXPECT_FALSE(port.DrainOutput(handle));
    EXPECT_EQ(port.NowMicros(), 101'500U + 40'000) << "the drain gave up at its deadline";

    port.HoldLine(false);
    const auto wire = port.Wire();
    ASSERT_EQ(wire.size(), 2 + CRecordingCommPort::kHeldQueueBytes);
    EXPECT_EQ(wire[1].endMicros, 2 * kCharacter);
    EXPECT_EQ(wire[2].startMicros, 141'500U);
    EXPECT_EQ(wire.back().endMicros, 141'500U + 16 * kCharacter);
    EXPECT_TRUE(port.DrainOutput(handle));
    EXPECT_EQ(port.NowMicros(), 141'500U + 16 * kCharacter);
}

TEST_F(RecordingLine, AnExactDrainOfASlowLineGivesUpAtItsDeadline)
{
    // At 50 baud a character takes 220 ms; two of them outlast a 300 ms drain.
    port.SetDeadlines(std::chrono::milliseconds(100), std::chrono::milliseconds(300));
    port.SleepMicros(3 * kCharacter);
    CommState state;
    state.BaudRate = 50;
    state.Parity = M;
    ASSERT_TRUE(port.SetState(handle, state));
    ASSERT_TRUE(port.WriteByte(handle, 0x04));
    ASSERT_TRUE(port.WriteByte(handle, 0x05));
    EXPECT_FALSE(port.DrainOutput(handle));
    EXPECT_EQ(port.NowMicros(), 3 * kCharacter + 300'000);
    EXPECT_EQ(port.LastError(), RecordingPortErrors{}.timedOut);
}

} // namespace
