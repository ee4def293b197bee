// The arithmetic between fader positions and levels. A position is 0 (top, full) to 255
// (bottom, off); a level is 0..255 in Value units or 0..100 in Percent units. Integer only,
// truncating toward zero; computed in 64 bits and clamped, so no input can overflow.
#pragma once

#include <cstdint>

constexpr std::int32_t kPositionTop = 0;
constexpr std::int32_t kPositionBottom = 255;
constexpr std::int32_t kRawLevelMax = 255;
constexpr std::int32_t kPercentMax = 100;

// Clamps a 64-bit intermediate into the 32-bit range.
std::int32_t SaturateToInt32(std::int64_t value);

// Position to level, in Percent units when `percent`.
std::int32_t PositionToLevel(std::int32_t position, bool percent);
// Level to the fader position that shows it (not clamped to the fader's range; the fader
// does that). In Percent units the level must already be limited to 100 by the caller.
std::int32_t LevelToPosition(std::int32_t level, bool percent);
// Unit conversions of a level box's number.
std::int32_t RawToPercent(std::int32_t level);
std::int32_t PercentToRaw(std::int32_t level);
