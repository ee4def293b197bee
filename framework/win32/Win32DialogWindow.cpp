#include "Win32DialogWindow.h"

#include "Win32Accessible.h"
#include "Win32DialogTemplate.h"
#include "Win32Dpi.h"
#include "Win32MessageBox.h"
#include "Win32Text.h"

#include <windows.h>

#include <commctrl.h>
#include <oleacc.h>
#include <windowsx.h>

#include <algorithm>

namespace {

// Every window of ours, and the ones running modally, innermost last.
std::vector<CWin32DialogWindow*> g_windows;
std::vector<CWin32DialogWindow*> g_modal;

constexpr unsigned kFirstSystemCommand = 0xF000;
constexpr unsigned kSystemCommandMask = 0xFFF0;
constexpr int kKeyDown = 0x8000;
// Our tooltips run to a few sentences: wrapped at this width (dialog units, so it follows the
// font), and shown long enough to read (the longest the control takes).
constexpr LONG kToolTipWidthDlu = 250;
constexpr int kToolTipShowMs = 32767;

bool Held(int virtualKey)
{
    return (GetKeyState(virtualKey) & kKeyDown) != 0;
}

// Either Shift or either Ctrl; some keyboard mappings (Wine on a bare X server) report only the
// left or right key.
bool ShiftHeld()
{
    return Held(VK_SHIFT) || Held(VK_LSHIFT) || Held(VK_RSHIFT);
}

bool ControlHeld()
{
    return Held(VK_CONTROL) || Held(VK_LCONTROL) || Held(VK_RCONTROL);
}

// The keys the dialog manager answers, as it names them; false for any other key.
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

HINSTANCE ModuleInstance()
{
    return GetModuleHandleW(nullptr);
}

// An icon of the program's at the size `metricX` x `metricY` has at `dpi`, the caller's to
// destroy. Not shared: the system's cache of shared icons would hand back the size first
// loaded.
HICON LoadIconAt(int iconId, int metricX, int metricY, unsigned dpi)
{
    return static_cast<HICON>(LoadImageW(ModuleInstance(), MAKEINTRESOURCEW(iconId), IMAGE_ICON,
                                         MetricAt(metricX, dpi), MetricAt(metricY, dpi),
                                         LR_DEFAULTCOLOR));
}

// Puts `icon` in `slot`, destroying what was there.
void Replace(HICON__*& slot, HICON icon)
{
    if (slot != nullptr)
        DestroyIcon(slot);
    slot = icon;
}

} // namespace

// The window procedures: the dialog's, and the one every control is subclassed with.
struct CWin32DialogProcs {
    static INT_PTR CALLBACK Dialog(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_INITDIALOG) {
            auto* self = reinterpret_cast<CWin32DialogWindow*>(lParam);
            SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
            self->m_hWnd = hwnd;
            self->CollectControls();
            // The focus is the dialog manager's to give, once the dialog is initialised.
            return FALSE;
        }
        auto* self = reinterpret_cast<CWin32DialogWindow*>(GetWindowLongPtrW(hwnd, DWLP_USER));
        if (self == nullptr)
            return FALSE;
        std::intptr_t result = 0;
        if (!self->OnDialogMessage(message, wParam, lParam, result))
            return FALSE;
        SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
        return TRUE;
    }

    // Every control's window procedure, in front of its class's own (kept in the control's
    // GWLP_USERDATA, which the system's controls leave to the program). Not comctl32's
    // SetWindowSubclass: that looks its chain up in a window property for every message, which
    // under Wine is a round trip to the server, and the console's start sends hundreds.
    static LRESULT CALLBACK Control(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        const auto original = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        auto* self =
            reinterpret_cast<CWin32DialogWindow*>(GetWindowLongPtrW(GetParent(hwnd), DWLP_USER));
        const int index = self != nullptr ? self->IndexOfHwnd(hwnd) : -1;
        if (index < 0) // the window going: the dialog has let it go
            return CallWindowProcW(original, hwnd, message, wParam, lParam);
        switch (message) {
        case WM_GETDLGCODE:
            // IsDialogMessage would apply Tab, Enter, Esc and the arrows itself: take them
            // here instead, where the dialog manager sees them.
            if (const auto* msg = reinterpret_cast<const MSG*>(lParam);
                msg != nullptr && msg->message == WM_KEYDOWN &&
                IsDialogManagerKey(static_cast<unsigned>(msg->wParam)))
                return CallWindowProcW(original, hwnd, message, wParam, lParam) | DLGC_WANTMESSAGE;
            break;
        case WM_KEYDOWN:
            if (self->OnControlKey(index, static_cast<unsigned>(wParam)))
                return 0;
            break;
        case WM_CHAR:
            // The characters of keys the dialog manager took; a single-line box beeps at them.
            if (wParam == '\t' || wParam == '\r' || wParam == '\x1b')
                return 0;
            break;
        case WM_LBUTTONDOWN:
            // Where the window system hands a click to the control in spite of the capture.
            if (self->m_bHelpMode) {
                self->EndHelpMode();
                self->OnHelp(index, false);
                return 0;
            }
            break;
        case WM_SETCURSOR:
            if (self->m_bHelpMode) {
                SetCursor(LoadCursorA(nullptr, IDC_HELP));
                return TRUE;
            }
            break;
        case WM_SETFOCUS:
            self->m_nFocus = index;
            break;
        case WM_WINDOWPOSCHANGED:
            self->FollowToolRect(index);
            break;
        case WM_GETOBJECT:
            // A screen reader asks for the control: the system's answer, with our names.
            if (static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT))
                if (const std::intptr_t answer = AnswerAccessibleObject(
                        hwnd, wParam, &CWin32DialogWindow::AccessibleFactsOf);
                    answer != 0)
                    return answer;
            break;
        default:
            break;
        }
        return CallWindowProcW(original, hwnd, message, wParam, lParam);
    }
};

