// CWin32DialogWindow: a dialog template realised as a native dialog, built from the window
// system's own in-memory template, with native edit boxes, buttons, statics and comctl32
// trackbars. The dialog manager's rules (tab order, groups, the default button, Enter and
// Esc, notifications) live in CDialogManager; the window procedures (Win32DialogProcs.h) pass
// on what the dialog and its controls report, and answer a screen reader's questions with what
// the dialog says of each control (Win32Accessible.h). This class realises the controls and
// the window for the dialog manager, and runs the modal loop.
//
// Threads: the thread that created the window only. Handlers run synchronously inside the
// window procedure and may write controls, open message boxes or end the modal run.
#pragma once

#include "Win32NativeDialog.h"

#include <string>
#include <vector>

struct HWND__;
struct tagMSG;

class CWin32DialogWindow : public CWin32NativeDialog {
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
    void CreateToolTips();
    void AddTool(int index);
    void NotifyChanged(int index, unsigned event) const;

    std::vector<unsigned> m_timers;
    bool m_bRunning = false;
    bool m_bEnded = false;
    int m_nResult = kCancelResult;
};
