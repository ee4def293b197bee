#include "Win32DialogProcs.h"

#include "Win32Accessible.h"
#include "Win32Keyboard.h"
#include "Win32NativeDialog.h"

#include <commctrl.h>
#include <oleacc.h>
#include <windowsx.h>

#include <algorithm>
#include <vector>

namespace {

// Every dialog of ours.
std::vector<CWin32NativeDialog*> g_dialogs;

constexpr unsigned kFirstSystemCommand = 0xF000;
constexpr unsigned kSystemCommandMask = 0xFFF0;

// One row of a window procedure's table: a message and its handler.
template <class Handler> struct MessageRow {
    UINT message;
    Handler handler;
};

template <class Handler, std::size_t N>
Handler Find(const MessageRow<Handler> (&table)[N], UINT message)
{
    for (const MessageRow<Handler>& row : table)
        if (row.message == message)
            return row.handler;
    return nullptr;
}

} // namespace

CWin32DialogProcs::DialogHandler CWin32DialogProcs::DialogHandlerOf(UINT message)
{
    static constexpr MessageRow<DialogHandler> kDialogMessages[] = {
        {WM_COMMAND, &OnCommand},
        {WM_VSCROLL, &OnScroll},
        {WM_HSCROLL, &OnScroll},
        {WM_TIMER, &OnTimer},
        {WM_SYSCOMMAND, &OnSysCommand},
        {WM_HELP, &OnHelpRequest},
        {WM_CONTEXTMENU, &OnContextMenuRequest},
        {WM_NOTIFY, &OnNotify},
        {WM_LBUTTONDOWN, &OnHelpModeClick},
        {WM_RBUTTONDOWN, &OnHelpModeCancel},
        {WM_SETCURSOR, &OnHelpModeCursor},
        {WM_CANCELMODE, &OnHelpModeCancel},
        {WM_CAPTURECHANGED, &OnCaptureChanged},
        {WM_ENDSESSION, &OnEndSession},
        {WM_DPICHANGED, &OnDpiChanged},
    };
    return Find(kDialogMessages, message);
}

CWin32DialogProcs::ControlHandler CWin32DialogProcs::ControlHandlerOf(UINT message)
{
    static constexpr MessageRow<ControlHandler> kControlMessages[] = {
        {WM_GETDLGCODE, &OnGetDlgCode},
        {WM_KEYDOWN, &OnKeyDown},
        {WM_CHAR, &OnChar},
        {WM_LBUTTONDOWN, &OnControlClick},
        {WM_SETCURSOR, &OnControlCursor},
        {WM_SETFOCUS, &OnSetFocus},
        {WM_WINDOWPOSCHANGED, &OnMoved},
        {WM_GETOBJECT, &OnGetObject},
    };
    return Find(kControlMessages, message);
}

INT_PTR CALLBACK CWin32DialogProcs::Dialog(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        // The first message that knows the dialog object; the ones before are the system's.
        auto* self = reinterpret_cast<CWin32NativeDialog*>(lParam);
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        self->m_hWnd = hwnd;
        CollectControls(*self);
        // The focus is the dialog manager's to give, once the dialog is initialised.
        return FALSE;
    }
    auto* self = reinterpret_cast<CWin32NativeDialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    const DialogHandler handler = DialogHandlerOf(message);
    if (self == nullptr || handler == nullptr)
        return FALSE;
    const Reply reply = handler(*self, wParam, lParam);
    if (!reply)
        return FALSE;
    SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, *reply);
    return TRUE;
}

void CWin32DialogProcs::Remember(CWin32NativeDialog& dialog)
{
    g_dialogs.push_back(&dialog);
}

void CWin32DialogProcs::Forget(CWin32NativeDialog& dialog)
{
    std::erase(g_dialogs, &dialog);
}

