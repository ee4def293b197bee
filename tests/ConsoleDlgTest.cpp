#include "ConsoleFixture.h"

#include "res/Strings.h"

#include <gmock/gmock.h>

namespace {

using ::testing::Each;
using ::testing::ElementsAre;

const std::string kPositiveInteger = "Please enter a positive integer.";
const std::string kInteger = "Please enter an integer.";
const std::string kBaseRange = "Please enter an integer between 1 and 505.";
const std::string kLevelRange = "Please enter an integer between 0 and 255.";

using ConsoleStartup = ConsoleFixture;

TEST_F(ConsoleStartup, ShowsTheDefaults)
{
    EXPECT_EQ(win.GetCaption(), "Tessaro Channels 1 - 8");
    EXPECT_EQ(win.GetItemText(IDC_BASE_ADDR), "1");
    for (int i = 0; i < kFaderCount; ++i) {
        EXPECT_EQ(Box(i), "0");
        EXPECT_EQ(Fader(i), 255);
        EXPECT_EQ(win.TrackbarRange(kSliderIds.at(i)), std::make_pair(0, 255));
        EXPECT_EQ(win.TrackbarTicFreq(kSliderIds.at(i)), 25);
        EXPECT_EQ(win.GetItemText(kChanLabelIds.at(i)), std::to_string(i + 1));
        EXPECT_EQ(win.GetCheck(kEnaIds.at(i)), 0);
        EXPECT_EQ(win.GetCheck(kGrpIds.at(i)), 0);
    }
    EXPECT_EQ(win.GetCheck(IDC_PERCENT), 1);
    EXPECT_EQ(win.GetCheck(IDC_VALUE), 0);
    EXPECT_THAT((std::vector<int>{win.GetCheck(IDC_COM1), win.GetCheck(IDC_COM2),
                                  win.GetCheck(IDC_COM3), win.GetCheck(IDC_COM4)}),
                ElementsAre(1, 0, 0, 0));
    EXPECT_EQ(win.FocusedId(), IDC_BASE_ADDR);
    EXPECT_EQ(dlg.m_bDirty, 0);
    EXPECT_EQ(dlg.m_nPortIndex, 0);
    EXPECT_EQ(dlg.m_nTimerId, kTickTimerId);
    EXPECT_TRUE(win.TimerRunning(kTickTimerId));
    EXPECT_EQ(win.IconId(), IDI_APP_ICON);
    EXPECT_TRUE(win.OnTop());
    EXPECT_TRUE(win.MessageBoxes().empty());
}

TEST_F(ConsoleStartup, CentresTheWindowOnTheDesktop)
{
    // 1024 x 768 desktop, 405 x 311 window: 512 - 202 and 384 - 155.
    EXPECT_EQ(win.GetWindowRect(), (ScreenRect{310, 229, 715, 540}));
}

TEST(ConsoleGeometry, CentringAndTheMinimisedIconTruncateTowardZero)
{
    EXPECT_EQ(CentredPosition({100, 50, 1124, 818}, 405, 311), std::make_pair(410, 279));
    EXPECT_EQ(CentredPosition({-1280, 0, 0, 1024}, 405, 311), std::make_pair(-842, 357));
    EXPECT_EQ(MinimisedIconPosition(0, 0, 32, 32), std::make_pair(-15, -15));
    EXPECT_EQ(MinimisedIconPosition(36, 40, 32, 32), std::make_pair(2, 4));
}

using ConsoleExchange = ConsoleFixture;

TEST_F(ConsoleExchange, EmptyBaseBoxIsRefusedAndKeepsTitleAndLabels)
{
    win.Type(IDC_BASE_ADDR, "");
    EXPECT_THAT(Messages(), ElementsAre(kPositiveInteger));
    EXPECT_EQ(win.FocusedId(), IDC_BASE_ADDR);
    EXPECT_TRUE(win.AllTextSelected(IDC_BASE_ADDR));
    EXPECT_EQ(dlg.m_nBaseAddress, 1U);
    EXPECT_EQ(win.GetCaption(), "Tessaro Channels 1 - 8");
    EXPECT_EQ(win.GetItemText(IDC_CHAN_LABEL8), "8");
    EXPECT_EQ(win.MessageBoxes()[0].caption, "lumivane");
    EXPECT_EQ(win.MessageBoxes()[0].flags, MB_OK | MB_ICONEXCLAMATION);
}

struct BaseTextCase {
    const char* text;
    std::vector<std::string> messages;
    std::uint32_t base;
    const char* caption;
};

class ConsoleBaseText : public ConsoleFixture,
                        public ::testing::WithParamInterface<BaseTextCase> {};

TEST_P(ConsoleBaseText, IsJudgedAndRetitlesTheConsole)
{
    win.Type(IDC_BASE_ADDR, GetParam().text);
    EXPECT_EQ(Messages(), GetParam().messages);
    EXPECT_EQ(dlg.m_nBaseAddress, GetParam().base);
    EXPECT_EQ(win.GetCaption(), GetParam().caption);
}

INSTANTIATE_TEST_SUITE_P(
    Console, ConsoleBaseText,
    ::testing::Values(BaseTextCase{" 12 ", {}, 12, "Tessaro Channels 12 - 19"},
                      BaseTextCase{"505", {}, 505, "Tessaro Channels 505 - 512"},
                      // A refused range still stores the number, and the title follows it.
                      BaseTextCase{"0", {kBaseRange}, 0, "Tessaro Channels 0 - 7"},
                      BaseTextCase{"506", {kBaseRange}, 506, "Tessaro Channels 506 - 513"},
                      BaseTextCase{
                          "99999999999", {kBaseRange}, 4294967295U, "Tessaro Channels -1 - 6"},
                      // A refused parse keeps the previous base.
                      BaseTextCase{"-3", {kPositiveInteger}, 1, "Tessaro Channels 1 - 8"},
                      BaseTextCase{"12a", {kPositiveInteger}, 1, "Tessaro Channels 1 - 8"}));

TEST_F(ConsoleExchange, FailureAtLevelBoxThreeLeavesTheLaterMembersAlone)
{
    win.Click(IDC_VALUE);
    win.Type(IDC_BASE_ADDR, "20");
    win.Type(IDC_LEVEL1, "11");
    win.Type(IDC_LEVEL2, "22");
    win.Type(IDC_LEVEL3, "abc");
    win.Type(IDC_LEVEL4, "44");
    win.Click(IDC_ENA1); // these two change only their controls
    win.Click(IDC_COM2);
    dlg.m_nLevel[2] = 7;

    EXPECT_FALSE(dlg.UpdateData(true));
    EXPECT_THAT(Messages(), ElementsAre(kInteger));
    EXPECT_EQ(dlg.m_nBaseAddress, 20U);
    EXPECT_EQ(dlg.m_nLevel[0], 11);
    EXPECT_EQ(dlg.m_nLevel[1], 22);
    EXPECT_EQ(dlg.m_nLevel[2], 7) << "a box that holds no number keeps its member";
    EXPECT_EQ(dlg.m_nLevel[3], 0);
    EXPECT_EQ(dlg.m_bEnable[0], 0);
    EXPECT_EQ(dlg.m_nPortIndex, 0);
    EXPECT_EQ(win.FocusedId(), IDC_LEVEL3);
    EXPECT_TRUE(win.AllTextSelected(IDC_LEVEL3));
}

struct LevelTextCase {
    const char* text;
    bool accepted;
    std::int32_t member;
    const char* message;
};

class ConsoleLevelText : public ConsoleFixture,
                         public ::testing::WithParamInterface<LevelTextCase> {};

TEST_P(ConsoleLevelText, IsJudgedByTheBoxRules)
{
    dlg.m_nLevel[0] = 9;
    win.SetItemText(IDC_LEVEL1, GetParam().text);
    EXPECT_EQ(dlg.UpdateData(true), GetParam().accepted);
    EXPECT_EQ(dlg.m_nLevel[0], GetParam().member);
    if (GetParam().accepted)
        EXPECT_TRUE(win.MessageBoxes().empty());
    else
        EXPECT_THAT(Messages(), ElementsAre(GetParam().message));
}

INSTANTIATE_TEST_SUITE_P(
    Console, ConsoleLevelText,
    ::testing::Values(LevelTextCase{"0", true, 0, ""}, LevelTextCase{"00", true, 0, ""},
                      LevelTextCase{"+5", true, 5, ""}, LevelTextCase{"255", true, 255, ""},
                      LevelTextCase{"256", false, 256, kLevelRange.c_str()},
                      LevelTextCase{"-1", false, -1, kLevelRange.c_str()},
                      LevelTextCase{"99999999999", false, 2147483647, kLevelRange.c_str()},
                      LevelTextCase{"+0", false, 9, kInteger.c_str()},
                      LevelTextCase{"-0", false, 9, kInteger.c_str()},
                      LevelTextCase{"", false, 9, kInteger.c_str()},
                      LevelTextCase{"ab", false, 9, kInteger.c_str()}));

TEST_F(ConsoleExchange, ControlsDirectionRunsNoChangeHandler)
{
    dlg.m_nBaseAddress = 77;
    dlg.UpdateData(false);
    EXPECT_EQ(win.GetItemText(IDC_BASE_ADDR), "77");
    EXPECT_EQ(win.GetCaption(), "Tessaro Channels 1 - 8");
}

using ConsoleSetLevel = ConsoleFixture;

TEST_F(ConsoleSetLevel, PercentFiftyMovesToPosition128AndReadsBack49)
{
    win.Type(IDC_LEVEL1, "50");
    win.Click(IDC_SET1);
    EXPECT_EQ(Fader(0), 128);
    EXPECT_EQ(Box(0), "50");
    EXPECT_EQ(dlg.m_nPrevPos[0], 128);
    EXPECT_EQ(dlg.m_bDirty, 1);
    win.MoveFader(IDC_SLIDER2, 200);
    EXPECT_EQ(Box(0), "49");
}

TEST_F(ConsoleSetLevel, PercentAbove100GoesToTheTopButTheBoxKeepsItsText)
{
    win.Type(IDC_LEVEL1, "150");
    win.Click(IDC_SET1);
    EXPECT_EQ(dlg.m_nLevel[0], 100);
    EXPECT_EQ(Fader(0), 0);
    EXPECT_EQ(Box(0), "150");
    EXPECT_TRUE(win.MessageBoxes().empty());
}

struct RefusedSetCase {
    const char* name;
    bool valueUnits;
    const char* text;
    const char* message;
};

class ConsoleRefusedSet : public ConsoleFixture,
                          public ::testing::WithParamInterface<RefusedSetCase> {};

// The operator is told the number is refused: the fader stays where it was, and nothing is
// marked for sending.
TEST_P(ConsoleRefusedSet, WarnsOnceAndLeavesTheFaderWhereItIs)
{
    if (GetParam().valueUnits)
        win.Click(IDC_VALUE);
    win.Type(IDC_LEVEL1, "40");
    win.Click(IDC_SET1);
    ASSERT_EQ(Fader(0), GetParam().valueUnits ? 215 : 153);
    dlg.m_bDirty = 0;
    win.Type(IDC_LEVEL1, GetParam().text);
    win.Click(IDC_SET1);
    EXPECT_THAT(Messages(), ElementsAre(GetParam().message));
    EXPECT_EQ(Fader(0), GetParam().valueUnits ? 215 : 153);
    EXPECT_EQ(dlg.m_nPrevPos[0], Fader(0));
    EXPECT_EQ(dlg.m_nCurPos[0], Fader(0));
    EXPECT_EQ(Box(0), GetParam().text);
    EXPECT_EQ(dlg.m_bDirty, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Console, ConsoleRefusedSet,
    ::testing::Values(RefusedSetCase{"PercentTooHigh", false, "300", kLevelRange.c_str()},
                      RefusedSetCase{"ValueTooHigh", true, "300", kLevelRange.c_str()},
                      RefusedSetCase{"Emptied", false, "", kInteger.c_str()},
                      RefusedSetCase{"Letters", true, "ab", kInteger.c_str()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConsoleSetLevel, AnotherChannelsRefusedBoxStillLetsThisFaderMove)
{
    win.Type(IDC_LEVEL2, "50");
    win.Type(IDC_LEVEL1, "x");
    win.Click(IDC_SET2);
    EXPECT_THAT(Messages(), ElementsAre(kInteger));
    // The exchange stopped at box 1, so box 2's member still holds its last number (0).
    EXPECT_EQ(Fader(1), 255);
    EXPECT_EQ(dlg.m_bDirty, 1);
}

TEST_F(ConsoleSetLevel, SetAllWithOneFailingBoxShowsTheMessageEightTimesAndSetsTheOthers)
{
    win.Click(IDC_VALUE);
    win.Type(IDC_LEVEL1, "55");
    win.Type(IDC_LEVEL5, "300");
    win.ClearMessageBoxes();
    win.Click(IDC_SET_ALL);
    EXPECT_EQ(Messages(), std::vector<std::string>(8, kLevelRange));
    EXPECT_EQ(Fader(0), 200);
    EXPECT_EQ(Fader(4), 255) << "the refused channel's fader stays";
}

TEST_F(ConsoleSetLevel, EnterInALevelBoxPressesSetAll)
{
    win.Type(IDC_LEVEL3, "100");
    win.PressEnter();
    EXPECT_EQ(Fader(2), 0);
}

struct PercentCase {
    std::int32_t level;
    std::int32_t position;
    std::int32_t readBack;
};

class ConsolePercentRoundTrip : public ConsoleFixture,
                                public ::testing::WithParamInterface<PercentCase> {};

TEST_P(ConsolePercentRoundTrip, SetThenRefreshTruncatesAsTheFaderShows)
{
    win.Type(IDC_LEVEL1, std::to_string(GetParam().level));
    win.Click(IDC_SET1);
    EXPECT_EQ(Fader(0), GetParam().position);
    dlg.RefreshLevels();
    EXPECT_EQ(Box(0), std::to_string(GetParam().readBack));
}

INSTANTIATE_TEST_SUITE_P(Console, ConsolePercentRoundTrip,
                         ::testing::Values(PercentCase{0, 255, 0}, PercentCase{1, 253, 0},
                                           PercentCase{10, 230, 9}, PercentCase{20, 204, 20},
                                           PercentCase{50, 128, 49}, PercentCase{99, 3, 98},
                                           PercentCase{100, 0, 100}));

using ConsoleFaders = ConsoleFixture;

// Faders 1, 2, 3 grouped at 100, 10 and 200, each where it was last measured from.
void GroupThreeFaders(ConsoleFixture& f)
{
    f.win.Click(IDC_VALUE);
    f.win.Type(IDC_LEVEL1, "155");
    f.win.Type(IDC_LEVEL2, "245");
    f.win.Type(IDC_LEVEL3, "55");
    f.win.Click(IDC_SET_ALL);
    f.win.Click(IDC_GRP1);
    f.win.Click(IDC_GRP2);
    f.win.Click(IDC_GRP3);
    ASSERT_EQ(f.Fader(0), 100);
    ASSERT_EQ(f.Fader(1), 10);
    ASSERT_EQ(f.Fader(2), 200);
}

TEST_F(ConsoleFaders, GroupedFollowersStopAtTheEndsAndComeBack)
{
    GroupThreeFaders(*this);
    win.MoveFader(IDC_SLIDER1, 80);
    EXPECT_EQ(Fader(1), 0);
    EXPECT_EQ(Fader(2), 180);
    EXPECT_EQ(Box(0), "175");
    EXPECT_EQ(Box(1), "255");
    EXPECT_EQ(Box(2), "75");
    win.MoveFader(IDC_SLIDER1, 100);
    EXPECT_EQ(Fader(1), 20);
    EXPECT_EQ(Fader(2), 200);
}

TEST_F(ConsoleFaders, AFollowerThatHitAnEndMeasuresItsOwnMoveFromWhereItStands)
{
    GroupThreeFaders(*this);
    win.MoveFader(IDC_SLIDER1, 80); // fader 2 aims at -10 and stops at 0
    ASSERT_EQ(Fader(1), 0);
    EXPECT_EQ(dlg.m_nPrevPos[1], 0);
    win.MoveFader(IDC_SLIDER2, 5);
    EXPECT_EQ(Fader(0), 85);
    EXPECT_EQ(Fader(2), 185);
}

TEST_F(ConsoleFaders, UngroupedFaderMovesAloneAndEndOfDragStillRefreshes)
{
    win.Click(IDC_GRP_ALL);
    win.Click(IDC_GRP4);        // now the only one not grouped
    win.Type(IDC_LEVEL1, "77"); // typed without Set
    win.MoveFader(IDC_SLIDER4, 100);
    for (int i = 0; i < kFaderCount; ++i)
        EXPECT_EQ(Fader(i), i == 3 ? 100 : 255);
    EXPECT_EQ(Box(0), "0") << "the typed number gives way to the fader's level";

    dlg.m_bDirty = 0;
    win.Type(IDC_LEVEL2, "12");
    win.MoveFader(IDC_SLIDER1, 255, SB_ENDSCROLL);
    EXPECT_EQ(Box(1), "0");
    EXPECT_EQ(dlg.m_bDirty, 1);
}

TEST_F(ConsoleFaders, BlackoutDarkensEverythingAndMarksTheChange)
{
    win.Click(IDC_VALUE);
    win.Type(IDC_LEVEL1, "155");
    win.Type(IDC_LEVEL6, "200");
    win.Click(IDC_SET_ALL);
    win.Click(IDC_GRP1);
    win.Click(IDC_GRP2);
    dlg.m_bDirty = 0;

    win.Click(IDC_BLACKOUT);
    EXPECT_THAT(std::vector<int>({Fader(0), Fader(5)}), Each(255));
    for (int i = 0; i < kFaderCount; ++i)
        EXPECT_EQ(Box(i), "0");
    EXPECT_EQ(dlg.m_bDirty, 1);

    // Fader 1 is still measured from 100, so this is +100: fader 2 aims at 355.
    win.MoveFader(IDC_SLIDER1, 200);
    EXPECT_EQ(Fader(1), 255);
}

using ConsoleUnits = ConsoleFixture;

TEST_F(ConsoleUnits, ValuesToPercentAndBackTruncateWithoutMovingFaders)
{
    win.Click(IDC_VALUE);
    win.Type(IDC_LEVEL1, "128");
    win.Type(IDC_LEVEL2, "1");
    win.Type(IDC_LEVEL3, "255");
    dlg.m_bDirty = 0;
    win.Click(IDC_PERCENT);
    EXPECT_EQ(Box(0), "50");
    EXPECT_EQ(Box(1), "0");
    EXPECT_EQ(Box(2), "100");
    win.Click(IDC_VALUE);
    EXPECT_EQ(Box(0), "127");
    EXPECT_EQ(Box(1), "0");
    EXPECT_EQ(Box(2), "255");
    EXPECT_EQ(Fader(0), 255);
    EXPECT_EQ(dlg.m_bDirty, 0);

    win.Click(IDC_VALUE); // already values: nothing to convert
    EXPECT_EQ(Box(0), "127");
}

using ConsoleBase = ConsoleFixture;

TEST_F(ConsoleBase, PlusAndMinusStopAtTheEnds)
{
    win.Click(IDC_BASE_DOWN);
    EXPECT_EQ(dlg.m_nBaseAddress, 1U);
    win.Type(IDC_BASE_ADDR, "504");
    win.Click(IDC_BASE_UP);
    EXPECT_EQ(win.GetItemText(IDC_BASE_ADDR), "505");
    EXPECT_EQ(win.GetCaption(), "Tessaro Channels 505 - 512");
    EXPECT_EQ(win.GetItemText(IDC_CHAN_LABEL1), "505");
    EXPECT_EQ(win.GetItemText(IDC_CHAN_LABEL8), "512");
    win.Click(IDC_BASE_UP);
    EXPECT_EQ(dlg.m_nBaseAddress, 505U);
    win.Click(IDC_BASE_DOWN);
    EXPECT_EQ(win.GetCaption(), "Tessaro Channels 504 - 511");
    EXPECT_TRUE(win.MessageBoxes().empty());
}

TEST_F(ConsoleBase, EnaAllDuringAFailingBoxCopiesTheLastExchangedState)
{
    win.Type(IDC_LEVEL2, "x");
    win.ClearMessageBoxes();
    win.Click(IDC_ENA_ALL); // ticks itself, but the exchange stops before reading it
    EXPECT_THAT(Messages(), ElementsAre(kInteger));
    for (int id : kEnaIds)
        EXPECT_EQ(win.GetCheck(id), 0);
    win.Type(IDC_LEVEL2, "0");
    win.Click(IDC_GRP_ALL);
    for (int id : kGrpIds)
        EXPECT_EQ(win.GetCheck(id), 1);
}

} // namespace
