#include "FaderRange.h"

#include "WinDefs.h"

#include <algorithm>
#include <cstdint>

namespace {

// A trackbar's page as a share of its range.
constexpr int kFaderPageDivisor = 5;

} // namespace

int FaderRange::Highest() const
{
    return std::max(minimum, maximum);
}

int FaderRange::Clamp(int pos) const
{
    return std::clamp(pos, minimum, Highest());
}

int FaderRange::PageSize() const
{
    return std::max(kFaderLineSize, (maximum - minimum) / kFaderPageDivisor);
}

std::optional<FaderStep> FaderRange::Step(DialogKey key, int pos) const
{
    FaderStep step;
    switch (key) {
    case DialogKey::Up:
    case DialogKey::Left:
        step = {pos - kFaderLineSize, SB_LINEUP};
        break;
    case DialogKey::Down:
    case DialogKey::Right:
        step = {pos + kFaderLineSize, SB_LINEDOWN};
        break;
    case DialogKey::PageUp:
        step = {pos - PageSize(), SB_PAGEUP};
        break;
    case DialogKey::PageDown:
        step = {pos + PageSize(), SB_PAGEDOWN};
        break;
    case DialogKey::Home:
        step = {minimum, SB_TOP};
        break;
    case DialogKey::End:
        step = {maximum, SB_BOTTOM};
        break;
    default:
        return std::nullopt;
    }
    step.target = Clamp(step.target);
    return step;
}

int FaderRange::AccessibleTop() const
{
    return valueTop > 0 ? valueTop : Highest() - minimum;
}

int FaderRange::AccessibleValue(int pos) const
{
    const std::int64_t length = Highest() - minimum;
    if (length == 0)
        return 0;
    const std::int64_t fromEnd = Highest() - pos;
    return static_cast<int>(fromEnd * AccessibleTop() / length);
}
