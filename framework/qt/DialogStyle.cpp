#include "DialogStyle.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyleOption>

#include <algorithm>
#include <array>

namespace {

// Of a line's colour, the share of the window's text colour (the rest is the window's).
constexpr int kLineTextShare = 2;
constexpr int kLineShares = 3;
// A check mark's stroke, its three points and a radio's dot, as shares of the box.
constexpr qreal kCheckStroke = 0.14;
constexpr std::array<QPointF, 3> kCheckMark{{{0.22, 0.52}, {0.42, 0.72}, {0.78, 0.28}}};
constexpr qreal kDotRadius = 0.22;
constexpr qreal kDashInset = 0.25;

int Mix(int text, int window)
{
    return (text * kLineTextShare + window * (kLineShares - kLineTextShare)) / kLineShares;
}

} // namespace

QColor LineColour(const QPalette& palette)
{
    const QColor text = palette.color(QPalette::WindowText);
    const QColor window = palette.color(QPalette::Window);
    return {Mix(text.red(), window.red()), Mix(text.green(), window.green()),
            Mix(text.blue(), window.blue())};
}

int CDialogStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                              const QWidget* widget) const
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

void CDialogStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                 QPainter* painter, const QWidget* widget) const
{
    const bool radio = element == PE_IndicatorRadioButton;
    if (!radio && element != PE_IndicatorCheckBox) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    const QPalette& palette = option->palette;
    const bool keyboardFocus =
        (option->state & State_HasFocus) != 0 && (option->state & State_KeyboardFocusChange) != 0;
    const QRectF box = QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setPen(keyboardFocus ? palette.color(QPalette::Highlight) : LineColour(palette));
    painter->setBrush(
        palette.color((option->state & State_Sunken) != 0 ? QPalette::Button : QPalette::Base));
    if (radio)
        painter->drawEllipse(box);
    else
        painter->drawRect(box);

    const QColor mark = palette.color(QPalette::Text);
    const qreal size = box.width();
    if (radio && (option->state & State_On) != 0) {
        painter->setPen(Qt::NoPen);
        painter->setBrush(mark);
        painter->drawEllipse(box.center(), size * kDotRadius, size * kDotRadius);
    } else if (!radio && (option->state & State_On) != 0) {
        QPainterPath tick;
        tick.moveTo(box.topLeft() + kCheckMark[0] * size);
        tick.lineTo(box.topLeft() + kCheckMark[1] * size);
        tick.lineTo(box.topLeft() + kCheckMark[2] * size);
        painter->setPen(
            QPen(mark, size * kCheckStroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter->setBrush(Qt::NoBrush);
        painter->drawPath(tick);
    } else if (!radio && (option->state & State_NoChange) != 0) {
        painter->setPen(QPen(mark, size * kCheckStroke, Qt::SolidLine, Qt::RoundCap));
        painter->drawLine(QPointF(box.left() + size * kDashInset, box.center().y()),
                          QPointF(box.right() - size * kDashInset, box.center().y()));
    }
    painter->restore();
}
