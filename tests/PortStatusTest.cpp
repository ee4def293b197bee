#include "ConsoleFixture.h"
#include "PlatformErrors.h"

#include "console/PortStatus.h"
#include "res/Templates.h"

#include <gmock/gmock.h>

namespace {

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
}

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
    win.Click(IDC_SET1);
    TickAndWait();
    win.AdvanceClock(kTickMilliseconds);
    EXPECT_EQ(win.TextAt(groupBox), "Port \xE2\x9C\x93");

    port->FailOpen(SystemError::kBusy);
    win.Click(IDC_SET1);
    TickAndWait();
    win.AdvanceClock(kTickMilliseconds);
    EXPECT_EQ(win.TextAt(groupBox), "Port \xE2\x9C\x97");
    EXPECT_THAT(win.ToolTipAt(groupBox), HasSubstr("in use by another program"));
}

} // namespace
