// CNumberEdit: an edit box; with ES_NUMBER it takes only digits from the keyboard. Pasted or
// dropped text goes in whatever it holds: the data exchange judges it.
//
// Threads: the GUI thread only.
#pragma once

#include <QLineEdit>

class CNumberEdit : public QLineEdit {
public:
    using QLineEdit::QLineEdit;
    bool m_bDigitsOnly = false;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
};
