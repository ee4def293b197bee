// g_helpIds: the console's context-help table, control id to help context id, that the help
// handlers hand to the help engine. Controls that work alike share one topic. Constant data;
// any thread may read it.
#pragma once

#include "framework/HelpEngine.h"

#include <array>
#include <cstdint>

// 53 pairs, then {0, 0}, which ends the table for the help engine. Controls without a row
// (the channel labels, About and the IDC_STATIC controls) have no topic.
extern const std::array<HelpIdPair, 54> g_helpIds;