CWin32DialogWindow::CWin32DialogWindow(CDialog& dialog, const DialogTemplate& tmpl, HWND__* owner)
    : CDialogManager(tmpl, &dialog)
{
    const std::vector<std::uint16_t> native = BuildDialogTemplate(tmpl);
    CreateDialogIndirectParamW(ModuleInstance(), reinterpret_cast<LPCDLGTEMPLATEW>(native.data()),
                               owner, &CWin32DialogProcs::Dialog, reinterpret_cast<LPARAM>(this));
    if (m_hWnd == nullptr)
        return;
    g_windows.push_back(this);
    m_bContextHelpButton = (tmpl.exStyle & WS_EX_CONTEXTHELP) != 0;
}

CWin32DialogWindow::~CWin32DialogWindow()
{
    ReleaseDialog();
    if (m_hWnd == nullptr)
        return;
    std::erase(g_windows, this);
    std::erase(g_modal, this);
    for (unsigned id : m_timers)
        ::KillTimer(m_hWnd, id);
    if (m_bHelpMode)
        EndHelpMode();
    SetWindowLongPtrW(m_hWnd, DWLP_USER, 0);
    if (m_hToolTip != nullptr)
        DestroyWindow(m_hToolTip);
    if (m_hToolTipFont != nullptr)
        DeleteObject(m_hToolTipFont);
    DestroyWindow(m_hWnd);
    // The window and its icon statics are gone: their icons can go too.
    Replace(m_hBigIcon, nullptr);
    Replace(m_hSmallIcon, nullptr);
    for (Item& item : m_items)
        Replace(item.icon, nullptr);
}

void CWin32DialogWindow::CollectControls()
{
    // A dialog creates its controls in template order, each after the last in the z-order.
    m_items.resize(Template().controls.size());
    HWND child = GetWindow(m_hWnd, GW_CHILD);
    for (Item& item : m_items) {
        item.hwnd = child;
        if (child != nullptr)
            child = GetWindow(child, GW_HWNDNEXT);
    }
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        if (m_items[i].hwnd == nullptr)
            continue;
        const HWND control = m_items[i].hwnd;
        SetWindowLongPtrW(control, GWLP_USERDATA, GetWindowLongPtrW(control, GWLP_WNDPROC));
        SetWindowLongPtrW(control, GWLP_WNDPROC,
                          reinterpret_cast<LONG_PTR>(&CWin32DialogProcs::Control));
        if (KindAt(static_cast<int>(i)) == ControlKind::Icon)
            m_items[i].iconText = std::string(Template().controls[i].text);
    }
}

