// CFaderSlider: a trackbar. It speaks in trackbar positions: 0 at the top of a vertical one
// (or the left of a horizontal one). A vertical QSlider keeps its minimum at the bottom and
// fills the groove below the handle, so positions run the other way round from its values
// there, and the fill shows the level. Moves by the mouse and the wheel are reported with
// the scroll code a trackbar uses; the stepping keys go to the dialog manager, which moves
// the thumb; moves made by the program report nothing. Tick marks fall every tick interval of
// positions from the top, and at both ends.
//
// Threads: the GUI thread only.
#pragma once

#include "framework/DialogManager.h"

#include <QSlider>

class QPainter;
class QStyleOptionSlider;

#include <functional>

class CFaderSlider : public QSlider {
public:
    CFaderSlider(Qt::Orientation orientation, QWidget* parent);

    // The operator moved the thumb (or let go of it) with this scroll code.
    std::function<void(unsigned code)> m_onScroll;
    // A stepping key; true when it was taken.
    std::function<bool(DialogKey key)> m_onKey;
    // What a screen reader reads: the level in the dialog's units, and the most it can be.
    std::function<int()> m_accessibleValue;
    std::function<int()> m_accessibleTop;

    int AccessibleValue() const { return m_accessibleValue ? m_accessibleValue() : value(); }
    int AccessibleTop() const { return m_accessibleTop ? m_accessibleTop() : maximum(); }

    int Pos() const { return ToPos(value()); }
    // Clamped to the range; reports nothing.
    void SetPos(int pos);
    // The position stays where it was, clamped into the new range; reports nothing.
    void SetPosRange(int lowest, int highest);
    // Lets go of a drag without reporting it: a message box has taken the mouse away.
    void AbandonDrag();

protected:
    // The style draws the groove and the thumb; the tick marks are ours, in the palette's own
    // line colour whatever the focus or the pointer, so they stay readable on a dark desktop
    // and never stay lit.
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    // Value and position mirror each other across the range; the mapping is its own inverse.
    int ToPos(int v) const { return m_bFlipped ? minimum() + maximum() - v : v; }
    unsigned CodeFor(int action) const;
    void Report(unsigned code);
    void DrawTicks(QPainter& painter, const QStyleOptionSlider& option) const;

    const bool m_bFlipped;
    unsigned m_nPendingCode;
    bool m_bWheel = false;
    bool m_bPressed = false;
    bool m_bSilent = false;
};
