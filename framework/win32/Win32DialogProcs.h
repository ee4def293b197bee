// CWin32DialogProcs: the window procedures of our native dialogs (CWin32NativeDialog). The
// dialog's own hands its messages to the dialog manager's input; every control is subclassed
// with the other, so that the keys of the dialog manager's rules reach OnKey before the
// control or IsDialogMessage could act on them, whichever message loop is running. Each
// procedure's dispatch is a table, one row a message, each to a handler of its own: a handler
// turns what the window system says into what the dialog manager hears. The dialogs of ours
// are known here too, for what concerns them all: the keyboard interface of each in every
// modal loop, the end of the session, and a screen reader's questions.
//
// Threads: the thread that created the window only.
#pragma once

#include <windows.h>

#include <optional>

class CWin32NativeDialog;
struct AccessibleFacts;

struct CWin32DialogProcs {
    // The dialog procedure to create a CWin32NativeDialog's window with, the dialog coming as
    // the creation parameter; on WM_INITDIALOG it finds the controls and subclasses them.
    static INT_PTR CALLBACK Dialog(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // The window of `dialog` is one of ours from Remember until Forget.
    static void Remember(CWin32NativeDialog& dialog);
    static void Forget(CWin32NativeDialog& dialog);
    // One step of every modal loop of ours: the keyboard interface (mnemonics, Space on
    // buttons, Alt+F4) of the dialog of ours that a message is for, else translation and
    // dispatch.
    static void DispatchOne(MSG& msg);

private:
    // A message to a control, which the control's own procedure may still get.
    struct ControlMessage {
        HWND hwnd;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        WNDPROC original;
        LRESULT PassOn() const;
    };
    // A dialog message's reply; nothing leaves the message to the system's dialog manager.
    using Reply = std::optional<LRESULT>;
    using DialogHandler = Reply (*)(CWin32NativeDialog& dialog, WPARAM wParam, LPARAM lParam);
    using ControlHandler = LRESULT (*)(CWin32NativeDialog& dialog, int index,
                                       const ControlMessage& msg);

    static void CollectControls(CWin32NativeDialog& dialog);
    static LRESULT CALLBACK Control(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // What a screen reader is told of `control`, if it is a control of one of our dialogs.
    static std::optional<AccessibleFacts> AccessibleFactsOf(HWND control);
    static DialogHandler DialogHandlerOf(UINT message);
    static ControlHandler ControlHandlerOf(UINT message);

    // The dialog's messages.
    static Reply OnCommand(CWin32NativeDialog& dialog, WPARAM wParam, LPARAM lParam);
    static Reply OnScroll(CWin32NativeDialog& dialog, WPARAM wParam, LPARAM lParam);
    static Reply OnTimer(CWin32NativeDialog& dialog, WPARAM wParam, LPARAM lParam);
    static Reply OnSysCommand(CWin32NativeDialog& dialog, WPARAM wParam, LPARAM lParam);
    static Reply OnHelpRequest(CWin32NativeDialog& dialog, WPARAM wParam, LPARAM lParam);
    static Reply OnContextMenuRequest(CWin32NativeDialog& dialog, WPARAM wParam, LPARAM lParam);
    static Reply OnNotify(CWin32NativeDialog& dialog, WPARAM wParam, LPARAM lParam);
    static Reply OnHelpModeClick(CWin32NativeDialog& dialog, WPARAM wParam, LPARAM lParam);
    static Reply OnHelpModeCursor(CWin32NativeDialog& dialog, WPARAM wParam, LPARAM lParam);
    static Reply OnHelpModeCancel(CWin32NativeDialog& dialog, WPARAM wParam, LPARAM lParam);
    static Reply OnCaptureChanged(CWin32NativeDialog& dialog, WPARAM wParam, LPARAM lParam);
    static Reply OnEndSession(CWin32NativeDialog& dialog, WPARAM wParam, LPARAM lParam);
    static Reply OnDpiChanged(CWin32NativeDialog& dialog, WPARAM wParam, LPARAM lParam);

    // A control's messages.
    static LRESULT OnGetDlgCode(CWin32NativeDialog& dialog, int index, const ControlMessage& msg);
    static LRESULT OnKeyDown(CWin32NativeDialog& dialog, int index, const ControlMessage& msg);
    static LRESULT OnChar(CWin32NativeDialog& dialog, int index, const ControlMessage& msg);
    static LRESULT OnControlClick(CWin32NativeDialog& dialog, int index, const ControlMessage& msg);
    static LRESULT OnControlCursor(CWin32NativeDialog& dialog, int index,
                                   const ControlMessage& msg);
    static LRESULT OnSetFocus(CWin32NativeDialog& dialog, int index, const ControlMessage& msg);
    static LRESULT OnMoved(CWin32NativeDialog& dialog, int index, const ControlMessage& msg);
    static LRESULT OnGetObject(CWin32NativeDialog& dialog, int index, const ControlMessage& msg);

    // F1 on the control at `index`, with the modifiers held now.
    static void OnHelpKey(CWin32NativeDialog& dialog, int index);
};
