#include "QtDialogWindow.h"

#include "DialogStyle.h"
#include "DialogWidget.h"
#include "FaderSlider.h"
#include "GroupFrame.h"
#include "NativeSystemMenu.h"
#include "QtAccessibility.h"
#include "QtControlFactory.h"
#include "QtDialogUnits.h"
#include "QtIconResource.h"
#include "QtMessageBox.h"
#include "framework/Dialog.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QWhatsThis>

#include <functional>

CQtDialogWindow::CQtDialogWindow(CDialog& dialog, const DialogTemplate& tmpl, QWidget* parent)
    : CDialogManager(tmpl, &dialog)
{
    InstallAccessibleInterfaces();
    auto* widget = new CDialogWidget(*this, parent);
    m_pWidget = widget;
    // A caption with the close button only: no minimise, maximise or resizing.
    widget->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    widget->setWindowModality(Qt::ApplicationModal);
    widget->setFont(DialogFont(tmpl));
    widget->setWindowTitle(ToQString(tmpl.caption));
    m_bContextHelpButton = (tmpl.exStyle & WS_EX_CONTEXTHELP) != 0;
    if (m_bContextHelpButton)
        widget->setWindowFlag(Qt::WindowContextHelpButtonHint);
    widget->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(
        widget, &QWidget::customContextMenuRequested, widget,
        [this, widget](const QPoint& pos) { ContextMenuOn(widget, widget->mapToGlobal(pos)); });
    widget->installEventFilter(widget);
    CreateWindowMenu();

    // Shortcuts come before the focused control sees the key, so these work from any control.
    const auto shortcut = [widget](QKeySequence keys, std::function<void()> action) {
        auto* s = new QShortcut(keys, widget);
        s->setContext(Qt::WindowShortcut);
        QObject::connect(s, &QShortcut::activated, widget, std::move(action));
    };
    shortcut(QKeySequence(Qt::Key_F1), [this] { HelpKey(false); });
    shortcut(QKeySequence(Qt::SHIFT | Qt::Key_F1), [this] { HelpKey(true); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_F1), [this] { HelpOn(nullptr, true); });
    shortcut(QKeySequence(Qt::ALT | Qt::Key_Space), [this] { OpenWindowMenu(); });

    const BaseUnits base = MeasureBaseUnits(widget->font());
    m_pStyle = std::make_unique<CDialogStyle>(base.x / 2, base.y - 1);
    const QRect client = base.Map(tmpl.rect);
    widget->setFixedSize(client.width(), client.height());
    const CQtControlFactory factory(*this, widget, m_pStyle.get(), base);
    m_items.reserve(tmpl.controls.size());
    for (const ControlTemplate& control : tmpl.controls)
        m_items.push_back(
            {factory.Create(control, static_cast<int>(m_items.size())), std::string(control.text)});
    // Realise the window now, so that the frame is part of its rectangle (where the window
    // system can tell it before the window is shown) when the dialog centres it.
    (void)widget->winId();
}

CQtDialogWindow::~CQtDialogWindow()
{
    ReleaseDialog();
    if (m_pLoop != nullptr)
        m_pLoop->exit();
    delete m_pWidget.data();
}

void CQtDialogWindow::CreateWindowMenu()
{
    // The window menu starts as a system menu does, with Close; the dialog may add to it.
    m_pWindowMenu = new QMenu(m_pWidget.data());
    QAction* close = m_pWindowMenu->addAction(QStringLiteral("&Close"));
    close->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
    QObject::connect(close, &QAction::triggered, m_pWidget.data(), [this] { OnCloseRequest(); });
}

QWidget* CQtDialogWindow::Control(int id) const
{
    const int index = IndexOf(id);
    return index >= 0 ? WidgetAt(index) : nullptr;
}

QWidget* CQtDialogWindow::ControlAt(int index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_items.size())
        return nullptr;
    return WidgetAt(index);
}

int CQtDialogWindow::IndexOfWidget(const QWidget* widget) const
{
    for (std::size_t i = 0; i < m_items.size(); ++i)
        if (widget != nullptr && m_items[i].widget == widget)
            return static_cast<int>(i);
    return -1;
}

ControlKind CQtDialogWindow::KindAt(int index) const
{
    return KindOf(Template().controls[static_cast<std::size_t>(index)]);
}

// What the widgets report.

void CQtDialogWindow::ToolTipShowing(QWidget* widget)
{
    if (const int index = IndexOfWidget(widget); index >= 0)
        OnToolTipShowing(index);
}

void CQtDialogWindow::HelpKey(bool modifierHeld)
{
    if (modifierHeld && m_bContextHelpButton) {
        OnSystemCommand(SC_CONTEXTHELP);
        return;
    }
    HelpOn(m_pWidget != nullptr ? m_pWidget->focusWidget() : nullptr, modifierHeld);
}

void CQtDialogWindow::HelpOn(QWidget* widget, bool modifierHeld)
{
    OnHelp(IndexOfWidget(widget), modifierHeld);
}

void CQtDialogWindow::ContextMenuOn(QWidget* widget, const QPoint& globalPos)
{
    OnContextMenu(IndexOfWidget(widget), globalPos.x(), globalPos.y());
}