void CWin32DialogWindow::CreateToolTips()
{
    // Once the window shows, when a tip can first be wanted: made before, the tooltip window
    // and its tools would only lengthen the start. TTS_NOPREFIX: an "&" in a tip is text
    // ("Ports (COM & LPT)"), not a mnemonic mark.
    if (m_hToolTip != nullptr)
        return;
    m_hToolTip = CreateWindowExW(
        0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr, ModuleInstance(), nullptr);
    if (m_hToolTip == nullptr)
        return;
    SendMessageW(m_hToolTip, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(kToolTipShowMs, 0));
    ShowToolTipFont(DpiOf(m_hWnd));
    for (int index = 0; index < static_cast<int>(m_items.size()); ++index)
        if (!m_items[static_cast<std::size_t>(index)].toolTip.empty())
            AddTool(index);
}

bool CWin32DialogWindow::LetsTheMouseThrough(int index) const
{
    // A group box answers WM_NCHITTEST with HTTRANSPARENT: the dialog beneath gets the mouse.
    return KindAt(index) == ControlKind::GroupBox;
}

RECT CWin32DialogWindow::ToolRect(int index) const
{
    RECT rect{};
    ::GetWindowRect(HwndAt(index), &rect);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void CWin32DialogWindow::FollowToolRect(int index)
{
    if (index < 0 || m_hToolTip == nullptr || !LetsTheMouseThrough(index) ||
        m_items[static_cast<std::size_t>(index)].toolTip.empty())
        return;
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = m_hWnd;
    tool.uId = reinterpret_cast<UINT_PTR>(HwndAt(index));
    tool.rect = ToolRect(index);
    SendMessageW(m_hToolTip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
}

HWND__* CWin32DialogWindow::ControlAt(int index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_items.size())
        return nullptr;
    return HwndAt(index);
}

HWND__* CWin32DialogWindow::Control(int id) const
{
    return ControlAt(IndexOf(id));
}

HWND__* CWin32DialogWindow::FocusControl() const
{
    return ControlAt(FocusedIndex());
}

int CWin32DialogWindow::IndexOfHwnd(const HWND__* hwnd) const
{
    if (hwnd == nullptr)
        return -1;
    for (std::size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].hwnd == hwnd)
            return static_cast<int>(i);
    return -1;
}

ControlKind CWin32DialogWindow::KindAt(int index) const
{
    return KindOf(Template().controls[static_cast<std::size_t>(index)]);
}

CWin32DialogWindow* CWin32DialogWindow::ActiveModal()
{
    return g_modal.empty() ? nullptr : g_modal.back();
}

void CWin32DialogWindow::DispatchOne(tagMSG& msg)
{
    // The keyboard interface (mnemonics, Space on buttons, Alt+F4) of the dialog the message
    // is for; the keys of the dialog manager's rules come back to the controls (above).
    const HWND root = msg.hwnd != nullptr ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    for (const CWin32DialogWindow* window : g_windows)
        if (window->m_hWnd == root && IsDialogMessageW(root, &msg))
            return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

// What the window and its controls report.

bool CWin32DialogWindow::OnDialogMessage(unsigned message, std::uintptr_t wParam,
                                         std::intptr_t lParam, std::intptr_t& result)
{
    switch (message) {
    case WM_COMMAND:
        OnCommandFrom(reinterpret_cast<HWND>(lParam), HIWORD(wParam), LOWORD(wParam));
        return true;
    case WM_VSCROLL:
    case WM_HSCROLL: {
        const int index = IndexOfHwnd(reinterpret_cast<HWND>(lParam));
        if (index < 0)
            return false;
        OnFaderScroll(index, LOWORD(wParam));
        return true;
    }
    case WM_TIMER:
        Send(WM_TIMER, wParam);
        return true;
    case WM_SYSCOMMAND: {
        const auto command = static_cast<unsigned>(wParam) & kSystemCommandMask;
        if (command == SC_CLOSE)
            OnCloseRequest();
        else if (command == SC_CONTEXTHELP || command < kFirstSystemCommand)
            OnSystemCommand(static_cast<unsigned>(wParam));
        else
            return false; // moving, the window menu, ...: the window system's
        return true;
    }
    case WM_HELP: {
        const auto* info = reinterpret_cast<const HELPINFO*>(lParam);
        const int index = info != nullptr ? IndexOfHwnd(static_cast<HWND>(info->hItemHandle)) : -1;
        OnHelp(index, ShiftHeld() || ControlHeld());
        result = TRUE;
        return true;
    }
    case WM_CONTEXTMENU:
        OnContextMenu(IndexOfHwnd(reinterpret_cast<HWND>(wParam)), GET_X_LPARAM(lParam),
                      GET_Y_LPARAM(lParam));
        return true;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->code != TTN_GETDISPINFOW || header->hwndFrom != m_hToolTip)
            return false;
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
        const int index = IndexOfHwnd(reinterpret_cast<HWND>(header->idFrom));
        if (index < 0)
            return false;
        // The dialog brings the text up to date before it shows.
        OnToolTipShowing(index);
        m_shownTip = Widen(m_items[static_cast<std::size_t>(index)].toolTip);
        info->lpszText = m_shownTip.data();
        return true;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_SETCURSOR:
    case WM_CAPTURECHANGED:
    case WM_CANCELMODE:
        return m_bHelpMode && OnHelpModeMouse(message, lParam);
    case WM_ENDSESSION:
        if (wParam != FALSE)
            EndSession();
        return true;
    case WM_DPICHANGED:
        if (lParam != 0)
            OnDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return false; // and the dialog manager's own scaling
    default:
        return false;
    }
}

