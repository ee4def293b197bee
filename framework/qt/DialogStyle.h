// CDialogStyle: the dialog's look on top of the application style, fitted to controls laid
// out for the template's font: a check box's or radio button's text sits half a letter from
// its box, and the box is no taller than a line of the font, so radio buttons a line apart do
// not touch.
//
// Threads: the GUI thread only.
#pragma once

#include <QProxyStyle>

class CDialogStyle : public QProxyStyle {
public:
    CDialogStyle(int labelGap, int indicatorLimit)
        : m_nLabelGap(labelGap), m_nIndicatorLimit(indicatorLimit)
    {
    }

    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override;

private:
    int m_nLabelGap;
    int m_nIndicatorLimit;
};
