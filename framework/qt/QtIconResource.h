// The program's icons on Qt, by resource id or by the "#<id>" name an SS_ICON static gives.
// The program hands its icons in (from its own resources) before it opens a window.
//
// Threads: the GUI thread only.
#pragma once

#include <QIcon>
#include <QString>

#include <string_view>

// An icon static's size: the icon's own.
constexpr int kIconSize = 32;

// Makes the icon at `path` (a Qt resource path) the one that `iconId` names.
void AddIconResource(int iconId, const QString& path);
// The icon `iconId` names, or a null icon.
QIcon LoadIconResource(int iconId);
// "#128" -> 128; anything else -> 0.
int OrdinalOf(std::string_view name);
