#include "Win32Operator.h"
#include "Win32Measure.h"

#include "framework/win32/Win32DialogWindow.h"
#include "framework/win32/Win32Text.h"

#include <windows.h>

#include <commctrl.h>
#include <oleacc.h>

#include <array>

namespace {

std::function<bool()> g_tick;

// Everything posted so far, through the step every dialog loop of ours takes.
void Pump()
{
    MSG msg{};
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE) != FALSE)
        CWin32DialogWindow::DispatchOne(msg);
}

unsigned VirtualKey(DialogKey key)
{
    switch (key) {
    case DialogKey::Tab:
    case DialogKey::BackTab:
        return VK_TAB;
    case DialogKey::Enter:
        return VK_RETURN;
    case DialogKey::Escape:
        return VK_ESCAPE;
    case DialogKey::Up:
        return VK_UP;
    case DialogKey::Down:
        return VK_DOWN;
    case DialogKey::Left:
        return VK_LEFT;
    case DialogKey::Right:
        return VK_RIGHT;
    case DialogKey::PageUp:
        return VK_PRIOR;
    case DialogKey::PageDown:
        return VK_NEXT;
    case DialogKey::Home:
        return VK_HOME;
    case DialogKey::End:
        return VK_END;
    }
    return 0;
}

void CALLBACK OnPollTimer(HWND, UINT, UINT_PTR timer, DWORD)
{
    // A tick that presses keys pumps the queue, and with it this timer again.
    static bool ticking = false;
    if (ticking || !g_tick)
        return;
    ticking = true;
    const bool done = g_tick();
    ticking = false;
    if (done) {
        KillTimer(nullptr, timer);
        g_tick = nullptr;
    }
}

struct MessageBoxSearch {
    HWND owner;
    HWND found;
};

// A visible, enabled window that `owner` owns: the box standing over it.
BOOL CALLBACK FindOwnedPopup(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<MessageBoxSearch*>(data);
    if (GetWindow(window, GW_OWNER) != search->owner || IsWindowVisible(window) == FALSE ||
        IsWindowEnabled(window) == FALSE)
        return TRUE;
    search->found = window;
    return FALSE;
}

// How far DragThumb moves the mouse.
constexpr int kDragPixels = 30;

// A group box's caption starts a few pixels in from its top left corner.
constexpr POINT kIntoCaption{10, 5};

POINT SpotOn(HWND control, MouseSpot spot)
{
    RECT rect{};
    GetWindowRect(control, &rect);
    if (spot == MouseSpot::Caption)
        return {rect.left + kIntoCaption.x, rect.top + kIntoCaption.y};
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

void PressVirtualKey(HWND__* target, unsigned vk, bool shift)
{
    // The key state the window procedures read, as the keyboard would have left it.
    std::array<BYTE, 256> saved{};
    GetKeyboardState(saved.data());
    std::array<BYTE, 256> state = saved;
    constexpr BYTE kPressed = 0x80;
    if (shift)
        state[VK_SHIFT] = kPressed;
    SetKeyboardState(state.data());
    const UINT scan = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
    const LPARAM down = 1 | static_cast<LPARAM>(scan << 16U);
    const LPARAM up = down | static_cast<LPARAM>(0xC0000000U);
    PostMessageW(target, WM_KEYDOWN, vk, down);
    PostMessageW(target, WM_KEYUP, vk, up);
    Pump();
    SetKeyboardState(saved.data());
}

} // namespace

void PressKey(HWND__* target, DialogKey key)
{
    PressVirtualKey(target, VirtualKey(key), key == DialogKey::BackTab);
}

void PressHelpKey(HWND__* target, bool shift)
{
    PressVirtualKey(target, VK_F1, shift);
}

void ClickOver(HWND__* control)
{
    RECT rect{};
    GetWindowRect(control, &rect);
    POINT at{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    HWND target = GetCapture();
    if (target == nullptr)
        target = control;
    ScreenToClient(target, &at);
    const LPARAM where = MAKELPARAM(at.x, at.y);
    PostMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, where);
    PostMessageW(target, WM_LBUTTONUP, 0, where);
    Pump();
}

