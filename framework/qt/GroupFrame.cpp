#include "GroupFrame.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStyle>
#include <qdrawutil.h>

CGroupFrame::CGroupFrame(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void CGroupFrame::SetTitle(const QString& title)
{
    m_title = title;
    update();
}

void CGroupFrame::paintEvent(QPaintEvent*)
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
