// The seam between our dialog layer and whatever realises its windows: the in-memory
// substitute that tests drive, Qt widgets, or native Windows dialogs. Dialog code talks only
// to this interface. Backends implement it through CDialogManager (DialogManager.h), which
// keeps the dialog manager's rules; they create, draw and report the operator's input.
//
// Threads: the window thread only.
#pragma once

#include "DialogTemplate.h"

#include <memory>
#include <string>

class CDialog;

struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

// One realised dialog window with the controls of its template, addressed by control id.
// Operations on an id the window does not have do nothing and read as empty/0.
class CWindowPeer {
public:
    virtual ~CWindowPeer() = default;

    // Controls.
    virtual std::string GetItemText(int id) const = 0;
    // An edit box reports EN_CHANGE to the dialog before this returns.
    virtual void SetItemText(int id, const std::string& text) = 0;
    virtual int GetCheck(int id) const = 0;
    virtual void SetCheck(int id, int state) = 0;
    virtual int GetTrackbarPos(int id) const = 0;
    // Clamped to the range; raises no scroll notification.
    virtual void SetTrackbarPos(int id, int pos) = 0;
    virtual void SetTrackbarRangeMin(int id, int minimum) = 0;
    virtual void SetTrackbarRangeMax(int id, int maximum) = 0;
    virtual void SetTrackbarTicFreq(int id, int frequency) = 0;
    virtual void FocusItem(int id) = 0;
    virtual void SelectAllText(int id) = 0;
    // The text of the control at `index` in template order (for controls whose id is -1).
    virtual void SetTextAt(int index, const std::string& text) = 0;
    // A tooltip for the control at `index` in template order.
    virtual void SetToolTipAt(int index, const std::string& text) = 0;
    // What a screen reader says of the control at `index` in template order: its name, where
    // the control's own text says too little, and a longer description. The dialog decides
    // the texts; a backend applies them.
    virtual void SetAccessibleNameAt(int index, const std::string& name) = 0;
    virtual void SetAccessibleDescriptionAt(int index, const std::string& text) = 0;
    // The label at `labelIndex` names the control at `controlIndex`, where the toolkit can
    // tie the two.
    virtual void SetLabelFor(int labelIndex, int controlIndex) = 0;
    // The units of a trackbar's accessible value: how far the thumb stands from the end of
    // the range (the bottom of a vertical trackbar), where the whole range reads `top`
    // (truncated). Until set, the whole range reads its own length.
    virtual void SetFaderValueScale(int id, int top) = 0;

    // The window.
    virtual void SetCaption(const std::string& text) = 0;
    virtual std::string GetCaption() const = 0;
    virtual ScreenRect GetWindowRect() const = 0;
    virtual ScreenRect GetDesktopRect() const = 0;
    // The work area (the screen less its task bars) of the monitor that holds the window.
    virtual ScreenRect GetWorkAreaRect() const { return GetDesktopRect(); }
    virtual void MoveWindow(int x, int y) = 0;
    virtual void BringToTop() = 0;
    virtual void SetIcon(int iconId) = 0;
    virtual bool IsIconic() const = 0;
    // Gives the focus to the first tab stop, as a dialog manager does after initialisation.
    virtual void FocusFirstTabStop() = 0;

    // A periodic timer that sends WM_TIMER to the dialog; returns `id`, or 0 on failure.
    virtual unsigned SetTimer(unsigned id, unsigned milliseconds) = 0;
    virtual bool KillTimer(unsigned id) = 0;

    // A modal message box owned by this window. Its loop keeps dispatching timers.
    virtual int MessageBox(const std::string& text, const std::string& caption, unsigned flags) = 0;

    // The window's system (caption) menu, or the window menu we give it where the window
    // system keeps its own to itself. Choosing an item sends WM_SYSCOMMAND with its id.
    virtual bool HasSystemMenu() const { return false; }
    virtual void AppendSystemMenuSeparator() {}
    virtual void AppendSystemMenuItem(unsigned /*id*/, const std::string& /*text*/) {}
    // Ends mouse capture, menu tracking and the like (before help takes over).
    virtual void CancelModes() {}
    // The next click on a control asks for help on it (WM_HELP) instead of acting.
    virtual void EnterContextHelpMode() {}

    // Runs until EndModalLoop; the loop dispatches every message, timers included.
    virtual int RunModalLoop() = 0;
    virtual void EndModalLoop(int result) = 0;
};

// Creates windows for dialogs. The program installs one (Qt, or native Windows dialogs where
// it is built without Qt); tests install the substitute.
class CWindowSystem {
public:
    virtual ~CWindowSystem() = default;
    virtual std::unique_ptr<CWindowPeer> CreateDialogWindow(CDialog& dialog,
                                                            const DialogTemplate& tmpl) = 0;
};

void AfxSetWindowSystem(CWindowSystem* system);
CWindowSystem* AfxGetWindowSystem();
