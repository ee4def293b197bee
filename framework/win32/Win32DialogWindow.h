// CWin32DialogWindow: a dialog template realised as a native dialog, built from the window
// system's own in-memory template, with native edit boxes, buttons, statics and comctl32
// trackbars. The dialog manager's rules (tab order, groups, the default button, Enter and
// Esc, notifications) live in CDialogManager: every control is subclassed so that the keys
// those rules answer reach OnKey before the control or IsDialogMessage could act on them,
// whichever message loop is running. The controls draw and report; this class passes on
// what they report, and answers a screen reader's questions with what the dialog says of each
// control (Win32Accessible.h).
//
// Threads: the thread that created the window only. Handlers run synchronously inside the
// window procedure and may write controls, open message boxes or end the modal run.
#pragma once

#include "framework/DialogManager.h"

#include <optional>
#include <string>
#include <vector>

struct AccessibleFacts;
struct HFONT__;
struct HICON__;
struct HWND__;
struct tagMSG;
struct tagRECT;

class CWin32DialogWindow : public CDialogManager {
public:
    // What RunModalLoop returns when the loop ends without EndModalLoop (IDCANCEL).
    static constexpr int kCancelResult = 2;

    // Builds the window hidden; `owner` (may be null) is the window it stands over while it
    // runs. The dialog is told nothing until it is attached to this peer. Check IsCreated().
    CWin32DialogWindow(CDialog& dialog, const DialogTemplate& tmpl, HWND__* owner);
    ~CWin32DialogWindow() override;
    CWin32DialogWindow(const CWin32DialogWindow&) = delete;
    CWin32DialogWindow& operator=(const CWin32DialogWindow&) = delete;

    bool IsCreated() const { return m_hWnd != nullptr; }
    // The window and its controls, for whoever shows or inspects them (tests).
    HWND__* Handle() const { return m_hWnd; }
    HWND__* ControlAt(int index) const;
    // The control with `id`, or null; ids of -1 are never found (use ControlAt).
    HWND__* Control(int id) const;
    // The control that has the focus, or had it last while another window is active.
    HWND__* FocusControl() const;
    // Shows the window and gives the focus to the control chosen while it was hidden.
    void Show();

    // The innermost window running modally, or null.
    static CWin32DialogWindow* ActiveModal();
    // One step of every modal loop of ours: the keyboard interface of the window that a
    // message is for, else translation and dispatch.
    static void DispatchOne(tagMSG& msg);
    // What a screen reader is told of `control`, if it is a control of one of our windows.
    static std::optional<AccessibleFacts> AccessibleFactsOf(HWND__* control);

    // CWindowPeer: the window.
    void SetCaption(const std::string& text) override;
    std::string GetCaption() const override;
    ScreenRect GetWindowRect() const override;
    ScreenRect GetDesktopRect() const override;
    ScreenRect GetWorkAreaRect() const override;
    void MoveWindow(int x, int y) override;
    void BringToTop() override;
    void SetIcon(int iconId) override;
    bool IsIconic() const override;
    unsigned SetTimer(unsigned id, unsigned milliseconds) override;
    bool KillTimer(unsigned id) override;
    int RunModalLoop() override;
    void EndModalLoop(int result) override;
    bool HasSystemMenu() const override { return true; }
    void AppendSystemMenuSeparator() override;
    void AppendSystemMenuItem(unsigned id, const std::string& text) override;
    void CancelModes() override;
    void EnterContextHelpMode() override;

protected:
    // CDialogManager: the controls as native windows.
    std::string ControlText(int index) const override;
    void ShowText(int index, const std::string& text) override;
    bool ControlChecked(int index) const override;
    void ShowChecked(int index, bool checked) override;
    int ControlFaderPos(int index) const override;
    void ShowFaderPos(int index, int pos) override;
    void ShowFaderRange(int index, int minimum, int maximum, int pageSize) override;
    void ShowTicFrequency(int index, int frequency) override;
    void ShowToolTip(int index, const std::string& text) override;
    int FocusedIndex() const override;
    void ShowFocus(int index, FocusReason reason) override;
    void ShowAllSelected(int index) override;
    bool CanFocus(int index) const override;
    void ShowAccessibleName(int index, const std::string& name) override;
    void ShowAccessibleDescription(int index, const std::string& text) override;
    void ShowFaderValueScale(int index) override;
    int ShowMessageBox(const std::string& text, const std::string& caption,
                       unsigned flags) override;

private:
    struct Item {
        HWND__* hwnd = nullptr;  // a child of the window; destroyed with it
        std::string iconText;    // what an icon static was given, which it never shows
        HICON__* icon = nullptr; // ours: what an icon static shows
        std::string toolTip;
    };

    // The window procedures, which hand each message to the methods below.
    friend struct CWin32DialogProcs;

    bool OnDialogMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam,
                         std::intptr_t& result);
    bool OnControlKey(int index, unsigned virtualKey);
    void OnCommandFrom(HWND__* control, unsigned code, unsigned id);
    void OnHelpKey(int index);
    bool OnHelpModeMouse(unsigned message, std::intptr_t lParam);
    void EndHelpMode();
    static void EndSession();
    void OnDpiChanged(unsigned dpi, const tagRECT& suggested);
    // The caption's icons and the tooltips' font at the monitor's resolution `dpi`.
    void ShowIcons(unsigned dpi);
    void ShowToolTipFont(unsigned dpi);
    void CollectControls();
    void CreateToolTips();
    // Whether the control at `index` leaves the mouse to the dialog beneath it; its tooltip is
    // then a tool of the dialog's over its rectangle, which follows the control when it moves.
    bool LetsTheMouseThrough(int index) const;
    tagRECT ToolRect(int index) const;
    void FollowToolRect(int index);
    void AddTool(int index);
    int IndexOfHwnd(const HWND__* hwnd) const;
    ControlKind KindAt(int index) const;
    void NotifyChanged(int index, unsigned event) const;
    HWND__* HwndAt(int index) const { return m_items[static_cast<std::size_t>(index)].hwnd; }

    HWND__* m_hWnd = nullptr;
    HWND__* m_hToolTip = nullptr;
    HFONT__* m_hToolTipFont = nullptr; // ours: the tooltip only uses it
    int m_nIconId = 0;
    HICON__* m_hBigIcon = nullptr; // ours: the caption shows them
    HICON__* m_hSmallIcon = nullptr;
    std::vector<Item> m_items;
    std::vector<unsigned> m_timers;
    // The control to focus: chosen while hidden, or the last one focused.
    int m_nFocus = -1;
    bool m_bHelpMode = false;
    // The template asks for the caption's help button; Shift+F1 stands in for it.
    bool m_bContextHelpButton = false;
    // The tooltip text being shown, which the tooltip reads after we answer.
    std::wstring m_shownTip;
    bool m_bRunning = false;
    bool m_bEnded = false;
    int m_nResult = kCancelResult;
};
