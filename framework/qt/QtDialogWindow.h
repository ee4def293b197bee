// CQtDialogWindow: a dialog template realised as a Qt window, one QDialog per dialog, with
// every control at its template rectangle. The dialog manager's rules (tab order, groups, the
// default button, Enter and Esc, notifications) live in CDialogManager; this backend creates
// and draws the widgets and reports the operator's input to it.
//
// Threads: the GUI thread only. Handlers run synchronously inside the widgets' signals and
// may write controls, open message boxes or end the modal run.
#pragma once

#include "framework/DialogManager.h"
#include "framework/WinDefs.h"

#include <QDialog>
#include <QPointer>

#include <map>
#include <memory>
#include <string>
#include <vector>

class QEventLoop;
class QMenu;
class QPoint;
class QStyle;
class QTimer;
class QWidget;

class CQtDialogWindow : public CDialogManager {
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
    // The window menu, for whoever inspects it (tests).
    QMenu* WindowMenu() const { return m_pWindowMenu; }

    // Tells the dialog that the tooltip of `widget` is about to show.
    void ToolTipShowing(QWidget* widget);
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
    // CDialogManager: the controls as widgets.
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
    void ShowLabelFor(int labelIndex, int controlIndex) override;
    void ShowFaderValueScale(int index) override;
    int ShowMessageBox(const std::string& text, const std::string& caption,
                       unsigned flags) override;

private:
    struct Item {
        QWidget* widget = nullptr; // a child of the window; lives as long as it
        std::string windowText;    // what a trackbar or an icon keeps and never shows
    };

    void CreateWindowMenu();
    int IndexOfWidget(const QWidget* widget) const;
    ControlKind KindAt(int index) const;
    QWidget* WidgetAt(int index) const { return m_items[static_cast<std::size_t>(index)].widget; }

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
};
