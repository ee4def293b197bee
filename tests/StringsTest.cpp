// The string tables, the program's and the dialog layer's: exact texts, as the operator sees
// them.
#include "res/Strings.h"
#include "framework/FrameworkStrings.h"
#include "res/Resource.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

struct StringRow {
    unsigned id;
    const char* text;
    bool framework;
    friend void PrintTo(const StringRow& row, std::ostream* os)
    {
        *os << row.id << " \"" << row.text << '"';
    }
};

class StringTableText : public testing::TestWithParam<StringRow> {};

TEST_P(StringTableText, IsExact)
{
    const StringRow& row = GetParam();
    EXPECT_EQ(row.framework ? AfxLoadString(row.id) : LoadResString(row.id), row.text);
}

INSTANTIATE_TEST_SUITE_P(
    Strings, StringTableText,
    testing::Values(
        StringRow{IDS_PARSE_INT, "Please enter an integer.", true},
        StringRow{IDS_PARSE_INT_RANGE, "Please enter an integer between %1 and %2.", true},
        StringRow{IDS_PARSE_UINT, "Please enter a positive integer.", true},
        StringRow{IDS_FAILED_TO_LAUNCH_HELP, "Failed to launch help.", true},
        StringRow{IDS_ABOUT_MENU, "&About Lumivane...", false},
        StringRow{IDS_PORT_GROUP, "Port", false},
        StringRow{IDS_PORT_TIP_SENT_ONE, "Last transmission at %s: %d frame sent to COM%d.", false},
        StringRow{IDS_PORT_TIP_NO_CHANNEL,
                  "No channel is enabled: tick Ena under a fader to send its channel.", false}));

TEST(StringTable, PortMarksAreUtf8)
{
    const auto utf8 = [](const char8_t* text) {
        return std::string(reinterpret_cast<const char*>(text));
    };
    EXPECT_EQ(LoadResString(IDS_PORT_GROUP_OK), utf8(u8"Port \u2713"));
    EXPECT_EQ(LoadResString(IDS_PORT_GROUP_FAILED), utf8(u8"Port \u2717"));
}

TEST(StringTable, ConsoleTitleFormatsTheBlock)
{
    char title[64];
    std::snprintf(title, sizeof title, LoadResString(IDS_CONSOLE_TITLE).c_str(), 1, 8);
    EXPECT_STREQ(title, "Tessaro Channels 1 - 8");
}

TEST(StringTable, MissingIdIsEmpty)
{
    // No 0xE000 entry: the application title must come from the executable's name.
    constexpr unsigned kAppTitleId = 0xE000;
    EXPECT_EQ(LoadResString(kAppTitleId), "");
    EXPECT_EQ(LoadResString(0), "");
    EXPECT_EQ(FindResString(IDD_CONSOLE), "");
}

} // namespace
