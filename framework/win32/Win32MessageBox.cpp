#include "Win32MessageBox.h"

#include "Win32Text.h"

#include <windows.h>

int ShowWin32MessageBox(HWND__* owner, const std::string& text, const std::string& caption,
                        unsigned flags)
{
    // Our message-box flags are the window system's own.
    return MessageBoxW(owner, Widen(text).c_str(), Widen(caption).c_str(), flags);
}