void CWin32DialogWindow::EndSession()
{
    // Windows may end the process as soon as this message returns, with the modal loops still
    // on the stack: every dialog is let go now, the topmost first, while its window still
    // exists, so that the console finishes its transmission and releases the port. Each
    // top-level window hears this; the first does it for all.
    const std::vector<CWin32DialogWindow*> windows = g_windows;
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
        (*it)->ReleaseDialog();
}

void CWin32DialogWindow::OnCommandFrom(HWND__* control, unsigned code, unsigned id)
{
    const int index = IndexOfHwnd(control);
    if (index < 0) {
        // From the window's own keyboard interface, where no control had the focus.
        if (id == IDOK)
            OnKey(DialogKey::Enter);
        else if (id == IDCANCEL)
            OnKey(DialogKey::Escape);
        return;
    }
    if (code == BN_CLICKED)
        OnButtonClicked(index);
    else if (code == EN_CHANGE)
        OnTextEdited(index);
}

bool CWin32DialogWindow::OnControlKey(int index, unsigned virtualKey)
{
    if (m_bHelpMode && virtualKey == VK_ESCAPE) {
        EndHelpMode();
        return true;
    }
    if (virtualKey == VK_F1) {
        OnHelpKey(index);
        return true;
    }
    DialogKey key{};
    return ToDialogKey(virtualKey, key) && OnKey(key);
}

void CWin32DialogWindow::OnHelpKey(int index)
{
    // Shift+F1 is the caption's help button, which not every window system shows; Ctrl+F1
    // asks about the window.
    if (ShiftHeld() && m_bContextHelpButton) {
        OnSystemCommand(SC_CONTEXTHELP);
        return;
    }
    if (ControlHeld()) {
        OnHelp(-1, true);
        return;
    }
    OnHelp(index, ShiftHeld());
}

bool CWin32DialogWindow::OnHelpModeMouse(unsigned message, std::intptr_t lParam)
{
    switch (message) {
    case WM_SETCURSOR:
        SetCursor(LoadCursorA(nullptr, IDC_HELP));
        return true;
    case WM_LBUTTONDOWN: {
        POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        RECT client{};
        GetClientRect(m_hWnd, &client);
        const bool inside = PtInRect(&client, at) != FALSE;
        const HWND hit = ChildWindowFromPointEx(m_hWnd, at, CWP_SKIPINVISIBLE);
        EndHelpMode();
        if (inside)
            OnHelp(IndexOfHwnd(hit), false);
        return true;
    }
    default:
        EndHelpMode();
        return message != WM_CAPTURECHANGED;
    }
}

void CWin32DialogWindow::EndHelpMode()
{
    m_bHelpMode = false;
    if (GetCapture() == m_hWnd)
        ReleaseCapture();
}

// The controls.

std::string CWin32DialogWindow::ControlText(int index) const
{
    if (KindAt(index) == ControlKind::Icon)
        return m_items[static_cast<std::size_t>(index)].iconText;
    return WindowText(HwndAt(index));
}