void CWin32DialogProcs::DispatchOne(MSG& msg)
{
    // The keys of the dialog manager's rules come back to the controls (OnGetDlgCode).
    const HWND root = msg.hwnd != nullptr ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    for (const CWin32NativeDialog* dialog : g_dialogs)
        if (dialog->m_hWnd == root && IsDialogMessageW(root, &msg))
            return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

void CWin32DialogProcs::CollectControls(CWin32NativeDialog& dialog)
{
    // A dialog creates its controls in template order, each after the last in the z-order.
    const auto& controls = dialog.Template().controls;
    dialog.m_items.resize(controls.size());
    HWND child = GetWindow(dialog.m_hWnd, GW_CHILD);
    for (CWin32NativeDialog::Item& item : dialog.m_items) {
        item.hwnd = child;
        if (child != nullptr)
            child = GetWindow(child, GW_HWNDNEXT);
    }
    for (std::size_t i = 0; i < dialog.m_items.size(); ++i) {
        const HWND control = dialog.m_items[i].hwnd;
        if (control == nullptr)
            continue;
        // Every control's window procedure is Control, in front of its class's own (kept in
        // the control's GWLP_USERDATA, which the system's controls leave to the program). Not
        // comctl32's SetWindowSubclass: that looks its chain up in a window property for every
        // message, which under Wine is a round trip to the server, and the console's start
        // sends hundreds.
        SetWindowLongPtrW(control, GWLP_USERDATA, GetWindowLongPtrW(control, GWLP_WNDPROC));
        SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Control));
        if (dialog.KindAt(static_cast<int>(i)) == ControlKind::Icon)
            dialog.m_items[i].iconText = std::string(controls[i].text);
    }
}

LRESULT CALLBACK CWin32DialogProcs::Control(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    const ControlMessage msg{hwnd, message, wParam, lParam,
                             reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_USERDATA))};
    auto* self =
        reinterpret_cast<CWin32NativeDialog*>(GetWindowLongPtrW(GetParent(hwnd), DWLP_USER));
    const int index = self != nullptr ? self->IndexOfHwnd(hwnd) : -1;
    if (index < 0) // the window going: the dialog has let it go
        return msg.PassOn();
    const ControlHandler handler = ControlHandlerOf(message);
    return handler != nullptr ? handler(*self, index, msg) : msg.PassOn();
}

LRESULT CWin32DialogProcs::ControlMessage::PassOn() const
{
    return CallWindowProcW(original, hwnd, message, wParam, lParam);
}

// The dialog's messages.

CWin32DialogProcs::Reply CWin32DialogProcs::OnCommand(CWin32NativeDialog& dialog, WPARAM wParam,
                                                      LPARAM lParam)
{
    const unsigned code = HIWORD(wParam);
    const unsigned id = LOWORD(wParam);
    const int index = dialog.IndexOfHwnd(reinterpret_cast<HWND>(lParam));
    if (index < 0) {
        // From the window's own keyboard interface, where no control had the focus.
        if (id == IDOK)
            dialog.OnKey(DialogKey::Enter);
        else if (id == IDCANCEL)
            dialog.OnKey(DialogKey::Escape);
    } else if (code == BN_CLICKED) {
        dialog.OnButtonClicked(index);
    } else if (code == EN_CHANGE) {
        dialog.OnTextEdited(index);
    }
    return 0;
}

CWin32DialogProcs::Reply CWin32DialogProcs::OnScroll(CWin32NativeDialog& dialog, WPARAM wParam,
                                                     LPARAM lParam)
{
    const int index = dialog.IndexOfHwnd(reinterpret_cast<HWND>(lParam));
    if (index < 0)
        return std::nullopt;
    dialog.OnFaderScroll(index, LOWORD(wParam));
    return 0;
}

CWin32DialogProcs::Reply CWin32DialogProcs::OnTimer(CWin32NativeDialog& dialog, WPARAM wParam,
                                                    LPARAM /*lParam*/)
{
    dialog.Send(WM_TIMER, wParam);
    return 0;
}

CWin32DialogProcs::Reply CWin32DialogProcs::OnSysCommand(CWin32NativeDialog& dialog, WPARAM wParam,
                                                         LPARAM /*lParam*/)
{
    const auto command = static_cast<unsigned>(wParam) & kSystemCommandMask;
    if (command == SC_CLOSE)
        dialog.OnCloseRequest();
    else if (command == SC_CONTEXTHELP || command < kFirstSystemCommand)
        dialog.OnSystemCommand(static_cast<unsigned>(wParam));
    else
        return std::nullopt; // moving, the window menu, ...: the window system's
    return 0;
}

CWin32DialogProcs::Reply CWin32DialogProcs::OnHelpRequest(CWin32NativeDialog& dialog,
                                                          WPARAM /*wParam*/, LPARAM lParam)
{
    const auto* info = reinterpret_cast<const HELPINFO*>(lParam);
    const int index =
        info != nullptr ? dialog.IndexOfHwnd(static_cast<HWND>(info->hItemHandle)) : -1;
    dialog.OnHelp(index, ShiftHeld() || ControlHeld());
    return TRUE;
}

