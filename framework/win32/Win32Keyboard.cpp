#include "Win32Keyboard.h"

#include <windows.h>

namespace {

constexpr int kKeyDown = 0x8000;

bool Held(int virtualKey)
{
    return (GetKeyState(virtualKey) & kKeyDown) != 0;
}

} // namespace

bool ShiftHeld()
{
    return Held(VK_SHIFT) || Held(VK_LSHIFT) || Held(VK_RSHIFT);
}

bool ControlHeld()
{
    return Held(VK_CONTROL) || Held(VK_LCONTROL) || Held(VK_RCONTROL);
}

bool ToDialogKey(unsigned virtualKey, DialogKey& key)
{
    switch (virtualKey) {
    case VK_TAB:
        key = ShiftHeld() ? DialogKey::BackTab : DialogKey::Tab;
        return true;
    case VK_RETURN:
        key = DialogKey::Enter;
        return true;
    case VK_ESCAPE:
        key = DialogKey::Escape;
        return true;
    case VK_UP:
        key = DialogKey::Up;
        return true;
    case VK_DOWN:
        key = DialogKey::Down;
        return true;
    case VK_LEFT:
        key = DialogKey::Left;
        return true;
    case VK_RIGHT:
        key = DialogKey::Right;
        return true;
    case VK_PRIOR:
        key = DialogKey::PageUp;
        return true;
    case VK_NEXT:
        key = DialogKey::PageDown;
        return true;
    case VK_HOME:
        key = DialogKey::Home;
        return true;
    case VK_END:
        key = DialogKey::End;
        return true;
    default:
        return false;
    }
}

bool IsDialogManagerKey(unsigned virtualKey)
{
    DialogKey key{};
    return virtualKey == VK_F1 || ToDialogKey(virtualKey, key);
}
