#include "QtDialogWindow.h"

#include "NativeSystemMenu.h"
#include "QtHelpDisplay.h"
#include "framework/Dialog.h"
#include "res/Resource.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDialog>
#include <QEventLoop>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QIcon>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyle>
#include <QTimer>
#include <QWhatsThis>
#include <QWheelEvent>
#include <qdrawutil.h>

#include <algorithm>
#include <charconv>
#include <functional>

// Outside any namespace, as the resource macro requires.
static void RegisterIconResource()
{
    Q_INIT_RESOURCE(lumivane);
}

namespace {

// Dialog units: a quarter of the font's average letter width, an eighth of its height.
constexpr int kUnitsPerBaseX = 4;
constexpr int kUnitsPerBaseY = 8;
constexpr std::string_view kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr int kDefaultFontPoints = 8;

// A trackbar's range before anyone sets one, and its page: a fifth of the range, at least 1.
constexpr int kTrackbarDefaultMax = 100;
constexpr int kTrackbarPageDivisor = 5;
constexpr int kTrackbarLineSize = 1;

// An SS_ICON static names its icon "#<id>" and takes the icon's own size.
constexpr char kOrdinalPrefix = '#';
constexpr int kIconSize = 32;
constexpr auto kAppIconPath = ":/lumivane/lumivane.xpm";

// Windows' MulDiv: value * numerator / denominator, rounded half away from zero.
int MulDiv(int value, int numerator, int denominator)
{
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : (product - half) / denominator);
}

struct BaseUnits {
    int x = 1;
    int y = 1;
    QRect Map(const DialogRect& r) const
    {
        return {MulDiv(r.x, x, kUnitsPerBaseX), MulDiv(r.y, y, kUnitsPerBaseY),
                MulDiv(r.cx, x, kUnitsPerBaseX), MulDiv(r.cy, y, kUnitsPerBaseY)};
    }
};

BaseUnits MeasureBaseUnits(const QFont& font)
{
    const QFontMetrics metrics(font);
    const int letters = static_cast<int>(kLetters.size());
    const int total = metrics.horizontalAdvance(QLatin1String(kLetters.data(), letters));
    return {std::max(1, (total + letters / 2) / letters), std::max(1, metrics.height())};
}

QString ToQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The template's font when this system has it, else the nearest sans-serif at its size.
QFont DialogFont(const DialogTemplate& tmpl)
{
    QFont font;
    const QString family = ToQString(tmpl.fontName);
    if (!family.isEmpty() && QFontDatabase::families().contains(family, Qt::CaseInsensitive)) {
        font.setFamily(family);
    } else {
        font.setFamily(QStringLiteral("Sans Serif"));
        font.setStyleHint(QFont::SansSerif);
    }
    font.setPointSize(tmpl.fontPoints > 0 ? tmpl.fontPoints : kDefaultFontPoints);
    return font;
}

QIcon LoadIconResource(int iconId)
{
    static const bool registered = (RegisterIconResource(), true);
    (void)registered;
    return iconId == IDI_APP_ICON ? QIcon(QString::fromLatin1(kAppIconPath)) : QIcon();
}

// "#128" -> 128; anything else -> 0.
int OrdinalOf(std::string_view name)
{
    int id = 0;
    if (name.size() < 2 || name.front() != kOrdinalPrefix)
        return 0;
    const char* last = name.data() + name.size();
    const auto [end, error] = std::from_chars(name.data() + 1, last, id);
    return error == std::errc() && end == last ? id : 0;
}

QMessageBox::Icon MessageIcon(unsigned flags)
{
    switch (flags & MB_ICONMASK) {
    case MB_ICONHAND:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONASTERISK:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

bool IsAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool PrintableNonDigit(const QString& text)
{
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.isPrint() && !IsAsciiDigit(c); });
}

// The window itself: hands the dialog manager's keys and the close request to the peer.
class CDialogWidget : public QDialog {
public:
    CDialogWidget(CQtDialogWindow& peer, QWidget* parent) : QDialog(parent), m_peer(peer) {}

    // Whatever asks a QDialog to cancel (accessibility, a platform gesture) cancels the dialog
    // the way Esc does; nothing ends the run behind the dialog's back.
    void reject() override { m_peer.PressEscape(); }
    void accept() override {}

protected:
    // Our entries in a native system menu come back as system commands.
    bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override
    {
        if (const unsigned id = NativeSystemCommand(eventType, message); id != 0) {
            m_peer.SystemCommand(id);
            *result = 0;
            return true;
        }
        return QDialog::nativeEvent(eventType, message, result);
    }

