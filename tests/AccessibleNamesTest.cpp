// The console's accessible names on the substitute window: what it asks the window to tell a
// screen reader, and how that follows the base address and the units.
#include "ConsoleAccessibility.h"
#include "ConsoleFixture.h"

#include "console/AccessibleNames.h"

namespace {

using ConsoleAccessibleNames = ConsoleFixture;

TEST_F(ConsoleAccessibleNames, EveryControlIsNamedAfterTheChannelItStandsFor)
{
    win.Type(IDC_BASE_ADDR, kAccessibleBase);
    for (const ExpectedAccessible& row : ExpectedConsoleAccessibles()) {
        SCOPED_TRACE(row.name);
        // A control whose own text names it is given no other name.
        const std::string& given = win.AccessibleNameAt(row.index);
        EXPECT_EQ(given.empty() ? win.TextAt(row.index) : given, row.name);
    }
}

TEST_F(ConsoleAccessibleNames, FollowTheBaseAddressAsTheLabelsDo)
{
    const int fader8 = 36;
    EXPECT_EQ(win.AccessibleNameAt(fader8), "Channel 8 fader");
    win.Click(IDC_BASE_UP);
    EXPECT_EQ(win.AccessibleNameAt(fader8), "Channel 9 fader");
    win.Type(IDC_BASE_ADDR, "505");
    EXPECT_EQ(win.AccessibleNameAt(fader8), "Channel 512 fader");
    EXPECT_EQ(AccessibleName(IDC_ENA8, 505), "Enable channel 512");
    EXPECT_EQ(AccessibleName(IDC_PERCENT, 505), "") << "its own text names it";
}

TEST_F(ConsoleAccessibleNames, AFadersValueReadsInTheUnitsOfTheBoxes)
{
    const int fader1 = 1;
    win.Type(IDC_LEVEL1, "50");
    win.Click(IDC_SET1); // position 128
    EXPECT_EQ(win.FaderAccessibleTop(fader1), 100);
    EXPECT_EQ(win.FaderAccessibleValue(fader1), 49) << "as the box reads after a refresh";
    win.Click(IDC_VALUE);
    EXPECT_EQ(win.FaderAccessibleTop(fader1), 255);
    EXPECT_EQ(win.FaderAccessibleValue(fader1), 127);
    win.Click(IDC_PERCENT);
    EXPECT_EQ(win.FaderAccessibleValue(fader1), 49);
}

} // namespace
