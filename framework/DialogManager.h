// CDialogManager: the dialog manager's rules, once, for every window system. A backend
// (the in-memory substitute, Qt widgets, native Windows dialogs) derives from it, creates and
// draws the controls, and reports the operator's raw input to it (a key, a click, an edit, a
// fader moved); the manager decides what that means for the dialog and for the other controls:
//
// - Tab and Shift+Tab walk the tab stops in template order; a radio button is a tab stop
//   while it is selected, so Tab reaches a radio group at its selection.
// - The arrow keys on a button move through its WS_GROUP group; moving onto an automatic
//   radio selects it, and a selected automatic radio clears the rest of its group.
// - Enter presses the focused push button, else the default push button, else sends IDOK,
//   as a native dialog does with no default button. Esc sends IDCANCEL; the close button
//   sends the system command close, which the dialog turns into IDCANCEL.
// - A program's write to an edit box reports EN_CHANGE once, as every other change does; what
//   the box itself reports of that write is not the operator's edit.
// - A trackbar position is clamped to its range; the keys step it by a line of 1 and a page of
//   a fifth of the range, at least 1 (FaderRange). Of what a trackbar reports, the end of a
//   drag or of a key (SB_ENDSCROLL, SB_THUMBPOSITION) is passed on as it is; anything else is
//   a move.
// - While a message box of this window, or another dialog's modal run, is open, the window
//   takes no input: a second box cannot be opened from it.
//
// Threads: the window thread only.
#pragma once

#include "DialogKey.h"
#include "DialogTemplate.h"
#include "FaderRange.h"
#include "TemplateControls.h"
#include "WindowPeer.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CDialog;

// Why a control gets the focus; a backend may draw the two differently.
enum class FocusReason { Tab, BackTab, Other };

class CDialogManager : public CWindowPeer {
public:
    // `tmpl` outlives the window. `dialog` (may be null until Bind) is told of everything the
    // operator does once it is attached to this window.
    CDialogManager(const DialogTemplate& tmpl, CDialog* dialog);

    CDialog* Dialog() const { return m_pDialog; }
    const DialogTemplate& Template() const { return m_tmpl; }
    // The template index of the control with `id`, or -1 (ids of -1 are never found).
    int IndexOf(int id) const;

    // The operator's raw input, reported by the backend. OnKey returns whether the key was
    // the dialog manager's (otherwise the focused control keeps it).
    bool OnKey(DialogKey key);
    // A button clicked (mouse, Space): checks and selects automatic buttons, reports BN_CLICKED.
    void OnButtonClicked(int index);
    // An edit box's text changed: the operator's edit, unless the box reports it while the
    // program writes it (SetItemText, which reports that change itself).
    void OnTextEdited(int index);
    // The operator moved a trackbar to `pos` (drag, wheel, mouse paging) with scroll `code`.
    void OnFaderMoved(int index, int pos, unsigned code);
    // A trackbar that moves itself reported scroll `code`. The end of a drag or of a key
    // (SB_ENDSCROLL, SB_THUMBPOSITION) is passed on even while a box is open, which may have
    // taken the mouse in the middle of a drag; any other code is OnFaderMoved to where the
    // thumb stands now.
    void OnFaderScroll(int index, unsigned code);
    // The caption's close button, Alt+F4, Close on the window menu.
    void OnCloseRequest();
    void OnSystemCommand(unsigned id);
    // Help asked on the control at `index` (-1: the window itself).
    void OnHelp(int index, bool modifierHeld);
    // A right click or the menu key on the control at `index` (-1: the window), at x, y.
    void OnContextMenu(int index, int x, int y);
    void OnToolTipShowing(int index);
    // False while a message box of this window or another dialog's modal run is open.
    bool TakesInput() const;

    // The tab-stop rules, for backends that draw a focus chain.
    bool IsTabStop(int index) const;
    int NextTabStop(int from, bool backward) const;
    // The default push button's index, or -1.
    int DefaultButton() const;
    int FaderPageSize(int index) const;

    // What the dialog said a screen reader should say of the control at `index` ("" for
    // nothing), for backends to apply and tests to read.
    const std::string& AccessibleNameAt(int index) const;
    const std::string& AccessibleDescriptionAt(int index) const;
    // A trackbar's accessible value now, in the units the dialog gave, and the most it reads.
    int FaderAccessibleValue(int index) const;
    int FaderAccessibleTop(int index) const;

