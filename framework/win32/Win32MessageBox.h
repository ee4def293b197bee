// A modal message box over a window, in the window system's own look: its icon from `flags`
// (MB_ICONEXCLAMATION: the warning sign), `caption` as its title. Its loop keeps dispatching
// the thread's timers.
//
// Threads: the window thread only.
#pragma once

#include <string>

struct HWND__;

int ShowWin32MessageBox(HWND__* owner, const std::string& text, const std::string& caption,
                        unsigned flags);
