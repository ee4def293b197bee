#include "Win32WindowSystem.h"

#include "Win32DialogWindow.h"

#include <windows.h>

#include <commctrl.h>

CWin32WindowSystem::CWin32WindowSystem()
{
    INITCOMMONCONTROLSEX classes{};
    classes.dwSize = sizeof(classes);
    classes.dwICC = ICC_BAR_CLASSES | ICC_WIN95_CLASSES;
    InitCommonControlsEx(&classes);
}

std::unique_ptr<CWindowPeer> CWin32WindowSystem::CreateDialogWindow(CDialog& dialog,
                                                                    const DialogTemplate& tmpl)
{
    const CWin32DialogWindow* running = CWin32DialogWindow::ActiveModal();
    auto window = std::make_unique<CWin32DialogWindow>(
        dialog, tmpl, running != nullptr ? running->Handle() : nullptr);
    if (!window->IsCreated())
        return nullptr;
    return window;
}
