// Operator actions in, bytes on the line out.
#include "ConsoleFixture.h"

#include <gmock/gmock.h>

namespace {

using Kind = CRecordingCommPort::EventKind;
constexpr CommParity M = CommParity::Mark;
constexpr CommParity S = CommParity::Space;
constexpr std::uint32_t kSomeOpenError = 5;
const std::string kLevelRangeText = "Please enter an integer between 0 and 255.";
const std::string kIntegerText = "Please enter an integer.";
using ::testing::ElementsAre;

std::vector<FrameByte> Frame(std::uint32_t channel, std::uint8_t level)
{
    return BuildFrame(0xFF, 0x00, BuildSetLevelPayload(channel, level));
}

std::vector<FrameByte> Frames(std::initializer_list<std::pair<std::uint32_t, std::uint8_t>> list)
{
    std::vector<FrameByte> bytes;
    for (const auto& [channel, level] : list) {
        const auto frame = Frame(channel, level);
        bytes.insert(bytes.end(), frame.begin(), frame.end());
    }
    return bytes;
}

struct ConsoleWire : ConsoleFixture {
    int Opens() const
    {
        int n = 0;
        for (const auto& e : port->Events())
            n += e.kind == Kind::Open ? 1 : 0;
        return n;
    }
};

TEST_F(ConsoleWire, TwoEnabledChannelsSendTwoFrames)
{
    win.Click(IDC_VALUE);
    win.Type(IDC_LEVEL1, "128");
    win.Type(IDC_LEVEL2, "255");
    win.Click(IDC_ENA1);
    win.Click(IDC_ENA2);
    win.Click(IDC_SET_ALL);
    TickAndWait();
    EXPECT_EQ(port->Written(), (std::vector<FrameByte>{{0xFF, M},
                                                       {0x00, S},
                                                       {0x07, S},
                                                       {0x00, S},
                                                       {0x80, S},
                                                       {0x43, M},
                                                       {0xFF, M},
                                                       {0x00, S},
                                                       {0x07, S},
                                                       {0x01, S},
                                                       {0xFF, S},
                                                       {0x03, M}}));
    EXPECT_EQ(dlg.m_bDirty, 0);
    EXPECT_EQ(port->OpenHandles(), 0);
    EXPECT_FALSE(link.IsOpen());
    EXPECT_TRUE(worker.LastReport().Succeeded());
    EXPECT_EQ(worker.LastReport().framesSent, 2);
}

TEST_F(ConsoleWire, NothingChangedMeansNoTransmission)
{
    win.AdvanceClock(5 * kTickMilliseconds);
    EXPECT_TRUE(port->Events().empty());
}

// First use: the operator moves faders before ticking any Ena box. Nothing goes out and the
// port is left alone, but the change waits: the first Ena ticked sends it.
TEST_F(ConsoleWire, AChangeWithNoChannelEnabledTouchesNoPortAndWaitsForEna)
{
    port->FailOpen(kSomeOpenError);
    win.Click(IDC_VALUE);
    win.MoveFader(IDC_SLIDER1, 55);
    TickAndWait();
    TickAndWait();
    EXPECT_TRUE(port->Events().empty());
    EXPECT_EQ(dlg.m_bDirty, 1);
    EXPECT_EQ(win.TextAt(kPortGroupBoxIndex), "Port") << "not a failed transmission";
    const std::string tip = win.ToolTipAt(kPortGroupBoxIndex);
    EXPECT_THAT(tip, ::testing::HasSubstr(
                         "No channel is enabled: tick Ena under a fader to send its channel."));
    EXPECT_THAT(tip, ::testing::Not(::testing::HasSubstr("keeps trying")));

    port->ClearFailures();
    win.Click(IDC_ENA1);
    TickAndWait();
    EXPECT_EQ(port->Written(), Frames({{1, 200}}));
    EXPECT_EQ(dlg.m_bDirty, 0);
}

TEST_F(ConsoleWire, ClosingWithNoChannelEnabledTouchesNoPort)
{
    win.Click(IDC_SET1);
    win.Close();
    EXPECT_TRUE(port->Events().empty());
}

TEST_F(ConsoleWire, PercentIsSentOnTheDeviceScale)
{
    win.Type(IDC_LEVEL8, "100");
    win.Type(IDC_LEVEL1, "50");
    win.Click(IDC_ENA8);
    win.Click(IDC_ENA1);
    win.Click(IDC_SET_ALL);
    TickAndWait();
    // 100 % is full (0xFF); 50 % is 127, the same byte the fader shows in Value units.
    EXPECT_EQ(port->Written(), Frames({{1, 127}, {8, 255}}));
    EXPECT_EQ(Frame(8, 255).back(), (FrameByte{0x06, M}));
}

TEST_F(ConsoleWire, PercentAbove100IsSentAsFull)
{
    win.Type(IDC_LEVEL1, "150");
    win.Click(IDC_ENA1);
    win.Click(IDC_SET1);
    TickAndWait();
    EXPECT_EQ(port->Written(), Frames({{1, 255}}));
}

TEST_F(ConsoleWire, ZeroLevelsAndBlackoutReachTheDevice)
{
    win.Click(IDC_VALUE);
    win.Click(IDC_ENA_ALL);
    win.Type(IDC_LEVEL3, "200");
    win.Click(IDC_SET_ALL);
    TickAndWait();
    EXPECT_EQ(port->Written(),
              Frames({{1, 0}, {2, 0}, {3, 200}, {4, 0}, {5, 0}, {6, 0}, {7, 0}, {8, 0}}));

    port->ClearRecord();
    win.Click(IDC_BLACKOUT);
    TickAndWait();
    EXPECT_EQ(port->Written(),
              Frames({{1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 0}, {7, 0}, {8, 0}}));
}

TEST_F(ConsoleWire, Base250CrossesIntoTheHighBlock)
{
    win.Click(IDC_VALUE);
    win.Type(IDC_BASE_ADDR, "250");
    win.AdvanceClock(kTickMilliseconds); // the typed base counts once a tick has seen it
    win.Click(IDC_ENA_ALL);
    for (int i = 0; i < kFaderCount; ++i)
        win.Type(kLevelIds.at(i), std::to_string(10 + i));
    win.Click(IDC_SET_ALL);
    TickAndWait();
    EXPECT_EQ(port->Written(), Frames({{250, 10},
                                       {251, 11},
                                       {252, 12},
                                       {253, 13},
                                       {254, 14},
                                       {255, 15},
                                       {256, 16},
                                       {257, 17}}));
}

TEST_F(ConsoleWire, Base505ReachesChannel512)
{
    win.Click(IDC_VALUE);
    win.Type(IDC_BASE_ADDR, "505");
    win.AdvanceClock(kTickMilliseconds);
    win.Click(IDC_ENA8);
    win.Type(IDC_LEVEL8, "255");
    win.Click(IDC_SET8);
    TickAndWait();
    EXPECT_EQ(port->Written(), Frames({{512, 255}}));
}

TEST_F(ConsoleWire, RefusedLevelBoxesAreLeftOut)
{
    win.Click(IDC_VALUE);
    win.Click(IDC_ENA_ALL);
    win.Type(IDC_LEVEL2, "77");
    win.Click(IDC_SET_ALL);
    win.Type(IDC_LEVEL1, "300");
    win.Type(IDC_LEVEL3, "256");
    win.Type(IDC_LEVEL4, "");
    win.Type(IDC_LEVEL5, "4x");
    TickAndWait();
    EXPECT_EQ(port->Written(), Frames({{2, 77}, {6, 0}, {7, 0}, {8, 0}}));
}

TEST_F(ConsoleWire, ABaseTypedKeyByKeyCountsOnlyOnceATickHasSeenItUnchanged)
{
    win.Click(IDC_VALUE);
    win.Click(IDC_ENA_ALL);
    win.Click(IDC_SET_ALL);
    for (const char* keys : {"3", "30"}) {
        win.Type(IDC_BASE_ADDR, keys);
        TickAndWait();
        EXPECT_TRUE(port->Events().empty()) << "levels sent to the half-typed base " << keys;
        EXPECT_EQ(dlg.m_bDirty, 1);
    }
    TickAndWait();
    EXPECT_EQ(port->Written(),
              Frames({{30, 0}, {31, 0}, {32, 0}, {33, 0}, {34, 0}, {35, 0}, {36, 0}, {37, 0}}));

    // + and - set a whole number: taken at once.
    port->ClearRecord();
    win.Click(IDC_BASE_UP);
    win.Click(IDC_SET1);
    TickAndWait();
    EXPECT_EQ(port->Written(),
              Frames({{31, 0}, {32, 0}, {33, 0}, {34, 0}, {35, 0}, {36, 0}, {37, 0}, {38, 0}}));
    port->ClearRecord();
    win.Click(IDC_BASE_DOWN);
    win.Click(IDC_SET1);
    TickAndWait();
    EXPECT_EQ(port->Written(),
              Frames({{30, 0}, {31, 0}, {32, 0}, {33, 0}, {34, 0}, {35, 0}, {36, 0}, {37, 0}}));
}

TEST_F(ConsoleWire, ARefusedBaseSendsNothingAndKeepsTheChange)
{
    win.Click(IDC_ENA_ALL);
    win.Click(IDC_SET_ALL);
    for (const char* base : {"0", "506", "", "12a"}) {
        win.Type(IDC_BASE_ADDR, base);
        TickAndWait();
        TickAndWait();
        EXPECT_TRUE(port->Events().empty()) << "base '" << base << "'";
        EXPECT_EQ(dlg.m_bDirty, 1) << "base '" << base << "'";
    }
    win.Type(IDC_BASE_ADDR, "500");
    TickAndWait();
    TickAndWait();
    EXPECT_EQ(
        port->Written(),
        Frames({{500, 0}, {501, 0}, {502, 0}, {503, 0}, {504, 0}, {505, 0}, {506, 0}, {507, 0}}));
}

TEST_F(ConsoleWire, ADisabledChannelIsNotSentAndThePortChoiceIsReadAtTheTick)
{
    win.Click(IDC_ENA_ALL);
    win.Click(IDC_ENA3);
    win.Click(IDC_COM3);
    win.Click(IDC_SET1);
    TickAndWait();
    ASSERT_FALSE(port->Events().empty());
    EXPECT_EQ(port->Events().front().device, "COM3");
    ASSERT_EQ(port->Written().size(), 7U * 6U);
    for (std::size_t f = 0; f < 7; ++f)
        EXPECT_NE(port->Written()[f * 6 + 3].value, 0x02) << "channel 3 is off";
}

TEST_F(ConsoleWire, ManyChangesWithinOneTickMakeOneTransmission)
{
    win.Click(IDC_ENA1);
    win.Click(IDC_VALUE);
    for (int pos : {10, 20, 30, 40})
        win.MoveFader(IDC_SLIDER1, pos);
    TickAndWait();
    EXPECT_EQ(Opens(), 1);
    EXPECT_EQ(port->Written(), Frames({{1, 215}}));
}

TEST_F(ConsoleWire, TickDuringAValidationMessageWaitsForALaterTick)
{
    win.Click(IDC_ENA1);
    win.Click(IDC_SET1);
    int ticksDuringBox = 0;
    win.m_onMessageBox = [&](const std::string&) {
        // The box's own loop keeps dispatching the timer.
        win.AdvanceClock(kTickMilliseconds);
        ++ticksDuringBox;
    };
    win.Type(IDC_LEVEL2, "x"); // no change handler runs, so no message yet
    win.Click(IDC_SET2);       // shows one message, during which a tick falls due
    EXPECT_EQ(ticksDuringBox, 1);
    EXPECT_EQ(win.MessageBoxes().size(), 1U) << "no second message over an open one";
    EXPECT_TRUE(port->Events().empty());
    EXPECT_EQ(dlg.m_bDirty, 1);

    win.m_onMessageBox = nullptr;
    win.Type(IDC_LEVEL2, "0");
    TickAndWait();
    EXPECT_EQ(port->Written(), Frames({{1, 0}}));
}

TEST_F(ConsoleWire, ClosingSendsAChangeMadeSinceTheLastTick)
{
    win.Click(IDC_VALUE);
    win.Click(IDC_ENA1);
    win.Type(IDC_LEVEL1, "42");
    win.Click(IDC_SET1);
    win.Type(IDC_LEVEL2, "300"); // refused, and closing reads it without a message
    win.Close();
    EXPECT_FALSE(win.TimerRunning(kTickTimerId));
    EXPECT_EQ(port->Written(), Frames({{1, 42}}));
    EXPECT_FALSE(link.IsOpen());
    EXPECT_TRUE(win.MessageBoxes().empty());
}

TEST_F(ConsoleWire, AFailedTransmissionIsTriedAgainAtEveryTickUntilItGetsThrough)
{
    port->FailOpen(kSomeOpenError);
    win.Click(IDC_VALUE);
    win.Click(IDC_ENA1);
    win.Type(IDC_LEVEL1, "9");
    win.Click(IDC_SET1);
    TickAndWait();
    TickAndWait();
    EXPECT_EQ(Opens(), 2);
    EXPECT_TRUE(port->Written().empty());

    // Back again, with a level changed in the meantime: the next tick sends it as it is now.
    port->ClearFailures();
    win.Type(IDC_LEVEL1, "10");
    TickAndWait();
    EXPECT_EQ(port->Written(), Frames({{1, 10}}));
    TickAndWait();
    EXPECT_EQ(Opens(), 3) << "a delivered change is not sent again";
}

TEST_F(ConsoleWire, ARetryDoesNotShowARefusedBoxsMessageAgain)
{
    port->FailOpen(kSomeOpenError);
    win.Click(IDC_VALUE);
    win.Click(IDC_ENA1);
    win.Type(IDC_LEVEL2, "300");
    win.Click(IDC_SET1);
    TickAndWait();
    const std::size_t shown = Messages().size();
    ASSERT_GE(shown, 1U);
    win.Type(IDC_LEVEL2, "300"); // the same number again, no longer selected
    win.SetFocusTo(IDC_LEVEL1);
    TickAndWait();
    TickAndWait();
    EXPECT_EQ(Opens(), 3) << "the change is still tried at every tick";
    EXPECT_EQ(Messages().size(), shown) << "a retry showed the message again";
    EXPECT_EQ(win.FocusedId(), IDC_LEVEL1) << "a silent retry moved the focus";
    EXPECT_FALSE(win.AllTextSelected(IDC_LEVEL2));
}

// One refusal, one message: the operator's Set shows it, and the ticks after it read the box
// without showing it again. A box refused without any action (typed, then only ticks came) is
// shown once, by a tick; and once accepted, the same refusal is news again.
TEST_F(ConsoleWire, ARefusalIsShownOnceWhetherAnActionOrATickMetItFirst)
{
    port->FailOpen(kSomeOpenError); // every tick tries again, with an exchange
    win.Click(IDC_ENA1);
    win.Click(IDC_SET1);
    win.Type(IDC_LEVEL2, "300");
    win.Click(IDC_SET2);
    ASSERT_THAT(Messages(), ElementsAre(kLevelRangeText));
    TickAndWait();
    TickAndWait();
    EXPECT_EQ(Messages().size(), 1U) << "the ticks read the refusal already shown";

    win.Type(IDC_LEVEL2, "0");
    win.Type(IDC_LEVEL3, "abc");
    TickAndWait();
    TickAndWait();
    EXPECT_THAT(Messages(), ElementsAre(kLevelRangeText, kIntegerText));

    win.Type(IDC_LEVEL3, "0");
    win.Type(IDC_LEVEL2, "300");
    TickAndWait();
    EXPECT_THAT(Messages(), ElementsAre(kLevelRangeText, kIntegerText, kLevelRangeText));
    EXPECT_EQ(Opens(), 5) << "every tick still tried the port";
}

struct CloseAfterFailureRow {
    const char* name;
    bool frameFails; // else the open fails
    int opens;       // during the tick and at closing
};

struct ConsoleWireClose : ConsoleWire, ::testing::WithParamInterface<CloseAfterFailureRow> {};

// An open that failed costs nothing to try once more at closing; a frame that failed has
// spent the port's deadline already, and closing must stay quick.
TEST_P(ConsoleWireClose, AnUndeliveredChangeIsTriedOnceMoreOnlyWhenThatIsQuick)
{
    if (GetParam().frameFails)
        port->FailWrite(kSomeOpenError);
    else
        port->FailOpen(kSomeOpenError);
    win.Click(IDC_ENA1);
    win.Click(IDC_SET1);
    TickAndWait();
    win.Close();
    EXPECT_EQ(Opens(), GetParam().opens);
    EXPECT_FALSE(link.IsOpen());
}

INSTANTIATE_TEST_SUITE_P(ConsoleWire, ConsoleWireClose,
                         ::testing::Values(CloseAfterFailureRow{"OpenFailed", false, 2},
                                           CloseAfterFailureRow{"FrameFailed", true, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConsoleWire, AFailedOpenIsReportedAndNothingIsSent)
{
    port->RemoveDevice("COM1");
    win.Click(IDC_ENA1);
    win.Click(IDC_SET1);
    TickAndWait();
    EXPECT_TRUE(port->Written().empty());
    EXPECT_FALSE(link.IsOpen());
    const TransmitReport report = worker.LastReport();
    EXPECT_EQ(report.openError, kOpenErrorInvalidHandle);
    EXPECT_FALSE(report.Succeeded());
}

// Through the console, on a UART and on an adapter whose drain returns before its FIFO has
// emptied: every frame arrives with its ninth bit.
struct ConsoleWireLine : ConsoleWire,
                         ::testing::WithParamInterface<CRecordingCommPort::DrainMode> {};

TEST_P(ConsoleWireLine, EightChannelsArriveExact)
{
    port->SetDrainMode(GetParam());
    win.Click(IDC_VALUE);
    const char* const levels[] = {"1", "2", "64", "127", "128", "200", "254", "255"};
    for (int i = 0; i < kConsoleChannels; ++i)
        win.Type(kLevelIds.at(i), levels[i]);
    win.Click(IDC_ENA_ALL);
    win.Click(IDC_SET_ALL);
    TickAndWait();
    EXPECT_EQ(port->Written(),
              Frames({{1, 1}, {2, 2}, {3, 64}, {4, 127}, {5, 128}, {6, 200}, {7, 254}, {8, 255}}));
}

INSTANTIATE_TEST_SUITE_P(ConsoleWire, ConsoleWireLine,
                         ::testing::Values(CRecordingCommPort::DrainMode::Exact,
                                           CRecordingCommPort::DrainMode::Early),
                         [](const auto& info) {
                             return std::string(info.param == CRecordingCommPort::DrainMode::Exact
                                                    ? "Uart"
                                                    : "EarlyDrain");
                         });

} // namespace