    void keyPressEvent(QKeyEvent* event) override
    {
        const auto modifiers = event->modifiers() & ~Qt::KeypadModifier;
        switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (modifiers == Qt::NoModifier) {
                m_peer.PressEnter();
                return;
            }
            break;
        case Qt::Key_Escape:
            if (modifiers == Qt::NoModifier) {
                m_peer.PressEscape();
                return;
            }
            break;
        case Qt::Key_F4:
            // Without a window manager nobody else turns Alt+F4 into a close request.
            if (modifiers == Qt::AltModifier) {
                m_peer.SystemClose();
                return;
            }
            break;
        default:
            break;
        }
        event->ignore();
    }

    void closeEvent(QCloseEvent* event) override
    {
        // The dialog decides; its default processing ends the run with IDCANCEL.
        event->ignore();
        m_peer.SystemClose();
    }

    // Buttons do not want the arrow keys: they move through the control's group. In the
    // click-for-help mode every control answers for itself.
    bool eventFilter(QObject* watched, QEvent* event) override
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
        if (event->type() == QEvent::QueryWhatsThis) {
            event->accept();
            return true;
        }
        if (event->type() == QEvent::WhatsThis && watched->isWidgetType()) {
            m_peer.HelpOn(static_cast<QWidget*>(watched), false);
            event->accept();
            // One click, one answer, even when there was no topic to show; later, because
            // the mode's own event filter is running right now.
            QTimer::singleShot(0, [] {
                if (QWhatsThis::inWhatsThisMode())
                    QWhatsThis::leaveWhatsThisMode();
            });
            return true;
        }
        if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
            watched->property("lumivaneArrowsMoveInGroup").toBool()) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if ((key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
                auto* widget = static_cast<QWidget*>(watched);
                switch (key->key()) {
                case Qt::Key_Up:
                case Qt::Key_Left:
                    return m_peer.MoveInGroup(widget, true);
                case Qt::Key_Down:
                case Qt::Key_Right:
                    return m_peer.MoveInGroup(widget, false);
                default:
                    break;
                }
            }
        }
        return QDialog::eventFilter(watched, event);
    }

private:
    CQtDialogWindow& m_peer;
};

// An edit box; with ES_NUMBER it takes only digits from the keyboard. Pasted or dropped text
// goes in whatever it holds: the data exchange judges it.
class CNumberEdit : public QLineEdit {
public:
    using QLineEdit::QLineEdit;
    bool m_bDigitsOnly = false;

protected:
    void keyPressEvent(QKeyEvent* event) override
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

    void inputMethodEvent(QInputMethodEvent* event) override
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
};

// A trackbar. It speaks in trackbar positions: 0 at the top of a vertical one (or the left
// of a horizontal one). A vertical QSlider keeps its minimum at the bottom and fills the
// groove below the handle, so positions run the other way round from its values there, and
// the fill shows the level. Every move by the operator is reported with the scroll code a
// trackbar uses; moves made by the program are made with signals blocked and report nothing.
class CFaderSlider : public QSlider {
public:
    CFaderSlider(Qt::Orientation orientation, QWidget* parent)
        : QSlider(orientation, parent), m_bFlipped(orientation == Qt::Vertical)
    {
        connect(this, &QAbstractSlider::actionTriggered, this,
                [this](int action) { m_nPendingCode = CodeFor(action); });
        connect(this, &QAbstractSlider::valueChanged, this, [this](int) {
            const unsigned code = m_nPendingCode;
            m_nPendingCode = SB_THUMBTRACK;
            Report(code);
        });
        connect(this, &QAbstractSlider::sliderReleased, this, [this] {
            Report(SB_THUMBPOSITION);
            Report(SB_ENDSCROLL);
        });
    }

    std::function<void(unsigned code)> m_onScroll;

    int Pos() const { return ToPos(value()); }
    // Clamped to the range; reports nothing.
    void SetPos(int pos)
    {
        const QSignalBlocker quiet(this);
        setValue(ToPos(std::clamp(pos, minimum(), maximum())));
    }
    // The position stays where it was, clamped into the new range; reports nothing.
    void SetPosRange(int lowest, int highest)
    {
        const int pos = Pos();
        const QSignalBlocker quiet(this);
        setRange(lowest, std::max(lowest, highest));
        setValue(ToPos(std::clamp(pos, minimum(), maximum())));
    }

