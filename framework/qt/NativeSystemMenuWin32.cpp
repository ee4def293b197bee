#include "NativeSystemMenu.h"

#include <windows.h>

namespace {
// The system reserves ids from 0xF000 up for its own commands.
constexpr unsigned kFirstSystemId = 0xF000;
constexpr unsigned kCommandMask = 0xFFF0;

HMENU SystemMenuOf(QWidget* window)
{
    return GetSystemMenu(reinterpret_cast<HWND>(window->winId()), FALSE);
}
} // namespace

bool AppendNativeSystemMenuSeparator(QWidget* window)
{
    HMENU menu = SystemMenuOf(window);
    return menu != nullptr && AppendMenuA(menu, MF_SEPARATOR, 0, nullptr) != FALSE;
}

bool AppendNativeSystemMenuItem(QWidget* window, unsigned id, const std::string& text)
{
    HMENU menu = SystemMenuOf(window);
    return menu != nullptr && AppendMenuA(menu, MF_STRING, id, text.c_str()) != FALSE;
}

unsigned NativeSystemCommand(const QByteArray& eventType, void* message)
{
    if (eventType != "windows_generic_MSG")
        return 0;
    const MSG* msg = static_cast<const MSG*>(message);
    if (msg->message != WM_SYSCOMMAND)
        return 0;
    const auto id = static_cast<unsigned>(msg->wParam);
    return (id & kCommandMask) < kFirstSystemId ? id : 0;
}