void CQtDialogWindow::OpenWindowMenu()
{
    if (m_pWidget == nullptr || m_pWindowMenu == nullptr)
        return;
    m_pWindowMenu->exec(m_pWidget->mapToGlobal(QPoint(0, 0)));
}

// The controls.

std::string CQtDialogWindow::ControlText(int index) const
{
    const QWidget* widget = WidgetAt(index);
    switch (KindAt(index)) {
    case ControlKind::Edit:
        return static_cast<const QLineEdit*>(widget)->text().toStdString();
    case ControlKind::PushButton:
    case ControlKind::CheckBox:
    case ControlKind::Radio:
        return static_cast<const QAbstractButton*>(widget)->text().toStdString();
    case ControlKind::GroupBox:
        return static_cast<const CGroupFrame*>(widget)->Title().toStdString();
    case ControlKind::Label:
        return static_cast<const QLabel*>(widget)->text().toStdString();
    case ControlKind::Icon:
    case ControlKind::Trackbar:
        return m_items[static_cast<std::size_t>(index)].windowText;
    }
    return {};
}

void CQtDialogWindow::ShowText(int index, const std::string& text)
{
    QWidget* widget = WidgetAt(index);
    const QString value = QString::fromStdString(text);
    switch (KindAt(index)) {
    case ControlKind::Edit:
        static_cast<QLineEdit*>(widget)->setText(value);
        break;
    case ControlKind::PushButton:
    case ControlKind::CheckBox:
    case ControlKind::Radio:
        static_cast<QAbstractButton*>(widget)->setText(value);
        break;
    case ControlKind::GroupBox:
        static_cast<CGroupFrame*>(widget)->SetTitle(value);
        break;
    case ControlKind::Label:
        static_cast<QLabel*>(widget)->setText(value);
        break;
    case ControlKind::Icon:
        m_items[static_cast<std::size_t>(index)].windowText = text;
        static_cast<QLabel*>(widget)->setPixmap(
            LoadIconResource(OrdinalOf(text)).pixmap(kIconSize));
        break;
    case ControlKind::Trackbar:
        m_items[static_cast<std::size_t>(index)].windowText = text;
        break;
    }
}

bool CQtDialogWindow::ControlChecked(int index) const
{
    return static_cast<const QAbstractButton*>(WidgetAt(index))->isChecked();
}

void CQtDialogWindow::ShowChecked(int index, bool checked)
{
    static_cast<QAbstractButton*>(WidgetAt(index))->setChecked(checked);
}

int CQtDialogWindow::ControlFaderPos(int index) const
{
    return static_cast<const CFaderSlider*>(WidgetAt(index))->Pos();
}

void CQtDialogWindow::ShowFaderPos(int index, int pos)
{
    static_cast<CFaderSlider*>(WidgetAt(index))->SetPos(pos);
}

void CQtDialogWindow::ShowFaderRange(int index, int minimum, int maximum, int pageSize)
{
    auto* slider = static_cast<CFaderSlider*>(WidgetAt(index));
    slider->SetPosRange(minimum, maximum);
    slider->setPageStep(pageSize);
}

void CQtDialogWindow::ShowTicFrequency(int index, int frequency)
{
    static_cast<CFaderSlider*>(WidgetAt(index))->setTickInterval(frequency);
}

void CQtDialogWindow::ShowToolTip(int index, const std::string& text)
{
    WidgetAt(index)->setToolTip(QString::fromStdString(text));
}

int CQtDialogWindow::FocusedIndex() const
{
    return m_pWidget != nullptr ? IndexOfWidget(m_pWidget->focusWidget()) : -1;
}

void CQtDialogWindow::ShowFocus(int index, FocusReason reason)
{
    const Qt::FocusReason qtReason = reason == FocusReason::Tab       ? Qt::TabFocusReason
                                     : reason == FocusReason::BackTab ? Qt::BacktabFocusReason
                                                                      : Qt::OtherFocusReason;
    WidgetAt(index)->setFocus(qtReason);
}

void CQtDialogWindow::ShowAllSelected(int index)
{
    static_cast<QLineEdit*>(WidgetAt(index))->selectAll();
}

bool CQtDialogWindow::CanFocus(int index) const
{
    const QWidget* widget = WidgetAt(index);
    return widget->focusPolicy() != Qt::NoFocus && widget->isEnabled() && !widget->isHidden();
}

void CQtDialogWindow::ShowAccessibleName(int index, const std::string& name)
{
    WidgetAt(index)->setAccessibleName(QString::fromStdString(name));
}

void CQtDialogWindow::ShowAccessibleDescription(int index, const std::string& text)
{
    WidgetAt(index)->setAccessibleDescription(QString::fromStdString(text));
}

void CQtDialogWindow::ShowLabelFor(int labelIndex, int controlIndex)
{
    static_cast<QLabel*>(WidgetAt(labelIndex))->setBuddy(WidgetAt(controlIndex));
}

void CQtDialogWindow::ShowFaderValueScale(int index)
{
    QAccessibleValueChangeEvent changed(WidgetAt(index), FaderAccessibleValue(index));
    QAccessible::updateAccessibility(&changed);
}

