// CCaretBlinkTimeout: the text caret blinks only while the operator works: it starts steady,
// blinks from the next key press or click, and stops again once keyboard and mouse have been
// left alone for a while, as GTK desktops do. An idle console then wakes for nothing but its
// own timer.
//
// Threads: the GUI thread only; construct it after the QApplication.
#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>

class CCaretBlinkTimeout : public QObject {
public:
    explicit CCaretBlinkTimeout(std::chrono::milliseconds after);
    // Gives the caret back its own blinking.
    ~CCaretBlinkTimeout() override;
    CCaretBlinkTimeout(const CCaretBlinkTimeout&) = delete;
    CCaretBlinkTimeout& operator=(const CCaretBlinkTimeout&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTimer m_timer;
    int m_nFlashTime; // the platform's, restored on input
};
