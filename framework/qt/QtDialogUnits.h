// Dialog units on Qt: a template's rectangles in pixels of the dialog's font, and that font.
//
// Threads: the GUI thread only.
#pragma once

#include "framework/DialogTemplate.h"

#include <QFont>
#include <QRect>
#include <QString>

#include <string_view>

// A quarter of the font's average letter width, an eighth of its height, in pixels.
struct BaseUnits {
    int x = 1;
    int y = 1;
    QRect Map(const DialogRect& r) const;
};

BaseUnits MeasureBaseUnits(const QFont& font);
// The template's font when this system has it, else the nearest sans-serif at its size.
QFont DialogFont(const DialogTemplate& tmpl);
QString ToQString(std::string_view text);
