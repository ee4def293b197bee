#include "Win32ModalLoop.h"

#include <windows.h>

CWin32DisabledOwner::CWin32DisabledOwner(HWND__* owner)
{
    if (owner == nullptr || IsWindowEnabled(owner) == FALSE)
        return;
    EnableWindow(owner, FALSE);
    m_hOwner = owner;
}

CWin32DisabledOwner::~CWin32DisabledOwner()
{
    if (m_hOwner != nullptr)
        EnableWindow(m_hOwner, TRUE);
}

void RunMessagesUntil(const bool& ended, void (*dispatch)(tagMSG& msg))
{
    MSG msg{};
    while (!ended) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            // Someone asked the program to quit: end this run, and let the outer ones see it.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got > 0)
            dispatch(msg);
    }
}
