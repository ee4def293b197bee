// CDialogStyle: the dialog's look on top of the application style, fitted to controls laid
// out for the template's font: a check box's or radio button's text sits half a letter from
// its box, and the box is no taller than a line of the font, so radio buttons a line apart do
// not touch. The boxes and circles are outlined in the palette's line colour, so they stay
// readable on a dark desktop as on a light one.
//
// Threads: the GUI thread only.
#pragma once

#include <QProxyStyle>

// The colour of a thin line drawn on the window (a tick mark, a box's outline): the window's
// text colour, two parts in three, over the window's colour. Readable on any palette a desktop
// gives, light or dark.
QColor LineColour(const QPalette& palette);

class CDialogStyle : public QProxyStyle {
public:
    CDialogStyle(int labelGap, int indicatorLimit)
        : m_nLabelGap(labelGap), m_nIndicatorLimit(indicatorLimit)
    {
    }

    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;

private:
    int m_nLabelGap;
    int m_nIndicatorLimit;
};
