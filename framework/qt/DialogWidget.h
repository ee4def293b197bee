// CDialogWidget: the dialog's Qt window. It turns the window's keys, its close request and
// what its controls report through its event filter into raw input for the window peer; the
// dialog manager above decides what the input means.
//
// Threads: the GUI thread only.
#pragma once

#include <QDialog>

class CQtDialogWindow;

class CDialogWidget : public QDialog {
public:
    CDialogWidget(CQtDialogWindow& peer, QWidget* parent);

    // Whatever asks a QDialog to cancel (accessibility, a platform gesture) cancels the dialog
    // the way Esc does; nothing ends the run behind the dialog's back.
    void reject() override;
    void accept() override {}

    // A control marked so gives the arrow keys to the dialog manager (buttons in a group).
    static void GiveArrowsToDialog(QWidget* control);

protected:
    bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Tab and Shift+Tab walk the dialog manager's tab stops, not Qt's focus chain.
    bool focusNextPrevChild(bool next) override;
    // Sees every control's events: the menu key, tooltips, the click-for-help mode, arrows.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The tooltip of a control that lets the mouse through to the dialog (a group frame).
    bool event(QEvent* event) override;

private:
    CQtDialogWindow& m_peer;
};
