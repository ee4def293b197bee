#include "FaderSlider.h"

#include "DialogStyle.h"
#include "framework/WinDefs.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyleOptionSlider>
#include <QWheelEvent>

#include <algorithm>
#include <optional>
#include <vector>

namespace {

// The keys that step a trackbar; the dialog manager knows by how much.
std::optional<DialogKey> StepKey(int key)
{
    switch (key) {
    case Qt::Key_Up:
        return DialogKey::Up;
    case Qt::Key_Down:
        return DialogKey::Down;
    case Qt::Key_Left:
        return DialogKey::Left;
    case Qt::Key_Right:
        return DialogKey::Right;
    case Qt::Key_PageUp:
        return DialogKey::PageUp;
    case Qt::Key_PageDown:
        return DialogKey::PageDown;
    case Qt::Key_Home:
        return DialogKey::Home;
    case Qt::Key_End:
        return DialogKey::End;
    default:
        return std::nullopt;
    }
}

} // namespace

CFaderSlider::CFaderSlider(Qt::Orientation orientation, QWidget* parent)
    : QSlider(orientation, parent), m_bFlipped(orientation == Qt::Vertical),
      m_nPendingCode(SB_THUMBTRACK)
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

void CFaderSlider::SetPos(int pos)
{
    const QSignalBlocker quiet(this);
    setValue(ToPos(std::clamp(pos, minimum(), maximum())));
}

void CFaderSlider::SetPosRange(int lowest, int highest)
{
    const int pos = Pos();
    const QSignalBlocker quiet(this);
    setRange(lowest, std::max(lowest, highest));
    setValue(ToPos(std::clamp(pos, minimum(), maximum())));
}

void CFaderSlider::AbandonDrag()
{
    if (!isSliderDown())
        return;
    m_bSilent = true;
    setSliderDown(false);
    m_bSilent = false;
}

void CFaderSlider::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    QStyleOptionSlider option;
    initStyleOption(&option);
    option.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderHandle;
    if (tickPosition() != NoTicks)
        DrawTicks(painter, option);
    style()->drawComplexControl(QStyle::CC_Slider, &option, &painter, this);
}

void CFaderSlider::DrawTicks(QPainter& painter, const QStyleOptionSlider& option) const
{
    const bool vertical = orientation() == Qt::Vertical;
    const int thumb = style()->pixelMetric(QStyle::PM_SliderLength, &option, this);
    const int mark = style()->pixelMetric(QStyle::PM_SliderTickmarkOffset, &option, this);
    const int across = vertical ? width() : height();
    const int along = (vertical ? height() : width()) - thumb;
    const int interval = std::max(1, tickInterval());
    std::vector<int> positions;
    for (int pos = minimum(); pos < maximum(); pos += interval)
        positions.push_back(pos);
    positions.push_back(maximum());

    std::vector<QLine> lines;
    for (int pos : positions) {
        const int at = QStyle::sliderPositionFromValue(minimum(), maximum(), ToPos(pos), along,
                                                       option.upsideDown) +
                       thumb / 2;
        // The marks at the ends reach a pixel further out, as a trackbar draws them.
        const int inset = pos == minimum() || pos == maximum() ? 1 : 2;
        const auto line = [vertical, at](int from, int to) {
            return vertical ? QLine(from, at, to, at) : QLine(at, from, at, to);
        };
        if ((tickPosition() & TicksAbove) != 0)
            lines.push_back(line(inset, mark));
        if ((tickPosition() & TicksBelow) != 0)
            lines.push_back(line(across - 1 - inset, across - 1 - mark));
    }
    painter.save();
    painter.setPen(LineColour(palette()));
    painter.drawLines(lines.data(), static_cast<int>(lines.size()));
    painter.restore();
}

void CFaderSlider::keyPressEvent(QKeyEvent* event)
{
    const auto key = StepKey(event->key());
    if (key && m_onKey && m_onKey(*key)) {
        event->accept();
        return;
    }
    QSlider::keyPressEvent(event);
}

void CFaderSlider::keyReleaseEvent(QKeyEvent* event)
{
    if (!StepKey(event->key())) {
        QSlider::keyReleaseEvent(event);
        return;
    }
    if (!event->isAutoRepeat())
        Report(SB_ENDSCROLL);
    event->accept();
}

void CFaderSlider::mousePressEvent(QMouseEvent* event)
{
    QSlider::mousePressEvent(event);
    m_bPressed = event->isAccepted();
}

void CFaderSlider::mouseReleaseEvent(QMouseEvent* event)
{
    const bool dragging = isSliderDown();
    QSlider::mouseReleaseEvent(event);
    // A drag reports its end on release of the thumb; paging in the channel ends here.
    if (m_bPressed && !dragging)
        Report(SB_ENDSCROLL);
    m_bPressed = false;
}

void CFaderSlider::wheelEvent(QWheelEvent* event)
{
    m_bWheel = true;
    QSlider::wheelEvent(event);
    m_bWheel = false;
}

unsigned CFaderSlider::CodeFor(int action) const
{
    // Up, for a trackbar, is toward position 0: the slider's maximum when it is flipped.
    const bool up = m_bFlipped ? (action == SliderSingleStepAdd || action == SliderPageStepAdd ||
                                  action == SliderToMaximum)
                               : (action == SliderSingleStepSub || action == SliderPageStepSub ||
                                  action == SliderToMinimum);
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

void CFaderSlider::Report(unsigned code)
{
    if (!m_bSilent && m_onScroll)
        m_onScroll(code);
}
