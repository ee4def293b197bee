// The program on Windows: native dialogs, and the console's modal run as its whole life.
#include "FaderApp.h"

#include "framework/HelpEngine.h"
#include "framework/WindowPeer.h"
#include "framework/win32/Win32HelpDisplay.h"
#include "framework/win32/Win32Text.h"
#include "framework/win32/Win32WindowSystem.h"

#include <windows.h>

#include <string>

namespace {

// The path of the program's own executable; the title and the help file come from it.
std::string ModulePath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return Narrow(path);
        }
        path.resize(path.size() * 2);
    }
}

} // namespace

int main()
{
    CWin32WindowSystem windowSystem;
    CWin32HelpDisplay helpDisplay;
    AfxSetWindowSystem(&windowSystem);
    AfxGetHelpEngine().SetDisplay(&helpDisplay);
    theApp.Run(ModulePath());
    AfxGetHelpEngine().SetDisplay(nullptr);
    AfxSetWindowSystem(nullptr);
    return 0;
}
