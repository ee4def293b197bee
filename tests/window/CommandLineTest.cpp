// The command line's parsing and the texts the program writes to the terminal.
#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace {

using enum CommandLineAction;

struct ParseRow {
    const char* name;
    std::vector<std::string> arguments;
    CommandLineAction action;
    const char* refusedOption;
};

void PrintTo(const ParseRow& row, std::ostream* out)
{
    *out << row.name;
}

class CommandLineParse : public ::testing::TestWithParam<ParseRow> {};

TEST_P(CommandLineParse, DecidesWhatTheProgramDoes)
{
    const CommandLineRequest request = ParseCommandLine(GetParam().arguments);
    EXPECT_EQ(request.action, GetParam().action);
    EXPECT_EQ(request.refusedOption, GetParam().refusedOption);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, CommandLineParse,
    ::testing::Values(
        ParseRow{"Nothing", {}, RunConsole, ""},
        ParseRow{"AFileNameIsIgnored", {"show.txt"}, RunConsole, ""},
        ParseRow{"AnEmptyArgumentIsIgnored", {""}, RunConsole, ""},
        ParseRow{"ADashAloneIsNoOption", {"-"}, RunConsole, ""},
        ParseRow{"Help", {"--help"}, ShowUsage, ""}, ParseRow{"ShortHelp", {"-h"}, ShowUsage, ""},
        ParseRow{"Version", {"--version"}, ShowVersion, ""},
        ParseRow{"OptionAfterAFileName", {"show.txt", "--version"}, ShowVersion, ""},
        ParseRow{"TheFirstOptionDecides", {"--version", "--help"}, ShowVersion, ""},
        ParseRow{"HelpBeforeAnUnknownOption", {"--help", "--bogus"}, ShowUsage, ""},
        ParseRow{"UnknownOptionBeforeHelp", {"--bogus", "--help"}, RefuseOption, "--bogus"},
        ParseRow{"QtsPlatformOption", {"-platform", "offscreen"}, RefuseOption, "-platform"},
        ParseRow{"QtsStyleOption", {"-style=fusion"}, RefuseOption, "-style=fusion"},
        ParseRow{"OptionWithAValue", {"--help=all"}, RefuseOption, "--help=all"},
        ParseRow{"NoBundledShortOptions", {"-hV"}, RefuseOption, "-hV"},
        ParseRow{"OptionsAreCaseSensitive", {"--Help"}, RefuseOption, "--Help"},
        ParseRow{"DoubleDashEndsTheOptions", {"--", "--help", "-x"}, RunConsole, ""}));

TEST(CommandLineTexts, VersionIsTheNameAndTheVersion)
{
    EXPECT_EQ(VersionText(), "lumivane 1.0.0.1\n");
}

TEST(CommandLineTexts, RefusalNamesTheOption)
{
    EXPECT_EQ(RefusalText("-platform"), "lumivane: unknown option '-platform'\n");
}

TEST(CommandLineTexts, UsageListsTheHelpFilesPlacesInOrderAndTheOneFound)
{
    const std::string usage =
        UsageText({"/usr/bin/lumivane.HLP", "/usr/share/lumivane/lumivane.HLP"},
                  "/usr/share/lumivane/lumivane.HLP");
    EXPECT_EQ(usage.rfind("Usage: lumivane [--help | --version]\n", 0), 0U);
    EXPECT_NE(usage.find("The help file (F1) is looked for in this order:\n"
                         "  /usr/bin/lumivane.HLP\n"
                         "  /usr/share/lumivane/lumivane.HLP  (found)\n"),
              std::string::npos);
    EXPECT_EQ(usage.find("None is there"), std::string::npos);
}

TEST(CommandLineTexts, UsageSaysWhenNoHelpFileIsThere)
{
    const std::string usage =
        UsageText({"/opt/bin/lumivane.HLP", "/opt/share/lumivane/lumivane.HLP"}, std::nullopt);
    EXPECT_NE(usage.find("  /opt/bin/lumivane.HLP\n"
                         "  /opt/share/lumivane/lumivane.HLP\n"
                         "None is there: F1 shows no help.\n"),
              std::string::npos);
    EXPECT_EQ(usage.find("(found)"), std::string::npos);
}

TEST(CommandLineTexts, UsageNamesTheOptionsAndTheKeys)
{
    const std::string usage = UsageText({}, std::nullopt);
    for (const char* line : {"  -h, --help ", "      --version ", "  Enter ", "  F1 ",
                             "  Esc, Alt+F4 ", "xvfb-run -a lumivane", "lumivane(1)"})
        EXPECT_NE(usage.find(line), std::string::npos) << line;
}

TEST(CommandLineTexts, UsageLinesFitATerminal)
{
    const std::string usage = UsageText({}, std::nullopt);
    std::size_t start = 0;
    for (std::size_t end = usage.find('\n'); end != std::string::npos;
         start = end + 1, end = usage.find('\n', start))
        EXPECT_LE(end - start, 80U) << usage.substr(start, end - start);
}

struct NoDisplayRow {
    const char* name;
    const char* qpaPlatform;
    const char* display;
    const char* waylandDisplay;
    const char* line;
};

void PrintTo(const NoDisplayRow& row, std::ostream* out)
{
    *out << row.name;
}

class CommandLineNoDisplay : public ::testing::TestWithParam<NoDisplayRow> {};

TEST_P(CommandLineNoDisplay, IsOnePlainLineNamingWhatWasAskedFor)
{
    EXPECT_EQ(NoDisplayText(GetParam().qpaPlatform, GetParam().display, GetParam().waylandDisplay),
              GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Environments, CommandLineNoDisplay,
    ::testing::Values(
        NoDisplayRow{"NothingSet", nullptr, nullptr, nullptr,
                     "lumivane: no display to open a window on (DISPLAY and WAYLAND_DISPLAY are "
                     "unset); run it in a desktop session, or on a virtual display: xvfb-run -a "
                     "lumivane\n"},
        NoDisplayRow{"EmptyCountsAsUnset", "", "", "",
                     "lumivane: no display to open a window on (DISPLAY and WAYLAND_DISPLAY are "
                     "unset); run it in a desktop session, or on a virtual display: xvfb-run -a "
                     "lumivane\n"},
        NoDisplayRow{"ADisplayThatDidNotAnswer", nullptr, ":5", nullptr,
                     "lumivane: cannot open the display (DISPLAY=:5); run it in a desktop "
                     "session, or on a virtual display: xvfb-run -a lumivane\n"},
        NoDisplayRow{"Both", nullptr, ":0", "wayland-0",
                     "lumivane: cannot open the display (DISPLAY=:0, WAYLAND_DISPLAY=wayland-0); "
                     "run it in a desktop session, or on a virtual display: xvfb-run -a "
                     "lumivane\n"},
        NoDisplayRow{"APlatformNamed", "bogus", nullptr, nullptr,
                     "lumivane: no display to open a window on (QT_QPA_PLATFORM=bogus, DISPLAY "
                     "and WAYLAND_DISPLAY are unset); run it in a desktop session, or on a "
                     "virtual display: xvfb-run -a lumivane\n"}));

} // namespace
