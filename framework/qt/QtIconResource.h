// The program's icons on Qt, by resource id or by the "#<id>" name an SS_ICON static gives.
//
// Threads: the GUI thread only.
#pragma once

#include <QIcon>

#include <string_view>

// An icon static's size: the icon's own.
constexpr int kIconSize = 32;

QIcon LoadIconResource(int iconId);
// "#128" -> 128; anything else -> 0.
int OrdinalOf(std::string_view name);