void CWin32DialogWindow::ShowText(int index, const std::string& text)
{
    HWND control = HwndAt(index);
    if (KindAt(index) == ControlKind::Icon) {
        m_items[static_cast<std::size_t>(index)].iconText = text;
        const int ordinal = ResourceOrdinal(text);
        HICON icon =
            ordinal != 0 ? LoadIconAt(ordinal, SM_CXICON, SM_CYICON, DpiOf(m_hWnd)) : nullptr;
        SendMessageW(control, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
        Replace(m_items[static_cast<std::size_t>(index)].icon, icon);
        return;
    }
    SetWindowTextW(control, Widen(text).c_str());
}

bool CWin32DialogWindow::ControlChecked(int index) const
{
    return SendMessageW(HwndAt(index), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CWin32DialogWindow::ShowChecked(int index, bool checked)
{
    SendMessageW(HwndAt(index), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

int CWin32DialogWindow::ControlFaderPos(int index) const
{
    return static_cast<int>(SendMessageW(HwndAt(index), TBM_GETPOS, 0, 0));
}

void CWin32DialogWindow::ShowFaderPos(int index, int pos)
{
    // With redraw: Wine's trackbar moves its thumb only then, hidden or not.
    SendMessageW(HwndAt(index), TBM_SETPOS, TRUE, pos);
}

void CWin32DialogWindow::ShowFaderRange(int index, int minimum, int maximum, int pageSize)
{
    HWND fader = HwndAt(index);
    SendMessageW(fader, TBM_SETRANGEMIN, FALSE, minimum);
    SendMessageW(fader, TBM_SETRANGEMAX, TRUE, maximum);
    SendMessageW(fader, TBM_SETPAGESIZE, 0, pageSize);
}

void CWin32DialogWindow::ShowTicFrequency(int index, int frequency)
{
    SendMessageW(HwndAt(index), TBM_SETTICFREQ, static_cast<WPARAM>(frequency), 0);
}

void CWin32DialogWindow::ShowToolTip(int index, const std::string& text)
{
    Item& item = m_items[static_cast<std::size_t>(index)];
    const bool added = !item.toolTip.empty();
    item.toolTip = text;
    if (!added && m_hToolTip != nullptr)
        AddTool(index);
}

void CWin32DialogWindow::AddTool(int index)
{
    const Item& item = m_items[static_cast<std::size_t>(index)];
    // The text is asked for each time the tip shows (TTN_GETDISPINFO), for the tool whose id
    // is the control's handle.
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = m_hWnd;
    tool.uId = reinterpret_cast<UINT_PTR>(item.hwnd);
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    if (LetsTheMouseThrough(index)) {
        // The control never sees the mouse: the tool is the dialog's, over the control's
        // rectangle. The controls inside it get the mouse, and show their own tips.
        tool.uFlags = TTF_SUBCLASS;
        tool.rect = ToolRect(index);
    }
    SendMessageW(m_hToolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

int CWin32DialogWindow::FocusedIndex() const
{
    const HWND focus = GetFocus();
    if (focus != nullptr && IsChild(m_hWnd, focus))
        return IndexOfHwnd(focus);
    return m_nFocus;
}

void CWin32DialogWindow::ShowFocus(int index, FocusReason /*reason*/)
{
    m_nFocus = index;
    if (IsWindowVisible(m_hWnd))
        SetFocus(HwndAt(index));
}

void CWin32DialogWindow::ShowAllSelected(int index)
{
    SendMessageW(HwndAt(index), EM_SETSEL, 0, -1);
}

bool CWin32DialogWindow::CanFocus(int index) const
{
    const HWND control = HwndAt(index);
    return control != nullptr && IsWindowEnabled(control) &&
           (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

void CWin32DialogWindow::ShowAccessibleName(int index, const std::string& /*name*/)
{
    // Asked for when a screen reader wants it (WM_GETOBJECT); it is told that it changed.
    NotifyChanged(index, EVENT_OBJECT_NAMECHANGE);
}

void CWin32DialogWindow::ShowAccessibleDescription(int index, const std::string& /*text*/)
{
    NotifyChanged(index, EVENT_OBJECT_DESCRIPTIONCHANGE);
}

void CWin32DialogWindow::ShowFaderValueScale(int index)
{
    NotifyChanged(index, EVENT_OBJECT_VALUECHANGE);
}

void CWin32DialogWindow::NotifyChanged(int index, unsigned event) const
{
    // Before the window shows, no screen reader has read anything that could be out of date.
    if (IsWindowVisible(m_hWnd) != FALSE)
        NotifyWinEvent(event, HwndAt(index), OBJID_CLIENT, CHILDID_SELF);
}

std::optional<AccessibleFacts> CWin32DialogWindow::AccessibleFactsOf(HWND__* control)
{
    for (const CWin32DialogWindow* window : g_windows) {
        const int index = window->IndexOfHwnd(control);
        if (index < 0)
            continue;
        AccessibleFacts facts;
        facts.name = window->AccessibleNameAt(index);
        facts.description = window->AccessibleDescriptionAt(index);
        switch (window->KindAt(index)) {
        case ControlKind::Edit:
            facts.role = ROLE_SYSTEM_TEXT;
            break;
        case ControlKind::PushButton:
            facts.role = ROLE_SYSTEM_PUSHBUTTON;
            break;
        case ControlKind::CheckBox:
            facts.role = ROLE_SYSTEM_CHECKBUTTON;
            facts.checked = window->ControlChecked(index);
            break;
        case ControlKind::Radio:
            facts.role = ROLE_SYSTEM_RADIOBUTTON;
            facts.checked = window->ControlChecked(index);
            break;
        case ControlKind::GroupBox:
            facts.role = ROLE_SYSTEM_GROUPING;
            break;
        case ControlKind::Label:
            facts.role = ROLE_SYSTEM_STATICTEXT;
            break;
        case ControlKind::Icon:
            facts.role = ROLE_SYSTEM_GRAPHIC;
            break;
        case ControlKind::Trackbar:
            facts.role = ROLE_SYSTEM_SLIDER;
            facts.value = window->FaderAccessibleValue(index);
            break;
        }
        return facts;
    }
    return std::nullopt;
}

int CWin32DialogWindow::ShowMessageBox(const std::string& text, const std::string& caption,
                                       unsigned flags)
{
    // The box takes the mouse: a fader being dragged lets go, as it does on losing capture.
    if (const HWND captured = GetCapture(); captured != nullptr && IndexOfHwnd(captured) >= 0)
        ReleaseCapture();
    return ShowWin32MessageBox(m_hWnd, text, caption, flags);
}

// The window.

void CWin32DialogWindow::Show()
{
    ShowWindow(m_hWnd, SW_SHOW);
    CreateToolTips();
    SetForegroundWindow(m_hWnd);
    if (const HWND focus = ControlAt(m_nFocus); focus != nullptr)
        SetFocus(focus);
}

void CWin32DialogWindow::SetCaption(const std::string& text)
{
    SetWindowTextW(m_hWnd, Widen(text).c_str());
}

std::string CWin32DialogWindow::GetCaption() const
{
    return WindowText(m_hWnd);
}

ScreenRect CWin32DialogWindow::GetWindowRect() const
{
    RECT frame{};
    if (::GetWindowRect(m_hWnd, &frame) == FALSE)
        return {};
    return {frame.left, frame.top, frame.right, frame.bottom};
}

ScreenRect CWin32DialogWindow::GetDesktopRect() const
{
    RECT desktop{};
    if (::GetWindowRect(GetDesktopWindow(), &desktop) == FALSE)
        return {};
    return {desktop.left, desktop.top, desktop.right, desktop.bottom};
}

ScreenRect CWin32DialogWindow::GetWorkAreaRect() const
{
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor) == FALSE)
        return GetDesktopRect();
    const RECT& work = monitor.rcWork;
    return {work.left, work.top, work.right, work.bottom};
}

void CWin32DialogWindow::MoveWindow(int x, int y)
{
    SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWin32DialogWindow::BringToTop()
{
    // A window not yet shown comes up on top when it is.
    if (!IsWindowVisible(m_hWnd))
        return;
    SetForegroundWindow(m_hWnd);
    BringWindowToTop(m_hWnd);
}

void CWin32DialogWindow::SetIcon(int iconId)
{
    m_nIconId = iconId;
    ShowIcons(DpiOf(m_hWnd));
}

void CWin32DialogWindow::ShowIcons(unsigned dpi)
{
    // The system's sizes at the monitor's resolution; Windows scales the one 32 x 32 image.
    if (m_nIconId == 0)
        return;
    HICON big = LoadIconAt(m_nIconId, SM_CXICON, SM_CYICON, dpi);
    HICON small = LoadIconAt(m_nIconId, SM_CXSMICON, SM_CYSMICON, dpi);
    SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    Replace(m_hBigIcon, big);
    Replace(m_hSmallIcon, small);
}

void CWin32DialogWindow::ShowToolTipFont(unsigned dpi)
{
    // The tooltip takes the system's font at the resolution the program started with; the
    // dialog's monitor may have another.
    if (m_hToolTip == nullptr)
        return;
    // A width also makes the tip break its lines at "\n"; in dialog units, so it follows the
    // dialog's font at this resolution.
    RECT width{0, 0, kToolTipWidthDlu, 0};
    MapDialogRect(m_hWnd, &width);
    SendMessageW(m_hToolTip, TTM_SETMAXTIPWIDTH, 0, width.right);
    NONCLIENTMETRICSW metrics;
    if (!NonClientMetricsAt(dpi, metrics))
        return;
    HFONT font = CreateFontIndirectW(&metrics.lfStatusFont);
    if (font == nullptr)
        return;
    SendMessageW(m_hToolTip, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (m_hToolTipFont != nullptr)
        DeleteObject(m_hToolTipFont);
    m_hToolTipFont = font;
}

void CWin32DialogWindow::OnDpiChanged(unsigned dpi, const RECT& suggested)
{
    // The window moved to a monitor of another resolution (or its scaling changed). The dialog
    // manager scales the dialog, its controls and their fonts; what we chose ourselves follows,
    // and the window takes the place Windows suggests, so that it stays under the mouse.
    ShowIcons(dpi);
    ShowToolTipFont(dpi);
    SetWindowPos(m_hWnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CWin32DialogWindow::IsIconic() const
{
    return ::IsIconic(m_hWnd) != FALSE;
}

unsigned CWin32DialogWindow::SetTimer(unsigned id, unsigned milliseconds)
{
    if (id == 0 || milliseconds == 0)
        return 0;
    if (::SetTimer(m_hWnd, id, milliseconds, nullptr) == 0)
        return 0;
    if (std::find(m_timers.begin(), m_timers.end(), id) == m_timers.end())
        m_timers.push_back(id);
    return id;
}

bool CWin32DialogWindow::KillTimer(unsigned id)
{
    const auto it = std::find(m_timers.begin(), m_timers.end(), id);
    if (it == m_timers.end())
        return false;
    m_timers.erase(it);
    return ::KillTimer(m_hWnd, id) != FALSE;
}

void CWin32DialogWindow::AppendSystemMenuSeparator()
{
    if (HMENU menu = GetSystemMenu(m_hWnd, FALSE); menu != nullptr)
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
}

void CWin32DialogWindow::AppendSystemMenuItem(unsigned id, const std::string& text)
{
    if (HMENU menu = GetSystemMenu(m_hWnd, FALSE); menu != nullptr)
        AppendMenuW(menu, MF_STRING, id, Widen(text).c_str());
}

void CWin32DialogWindow::CancelModes()
{
    if (m_bHelpMode)
        EndHelpMode();
    EndMenu();
    if (GetCapture() != nullptr)
        ReleaseCapture();
}

void CWin32DialogWindow::EnterContextHelpMode()
{
    // Our own mode, the same from the caption's button and from Shift+F1: the next click on
    // a control asks for its help.
    m_bHelpMode = true;
    SetCapture(m_hWnd);
    SetCursor(LoadCursorA(nullptr, IDC_HELP));
}

int CWin32DialogWindow::RunModalLoop()
{
    if (m_hWnd == nullptr)
        return -1;
    if (!m_bEnded) {
        const HWND owner = GetWindow(m_hWnd, GW_OWNER);
        const bool disableOwner = owner != nullptr && IsWindowEnabled(owner) != FALSE;
        if (disableOwner)
            EnableWindow(owner, FALSE);
        g_modal.push_back(this);
        m_bRunning = true;
        Show();
        MSG msg{};
        while (!m_bEnded) {
            const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
            if (got == 0) {
                // Someone asked the program to quit: end this run, and let the outer ones see it.
                PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            if (got > 0)
                DispatchOne(msg);
        }
        m_bRunning = false;
        std::erase(g_modal, this);
        // The owner first, so that it is the window that becomes active again.
        if (disableOwner)
            EnableWindow(owner, TRUE);
    }
    const bool wasActive = GetActiveWindow() == m_hWnd;
    ShowWindow(m_hWnd, SW_HIDE);
    // Not every window system hands the activation back by itself (Wine without a manager).
    if (const HWND owner = GetWindow(m_hWnd, GW_OWNER); wasActive && owner != nullptr)
        SetActiveWindow(owner);
    return m_nResult;
}

void CWin32DialogWindow::EndModalLoop(int result)
{
    m_nResult = result;
    m_bEnded = true;
    if (m_bRunning)
        PostMessageW(m_hWnd, WM_NULL, 0, 0);
}
