#include "DialogWidget.h"

#include "NativeSystemMenu.h"
#include "QtDialogWindow.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QTimer>
#include <QToolTip>
#include <QWhatsThis>

namespace {
constexpr const char* kArrowsProperty = "lumivaneArrowsMoveInGroup";
}

CDialogWidget::CDialogWidget(CQtDialogWindow& peer, QWidget* parent) : QDialog(parent), m_peer(peer)
{
}

void CDialogWidget::reject()
{
    m_peer.OnKey(DialogKey::Escape);
}

void CDialogWidget::GiveArrowsToDialog(QWidget* control)
{
    control->setProperty(kArrowsProperty, true);
}

bool CDialogWidget::nativeEvent(const QByteArray& eventType, void* message, qintptr* result)
{
    // Our entries in a native system menu come back as system commands.
    if (const unsigned id = NativeSystemCommand(eventType, message); id != 0) {
        m_peer.OnSystemCommand(id);
        *result = 0;
        return true;
    }
    return QDialog::nativeEvent(eventType, message, result);
}

bool CDialogWidget::event(QEvent* event)
{
    // A group frame lets the mouse through, so Qt asks the dialog for a tooltip over it: the
    // frame's, brought up to date like any control's. The controls inside show their own.
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        for (QWidget* control : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (!control->testAttribute(Qt::WA_TransparentForMouseEvents) ||
                !control->isVisible() || !control->geometry().contains(help->pos()) ||
                control->toolTip().isEmpty())
                continue;
            m_peer.ToolTipShowing(control);
            QToolTip::showText(help->globalPos(), control->toolTip(), this, control->geometry());
            return true;
        }
    }
    return QDialog::event(event);
}

void CDialogWidget::keyPressEvent(QKeyEvent* event)
{
    const auto modifiers = event->modifiers() & ~Qt::KeypadModifier;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (modifiers == Qt::NoModifier) {
            m_peer.OnKey(DialogKey::Enter);
            return;
        }
        break;
    case Qt::Key_Escape:
        if (modifiers == Qt::NoModifier) {
            m_peer.OnKey(DialogKey::Escape);
            return;
        }
        break;
    case Qt::Key_F4:
        // Without a window manager nobody else turns Alt+F4 into a close request.
        if (modifiers == Qt::AltModifier) {
            m_peer.OnCloseRequest();
            return;
        }
        break;
    default:
        break;
    }
    event->ignore();
}

void CDialogWidget::closeEvent(QCloseEvent* event)
{
    // The dialog decides; its default processing ends the run with IDCANCEL.
    event->ignore();
    m_peer.OnCloseRequest();
}

bool CDialogWidget::focusNextPrevChild(bool next)
{
    m_peer.OnKey(next ? DialogKey::Tab : DialogKey::BackTab);
    return true;
}

bool CDialogWidget::eventFilter(QObject* watched, QEvent* event)
{
    // The keyboard's menu key opens the window menu, whichever control has the focus.
    if (event->type() == QEvent::ContextMenu &&
        static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
        m_peer.OpenWindowMenu();
        return true;
    }
    // The dialog may bring the text up to date; the widget then shows it as usual.
    if (event->type() == QEvent::ToolTip && watched->isWidgetType())
        m_peer.ToolTipShowing(static_cast<QWidget*>(watched));
    // In the click-for-help mode every control answers for itself.
    if (event->type() == QEvent::QueryWhatsThis) {
        event->accept();
        return true;
    }
    if (event->type() == QEvent::WhatsThis && watched->isWidgetType()) {
        m_peer.HelpOn(static_cast<QWidget*>(watched), false);
        event->accept();
        // One click, one answer, even when there was no topic to show; later, because the
        // mode's own event filter is running right now.
        QTimer::singleShot(0, [] {
            if (QWhatsThis::inWhatsThisMode())
                QWhatsThis::leaveWhatsThisMode();
        });
        return true;
    }
    // Buttons do not want the arrow keys: they move through the button's group.
    if (event->type() == QEvent::KeyPress && watched->property(kArrowsProperty).toBool()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            switch (key->key()) {
            case Qt::Key_Up:
                return m_peer.OnKey(DialogKey::Up);
            case Qt::Key_Left:
                return m_peer.OnKey(DialogKey::Left);
            case Qt::Key_Down:
                return m_peer.OnKey(DialogKey::Down);
            case Qt::Key_Right:
                return m_peer.OnKey(DialogKey::Right);
            default:
                break;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}
