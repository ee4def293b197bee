#include "QtControlFactory.h"

#include "AutoButton.h"
#include "DialogWidget.h"
#include "FaderSlider.h"
#include "GroupFrame.h"
#include "NumberEdit.h"
#include "QtDialogWindow.h"
#include "QtHelpDisplay.h"
#include "QtIconResource.h"
#include "framework/DialogManager.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <array>

CQtControlFactory::CQtControlFactory(CQtDialogWindow& peer, QWidget* window, QStyle* checkStyle,
                                     const BaseUnits& base)
    : m_peer(peer), m_pWindow(window), m_pCheckStyle(checkStyle), m_base(base)
{
}

QWidget* CQtControlFactory::Create(const ControlTemplate& control, int index) const
{
    using Builder = QWidget* (CQtControlFactory::*)(const ControlTemplate&, int) const;
    // By ControlClass: Edit, Button, Static, Trackbar.
    static_assert(static_cast<int>(ControlClass::Edit) == 0 &&
                  static_cast<int>(ControlClass::Trackbar) == 3);
    static constexpr std::array<Builder, 4> kBuilders{
        &CQtControlFactory::CreateEdit, &CQtControlFactory::CreateButton,
        &CQtControlFactory::CreateStatic, &CQtControlFactory::CreateTrackbar};
    QWidget* widget = (this->*kBuilders.at(static_cast<std::size_t>(control.cls)))(control, index);
    Place(widget, control);
    return widget;
}

QWidget* CQtControlFactory::CreateEdit(const ControlTemplate& control, int index) const
{
    auto* edit = new CNumberEdit(ToQString(control.text), m_pWindow);
    edit->m_bDigitsOnly = (control.style & ES_NUMBER) != 0;
    edit->setFrame((control.style & WS_BORDER) != 0);
    CQtDialogWindow& peer = m_peer;
    QObject::connect(edit, &QLineEdit::textChanged, edit,
                     [&peer, index] { peer.OnTextEdited(index); });
    // Edit boxes keep their own context menu (cut, copy, paste).
    return edit;
}

QWidget* CQtControlFactory::CreateButton(const ControlTemplate& control, int index) const
{
    const QString text = ToQString(control.text);
    QAbstractButton* button = nullptr;
    switch (KindOf(control)) {
    case ControlKind::GroupBox: {
        auto* frame = new CGroupFrame(m_pWindow);
        frame->SetTitle(text);
        return frame;
    }
    case ControlKind::CheckBox:
        button = new CAutoButton<QCheckBox>(text, m_pWindow);
        button->setStyle(m_pCheckStyle);
        break;
    case ControlKind::Radio: {
        auto* radio = new CAutoButton<QRadioButton>(text, m_pWindow);
        // Qt would clear the other radios of the window on a selection: a group of its own,
        // that clears nothing, leaves that to the dialog manager's WS_GROUP groups. The radio
        // stays auto-exclusive, and so is announced as a radio button.
        auto* alone = new QButtonGroup(radio);
        alone->setExclusive(false);
        alone->addButton(radio);
        radio->setStyle(m_pCheckStyle);
        button = radio;
        break;
    }
    default: {
        auto* push = new QPushButton(text, m_pWindow);
        // Enter is the dialog manager's to route; Qt must not press too.
        push->setAutoDefault(false);
        push->setDefault(m_peer.DefaultButton() == index);
        button = push;
        break;
    }
    }
    CQtDialogWindow& peer = m_peer;
    QObject::connect(button, &QAbstractButton::clicked, button,
                     [&peer, index] { peer.OnButtonClicked(index); });
    CDialogWidget::GiveArrowsToDialog(button);
    return button;
}

QWidget* CQtControlFactory::CreateStatic(const ControlTemplate& control, int) const
{
    auto* label = new QLabel(m_pWindow);
    if (KindOf(control) == ControlKind::Icon) {
        label->setPixmap(LoadIconResource(OrdinalOf(control.text)).pixmap(kIconSize));
        return label;
    }
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    const bool centred = (control.style & SS_TYPEMASK) == SS_CENTER;
    label->setAlignment((centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
    label->setText(ToQString(control.text));
    return label;
}

QWidget* CQtControlFactory::CreateTrackbar(const ControlTemplate& control, int index) const
{
    const bool vertical = (control.style & TBS_VERT) != 0;
    auto* slider = new CFaderSlider(vertical ? Qt::Vertical : Qt::Horizontal, m_pWindow);
    slider->SetPosRange(0, kFaderDefaultMax);
    slider->setSingleStep(kFaderLineSize);
    slider->setPageStep(m_peer.FaderPageSize(index));
    if ((control.style & TBS_AUTOTICKS) == 0)
        slider->setTickPosition(QSlider::NoTicks);
    else if ((control.style & TBS_BOTH) != 0)
        slider->setTickPosition(QSlider::TicksBothSides);
    else
        slider->setTickPosition(QSlider::TicksBelow);
    CQtDialogWindow& peer = m_peer;
    slider->m_onScroll = [&peer, index](unsigned code) { peer.OnFaderScroll(index, code); };
    slider->m_onKey = [&peer](DialogKey key) { return peer.OnKey(key); };
    slider->m_accessibleValue = [&peer, index] { return peer.FaderAccessibleValue(index); };
    slider->m_accessibleTop = [&peer, index] { return peer.FaderAccessibleTop(index); };
    return slider;
}

void CQtControlFactory::Place(QWidget* widget, const ControlTemplate& control) const
{
    const ControlKind kind = KindOf(control);
    QRect rect = m_base.Map(control.rect);
    if (kind == ControlKind::Icon)
        rect.setSize({kIconSize, kIconSize});
    widget->setGeometry(rect);
    const bool passive =
        kind == ControlKind::GroupBox || kind == ControlKind::Label || kind == ControlKind::Icon;
    if (passive)
        widget->setFocusPolicy(Qt::NoFocus);
    else
        widget->setFocusPolicy((control.style & WS_TABSTOP) != 0 ? Qt::StrongFocus
                                                                 : Qt::ClickFocus);
    // The first control of a template is the topmost, as on the platform it comes from.
    widget->lower();
    widget->setProperty(kControlIdProperty, control.id);
    widget->installEventFilter(m_pWindow);
    // A right click asks for help on the control. Edit boxes keep their own menu, and labels
    // and frames pass the click on to the window.
    if (passive) {
        widget->setContextMenuPolicy(Qt::NoContextMenu);
    } else if (kind != ControlKind::Edit) {
        widget->setContextMenuPolicy(Qt::CustomContextMenu);
        CQtDialogWindow& peer = m_peer;
        QObject::connect(widget, &QWidget::customContextMenuRequested, widget,
                         [&peer, widget](const QPoint& pos) {
                             peer.ContextMenuOn(widget, widget->mapToGlobal(pos));
                         });
    }
}
