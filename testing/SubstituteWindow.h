// An in-memory window for running dialogs without a window system: a backend of the dialog
// manager that keeps its controls in memory. Tests act as the operator through it (typing,
// clicking, moving faders, pressing Enter or Esc) and move its clock, which fires the timers.
// Message boxes are recorded and answered OK; a hook runs while each one is "open", as a real
// box's message loop would keep dispatching timers.
//
// Threads: the test's thread only.
#pragma once

#include "framework/Dialog.h"
#include "framework/DialogManager.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

class CSubstituteWindow : public CDialogManager {
public:
    struct RecordedBox {
        std::string text;
        std::string caption;
        unsigned flags = 0;
    };

    explicit CSubstituteWindow(const DialogTemplate& tmpl);
    ~CSubstituteWindow() override;

    // Attaches the dialog and initialises it; Close destroys it (WM_DESTROY) and lets go.
    void Open(CDialog& dialog);
    void Close();
    // Makes the window report to `dialog` without initialising it (DoModal does that).
    void Bind(CDialog& dialog) { CDialogManager::Bind(&dialog); }

    // The operator.
    void Type(int id, const std::string& text);
    void Click(int id);
    // Moves a fader as a drag would and reports it (SB_THUMBTRACK unless told otherwise).
    void MoveFader(int id, int pos, unsigned code = SB_THUMBTRACK);
    // Lets go of a fader's thumb: where it was let go (SB_THUMBPOSITION) and the end of the drag
    // (SB_ENDSCROLL), as a fader that moves itself reports them.
    void ReleaseFader(int id);
    void PressKey(DialogKey key) { OnKey(key); }
    void PressEnter() { OnKey(DialogKey::Enter); }
    void PressEscape() { OnKey(DialogKey::Escape); }
    // The caption's close button.
    void PressClose() { OnCloseRequest(); }
    void SystemCommand(unsigned command) { OnSystemCommand(command); }
    // F1 on the focused control (SetFocusTo); a held modifier key is passed on.
    void PressF1(bool modifierHeld = false) { OnHelp(m_focusIndex, modifierHeld); }
    // A right click on control `id`, on the window itself, or on nothing (kContextMenu*).
    void RightClick(std::uintptr_t target);
    // A click while in context-help mode asks for help on the control; otherwise a Click.
    void HelpModeClick(int id);
    bool InContextHelpMode() const { return m_helpMode; }
    const std::vector<std::pair<unsigned, std::string>>& SystemMenu() const { return m_sysMenu; }
    void SetFocusTo(int id) { m_focusIndex = IndexOf(id); }
    // Advances the clock, firing every timer that falls due, in time order.
    void AdvanceClock(unsigned milliseconds);

    // What the operator would see.
    int FocusedId() const;
    bool AllTextSelected(int id) const;
    const std::vector<RecordedBox>& MessageBoxes() const { return m_boxes; }
    void ClearMessageBoxes() { m_boxes.clear(); }
    bool TimerRunning(unsigned id) const { return m_timers.count(id) != 0; }
    std::uint64_t NowMillis() const { return m_nowMillis; }
    std::string TextAt(int index) const;
    // The tooltip of the control at `index`, as the operator hovering over it sees it.
    std::string ToolTipAt(int index);
    int TrackbarTicFreq(int id) const;
    std::pair<int, int> TrackbarRange(int id) const;
    int IconId() const { return m_iconId; }
    bool OnTop() const { return m_onTop; }
    void SetDesktopRect(const ScreenRect& rect) { m_desktop = rect; }
    void SetWindowRect(const ScreenRect& rect) { m_window = rect; }
    // Runs while a message box is open (the box's own loop); gets the box's text.
    std::function<void(const std::string&)> m_onMessageBox;
    // Runs as the modal loop; the operator's whole session with the dialog.
    std::function<void(CSubstituteWindow&)> m_modalScript;

    // CWindowPeer
    void SetCaption(const std::string& text) override { m_caption = text; }
    std::string GetCaption() const override { return m_caption; }
    ScreenRect GetWindowRect() const override { return m_window; }
    ScreenRect GetDesktopRect() const override { return m_desktop; }
    void MoveWindow(int x, int y) override;
    void BringToTop() override { m_onTop = true; }
    void SetIcon(int iconId) override { m_iconId = iconId; }
    bool IsIconic() const override { return false; }
    unsigned SetTimer(unsigned id, unsigned milliseconds) override;
    bool KillTimer(unsigned id) override;
    bool HasSystemMenu() const override { return true; }
    void AppendSystemMenuSeparator() override { m_sysMenu.emplace_back(0, std::string()); }
    void AppendSystemMenuItem(unsigned id, const std::string& text) override
    {
        m_sysMenu.emplace_back(id, text);
    }
    void CancelModes() override { m_helpMode = false; }
    void EnterContextHelpMode() override { m_helpMode = true; }
    int RunModalLoop() override;
    void EndModalLoop(int result) override;

protected:
    // CDialogManager
    std::string ControlText(int index) const override { return At(index).text; }
    void ShowText(int index, const std::string& text) override;
    bool ControlChecked(int index) const override { return At(index).check != 0; }
    void ShowChecked(int index, bool checked) override { At(index).check = checked ? 1 : 0; }
    int ControlFaderPos(int index) const override { return At(index).pos; }
    void ShowFaderPos(int index, int pos) override { At(index).pos = pos; }
    void ShowFaderRange(int index, int minimum, int maximum, int pageSize) override;
    void ShowTicFrequency(int index, int frequency) override { At(index).ticFreq = frequency; }
    void ShowToolTip(int index, const std::string& text) override { At(index).toolTip = text; }
    int FocusedIndex() const override { return m_focusIndex; }
    void ShowFocus(int index, FocusReason) override { m_focusIndex = index; }
    void ShowAllSelected(int index) override { At(index).allSelected = true; }
    int ShowMessageBox(const std::string& text, const std::string& caption,
                       unsigned flags) override;

private:
    struct Control {
        std::string text;
        std::string toolTip;
        int check = 0;
        int pos = 0;
        int rangeMin = 0;
        int rangeMax = kFaderDefaultMax;
        int ticFreq = 1;
        bool allSelected = false;
    };
    struct Timer {
        unsigned period = 0;
        std::uint64_t due = 0;
    };

    Control& At(int index) { return m_controls.at(static_cast<std::size_t>(index)); }
    const Control& At(int index) const { return m_controls.at(static_cast<std::size_t>(index)); }

    std::vector<Control> m_controls;
    std::string m_caption;
    int m_focusIndex = -1;
    int m_iconId = 0;
    bool m_onTop = false;
    ScreenRect m_desktop{0, 0, 1024, 768};
    ScreenRect m_window{0, 0, 405, 311};
    std::map<unsigned, Timer> m_timers;
    std::uint64_t m_nowMillis = 0;
    std::vector<RecordedBox> m_boxes;
    std::vector<std::pair<unsigned, std::string>> m_sysMenu;
    bool m_helpMode = false;
    int m_modalResult = IDCANCEL;
    bool m_modalEnded = false;
};

// A window system of substitute windows, for DoModal without a display.
class CSubstituteWindowSystem : public CWindowSystem {
public:
    std::unique_ptr<CWindowPeer> CreateDialogWindow(CDialog& dialog,
                                                    const DialogTemplate& tmpl) override;
    // Runs as the modal loop of each window created (with the template id it was made from).
    std::function<void(CSubstituteWindow&, int templateId)> m_modalScript;
    std::vector<int> m_createdTemplates;
};