    // CWindowPeer: the controls, through the rules above.
    std::string GetItemText(int id) const final;
    void SetItemText(int id, const std::string& text) final;
    int GetCheck(int id) const final;
    void SetCheck(int id, int state) final;
    int GetTrackbarPos(int id) const final;
    void SetTrackbarPos(int id, int pos) final;
    void SetTrackbarRangeMin(int id, int minimum) final;
    void SetTrackbarRangeMax(int id, int maximum) final;
    void SetTrackbarTicFreq(int id, int frequency) final;
    void FocusItem(int id) final;
    void SelectAllText(int id) final;
    void SetTextAt(int index, const std::string& text) final;
    void SetToolTipAt(int index, const std::string& text) final;
    void SetAccessibleNameAt(int index, const std::string& name) final;
    void SetAccessibleDescriptionAt(int index, const std::string& text) final;
    void SetLabelFor(int labelIndex, int controlIndex) final;
    void SetFaderValueScale(int id, int top) final;
    void FocusFirstTabStop() final;
    int MessageBox(const std::string& text, const std::string& caption, unsigned flags) final;

protected:
    // Attaches the dialog that hears from this window (before it is initialised).
    void Bind(CDialog* dialog) { m_pDialog = dialog; }
    // Lets the dialog go (WM_DESTROY) if it is still attached here; backends call it from
    // their destructors, while the window they realise still exists.
    void ReleaseDialog();
    // Sends a message to the attached dialog; nothing before WM_INITDIALOG or after WM_DESTROY.
    std::intptr_t Send(std::uint32_t message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);

    // What a backend realises, by template index. Writes made here report nothing to the
    // dialog: a native edit box that reports ShowText is heard and ignored (OnTextEdited).
    virtual std::string ControlText(int index) const = 0;
    virtual void ShowText(int index, const std::string& text) = 0;
    virtual bool ControlChecked(int index) const = 0;
    virtual void ShowChecked(int index, bool checked) = 0;
    virtual int ControlFaderPos(int index) const = 0;
    virtual void ShowFaderPos(int index, int pos) = 0;
    virtual void ShowFaderRange(int index, int minimum, int maximum, int pageSize) = 0;
    virtual void ShowTicFrequency(int index, int frequency) = 0;
    virtual void ShowToolTip(int index, const std::string& text) = 0;
    // The focused control's index, or -1; giving the focus; selecting an edit box's text.
    virtual int FocusedIndex() const = 0;
    virtual void ShowFocus(int index, FocusReason reason) = 0;
    virtual void ShowAllSelected(int index) = 0;
    // Whether the control can take the focus now (shown and enabled).
    virtual bool CanFocus(int /*index*/) const { return true; }
    // The accessible texts and ties, for backends whose toolkit holds them itself; backends
    // that answer a screen reader's questions ask AccessibleNameAt and the like instead.
    virtual void ShowAccessibleName(int /*index*/, const std::string& /*name*/) {}
    virtual void ShowAccessibleDescription(int /*index*/, const std::string& /*text*/) {}
    virtual void ShowLabelFor(int /*labelIndex*/, int /*controlIndex*/) {}
    // A trackbar's accessible value now reads in other units: a screen reader may be told.
    virtual void ShowFaderValueScale(int /*index*/) {}
    // A modal box over the window; its loop keeps dispatching timers.
    virtual int ShowMessageBox(const std::string& text, const std::string& caption,
                               unsigned flags) = 0;

private:
    struct AccessibleTexts {
        std::string name;
        std::string description;
    };

    bool Valid(int index) const;
    ControlKind Kind(int index) const;
    void Command(int index, unsigned code);
    void SelectRadio(int index);
    void MoveInGroup(int from, bool backward);
    void PressEnter();
    bool StepFader(int index, DialogKey key);
    void ReportFader(int index, unsigned code);
    void SetRange(int index, int minimum, int maximum);

    const DialogTemplate& m_tmpl;
    CDialog* m_pDialog;
    std::vector<FaderRange> m_faders;          // by template index; used for trackbars only
    std::vector<AccessibleTexts> m_accessible; // by template index
    int m_nBoxDepth = 0;
    // Set while the program writes a control's text: an edit box's report of it is not news.
    bool m_bWritingText = false;
};
