#include "Win32HelpMode.h"

#include <windows.h>

#include <windowsx.h>

#include <utility>

void CWin32HelpMode::Enter(HWND__* dialog)
{
    m_hDialog = dialog;
    SetCapture(dialog);
    ShowCursor();
}

void CWin32HelpMode::End()
{
    const HWND dialog = std::exchange(m_hDialog, nullptr);
    if (dialog != nullptr && GetCapture() == dialog)
        ReleaseCapture();
}

void CWin32HelpMode::ShowCursor()
{
    SetCursor(LoadCursorA(nullptr, IDC_HELP));
}

std::optional<HWND__*> CWin32HelpMode::EndAtClick(std::intptr_t lParam)
{
    const HWND dialog = m_hDialog;
    POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    RECT client{};
    GetClientRect(dialog, &client);
    const bool inside = PtInRect(&client, at) != FALSE;
    const HWND hit = ChildWindowFromPointEx(dialog, at, CWP_SKIPINVISIBLE);
    End();
    if (!inside)
        return std::nullopt;
    return hit;
}
