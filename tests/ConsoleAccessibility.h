// What a screen reader must hear of the console's controls, once the operator has chosen the
// base address 17: one table, held against every window backend (the substitute's record of
// what the console asked for, Qt's accessibility interfaces, the native controls' MSAA).
#pragma once

#include "res/Resource.h"
#include "res/Templates.h"

#include <string>
#include <vector>

// A role, as each backend's own constants name it.
enum class AccessibleRole { Slider, Text, Button, CheckBox, Radio, Grouping };

struct ExpectedAccessible {
    int index; // in the console's template
    std::string name;
    AccessibleRole role;
};

constexpr const char* kAccessibleBase = "17";

// By template index. The name of a control whose own text is unique is that text.
inline std::vector<ExpectedAccessible> ExpectedConsoleAccessibles()
{
    using enum AccessibleRole;
    std::vector<ExpectedAccessible> rows{{0, "Base address", Text}};
    for (int i = 0; i < 8; ++i) {
        const std::string channel = std::to_string(17 + i);
        const int first = 1 + 5 * i; // fader, level, Set, Grp, Ena: five a column
        rows.push_back({first, "Channel " + channel + " fader", Slider});
        rows.push_back({first + 1, "Channel " + channel + " level", Text});
        rows.push_back({first + 2, "Set channel " + channel, Button});
        rows.push_back({first + 3, "Group channel " + channel, CheckBox});
        rows.push_back({first + 4, "Enable channel " + channel, CheckBox});
    }
    const std::vector<ExpectedAccessible> rest{
        {41, "Port COM1", Radio},
        {42, "Port COM2", Radio},
        {43, "Port COM3", Radio},
        {44, "Port COM4", Radio},
        {45, "Percent", Radio},
        {46, "Value", Radio},
        {47, "Blackout", Button},
        {48, "Set All", Button},
        {kPortGroupBoxIndex, "Port: nothing sent yet", Grouping},
        {60, "Group all channels", CheckBox},
        {61, "Enable all channels", CheckBox},
        {62, "Next base address", Button},
        {63, "Previous base address", Button},
        {64, "About", Button},
    };
    rows.insert(rows.end(), rest.begin(), rest.end());
    return rows;
}
