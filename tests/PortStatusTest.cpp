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
const PortSurvey kPorts{
    {Port("/run/test/ttyUSB0", "USB serial adapter"), std::nullopt,
     Port("/run/test/ttyUSB1", "USB serial adapter (FT232R USB UART)", false),
     Port("/run/test/ttyACM0", "USB modem (ACM)", true, LockHolder{4321, "minicom"})},
    {}};

// The text the link's Open returns when it fails at `step`.
std::string OpenText(LinkStep step)
{
    switch (step) {
    case LinkStep::PortNumber:
        return kOpenErrorUnsupportedPort;
    case LinkStep::Open:
        return kOpenErrorInvalidHandle;
    case LinkStep::ReadSettings:
        return kOpenErrorGetState;
    case LinkStep::ApplySettings:
        return kOpenErrorSetState;
    default:
        return {};
    }
}

// A transmission that reached the port (LinkStep::None), or failed to open it at `step`.
TransmitReport Finished(std::int32_t port, LinkStep step = LinkStep::None, std::uint32_t code = 0)
{
    TransmitReport r;
    r.finished = true;
    r.portIndex = port;
    r.failedStep = step;
    r.openError = OpenText(step);
    r.errorCode = code;
    r.framesSent = step == LinkStep::None ? 8 : 0;
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
    friend void PrintTo(const StateCase& row, std::ostream* out) { *out << row.name; }
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
        StateCase{"Failed", Finished(1, LinkStep::Open, SystemError::kNoDevice), PortWait::None,
                  "Port: last transmission to COM2 failed: no serial port stands behind COM2. "
                  "Plug in the adapter, or choose another port.",
                  "another port.\nThe console keeps trying every half second until the levels "
                  "get through."},
        StateCase{"WaitingFirst", TransmitReport{}, PortWait::NoChannelEnabled,
                  "Port: no channel is enabled, nothing is sent", kNoChannel},
        // Waiting for an Ena box, a failed change is not being tried: no retry line.
        StateCase{"WaitingAfterAFailure", Finished(1, LinkStep::Open, SystemError::kNoDevice),
                  PortWait::NoChannelEnabled, "Port: no channel is enabled, nothing is sent",
                  "another port.\nNo channel is enabled: tick Ena under a fader to send its "
                  "channel."}),
    [](const auto& info) { return std::string(info.param.name); });

struct FailureCase {
    const char* name;
    TransmitReport report;
    const char* reason;
    friend void PrintTo(const FailureCase& row, std::ostream* out) { *out << row.name; }
};

class PortStatusFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(PortStatusFailure, CrossesTheCaptionAndGivesTheReasonWithItsRemedy)
{
    const PortStatusTexts texts = DescribePortStatus(GetParam().report, kPorts);
    EXPECT_EQ(texts.caption, "Port \xE2\x9C\x97");
    EXPECT_THAT(texts.groupTip, HasSubstr(GetParam().reason));
    EXPECT_THAT(texts.groupTip, HasSubstr("keeps trying"));
}

// A transmission to COM1 whose first frame failed at `step` (a byte's drain, parity or write).
TransmitReport FailedFrames(std::uint32_t code, LinkStep step = LinkStep::Write)
{
    TransmitReport r = Finished(0);
    r.failedStep = step;
    r.framesFailed = 1;
    r.errorCode = code;
    return r;
}

