#include "FaderMath.h"

#include <limits>

std::int32_t SaturateToInt32(std::int64_t value)
{
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value > kMax ? kMax : (value < kMin ? kMin : value));
}

std::int32_t PositionToLevel(std::int32_t position, bool percent)
{
    const std::int64_t raw = std::int64_t{kPositionBottom} - position;
    return SaturateToInt32(percent ? raw * kPercentMax / kRawLevelMax : raw);
}

std::int32_t LevelToPosition(std::int32_t level, bool percent)
{
    const std::int64_t raw = percent ? std::int64_t{level} * kRawLevelMax / kPercentMax : level;
    return SaturateToInt32(kPositionBottom - raw);
}

std::int32_t RawToPercent(std::int32_t level)
{
    return SaturateToInt32(std::int64_t{level} * kPercentMax / kRawLevelMax);
}

std::int32_t PercentToRaw(std::int32_t level)
{
    return SaturateToInt32(std::int64_t{level} * kRawLevelMax / kPercentMax);
}
