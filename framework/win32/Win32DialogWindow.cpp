#include "Win32DialogWindow.h"

#include "Win32DialogProcs.h"
#include "Win32DialogTemplate.h"
#include "Win32Dpi.h"
#include "Win32MessageBox.h"
#include "Win32ModalLoop.h"
#include "Win32Text.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>

namespace {

// The windows of ours running modally, innermost last.
std::vector<CWin32DialogWindow*> g_modal;

} // namespace

CWin32DialogWindow::CWin32DialogWindow(CDialog& dialog, const DialogTemplate& tmpl, HWND__* owner)
    : CWin32NativeDialog(tmpl, &dialog)
{
    const std::vector<std::uint16_t> native = BuildDialogTemplate(tmpl);
    CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                               reinterpret_cast<LPCDLGTEMPLATEW>(native.data()), owner,
                               &CWin32DialogProcs::Dialog,
                               reinterpret_cast<LPARAM>(static_cast<CWin32NativeDialog*>(this)));
    if (m_hWnd == nullptr)
        return;
    CWin32DialogProcs::Remember(*this);
    m_bContextHelpButton = (tmpl.exStyle & WS_EX_CONTEXTHELP) != 0;
}

CWin32DialogWindow::~CWin32DialogWindow()
{
    ReleaseDialog();
    if (m_hWnd == nullptr)
        return;
    CWin32DialogProcs::Forget(*this);
    std::erase(g_modal, this);
    for (unsigned id : m_timers)
        ::KillTimer(m_hWnd, id);
    if (m_helpMode.IsActive())
        m_helpMode.End();
    SetWindowLongPtrW(m_hWnd, DWLP_USER, 0);
    m_toolTips.Destroy();
    DestroyWindow(m_hWnd);
    // The window and its icon statics are gone: their icons go with the members.
}

void CWin32DialogWindow::CreateToolTips()
{
    // Once the window shows, when a tip can first be wanted: made before, the tooltip window
    // and its tools would only lengthen the start.
    if (m_toolTips.IsCreated() || !m_toolTips.Create(m_hWnd))
        return;
    for (int index = 0; index < static_cast<int>(m_items.size()); ++index)
        if (!m_items[static_cast<std::size_t>(index)].toolTip.empty())
            AddTool(index);
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

CWin32DialogWindow* CWin32DialogWindow::ActiveModal()
{
    return g_modal.empty() ? nullptr : g_modal.back();
}

void CWin32DialogWindow::DispatchOne(tagMSG& msg)
{
    CWin32DialogProcs::DispatchOne(msg);
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
        m_items[static_cast<std::size_t>(index)].icon.Reset(icon);
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
    if (!added && m_toolTips.IsCreated())
        AddTool(index);
}

void CWin32DialogWindow::AddTool(int index)
{
    m_toolTips.AddTool(HwndAt(index), LetsTheMouseThrough(index));
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
    m_captionIcons.Show(m_hWnd, iconId, DpiOf(m_hWnd));
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
    if (m_helpMode.IsActive())
        m_helpMode.End();
    EndMenu();
    if (GetCapture() != nullptr)
        ReleaseCapture();
}

void CWin32DialogWindow::EnterContextHelpMode()
{
    // Our own mode, the same from the caption's button and from Shift+F1: the next click on
    // a control asks for its help.
    m_helpMode.Enter(m_hWnd);
}

int CWin32DialogWindow::RunModalLoop()
{
    if (m_hWnd == nullptr)
        return -1;
    if (!m_bEnded) {
        // The owner has its input back when the run ends, before this window hides, so that it
        // is the window that becomes active again.
        const CWin32DisabledOwner owner(GetWindow(m_hWnd, GW_OWNER));
        g_modal.push_back(this);
        m_bRunning = true;
        Show();
        RunMessagesUntil(m_bEnded, &DispatchOne);
        m_bRunning = false;
        std::erase(g_modal, this);
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