INSTANTIATE_TEST_SUITE_P(
    PortStatus, PortStatusFailure,
    ::testing::Values(
        FailureCase{"AccessDenied", Finished(0, LinkStep::Open, SystemError::kAccessDenied),
                    kAccessDeniedReason},
        FailureCase{"NoDevice", Finished(1, LinkStep::Open, SystemError::kNoDevice),
                    "no serial port stands behind COM2"},
        FailureCase{"InUse", Finished(0, LinkStep::Open, SystemError::kBusy),
                    "the port is in use by another program. Close"},
        FailureCase{"Unplugged", Finished(2, LinkStep::Open, SystemError::kNoDevice),
                    "COM3 stands for /run/test/ttyUSB1 (USB serial adapter (FT232R USB UART)), "
                    "which is unplugged. Plug it in again, or choose another port."},
        FailureCase{"LockedByAProgram", Finished(3, LinkStep::Open, SystemError::kBusy),
                    "the port is in use by another program (PID 4321, minicom). Close"},
        FailureCase{"Settings", Finished(0, LinkStep::ApplySettings, SystemError::kInvalid),
                    "refused the settings"},
        FailureCase{"Unsupported", Finished(7, LinkStep::PortNumber),
                    "Only Com1 - Com4 are supported"},
        FailureCase{"WriteTimeout", FailedFrames(SystemError::kTimedOut),
                    "would not take the bytes"},
        FailureCase{"DeviceGone", FailedFrames(SystemError::kIo),
                    "COM1 went away during the transmission"}),
    [](const auto& info) { return std::string(info.param.name); });

// Ports as a system that names them itself lists them: by friendly name, no path.
SerialPortInfo Named(std::string description)
{
    return Port("", std::move(description));
}

const ComPortMap kListedCom{Named("USB Serial Port (COM1)"), std::nullopt, std::nullopt,
                            Named("Communications Port (COM4)")};
// COM2 and COM3 empty; an adapter on COM7 beyond them.
const PortSurvey kAdapterOnCom7{kListedCom, {{7, "USB Serial Port (COM7)"}}};
const PortSurvey kNothingBeyond{kListedCom, {}};
// Three beyond, one of them with a friendly name that does not say its number.
const PortSurvey kThreeBeyond{kListedCom,
                              {{5, "Standard Serial over Bluetooth link (COM5)"},
                               {7, "USB Serial Port (COM7)"},
                               {12, "Prolific adapter"}}};

const std::string kHowToReach =
    " beyond COM4, out of the console's reach: give it a number from COM1 to COM4 in Device "
    "Manager (Ports (COM & LPT), the port's Properties, Port Settings, Advanced, COM Port "
    "Number), then choose it here.";
const std::string kHowToReachOneOfThem =
    " beyond COM4, out of the console's reach: give one of them a number from COM1 to COM4 in "
    "Device Manager (Ports (COM & LPT), the port's Properties, Port Settings, Advanced, COM Port "
    "Number), then choose it here.";
const std::string kAdapterOnCom7Note = "This machine has USB Serial Port (COM7)" + kHowToReach;

TEST(PortStatusListed, EachComPortIsNamedByItsFriendlyName)
{
    const PortStatusTexts texts = DescribePortStatus(TransmitReport{}, kAdapterOnCom7);
    const std::string nothingYet = "\nNothing sent yet: levels go out when you change them.";
    EXPECT_EQ(texts.comTips[0], "COM1 is USB Serial Port (COM1)." + nothingYet);
    EXPECT_EQ(texts.comTips[3], "COM4 is Communications Port (COM4)." + nothingYet);
    EXPECT_EQ(texts.groupTip, texts.comTips[0]);
}

TEST(PortStatusListed, AComPortWithoutADeviceNamesThePortsBeyondCom4)
{
    const std::string nothingYet = "\nNothing sent yet: levels go out when you change them.";
    EXPECT_EQ(DescribePortStatus(TransmitReport{}, kAdapterOnCom7).comTips[1],
              "COM2: no serial port stands behind it on this machine. " + kAdapterOnCom7Note +
                  nothingYet);
    EXPECT_EQ(DescribePortStatus(TransmitReport{}, kThreeBeyond).comTips[2],
              "COM3: no serial port stands behind it on this machine. This machine has Standard "
              "Serial over Bluetooth link (COM5), USB Serial Port (COM7) and Prolific adapter "
              "(COM12)" +
                  kHowToReachOneOfThem + nothingYet);
    EXPECT_EQ(DescribePortStatus(TransmitReport{}, kNothingBeyond).comTips[1],
              "COM2: no serial port stands behind it on this machine." + nothingYet);
}

