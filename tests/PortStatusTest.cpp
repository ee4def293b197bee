#include "ConsoleFixture.h"
#include "PlatformErrors.h"

#include "console/PortStatus.h"
#include "res/Templates.h"

#include <gmock/gmock.h>

namespace {

using ::testing::EndsWith;
using ::testing::HasSubstr;

SerialPortInfo Port(std::string path, std::string description, bool present = true,
                    std::optional<LockHolder> heldBy = std::nullopt)
{
    SerialPortInfo port;
    port.path = std::move(path);
    port.description = std::move(description);
    port.present = present;
    port.heldBy = std::move(heldBy);
    return port;
}

// COM1 an adapter, COM2 nothing, COM3 an adapter that was unplugged, COM4 locked by a program.
const ComPortMap kPorts{
    Port("/run/test/ttyUSB0", "USB serial adapter"), std::nullopt,
    Port("/run/test/ttyUSB1", "USB serial adapter (FT232R USB UART)", false),
    Port("/run/test/ttyACM0", "USB modem (ACM)", true, LockHolder{4321, "minicom"})};

TransmitReport Finished(std::int32_t port, std::string openError = {}, std::uint32_t code = 0)
{
    TransmitReport r;
    r.finished = true;
    r.portIndex = port;
    r.openError = std::move(openError);
    r.errorCode = code;
    r.framesSent = r.openError.empty() ? 8 : 0;
    return r;
}

TEST(PortStatus, BeforeAnyTransmissionThePortIsPlainAndTheTipsNameTheDevices)
{
    const PortStatusTexts texts = DescribePortStatus(TransmitReport{}, kPorts);
    EXPECT_EQ(texts.caption, "Port");
    EXPECT_THAT(texts.comTips[0], HasSubstr("COM1 is /run/test/ttyUSB0 (USB serial adapter)"));
    EXPECT_THAT(texts.comTips[1], HasSubstr("COM2: no serial port stands behind it"));
    EXPECT_THAT(texts.comTips[2], HasSubstr("COM3 stands for /run/test/ttyUSB1 (USB serial adapter "
                                            "(FT232R USB UART)), which is unplugged."));
    EXPECT_THAT(texts.comTips[3], HasSubstr("COM4 is /run/test/ttyACM0 (USB modem (ACM)), held by "
                                            "another program (PID 4321, minicom)."));
    EXPECT_THAT(texts.groupTip, HasSubstr("Nothing sent yet"));
}

TEST(PortStatus, ASuccessfulTransmissionTicksTheCaptionAndCountsFrames)
{
    const PortStatusTexts texts = DescribePortStatus(Finished(0), kPorts);
    EXPECT_EQ(texts.caption, "Port \xE2\x9C\x93");
    EXPECT_THAT(texts.groupTip, HasSubstr("8 frames sent to COM1"));
    EXPECT_THAT(texts.comTips[3], HasSubstr("8 frames sent to COM1"));
    TransmitReport one = Finished(1);
    one.framesSent = 1;
    EXPECT_THAT(DescribePortStatus(one, kPorts).groupTip, HasSubstr(": 1 frame sent to COM2."));
}

struct StateCase {
    const char* name;
    TransmitReport report;
    PortWait wait;
    const char* accessibleName;
    const char* tipEnd; // how the tooltip ends
};

class PortStatusState : public ::testing::TestWithParam<StateCase> {};

// What a screen reader says of the port group, and the tooltip's last line.
TEST_P(PortStatusState, IsSaidInPlainWords)
{
    const PortStatusTexts texts = DescribePortStatus(GetParam().report, kPorts, GetParam().wait);
    EXPECT_EQ(texts.accessibleName, GetParam().accessibleName);
    EXPECT_THAT(texts.groupTip, EndsWith(GetParam().tipEnd));
}

const char* const kNoChannel = "No channel is enabled: tick Ena under a fader to send its channel.";

INSTANTIATE_TEST_SUITE_P(
    PortStatus, PortStatusState,
    ::testing::Values(
        StateCase{"NothingYet", TransmitReport{}, PortWait::None, "Port: nothing sent yet",
                  "Nothing sent yet: levels go out when you change them."},
        StateCase{"Reached", Finished(2), PortWait::None, "Port: last transmission reached COM3",
                  ": 8 frames sent to COM3."},
        StateCase{"Failed", Finished(1, kOpenErrorInvalidHandle, SystemError::kNoDevice),
                  PortWait::None,
                  "Port: last transmission to COM2 failed: no serial port stands behind COM2. "
                  "Plug in the adapter, or choose another port.",
                  "another port.\nThe console keeps trying every half second until the levels "
                  "get through."},
        StateCase{"WaitingFirst", TransmitReport{}, PortWait::NoChannelEnabled,
                  "Port: no channel is enabled, nothing is sent", kNoChannel},
        // Waiting for an Ena box, a failed change is not being tried: no retry line.
        StateCase{"WaitingAfterAFailure",
                  Finished(1, kOpenErrorInvalidHandle, SystemError::kNoDevice),
                  PortWait::NoChannelEnabled, "Port: no channel is enabled, nothing is sent",
                  "another port.\nNo channel is enabled: tick Ena under a fader to send its "
                  "channel."}),
    [](const auto& info) { return std::string(info.param.name); });

struct FailureCase {
    const char* name;
    TransmitReport report;
    const char* reason;
};

class PortStatusFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(PortStatusFailure, CrossesTheCaptionAndGivesTheReasonWithItsRemedy)
{
    const PortStatusTexts texts = DescribePortStatus(GetParam().report, kPorts);
    EXPECT_EQ(texts.caption, "Port \xE2\x9C\x97");
    EXPECT_THAT(texts.groupTip, HasSubstr(GetParam().reason));
    EXPECT_THAT(texts.groupTip, HasSubstr("keeps trying"));
}

TransmitReport FailedFrames(std::uint32_t code)
{
    TransmitReport r = Finished(0);
    r.framesFailed = 1;
    r.errorCode = code;
    return r;
}

INSTANTIATE_TEST_SUITE_P(
    PortStatus, PortStatusFailure,
    ::testing::Values(
        FailureCase{"AccessDenied",
                    Finished(0, kOpenErrorInvalidHandle, SystemError::kAccessDenied),
                    kAccessDeniedReason},
        FailureCase{"NoDevice", Finished(1, kOpenErrorInvalidHandle, SystemError::kNoDevice),
                    "no serial port stands behind COM2"},
        FailureCase{"InUse", Finished(0, kOpenErrorInvalidHandle, SystemError::kBusy),
                    "the port is in use by another program. Close"},
        FailureCase{"Unplugged", Finished(2, kOpenErrorInvalidHandle, SystemError::kNoDevice),
                    "COM3 stands for /run/test/ttyUSB1 (USB serial adapter (FT232R USB UART)), "
                    "which is unplugged. Plug it in again, or choose another port."},
        FailureCase{"LockedByAProgram", Finished(3, kOpenErrorInvalidHandle, SystemError::kBusy),
                    "the port is in use by another program (PID 4321, minicom). Close"},
        FailureCase{"Settings", Finished(0, kOpenErrorSetState, SystemError::kInvalid),
                    "refused the settings"},
        FailureCase{"Unsupported", Finished(7, kOpenErrorUnsupportedPort),
                    "Only Com1 - Com4 are supported"},
        FailureCase{"WriteTimeout", FailedFrames(SystemError::kTimedOut),
                    "would not take the bytes"},
        FailureCase{"DeviceGone", FailedFrames(SystemError::kIo), "failed: "}),
    [](const auto& info) { return std::string(info.param.name); });

using ConsolePortStatus = ConsoleFixture;

TEST_F(ConsolePortStatus, TheCaptionFollowsTheLastTransmission)
{
    const int groupBox = kPortGroupBoxIndex;
    EXPECT_EQ(win.TextAt(groupBox), "Port");
    EXPECT_EQ(win.AccessibleNameAt(groupBox), "Port: nothing sent yet");
    win.Click(IDC_ENA1);
    win.Click(IDC_SET1);
    TickAndWait();
    win.AdvanceClock(kTickMilliseconds);
    EXPECT_EQ(win.TextAt(groupBox), "Port \xE2\x9C\x93");
    EXPECT_EQ(win.AccessibleNameAt(groupBox), "Port: last transmission reached COM1");

    port->FailOpen(SystemError::kBusy);
    win.Click(IDC_SET1);
    TickAndWait();
    win.AdvanceClock(kTickMilliseconds);
    EXPECT_EQ(win.TextAt(groupBox), "Port \xE2\x9C\x97");
    EXPECT_THAT(win.ToolTipAt(groupBox), HasSubstr("in use by another program"));
    EXPECT_THAT(win.AccessibleNameAt(groupBox),
                HasSubstr("Port: last transmission to COM1 failed: the port is in use"));
    EXPECT_EQ(win.AccessibleDescriptionAt(groupBox), win.ToolTipAt(groupBox));
}

} // namespace
