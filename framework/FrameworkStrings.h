// The dialog layer's own texts: the data exchange's validation messages and the help failure,
// under the numbers a dialog framework gives them. The program's own texts are its business.
// The table is constant data; any thread may read it.
#pragma once

#include <string>

constexpr unsigned IDS_PARSE_INT = 0xF110;
constexpr unsigned IDS_PARSE_INT_RANGE = 0xF112; // %1 and %2: the bounds, in decimal
constexpr unsigned IDS_PARSE_UINT = 0xF117;
constexpr unsigned IDS_FAILED_TO_LAUNCH_HELP = 61703;

// The text of framework string `id`, or "" when there is none.
std::string AfxLoadString(unsigned id);