CWin32DialogProcs::Reply CWin32DialogProcs::OnContextMenuRequest(CWin32NativeDialog& dialog,
                                                                 WPARAM wParam, LPARAM lParam)
{
    dialog.OnContextMenu(dialog.IndexOfHwnd(reinterpret_cast<HWND>(wParam)), GET_X_LPARAM(lParam),
                         GET_Y_LPARAM(lParam));
    return 0;
}

CWin32DialogProcs::Reply CWin32DialogProcs::OnNotify(CWin32NativeDialog& dialog, WPARAM /*wParam*/,
                                                     LPARAM lParam)
{
    const int index =
        dialog.IndexOfHwnd(dialog.m_toolTips.AskedFor(*reinterpret_cast<const NMHDR*>(lParam)));
    if (index < 0)
        return std::nullopt;
    // The dialog brings the text up to date before it shows.
    dialog.OnToolTipShowing(index);
    dialog.m_toolTips.Answer(*reinterpret_cast<NMTTDISPINFOW*>(lParam),
                             dialog.m_items[static_cast<std::size_t>(index)].toolTip);
    return 0;
}

CWin32DialogProcs::Reply CWin32DialogProcs::OnHelpModeClick(CWin32NativeDialog& dialog,
                                                            WPARAM /*wParam*/, LPARAM lParam)
{
    if (!dialog.m_helpMode.IsActive())
        return std::nullopt;
    if (const std::optional<HWND> hit = dialog.m_helpMode.EndAtClick(lParam))
        dialog.OnHelp(dialog.IndexOfHwnd(*hit), false);
    return 0;
}

CWin32DialogProcs::Reply CWin32DialogProcs::OnHelpModeCursor(CWin32NativeDialog& dialog,
                                                             WPARAM /*wParam*/, LPARAM /*lParam*/)
{
    if (!dialog.m_helpMode.IsActive())
        return std::nullopt;
    CWin32HelpMode::ShowCursor();
    return 0;
}

CWin32DialogProcs::Reply CWin32DialogProcs::OnHelpModeCancel(CWin32NativeDialog& dialog,
                                                             WPARAM /*wParam*/, LPARAM /*lParam*/)
{
    if (!dialog.m_helpMode.IsActive())
        return std::nullopt;
    dialog.m_helpMode.End();
    return 0;
}

CWin32DialogProcs::Reply CWin32DialogProcs::OnCaptureChanged(CWin32NativeDialog& dialog,
                                                             WPARAM /*wParam*/, LPARAM /*lParam*/)
{
    // Something else took the mouse: the mode ends, and the system hears of it too.
    if (dialog.m_helpMode.IsActive())
        dialog.m_helpMode.End();
    return std::nullopt;
}

CWin32DialogProcs::Reply CWin32DialogProcs::OnEndSession(CWin32NativeDialog& /*dialog*/,
                                                         WPARAM wParam, LPARAM /*lParam*/)
{
    // Windows may end the process as soon as this message returns, with the modal loops still
    // on the stack: every dialog is let go now, the topmost first, while its window still
    // exists, so that the console finishes its transmission and releases the port. Each
    // top-level window hears this; the first does it for all.
    if (wParam == FALSE)
        return 0;
    const std::vector<CWin32NativeDialog*> dialogs = g_dialogs;
    for (auto it = dialogs.rbegin(); it != dialogs.rend(); ++it)
        (*it)->ReleaseDialog();
    return 0;
}