    // Lets go of a drag without reporting it: a message box has taken the mouse away.
    void AbandonDrag()
    {
        if (!isSliderDown())
            return;
        m_bSilent = true;
        setSliderDown(false);
        m_bSilent = false;
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        const SliderAction action = KeyAction(event->key());
        if (action == SliderNoAction) {
            QSlider::keyPressEvent(event);
            return;
        }
        triggerAction(action);
        event->accept();
    }

    void keyReleaseEvent(QKeyEvent* event) override
    {
        if (KeyAction(event->key()) == SliderNoAction) {
            QSlider::keyReleaseEvent(event);
            return;
        }
        if (!event->isAutoRepeat())
            Report(SB_ENDSCROLL);
        event->accept();
    }

    void mousePressEvent(QMouseEvent* event) override
    {
        QSlider::mousePressEvent(event);
        m_bPressed = event->isAccepted();
    }

    void mouseReleaseEvent(QMouseEvent* event) override
    {
        const bool dragging = isSliderDown();
        QSlider::mouseReleaseEvent(event);
        // A drag reports its end on release of the thumb; paging in the channel ends here.
        if (m_bPressed && !dragging)
            Report(SB_ENDSCROLL);
        m_bPressed = false;
    }

    void wheelEvent(QWheelEvent* event) override
    {
        m_bWheel = true;
        QSlider::wheelEvent(event);
        m_bWheel = false;
    }

private:
    // Value and position mirror each other across the range; the mapping is its own inverse.
    int ToPos(int v) const { return m_bFlipped ? minimum() + maximum() - v : v; }

    SliderAction TowardTop() const
    {
        return m_bFlipped ? SliderSingleStepAdd : SliderSingleStepSub;
    }
    SliderAction TowardBottom() const
    {
        return m_bFlipped ? SliderSingleStepSub : SliderSingleStepAdd;
    }

    // A trackbar's keys: Up and Left toward position 0, Down and Right away from it, Home to
    // the top and End to the bottom.
    SliderAction KeyAction(int key) const
    {
        switch (key) {
        case Qt::Key_Up:
        case Qt::Key_Left:
            return TowardTop();
        case Qt::Key_Down:
        case Qt::Key_Right:
            return TowardBottom();
        case Qt::Key_PageUp:
            return m_bFlipped ? SliderPageStepAdd : SliderPageStepSub;
        case Qt::Key_PageDown:
            return m_bFlipped ? SliderPageStepSub : SliderPageStepAdd;
        case Qt::Key_Home:
            return m_bFlipped ? SliderToMaximum : SliderToMinimum;
        case Qt::Key_End:
            return m_bFlipped ? SliderToMinimum : SliderToMaximum;
        default:
            return SliderNoAction;
        }
    }

    unsigned CodeFor(int action) const
    {
        // Up, for a trackbar, is toward position 0.
        const bool up = action == TowardTop() ||
                        action == (m_bFlipped ? SliderPageStepAdd : SliderPageStepSub) ||
                        action == (m_bFlipped ? SliderToMaximum : SliderToMinimum);
        switch (action) {
        case SliderSingleStepAdd:
        case SliderSingleStepSub:
            return up ? SB_LINEUP : SB_LINEDOWN;
        case SliderPageStepAdd:
        case SliderPageStepSub:
            return up ? SB_PAGEUP : SB_PAGEDOWN;
        case SliderToMinimum:
        case SliderToMaximum:
            return up ? SB_TOP : SB_BOTTOM;
        default:
            // The wheel moves by lines; anything else that moves the thumb is a drag.
            if (m_bWheel)
                return ToPos(sliderPosition()) < Pos() ? SB_LINEUP : SB_LINEDOWN;
            return SB_THUMBTRACK;
        }
    }

    void Report(unsigned code)
    {
        if (!m_bSilent && m_onScroll)
            m_onScroll(code);
    }

    const bool m_bFlipped;
    unsigned m_nPendingCode = SB_THUMBTRACK;
    bool m_bWheel = false;
    bool m_bPressed = false;
    bool m_bSilent = false;
};

// An automatic radio button whose group is the dialog's WS_GROUP run, not its Qt parent:
// a click selects it and clears the others through the peer.
class CAutoRadio : public QRadioButton {
public:
    using QRadioButton::QRadioButton;
    std::function<void()> m_onSelect;

protected:
    void nextCheckState() override
    {
        if (m_onSelect)
            m_onSelect();
    }
};

