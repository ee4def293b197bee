// CQtDialogWindow: a dialog template realised as a Qt window, one QDialog per dialog, with
// every control at its template rectangle. It behaves as the dialog layer expects of a
// dialog manager: tab order in template order, arrow keys within a WS_GROUP group, Enter for
// the default (or focused) push button, Esc and the close button for cancel, and every
// operator action reported to the dialog as its window message. Changes made by the program
// report nothing, except an edit box's EN_CHANGE.
//
// Threads: the GUI thread only. Handlers run synchronously inside the widgets' signals and
// may write controls, open message boxes or end the modal run.
#pragma once

#include "framework/WinDefs.h"
#include "framework/WindowPeer.h"

#include <QDialog>
#include <QPointer>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QEventLoop;
class QMenu;
class QPoint;
class QKeyEvent;
class QStyle;
class QTimer;
class QWidget;

class CQtDialogWindow : public CWindowPeer {
public:
    // Builds the window hidden, owned by this object; `parent` (may be null) is the window it
    // stands over while it runs. The dialog is told nothing until it is attached to this peer.
    CQtDialogWindow(CDialog& dialog, const DialogTemplate& tmpl, QWidget* parent = nullptr);
    ~CQtDialogWindow() override;
    CQtDialogWindow(const CQtDialogWindow&) = delete;
    CQtDialogWindow& operator=(const CQtDialogWindow&) = delete;

    // The window and its controls, for whoever shows or inspects them (tests).
    QDialog* Widget() const { return m_pWidget.data(); }
    // The control with `id`, or null; ids of -1 are never found (use ControlAt).
    QWidget* Control(int id) const;
    QWidget* ControlAt(int index) const;

    // Dialog-manager keyboard handling, called by the window's own event handlers.
    void PressEnter();
    void PressEscape();
    void SystemClose();
    // Tells the dialog that the tooltip of `widget` is about to show.
    void ToolTipShowing(QWidget* widget);
    // A command chosen from the window's system menu or our window menu.
    void SystemCommand(unsigned id);
    // Moves the focus within the control's WS_GROUP group; true when it took the key.
    bool MoveInGroup(QWidget* from, bool backward);
    // Help keys: F1 asks help for the focused control; Shift+F1 enters the click-for-help
    // mode where the template asks for a caption help button (no window system here shows
    // one), else it is F1 with a modifier held.
    void HelpKey(bool modifierHeld);
    // Asks the dialog for help on the control shown by `widget` (or on the window).
    void HelpOn(QWidget* widget, bool modifierHeld);
    // A right click or the context-menu request on `widget`, at `globalPos`.
    void ContextMenuOn(QWidget* widget, const QPoint& globalPos);
    // Opens the window menu (Alt+Space, the menu key) below the caption.
    void OpenWindowMenu();

    // CWindowPeer
    std::string GetItemText(int id) const override;
    void SetItemText(int id, const std::string& text) override;
    int GetCheck(int id) const override;
    void SetCheck(int id, int state) override;
    int GetTrackbarPos(int id) const override;
    void SetTrackbarPos(int id, int pos) override;
    void SetTrackbarRangeMin(int id, int minimum) override;
    void SetTrackbarRangeMax(int id, int maximum) override;
    void SetTrackbarTicFreq(int id, int frequency) override;
    void FocusItem(int id) override;
    void SelectAllText(int id) override;
    void SetTextAt(int index, const std::string& text) override;
    void SetToolTipAt(int index, const std::string& text) override;
    void SetCaption(const std::string& text) override;
    std::string GetCaption() const override;
    ScreenRect GetWindowRect() const override;
    ScreenRect GetDesktopRect() const override;
    void MoveWindow(int x, int y) override;
    void BringToTop() override;
    void SetIcon(int iconId) override;
    bool IsIconic() const override;
    void FocusFirstTabStop() override;
    unsigned SetTimer(unsigned id, unsigned milliseconds) override;
    bool KillTimer(unsigned id) override;
    int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;
    int RunModalLoop() override;
    void EndModalLoop(int result) override;
    bool HasSystemMenu() const override { return true; }
    void AppendSystemMenuSeparator() override;
    void AppendSystemMenuItem(unsigned id, const std::string& text) override;
    void CancelModes() override;
    void EnterContextHelpMode() override;

    // The window menu, for whoever inspects it (tests).
    QMenu* WindowMenu() const { return m_pWindowMenu; }

private:
    enum class Kind { Edit, PushButton, CheckBox, Radio, GroupBox, Label, Icon, Trackbar };
    struct Item {
        const ControlTemplate* tmpl = nullptr;
        Kind kind = Kind::Label;
        QWidget* widget = nullptr; // a child of the window; lives as long as it
        std::string windowText;    // what a trackbar keeps and never shows
    };

    void BuildControls(const DialogTemplate& tmpl);
    Item* Find(int id);
    const Item* Find(int id) const;
    Item* FindWidget(const QWidget* widget);
    std::size_t IndexOf(const Item& item) const;
    void SetText(Item& item, const std::string& text);
    void SetChecked(Item& item, bool checked);
    // An automatic radio selects itself and clears the rest of its group.
    void SelectRadio(Item& radio);
    void SetRange(Item& item, int minimum, int maximum);
    void Send(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam = 0);
    void Command(const Item& item, unsigned code);

    CDialog* m_pDialog;
    // Outlives the window, whose check boxes and radio buttons draw with it.
    std::unique_ptr<QStyle> m_pStyle;
    QPointer<QDialog> m_pWidget;
    // Our window menu, standing in for a system menu that the window system keeps to itself.
    QMenu* m_pWindowMenu = nullptr;
    bool m_bContextHelpButton = false;
    std::vector<Item> m_items;
    std::map<unsigned, QTimer*> m_timers;
    QEventLoop* m_pLoop = nullptr;
    int m_nResult = IDCANCEL;
    bool m_bEnded = false;
    // Set while the program writes an edit box, so that it reports its one EN_CHANGE itself.
    bool m_bWritingText = false;
};
