// The yardstick for the program's start-up on Windows: the console's controls as a bare native
// dialog, built from the same in-memory template with the same common controls, and nothing of
// our dialog layer or console behind it. Esc closes it.
#include "framework/win32/Win32DialogTemplate.h"
#include "res/Resource.h"
#include "res/Templates.h"

#include <windows.h>

#include <commctrl.h>

namespace {

INT_PTR CALLBACK BareDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM /*lParam*/)
{
    switch (message) {
    case WM_INITDIALOG:
        SetWindowTextW(dialog, L"Bare Dialog");
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        break;
    default:
        break;
    }
    return FALSE;
}

} // namespace

int main()
{
    INITCOMMONCONTROLSEX classes{};
    classes.dwSize = sizeof classes;
    classes.dwICC = ICC_BAR_CLASSES | ICC_WIN95_CLASSES;
    InitCommonControlsEx(&classes);
    const auto native = BuildDialogTemplate(*FindDialogTemplate(IDD_CONSOLE));
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr),
                            reinterpret_cast<LPCDLGTEMPLATEW>(native.data()), nullptr, &BareDialog,
                            0);
    return 0;
}
