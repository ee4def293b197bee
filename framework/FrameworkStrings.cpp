#include "FrameworkStrings.h"

#include <array>
#include <string_view>

namespace {

struct FrameworkString {
    unsigned id;
    std::string_view text;
};

constexpr std::array kFrameworkStrings{
    FrameworkString{IDS_PARSE_INT, "Please enter an integer."},
    FrameworkString{IDS_PARSE_INT_RANGE, "Please enter an integer between %1 and %2."},
    FrameworkString{IDS_PARSE_UINT, "Please enter a positive integer."},
    FrameworkString{IDS_FAILED_TO_LAUNCH_HELP, "Failed to launch help."},
};

} // namespace

std::string AfxLoadString(unsigned id)
{
    for (const FrameworkString& entry : kFrameworkStrings)
        if (entry.id == id)
            return std::string(entry.text);
    return {};
}