// A group box: an etched frame through the middle of its caption. It only draws; the
// controls it frames are its siblings, and the mouse goes through it to them.
class CGroupFrame : public QWidget {
public:
    explicit CGroupFrame(QWidget* parent) : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    void SetTitle(const QString& title)
    {
        m_title = title;
        update();
    }
    const QString& Title() const { return m_title; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const QFontMetrics metrics(font());
        const QRect frame = rect().adjusted(0, metrics.height() / 2, 0, 0);
        qDrawShadeRect(&painter, frame, palette(), true, 1, 0);
        if (m_title.isEmpty())
            return;
        const int indent = metrics.averageCharWidth();
        const int gap = metrics.averageCharWidth() / 2;
        QRect text(indent, 0, metrics.horizontalAdvance(m_title) + 2 * gap, metrics.height());
        text = text.intersected(rect().adjusted(0, 0, -indent, 0));
        painter.fillRect(text, palette().window());
        style()->drawItemText(&painter, text, Qt::AlignCenter | Qt::TextShowMnemonic, palette(),
                              isEnabled(), m_title, QPalette::WindowText);
    }

private:
    QString m_title;
};

// The dialog's look on top of the application style, fitted to controls laid out for the
// template's font: a check box's or radio button's text sits half a letter from its box, and
// the box is no taller than a line of the font, so radio buttons a line apart do not touch.
class CDialogStyle : public QProxyStyle {
public:
    CDialogStyle(int labelGap, int indicatorLimit)
        : m_nLabelGap(labelGap), m_nIndicatorLimit(indicatorLimit)
    {
    }

    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override
    {
        switch (metric) {
        case PM_CheckBoxLabelSpacing:
        case PM_RadioButtonLabelSpacing:
            return m_nLabelGap;
        case PM_IndicatorWidth:
        case PM_IndicatorHeight:
        case PM_ExclusiveIndicatorWidth:
        case PM_ExclusiveIndicatorHeight:
            return std::min(m_nIndicatorLimit, QProxyStyle::pixelMetric(metric, option, widget));
        default:
            return QProxyStyle::pixelMetric(metric, option, widget);
        }
    }

private:
    int m_nLabelGap;
    int m_nIndicatorLimit;
};

} // namespace

CQtDialogWindow::CQtDialogWindow(CDialog& dialog, const DialogTemplate& tmpl, QWidget* parent)
    : m_pDialog(&dialog)
{
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

    // The window menu starts as a system menu does, with Close; the dialog may add to it.
    widget->installEventFilter(widget);
    m_pWindowMenu = new QMenu(widget);
    QAction* close = m_pWindowMenu->addAction(QStringLiteral("&Close"));
    close->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
    QObject::connect(close, &QAction::triggered, widget, [this] { SystemClose(); });

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
    BuildControls(tmpl);
    // Realise the window now, so that the frame is part of its rectangle (where the window
    // system can tell it before the window is shown) when the dialog centres it.
    (void)widget->winId();
}

CQtDialogWindow::~CQtDialogWindow()
{
    if (m_pDialog != nullptr && m_pDialog->GetPeer() == this)
        m_pDialog->Detach();
    m_pDialog = nullptr;
    if (m_pLoop != nullptr)
        m_pLoop->exit();
    delete m_pWidget.data();
}