int Count(const std::string& text, const std::string& part)
{
    int count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

TEST(PortStatusListed, ATooltipSaysHowToReachAPortBeyondCom4Once)
{
    const PortStatusTexts failed =
        DescribePortStatus(Finished(1, LinkStep::Open, SystemError::kNoDevice), kAdapterOnCom7);
    // In the reason: the group's and every COM port's tooltip, and the accessible name.
    EXPECT_EQ(Count(failed.groupTip, "Device Manager"), 1) << failed.groupTip;
    EXPECT_THAT(failed.groupTip, HasSubstr("COM2: no serial port stands behind it on this "
                                           "machine.\nLast transmission at "));
    for (const std::string& tip : failed.comTips)
        EXPECT_EQ(Count(tip, "Device Manager"), 1) << tip;
    EXPECT_EQ(Count(failed.accessibleName, "USB Serial Port (COM7)"), 1);

    // Sent to COM1: only the empty ports' tooltips say it.
    const PortStatusTexts sent = DescribePortStatus(Finished(0), kAdapterOnCom7);
    EXPECT_EQ(Count(sent.groupTip, "Device Manager"), 0);
    EXPECT_EQ(Count(sent.comTips[0], "Device Manager"), 0);
    EXPECT_EQ(Count(sent.comTips[1], "Device Manager"), 1);
    EXPECT_EQ(Count(sent.comTips[2], "Device Manager"), 1);
    EXPECT_EQ(Count(sent.comTips[3], "Device Manager"), 0);
}

struct ReasonCase {
    const char* name;
    TransmitReport report;
    const PortSurvey* ports;
    std::string reason;
    friend void PrintTo(const ReasonCase& row, std::ostream* out) { *out << row.name; }
};

class PortStatusReason : public ::testing::TestWithParam<ReasonCase> {};

TEST_P(PortStatusReason, IsTheProgramsOwnWithItsRemedy)
{
    EXPECT_EQ(DescribeFailure(GetParam().report, *GetParam().ports), GetParam().reason);
}

const char* const kGoneCom1 = "the device behind COM1 went away during the transmission. Plug "
                              "it in again and switch it on, or choose another port.";
const char* const kNotAnsweringCom1 =
    "the device behind COM1 does not answer. Unplug it and plug it in again, or choose another "
    "port.";
const char* const kNotSerialCom1 =
    "COM1 is no serial port: the device behind it takes no serial settings. Choose another port.";
const char* const kSettings =
    "the port refused the settings (9600 baud, 8 data bits, mark/space parity). Use an adapter "
    "that supports mark and space parity, or choose another port.";

// Each failure at each step, as the system reports it on the platform the tests run on.
INSTANTIATE_TEST_SUITE_P(
    PortStatus, PortStatusReason,
    ::testing::Values(
        ReasonCase{"NoDeviceWithAnAdapterOnCom7",
                   Finished(1, LinkStep::Open, SystemError::kNoDevice), &kAdapterOnCom7,
                   "no serial port stands behind COM2. " + kAdapterOnCom7Note},
        ReasonCase{"NoDeviceWithThreeBeyond", Finished(2, LinkStep::Open, SystemError::kNoDevice),
                   &kThreeBeyond,
                   "no serial port stands behind COM3. This machine has Standard Serial over "
                   "Bluetooth link (COM5), USB Serial Port (COM7) and Prolific adapter (COM12)" +
                       kHowToReachOneOfThem},
        ReasonCase{"NoDeviceAndNoneBeyond", Finished(1, LinkStep::Open, SystemError::kNoDevice),
                   &kNothingBeyond,
                   "no serial port stands behind COM2. Plug in the adapter, or choose another "
                   "port."},
        // Listed by the system, yet not found when opened.
        ReasonCase{"ListedButNotThere", Finished(0, LinkStep::Open, SystemError::kNoDevice),
                   &kAdapterOnCom7, kNotAnsweringCom1},
        ReasonCase{"HeldByAnotherProgram", Finished(0, LinkStep::Open, SystemError::kBusy),
                   &kAdapterOnCom7,
                   "the port is in use by another program. Close that program, or choose "
                   "another port."},
        ReasonCase{"NoSerialPortAtOpen", Finished(0, LinkStep::Open, SystemError::kNotSerial),
                   &kAdapterOnCom7, kNotSerialCom1},
        ReasonCase{"NotAnsweringAtOpen", Finished(0, LinkStep::Open, SystemError::kIo),
                   &kAdapterOnCom7, kNotAnsweringCom1},
        ReasonCase{"UnknownAtOpen", Finished(0, LinkStep::Open, SystemError::kInvalid),
                   &kAdapterOnCom7,
                   "the port failed (system error " + std::to_string(SystemError::kInvalid) +
                       "). Check the interface and its cable, or choose another port."},
        ReasonCase{"NoSerialSettings", Finished(0, LinkStep::ReadSettings, SystemError::kNotSerial),
                   &kAdapterOnCom7, kNotSerialCom1},
        ReasonCase{"GoneBeforeItToldItsSettings",
                   Finished(0, LinkStep::ReadSettings, SystemError::kIo), &kAdapterOnCom7,
                   kNotAnsweringCom1},
        ReasonCase{"GoneBeforeItTookTheSettings",
                   Finished(0, LinkStep::ApplySettings, SystemError::kNoDevice), &kAdapterOnCom7,
                   kNotAnsweringCom1},
        ReasonCase{"SettingsRefused", Finished(0, LinkStep::ApplySettings, SystemError::kInvalid),
                   &kAdapterOnCom7, kSettings},
        // A driver that cannot do mark or space parity may say it does not support the request.
        ReasonCase{"SettingsNotSupported",
                   Finished(0, LinkStep::ApplySettings, SystemError::kNotSerial), &kAdapterOnCom7,
                   kSettings},
        ReasonCase{"GoneDuringTheTransmission", FailedFrames(SystemError::kIo), &kAdapterOnCom7,
                   kGoneCom1},
        ReasonCase{"VanishedDuringTheTransmission", FailedFrames(SystemError::kNoDevice),
                   &kAdapterOnCom7, kGoneCom1},
        // The port is ours alone once open: a refusal then is the device's going.
        ReasonCase{"RefusedDuringTheTransmission", FailedFrames(SystemError::kAccessDenied),
                   &kAdapterOnCom7, kGoneCom1},
        ReasonCase{"LineHeld", FailedFrames(SystemError::kTimedOut), &kAdapterOnCom7,
                   "the port would not take the bytes. Check that the interface is connected "
                   "and switched on."},
        // A byte's drain and parity change fail as its write does.
        ReasonCase{"LineHeldBeforeAParityChange",
                   FailedFrames(SystemError::kTimedOut, LinkStep::Drain), &kAdapterOnCom7,
                   "the port would not take the bytes. Check that the interface is connected "
                   "and switched on."},
        ReasonCase{"GoneAtAParityChange", FailedFrames(SystemError::kIo, LinkStep::ChangeParity),
                   &kAdapterOnCom7, kGoneCom1},
        ReasonCase{"TheLinksOwn", Finished(4, LinkStep::PortNumber), &kAdapterOnCom7,
                   "Opening serial port: Only Com1 - Com4 are supported."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PortStatusReason, NeverTheSystemsOwnText)
{
    const std::vector<LinkStep> openSteps{LinkStep::Open, LinkStep::ReadSettings,
                                          LinkStep::ApplySettings};
    const std::vector<LinkStep> byteSteps{LinkStep::Drain, LinkStep::ChangeParity, LinkStep::Write};
    for (std::uint32_t code = 0; code < SystemError::kCheckedCodesEnd; ++code) {
        const std::string system = SystemsOwnText(code);
        if (system.empty())
            continue;
        std::vector<TransmitReport> reports;
        for (const LinkStep step : openSteps)
            reports.push_back(Finished(0, step, code));
        for (const LinkStep step : byteSteps)
            reports.push_back(FailedFrames(code, step));
        for (const TransmitReport& report : reports) {
            const std::string reason = DescribeFailure(report, kAdapterOnCom7);
            EXPECT_THAT(reason, ::testing::Not(HasSubstr(system)))
                << "code " << code << " at step " << static_cast<int>(report.failedStep);
        }
    }
}

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
