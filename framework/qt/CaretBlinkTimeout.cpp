#include "CaretBlinkTimeout.h"

#include <QApplication>
#include <QEvent>

namespace {
constexpr int kSteadyCaret = 0; // a flash time of 0 keeps the caret shown, unblinking
}

CCaretBlinkTimeout::CCaretBlinkTimeout(std::chrono::milliseconds after)
    : m_nFlashTime(QApplication::cursorFlashTime())
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(after);
    connect(&m_timer, &QTimer::timeout, this,
            [] { QApplication::setCursorFlashTime(kSteadyCaret); });
    qApp->installEventFilter(this);
    // Nobody has typed yet: a console that just came up waits without blinking.
    QApplication::setCursorFlashTime(kSteadyCaret);
}

CCaretBlinkTimeout::~CCaretBlinkTimeout()
{
    qApp->removeEventFilter(this);
    QApplication::setCursorFlashTime(m_nFlashTime);
}

bool CCaretBlinkTimeout::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::Wheel:
        if (QApplication::cursorFlashTime() != m_nFlashTime)
            QApplication::setCursorFlashTime(m_nFlashTime);
        m_timer.start();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