void DragThumb(HWND__* trackbar)
{
    RECT thumb{};
    SendMessageW(trackbar, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    POINT at{(thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2};
    PostMessageW(trackbar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    ((GetWindowLongW(trackbar, GWL_STYLE) & TBS_VERT) != 0 ? at.y : at.x) += kDragPixels;
    PostMessageW(trackbar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    PostMessageW(trackbar, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    Pump();
}

void ClickButton(HWND__* button)
{
    SendMessageW(button, BM_CLICK, 0, 0);
    Pump();
}

void TypeText(HWND__* box, const char* text)
{
    SetFocus(box);
    SendMessageW(box, EM_SETSEL, 0, -1);
    for (const char* c = text; *c != '\0'; ++c)
        PostMessageW(box, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(*c)), 1);
    Pump();
}

void PressCloseButton(HWND__* window)
{
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump();
}

void EndSession(HWND__* window, bool ending)
{
    SendMessageW(window, WM_ENDSESSION, ending ? TRUE : FALSE, 0);
}

HWND__* WindowUnder(HWND__* control, MouseSpot spot)
{
    return WindowFromPoint(SpotOn(control, spot));
}

bool ToolTipsDrawAmpersands(HWND__* window)
{
    const HWND tip = ToolTipOf(window);
    return tip != nullptr && (GetWindowLongW(tip, GWL_STYLE) & TTS_NOPREFIX) != 0;
}

std::string ToolTipOver(HWND__* window, HWND__* control, MouseSpot spot)
{
    const HWND tip = ToolTipOf(window);
    const POINT at = SpotOn(control, spot);
    const HWND under = WindowFromPoint(at);
    if (tip == nullptr || under == nullptr)
        return {};
    TTHITTESTINFOW hit{};
    hit.hwnd = under;
    hit.pt = at;
    ScreenToClient(under, &hit.pt);
    hit.ti.cbSize = TTTOOLINFOW_V2_SIZE;
    if (SendMessageW(tip, TTM_HITTESTW, 0, reinterpret_cast<LPARAM>(&hit)) == FALSE)
        return {};
    // The tooltip's own limit on a text (INFOTIPSIZE).
    std::array<wchar_t, 1024> text{};
    hit.ti.lpszText = text.data();
    SendMessageW(tip, TTM_GETTEXTW, text.size(), reinterpret_cast<LPARAM>(&hit.ti));
    Pump();
    return Narrow(text.data());
}

int ControlId(HWND__* control)
{
    return control != nullptr ? GetDlgCtrlID(control) : 0;
}

bool AllTextSelected(HWND__* box)
{
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const int length = GetWindowTextLengthW(box);
    return length > 0 && start == 0 && end == static_cast<DWORD>(length);
}

HWND__* FindMessageBox(HWND__* owner)
{
    MessageBoxSearch search{owner, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), &FindOwnedPopup, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void PressOk(HWND__* box)
{
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

CPoll::CPoll(unsigned milliseconds, std::function<bool()> tick)
{
    g_tick = std::move(tick);
    m_nTimer = SetTimer(nullptr, 0, milliseconds, &OnPollTimer);
}

CPoll::~CPoll()
{
    KillTimer(nullptr, m_nTimer);
    g_tick = nullptr;
}

namespace {

VARIANT Self()
{
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    return self;
}

std::string ReadText(IAccessible* object,
                     HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*))
{
    BSTR text = nullptr;
    if (FAILED((object->*get)(Self(), &text)) || text == nullptr)
        return {};
    std::string narrow = Narrow(text);
    SysFreeString(text);
    return narrow;
}

} // namespace

MsaaReading ReadMsaa(HWND__* control)
{
    MsaaReading reading;
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                          IID_IAccessible, reinterpret_cast<void**>(&object))) ||
        object == nullptr)
        return reading;
    reading.found = true;
    reading.name = ReadText(object, &IAccessible::get_accName);
    reading.description = ReadText(object, &IAccessible::get_accDescription);
    reading.value = ReadText(object, &IAccessible::get_accValue);
    VARIANT role{};
    if (SUCCEEDED(object->get_accRole(Self(), &role)) && role.vt == VT_I4)
        reading.role = role.lVal;
    VARIANT state{};
    reading.checked = SUCCEEDED(object->get_accState(Self(), &state)) && state.vt == VT_I4 &&
                      (state.lVal & STATE_SYSTEM_CHECKED) != 0;
    object->Release();
    return reading;
}

long MsaaRole(AccessibleRole role)
{
    switch (role) {
    case AccessibleRole::Slider:
        return ROLE_SYSTEM_SLIDER;
    case AccessibleRole::Text:
        return ROLE_SYSTEM_TEXT;
    case AccessibleRole::Button:
        return ROLE_SYSTEM_PUSHBUTTON;
    case AccessibleRole::CheckBox:
        return ROLE_SYSTEM_CHECKBUTTON;
    case AccessibleRole::Radio:
        return ROLE_SYSTEM_RADIOBUTTON;
    case AccessibleRole::Grouping:
        return ROLE_SYSTEM_GROUPING;
    }
    return 0;
}
