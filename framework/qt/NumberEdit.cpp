#include "NumberEdit.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>

#include <algorithm>

namespace {

bool IsAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool PrintableNonDigit(const QString& text)
{
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.isPrint() && !IsAsciiDigit(c); });
}

} // namespace

void CNumberEdit::keyPressEvent(QKeyEvent* event)
{
    const bool shortcut =
        (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0;
    if (m_bDigitsOnly && !shortcut && PrintableNonDigit(event->text())) {
        QApplication::beep();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void CNumberEdit::inputMethodEvent(QInputMethodEvent* event)
{
    if (!m_bDigitsOnly || !PrintableNonDigit(event->commitString())) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QString digits = event->commitString();
    digits.removeIf([](QChar c) { return !IsAsciiDigit(c); });
    QInputMethodEvent filtered(event->preeditString(), event->attributes());
    filtered.setCommitString(digits, event->replacementStart(), event->replacementLength());
    QApplication::beep();
    QLineEdit::inputMethodEvent(&filtered);
}