int CQtDialogWindow::ShowMessageBox(const std::string& text, const std::string& caption,
                                    unsigned flags)
{
    // The box takes the mouse: a fader being dragged lets go, as it would on losing capture.
    for (std::size_t i = 0; i < m_items.size(); ++i)
        if (KindAt(static_cast<int>(i)) == ControlKind::Trackbar)
            static_cast<CFaderSlider*>(m_items[i].widget)->AbandonDrag();
    return ShowQtMessageBox(m_pWidget.data(), text, caption, flags);
}

// The window.

void CQtDialogWindow::SetCaption(const std::string& text)
{
    if (m_pWidget != nullptr)
        m_pWidget->setWindowTitle(QString::fromStdString(text));
}

std::string CQtDialogWindow::GetCaption() const
{
    return m_pWidget != nullptr ? m_pWidget->windowTitle().toStdString() : std::string();
}

ScreenRect CQtDialogWindow::GetWindowRect() const
{
    if (m_pWidget == nullptr)
        return {};
    const QRect frame = m_pWidget->frameGeometry();
    return {frame.left(), frame.top(), frame.left() + frame.width(), frame.top() + frame.height()};
}

ScreenRect CQtDialogWindow::GetDesktopRect() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return {};
    const QRect desktop = screen->geometry();
    return {desktop.left(), desktop.top(), desktop.left() + desktop.width(),
            desktop.top() + desktop.height()};
}

ScreenRect CQtDialogWindow::GetWorkAreaRect() const
{
    const QScreen* screen =
        m_pWidget != nullptr ? m_pWidget->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return GetDesktopRect();
    const QRect work = screen->availableGeometry();
    return {work.left(), work.top(), work.left() + work.width(), work.top() + work.height()};
}

void CQtDialogWindow::MoveWindow(int x, int y)
{
    if (m_pWidget != nullptr)
        m_pWidget->move(x, y);
}

void CQtDialogWindow::BringToTop()
{
    // A window not yet shown comes up on top when it is.
    if (m_pWidget == nullptr || !m_pWidget->isVisible())
        return;
    m_pWidget->raise();
    m_pWidget->activateWindow();
}

void CQtDialogWindow::SetIcon(int iconId)
{
    if (m_pWidget != nullptr)
        m_pWidget->setWindowIcon(LoadIconResource(iconId));
}

bool CQtDialogWindow::IsIconic() const
{
    return m_pWidget != nullptr && m_pWidget->isMinimized();
}

unsigned CQtDialogWindow::SetTimer(unsigned id, unsigned milliseconds)
{
    if (id == 0 || milliseconds == 0 || m_pWidget == nullptr)
        return 0;
    QTimer*& timer = m_timers[id];
    if (timer == nullptr) {
        timer = new QTimer(m_pWidget.data());
        QObject::connect(timer, &QTimer::timeout, timer, [this, id] { Send(WM_TIMER, id); });
    }
    timer->start(static_cast<int>(milliseconds));
    return id;
}

bool CQtDialogWindow::KillTimer(unsigned id)
{
    const auto it = m_timers.find(id);
    if (it == m_timers.end())
        return false;
    // The timer may be the one whose tick is running now: let it finish before it goes.
    it->second->stop();
    it->second->deleteLater();
    m_timers.erase(it);
    return true;
}

void CQtDialogWindow::AppendSystemMenuSeparator()
{
    AppendNativeSystemMenuSeparator(m_pWidget.data());
    if (m_pWindowMenu != nullptr)
        m_pWindowMenu->addSeparator();
}

void CQtDialogWindow::AppendSystemMenuItem(unsigned id, const std::string& text)
{
    AppendNativeSystemMenuItem(m_pWidget.data(), id, text);
    if (m_pWindowMenu == nullptr)
        return;
    QAction* action = m_pWindowMenu->addAction(QString::fromStdString(text));
    QObject::connect(action, &QAction::triggered, m_pWidget.data(),
                     [this, id] { OnSystemCommand(id); });
}

void CQtDialogWindow::CancelModes()
{
    if (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
    if (QWidget* grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
    if (QWhatsThis::inWhatsThisMode())
        QWhatsThis::leaveWhatsThisMode();
}

void CQtDialogWindow::EnterContextHelpMode()
{
    QWhatsThis::enterWhatsThisMode();
}

int CQtDialogWindow::RunModalLoop()
{
    if (m_pWidget == nullptr)
        return -1;
    if (!m_bEnded) {
        m_pWidget->show();
        m_pWidget->activateWindow();
        QEventLoop loop;
        // Showing can run handlers; one of them may already have ended the run.
        if (!m_bEnded) {
            m_pLoop = &loop;
            loop.exec(QEventLoop::DialogExec);
            m_pLoop = nullptr;
        }
    }
    if (m_pWidget != nullptr)
        m_pWidget->hide();
    return m_nResult;
}

void CQtDialogWindow::EndModalLoop(int result)
{
    m_nResult = result;
    m_bEnded = true;
    if (m_pLoop != nullptr)
        m_pLoop->exit();
}
