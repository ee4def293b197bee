// COM1..COM4 and the ports beyond them, from the two lists a system that numbers its ports
// itself keeps (on Windows the device manager's Ports class and the SERIALCOMM device map).
#include "link/PortMap.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace {

// What one table row expects: the description behind COM1..COM4 ("" for none) and beyond.
struct ListedCase {
    const char* name;
    std::vector<ListedPort> devices;
    std::vector<ListedPort> deviceMap;
    std::array<const char*, kComPortCount> com;
    std::vector<PortBeyondReach> beyond;
    friend void PrintTo(const ListedCase& row, std::ostream* out) { *out << row.name; }
};

class ListedPortsSurvey : public ::testing::TestWithParam<ListedCase> {};

TEST_P(ListedPortsSurvey, NamesEachPortAsTheSystemDoes)
{
    const PortSurvey survey = SurveyListedPorts(GetParam().devices, GetParam().deviceMap);
    for (std::size_t i = 0; i < kComPortCount; ++i) {
        SCOPED_TRACE("COM" + std::to_string(i + 1));
        const std::string expected = GetParam().com[i];
        ASSERT_EQ(survey.com[i].has_value(), !expected.empty());
        if (!survey.com[i])
            continue;
        EXPECT_EQ(survey.com[i]->description, expected);
        // No driver device path for people: the friendly name is what they know.
        EXPECT_EQ(survey.com[i]->path, "");
        EXPECT_TRUE(survey.com[i]->present);
        EXPECT_FALSE(survey.com[i]->heldBy);
    }
    EXPECT_EQ(survey.beyond, GetParam().beyond);
}

INSTANTIATE_TEST_SUITE_P(
    ListedPorts, ListedPortsSurvey,
    ::testing::Values(
        ListedCase{"NothingListed", {}, {}, {"", "", "", ""}, {}},
        ListedCase{
            "FriendlyNamesFromTheDeviceManager",
            {{"COM1", "Communications Port (COM1)", ""}, {"COM3", "USB Serial Port (COM3)", ""}},
            {{"COM1", "", "\\Device\\Serial0"}, {"COM3", "", "\\Device\\VCP0"}},
            {"Communications Port (COM1)", "", "USB Serial Port (COM3)", ""},
            {}},
        ListedCase{
            "AnAdapterOnCom7IsBeyondReach",
            {{"COM1", "Communications Port (COM1)", ""}, {"COM7", "USB Serial Port (COM7)", ""}},
            {{"COM1", "", "\\Device\\Serial0"}, {"COM7", "", "\\Device\\VCP0"}},
            {"Communications Port (COM1)", "", "", ""},
            {{7, "USB Serial Port (COM7)"}}},
        ListedCase{"BeyondInNumberOrder",
                   {{"COM12", "Bluetooth link (COM12)", ""}, {"COM5", "USB modem (COM5)", ""}},
                   {},
                   {"", "", "", ""},
                   {{5, "USB modem (COM5)"}, {12, "Bluetooth link (COM12)"}}},
        // Wine, and drivers that are no Plug and Play devices: only the device map.
        ListedCase{
            "TheDeviceMapAloneNamesTheKindOfPort",
            {},
            {{"COM1", "", "\\Device\\Serial0"},
             {"COM2", "", "\\Device\\Serial1"},
             {"COM4", "", "\\Device\\VCP0"},
             {"COM7", "", "\\Device\\Serial6"}},
            {"Communications Port (COM1)", "Communications Port (COM2)", "", "Serial port (COM4)"},
            {{7, "Communications Port (COM7)"}}},
        ListedCase{"ADeviceWithoutAFriendlyNameIsKnownByItsDriver",
                   {{"COM2", "", ""}, {"COM3", "", ""}},
                   {{"COM2", "", "\\Device\\Serial1"}},
                   {"", "Communications Port (COM2)", "Serial port (COM3)", ""},
                   {}},
        ListedCase{"PrintersAndOddNamesAreNoComPorts",
                   {{"LPT1", "Printer Port (LPT1)", ""},
                    {"COM", "No number", ""},
                    {"COM0", "Zero", ""},
                    {"COM03", "Leading zero", ""},
                    {"COM2x", "Trailing letter", ""},
                    {"COM257", "Beyond Windows's numbers", ""},
                    {"", "Nameless", ""}},
                   {{"COMx", "", "\\Device\\Serial0"}},
                   {"", "", "", ""},
                   {}},
        ListedCase{"NamesInAnyCase",
                   {{"com2", "USB Serial Port (COM2)", ""}},
                   {{"Com9", "", "\\Device\\Serial8"}},
                   {"", "USB Serial Port (COM2)", "", ""},
                   {{9, "Communications Port (COM9)"}}},
        ListedCase{"TheFirstListingOfANumberCounts",
                   {{"COM1", "USB Serial Port (COM1)", ""}, {"COM1", "Second (COM1)", ""}},
                   {{"COM1", "", "\\Device\\Serial0"}},
                   {"USB Serial Port (COM1)", "", "", ""},
                   {}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