CWin32DialogProcs::Reply CWin32DialogProcs::OnDpiChanged(CWin32NativeDialog& dialog, WPARAM wParam,
                                                         LPARAM lParam)
{
    // The window moved to a monitor of another resolution (or its scaling changed). The dialog
    // manager scales the dialog, its controls and their fonts; what we chose ourselves follows,
    // and the window takes the place Windows suggests, so that it stays under the mouse.
    if (lParam != 0) {
        const unsigned dpi = LOWORD(wParam);
        const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
        dialog.m_captionIcons.FollowDpi(dialog.m_hWnd, dpi);
        dialog.m_toolTips.ShowFont(dpi);
        SetWindowPos(dialog.m_hWnd, nullptr, suggested.left, suggested.top,
                     suggested.right - suggested.left, suggested.bottom - suggested.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return std::nullopt; // and the dialog manager's own scaling
}

// A control's messages.

LRESULT CWin32DialogProcs::OnGetDlgCode(CWin32NativeDialog& /*dialog*/, int /*index*/,
                                        const ControlMessage& msg)
{
    // IsDialogMessage would apply Tab, Enter, Esc and the arrows itself: take them here
    // instead, where the dialog manager sees them.
    if (const auto* key = reinterpret_cast<const MSG*>(msg.lParam);
        key != nullptr && key->message == WM_KEYDOWN &&
        IsDialogManagerKey(static_cast<unsigned>(key->wParam)))
        return msg.PassOn() | DLGC_WANTMESSAGE;
    return msg.PassOn();
}

LRESULT CWin32DialogProcs::OnKeyDown(CWin32NativeDialog& dialog, int index,
                                     const ControlMessage& msg)
{
    const auto virtualKey = static_cast<unsigned>(msg.wParam);
    if (dialog.m_helpMode.IsActive() && virtualKey == VK_ESCAPE) {
        dialog.m_helpMode.End();
        return 0;
    }
    if (virtualKey == VK_F1) {
        OnHelpKey(dialog, index);
        return 0;
    }
    if (DialogKey key{}; ToDialogKey(virtualKey, key) && dialog.OnKey(key))
        return 0;
    return msg.PassOn();
}

void CWin32DialogProcs::OnHelpKey(CWin32NativeDialog& dialog, int index)
{
    // Shift+F1 is the caption's help button, which not every window system shows; Ctrl+F1
    // asks about the dialog.
    if (ShiftHeld() && dialog.m_bContextHelpButton) {
        dialog.OnSystemCommand(SC_CONTEXTHELP);
        return;
    }
    if (ControlHeld()) {
        dialog.OnHelp(-1, true);
        return;
    }
    dialog.OnHelp(index, ShiftHeld());
}

LRESULT CWin32DialogProcs::OnChar(CWin32NativeDialog& /*dialog*/, int /*index*/,
                                  const ControlMessage& msg)
{
    // The characters of keys the dialog manager took; a single-line box beeps at them.
    if (msg.wParam == '\t' || msg.wParam == '\r' || msg.wParam == '\x1b')
        return 0;
    return msg.PassOn();
}

LRESULT CWin32DialogProcs::OnControlClick(CWin32NativeDialog& dialog, int index,
                                          const ControlMessage& msg)
{
    // Where the window system hands a click to the control in spite of the capture.
    if (!dialog.m_helpMode.IsActive())
        return msg.PassOn();
    dialog.m_helpMode.End();
    dialog.OnHelp(index, false);
    return 0;
}

LRESULT CWin32DialogProcs::OnControlCursor(CWin32NativeDialog& dialog, int /*index*/,
                                           const ControlMessage& msg)
{
    if (!dialog.m_helpMode.IsActive())
        return msg.PassOn();
    CWin32HelpMode::ShowCursor();
    return TRUE;
}

LRESULT CWin32DialogProcs::OnSetFocus(CWin32NativeDialog& dialog, int index,
                                      const ControlMessage& msg)
{
    dialog.m_nFocus = index;
    return msg.PassOn();
}

LRESULT CWin32DialogProcs::OnMoved(CWin32NativeDialog& dialog, int index, const ControlMessage& msg)
{
    if (dialog.m_toolTips.IsCreated() && dialog.LetsTheMouseThrough(index) &&
        !dialog.m_items[static_cast<std::size_t>(index)].toolTip.empty())
        dialog.m_toolTips.FollowRect(msg.hwnd);
    return msg.PassOn();
}

LRESULT CWin32DialogProcs::OnGetObject(CWin32NativeDialog& /*dialog*/, int /*index*/,
                                       const ControlMessage& msg)
{
    // A screen reader asks for the control: the system's answer, with our names.
    if (static_cast<DWORD>(msg.lParam) == static_cast<DWORD>(OBJID_CLIENT))
        if (const std::intptr_t answer =
                AnswerAccessibleObject(msg.hwnd, msg.wParam, &AccessibleFactsOf);
            answer != 0)
            return answer;
    return msg.PassOn();
}

std::optional<AccessibleFacts> CWin32DialogProcs::AccessibleFactsOf(HWND control)
{
    for (const CWin32NativeDialog* dialog : g_dialogs) {
        const int index = dialog->IndexOfHwnd(control);
        if (index < 0)
            continue;
        const ControlKind kind = dialog->KindAt(index);
        AccessibleFacts facts;
        facts.name = dialog->AccessibleNameAt(index);
        facts.description = dialog->AccessibleDescriptionAt(index);
        facts.role = AccessibleRoleOf(kind);
        if (kind == ControlKind::CheckBox || kind == ControlKind::Radio)
            facts.checked = dialog->ControlChecked(index);
        else if (kind == ControlKind::Trackbar)
            facts.value = dialog->FaderAccessibleValue(index);
        return facts;
    }
    return std::nullopt;
}