void CQtDialogWindow::BuildControls(const DialogTemplate& tmpl)
{
    QDialog* window = m_pWidget.data();
    const BaseUnits base = MeasureBaseUnits(window->font());
    m_pStyle = std::make_unique<CDialogStyle>(base.x / 2, base.y - 1);
    const QRect client = base.Map(tmpl.rect);
    window->setFixedSize(client.width(), client.height());

    m_items.reserve(tmpl.controls.size());
    for (const ControlTemplate& control : tmpl.controls) {
        const std::size_t index = m_items.size();
        Item item;
        item.tmpl = &control;
        const QString text = ToQString(control.text);
        const bool tabStop = (control.style & WS_TABSTOP) != 0;
        QWidget* widget = nullptr;

        switch (control.cls) {
        case ControlClass::Edit: {
            auto* edit = new CNumberEdit(text, window);
            edit->m_bDigitsOnly = (control.style & ES_NUMBER) != 0;
            edit->setFrame((control.style & WS_BORDER) != 0);
            QObject::connect(edit, &QLineEdit::textChanged, edit, [this, index] {
                if (!m_bWritingText)
                    Command(m_items[index], EN_CHANGE);
            });
            item.kind = Kind::Edit;
            widget = edit;
            break;
        }
        case ControlClass::Button: {
            const std::uint32_t type = control.style & BS_TYPEMASK;
            if (type == BS_GROUPBOX) {
                auto* frame = new CGroupFrame(window);
                frame->SetTitle(text);
                item.kind = Kind::GroupBox;
                widget = frame;
                break;
            }
            QAbstractButton* button = nullptr;
            if (type == BS_AUTOCHECKBOX) {
                button = new QCheckBox(text, window);
                button->setStyle(m_pStyle.get());
                item.kind = Kind::CheckBox;
            } else if (type == BS_AUTORADIOBUTTON) {
                auto* radio = new CAutoRadio(text, window);
                radio->setAutoExclusive(false);
                radio->setStyle(m_pStyle.get());
                radio->m_onSelect = [this, index] { SelectRadio(m_items[index]); };
                button = radio;
                item.kind = Kind::Radio;
            } else {
                auto* push = new QPushButton(text, window);
                // Enter is the dialog's to route (see PressEnter); Qt must not press too.
                push->setAutoDefault(false);
                push->setDefault(type == BS_DEFPUSHBUTTON);
                button = push;
                item.kind = Kind::PushButton;
            }
            QObject::connect(button, &QAbstractButton::clicked, button,
                             [this, index] { Command(m_items[index], BN_CLICKED); });
            button->setProperty("lumivaneArrowsMoveInGroup", true);
            widget = button;
            break;
        }
        case ControlClass::Static: {
            auto* label = new QLabel(window);
            if ((control.style & SS_TYPEMASK) == SS_ICON) {
                item.kind = Kind::Icon;
                item.windowText = std::string(control.text);
                label->setPixmap(LoadIconResource(OrdinalOf(control.text)).pixmap(kIconSize));
            } else {
                item.kind = Kind::Label;
                label->setTextFormat(Qt::PlainText);
                label->setWordWrap(true);
                const bool centred = (control.style & SS_TYPEMASK) == SS_CENTER;
                label->setAlignment((centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
                label->setText(text);
            }
            widget = label;
            break;
        }
        case ControlClass::Trackbar: {
            const bool vertical = (control.style & TBS_VERT) != 0;
            auto* slider = new CFaderSlider(vertical ? Qt::Vertical : Qt::Horizontal, window);
            slider->SetPosRange(0, kTrackbarDefaultMax);
            slider->setSingleStep(kTrackbarLineSize);
            slider->setPageStep(kTrackbarDefaultMax / kTrackbarPageDivisor);
            if ((control.style & TBS_AUTOTICKS) == 0)
                slider->setTickPosition(QSlider::NoTicks);
            else if ((control.style & TBS_BOTH) != 0)
                slider->setTickPosition(QSlider::TicksBothSides);
            else
                slider->setTickPosition(QSlider::TicksBelow);
            const std::uint32_t message = vertical ? WM_VSCROLL : WM_HSCROLL;
            slider->m_onScroll = [this, index, message, slider](unsigned code) {
                const bool thumb = code == SB_THUMBTRACK || code == SB_THUMBPOSITION;
                const unsigned pos = thumb ? static_cast<unsigned>(slider->Pos()) : 0U;
                Send(message, MakeWParam(code, pos), m_items[index].tmpl->id);
            };
            item.kind = Kind::Trackbar;
            item.windowText = std::string(control.text);
            widget = slider;
            break;
        }
        }

        QRect rect = base.Map(control.rect);
        if (item.kind == Kind::Icon)
            rect.setSize({kIconSize, kIconSize});
        widget->setGeometry(rect);
        switch (item.kind) {
        case Kind::GroupBox:
        case Kind::Label:
        case Kind::Icon:
            widget->setFocusPolicy(Qt::NoFocus);
            break;
        default:
            widget->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
            break;
        }
        // The first control of a template is the topmost, as on the platform it comes from.
        widget->lower();
        widget->setProperty(kControlIdProperty, control.id);
        widget->installEventFilter(window);
        // A right click asks for help on the control. Edit boxes keep their own menu (cut,
        // copy, paste), and labels and frames pass the click on to the window.
        if (item.kind == Kind::GroupBox || item.kind == Kind::Label || item.kind == Kind::Icon) {
            widget->setContextMenuPolicy(Qt::NoContextMenu);
        } else if (item.kind != Kind::Edit) {
            widget->setContextMenuPolicy(Qt::CustomContextMenu);
            QObject::connect(widget, &QWidget::customContextMenuRequested, widget,
                             [this, widget](const QPoint& pos) {
                                 ContextMenuOn(widget, widget->mapToGlobal(pos));
                             });
        }
        item.widget = widget;
        m_items.push_back(std::move(item));
    }

    QWidget* previous = nullptr;
    for (const Item& item : m_items) {
        if (item.widget->focusPolicy() == Qt::NoFocus)
            continue;
        if (previous != nullptr)
            QWidget::setTabOrder(previous, item.widget);
        previous = item.widget;
    }
}

QWidget* CQtDialogWindow::Control(int id) const
{
    const Item* item = Find(id);
    return item != nullptr ? item->widget : nullptr;
}

QWidget* CQtDialogWindow::ControlAt(int index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_items.size())
        return nullptr;
    return m_items[static_cast<std::size_t>(index)].widget;
}

CQtDialogWindow::Item* CQtDialogWindow::Find(int id)
{
    if (id == IDC_STATIC)
        return nullptr;
    for (Item& item : m_items)
        if (item.tmpl->id == id)
            return &item;
    return nullptr;
}

const CQtDialogWindow::Item* CQtDialogWindow::Find(int id) const
{
    return const_cast<CQtDialogWindow*>(this)->Find(id);
}

CQtDialogWindow::Item* CQtDialogWindow::FindWidget(const QWidget* widget)
{
    for (Item& item : m_items)
        if (item.widget == widget)
            return &item;
    return nullptr;
}

std::size_t CQtDialogWindow::IndexOf(const Item& item) const
{
    return static_cast<std::size_t>(&item - m_items.data());
}

void CQtDialogWindow::Send(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
{
    // Only the dialog attached to this window hears from it: nothing before WM_INITDIALOG
    // and nothing after WM_DESTROY.
    if (m_pDialog != nullptr && m_pDialog->GetPeer() == this)
        m_pDialog->SendMessage(message, wParam, lParam);
}

void CQtDialogWindow::Command(const Item& item, unsigned code)
{
    Send(WM_COMMAND, MakeWParam(static_cast<unsigned>(item.tmpl->id), code));
}

void CQtDialogWindow::PressEnter()
{
    QWidget* focus = m_pWidget != nullptr ? m_pWidget->focusWidget() : nullptr;
    if (const Item* focused = FindWidget(focus);
        focused != nullptr && focused->kind == Kind::PushButton) {
        static_cast<QAbstractButton*>(focused->widget)->click();
        return;
    }
    for (const Item& item : m_items)
        if (item.kind == Kind::PushButton && (item.tmpl->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
            static_cast<QAbstractButton*>(item.widget)->click();
            return;
        }
    Send(WM_COMMAND, MakeWParam(IDOK, BN_CLICKED));
}

void CQtDialogWindow::HelpKey(bool modifierHeld)
{
    if (modifierHeld && m_bContextHelpButton) {
        Send(WM_SYSCOMMAND, SC_CONTEXTHELP);
        return;
    }
    HelpOn(m_pWidget != nullptr ? m_pWidget->focusWidget() : nullptr, modifierHeld);
}

void CQtDialogWindow::HelpOn(QWidget* widget, bool modifierHeld)
{
    HELPINFO info;
    info.iContextType = HELPINFO_WINDOW;
    const Item* item = FindWidget(widget);
    info.iCtrlId = item != nullptr ? item->tmpl->id : 0;
    info.bModifierHeld = modifierHeld;
    Send(WM_HELP, 0, reinterpret_cast<std::intptr_t>(&info));
}

void CQtDialogWindow::ContextMenuOn(QWidget* widget, const QPoint& globalPos)
{
    const Item* item = FindWidget(widget);
    const std::uintptr_t target = item != nullptr && item->tmpl->id != IDC_STATIC
                                      ? static_cast<std::uintptr_t>(item->tmpl->id)
                                      : kContextMenuOnWindow;
    const auto packed = static_cast<std::intptr_t>(
        MakeWParam(static_cast<unsigned>(globalPos.x()), static_cast<unsigned>(globalPos.y())));
    Send(WM_CONTEXTMENU, target, packed);
}

void CQtDialogWindow::OpenWindowMenu()
{
    if (m_pWidget == nullptr || m_pWindowMenu == nullptr)
        return;
    m_pWindowMenu->exec(m_pWidget->mapToGlobal(QPoint(0, 0)));
}

void CQtDialogWindow::ToolTipShowing(QWidget* widget)
{
    if (const Item* item = FindWidget(widget))
        Send(WM_TOOLTIP_SHOWING, IndexOf(*item));
}

void CQtDialogWindow::SystemCommand(unsigned id)
{
    Send(WM_SYSCOMMAND, id);
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
                     [this, id] { Send(WM_SYSCOMMAND, id); });
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

void CQtDialogWindow::PressEscape()
{
    Send(WM_COMMAND, MakeWParam(IDCANCEL, BN_CLICKED));
}

void CQtDialogWindow::SystemClose()
{
    Send(WM_SYSCOMMAND, SC_CLOSE);
}

bool CQtDialogWindow::MoveInGroup(QWidget* from, bool backward)
{
    const Item* current = FindWidget(from);
    if (current == nullptr)
        return false;
    const std::size_t at = IndexOf(*current);
    std::size_t first = at;
    while (first > 0 && (m_items[first].tmpl->style & WS_GROUP) == 0)
        --first;
    std::size_t end = at + 1;
    while (end < m_items.size() && (m_items[end].tmpl->style & WS_GROUP) == 0)
        ++end;

    const std::size_t count = end - first;
    for (std::size_t step = 1; step < count; ++step) {
        const std::size_t offset = at - first;
        const std::size_t i =
            first + (backward ? (offset + count - step) % count : (offset + step) % count);
        Item& next = m_items[i];
        QWidget* widget = next.widget;
        if (widget->focusPolicy() == Qt::NoFocus || !widget->isEnabled() || widget->isHidden())
            continue;
        widget->setFocus(backward ? Qt::BacktabFocusReason : Qt::TabFocusReason);
        // Moving onto an automatic radio selects it, and it reports the click.
        if (next.kind == Kind::Radio && !static_cast<QAbstractButton*>(widget)->isChecked())
            static_cast<QAbstractButton*>(widget)->click();
        return true;
    }
    return true;
}

std::string CQtDialogWindow::GetItemText(int id) const
{
    const Item* item = Find(id);
    if (item == nullptr)
        return {};
    switch (item->kind) {
    case Kind::Edit:
        return static_cast<QLineEdit*>(item->widget)->text().toStdString();
    case Kind::PushButton:
    case Kind::CheckBox:
    case Kind::Radio:
        return static_cast<QAbstractButton*>(item->widget)->text().toStdString();
    case Kind::GroupBox:
        return static_cast<CGroupFrame*>(item->widget)->Title().toStdString();
    case Kind::Label:
        return static_cast<QLabel*>(item->widget)->text().toStdString();
    case Kind::Icon:
    case Kind::Trackbar:
        return item->windowText;
    }
    return {};
}

void CQtDialogWindow::SetText(Item& item, const std::string& text)
{
    const QString value = QString::fromStdString(text);
    switch (item.kind) {
    case Kind::Edit:
        m_bWritingText = true;
        static_cast<QLineEdit*>(item.widget)->setText(value);
        m_bWritingText = false;
        // Every write reports one change, also one that leaves the text as it was.
        Command(item, EN_CHANGE);
        break;
    case Kind::PushButton:
    case Kind::CheckBox:
    case Kind::Radio:
        static_cast<QAbstractButton*>(item.widget)->setText(value);
        break;
    case Kind::GroupBox:
        static_cast<CGroupFrame*>(item.widget)->SetTitle(value);
        break;
    case Kind::Label:
        static_cast<QLabel*>(item.widget)->setText(value);
        break;
    case Kind::Icon:
        item.windowText = text;
        static_cast<QLabel*>(item.widget)
            ->setPixmap(LoadIconResource(OrdinalOf(text)).pixmap(kIconSize));
        break;
    case Kind::Trackbar:
        item.windowText = text;
        break;
    }
}

void CQtDialogWindow::SetItemText(int id, const std::string& text)
{
    if (Item* item = Find(id))
        SetText(*item, text);
}

int CQtDialogWindow::GetCheck(int id) const
{
    const Item* item = Find(id);
    if (item == nullptr || (item->kind != Kind::CheckBox && item->kind != Kind::Radio))
        return 0;
    return static_cast<QAbstractButton*>(item->widget)->isChecked() ? 1 : 0;
}

void CQtDialogWindow::SetChecked(Item& item, bool checked)
{
    auto* button = static_cast<QAbstractButton*>(item.widget);
    button->setChecked(checked);
    // Tab reaches a radio group at its selected button, and skips a group with none.
    if (item.kind == Kind::Radio)
        button->setFocusPolicy(checked ? Qt::StrongFocus : Qt::ClickFocus);
}

void CQtDialogWindow::SetCheck(int id, int state)
{
    Item* item = Find(id);
    if (item != nullptr && (item->kind == Kind::CheckBox || item->kind == Kind::Radio))
        SetChecked(*item, state != 0);
}

void CQtDialogWindow::SelectRadio(Item& radio)
{
    const std::size_t at = IndexOf(radio);
    std::size_t first = at;
    while (first > 0 && (m_items[first].tmpl->style & WS_GROUP) == 0)
        --first;
    for (std::size_t i = first; i < m_items.size(); ++i) {
        if (i != first && (m_items[i].tmpl->style & WS_GROUP) != 0)
            break;
        if (m_items[i].kind == Kind::Radio)
            SetChecked(m_items[i], i == at);
    }
}

int CQtDialogWindow::GetTrackbarPos(int id) const
{
    const Item* item = Find(id);
    return item != nullptr && item->kind == Kind::Trackbar
               ? static_cast<CFaderSlider*>(item->widget)->Pos()
               : 0;
}

void CQtDialogWindow::SetTrackbarPos(int id, int pos)
{
    Item* item = Find(id);
    if (item != nullptr && item->kind == Kind::Trackbar)
        static_cast<CFaderSlider*>(item->widget)->SetPos(pos);
}

void CQtDialogWindow::SetRange(Item& item, int minimum, int maximum)
{
    auto* slider = static_cast<CFaderSlider*>(item.widget);
    slider->SetPosRange(minimum, maximum);
    slider->setPageStep(std::max(kTrackbarLineSize, (maximum - minimum) / kTrackbarPageDivisor));
}

void CQtDialogWindow::SetTrackbarRangeMin(int id, int minimum)
{
    Item* item = Find(id);
    if (item != nullptr && item->kind == Kind::Trackbar)
        SetRange(*item, minimum, static_cast<QSlider*>(item->widget)->maximum());
}

void CQtDialogWindow::SetTrackbarRangeMax(int id, int maximum)
{
    Item* item = Find(id);
    if (item != nullptr && item->kind == Kind::Trackbar)
        SetRange(*item, static_cast<QSlider*>(item->widget)->minimum(), maximum);
}

void CQtDialogWindow::SetTrackbarTicFreq(int id, int frequency)
{
    Item* item = Find(id);
    if (item != nullptr && item->kind == Kind::Trackbar)
        static_cast<QSlider*>(item->widget)->setTickInterval(frequency);
}

void CQtDialogWindow::FocusItem(int id)
{
    if (Item* item = Find(id))
        item->widget->setFocus(Qt::OtherFocusReason);
}

void CQtDialogWindow::SelectAllText(int id)
{
    Item* item = Find(id);
    if (item != nullptr && item->kind == Kind::Edit)
        static_cast<QLineEdit*>(item->widget)->selectAll();
}

void CQtDialogWindow::SetTextAt(int index, const std::string& text)
{
    if (index >= 0 && static_cast<std::size_t>(index) < m_items.size())
        SetText(m_items[static_cast<std::size_t>(index)], text);
}

void CQtDialogWindow::SetToolTipAt(int index, const std::string& text)
{
    if (QWidget* widget = ControlAt(index))
        widget->setToolTip(QString::fromStdString(text));
}

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

void CQtDialogWindow::FocusFirstTabStop()
{
    for (Item& item : m_items) {
        if ((item.widget->focusPolicy() & Qt::TabFocus) == 0 || !item.widget->isEnabled())
            continue;
        item.widget->setFocus(Qt::TabFocusReason);
        if (item.kind == Kind::Edit)
            static_cast<QLineEdit*>(item.widget)->selectAll();
        return;
    }
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

int CQtDialogWindow::MessageBox(const std::string& text, const std::string& caption, unsigned flags)
{
    // The box takes the mouse: a fader being dragged lets go, as it would on losing capture.
    for (Item& item : m_items)
        if (item.kind == Kind::Trackbar)
            static_cast<CFaderSlider*>(item.widget)->AbandonDrag();
    QMessageBox box(MessageIcon(flags), QString::fromStdString(caption),
                    QString::fromStdString(text), QMessageBox::Ok, m_pWidget.data());
    box.setTextFormat(Qt::PlainText);
    box.exec();
    return IDOK;
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
