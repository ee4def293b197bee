#include "NumberParse.h"

#include <limits>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}
bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::size_t SkipBlanks(std::string_view text, std::size_t at)
{
    while (at < text.size() && IsBlank(text[at]))
        ++at;
    return at;
}

struct Reading {
    bool negative = false;
    std::uint64_t magnitude = 0; // saturated well above either limit
    std::size_t numberStart = 0; // first character after the blanks
    std::size_t end = 0;         // first character after the digits
};

constexpr std::uint64_t kSaturation = std::uint64_t{1} << 40;
constexpr std::uint64_t kDecimalBase = 10;

Reading ReadNumber(std::string_view text, bool allowMinus)
{
    Reading r;
    std::size_t at = SkipBlanks(text, 0);
    r.numberStart = at;
    if (at < text.size() && (text[at] == '+' || (allowMinus && text[at] == '-'))) {
        r.negative = text[at] == '-';
        ++at;
    }
    while (at < text.size() && IsDigit(text[at])) {
        r.magnitude = r.magnitude * kDecimalBase + static_cast<std::uint64_t>(text[at] - '0');
        if (r.magnitude > kSaturation)
            r.magnitude = kSaturation;
        ++at;
    }
    r.end = at;
    return r;
}

// The checks after the number: a zero must be spelt with a leading 0, and only blanks follow.
bool Acceptable(std::string_view text, const Reading& r)
{
    if (r.magnitude == 0 && (r.numberStart >= text.size() || text[r.numberStart] != '0'))
        return false;
    return SkipBlanks(text, r.end) == text.size();
}

} // namespace

std::optional<std::uint32_t> ParseUnsignedBox(std::string_view text)
{
    text = text.substr(0, kNumberBoxSignificantChars);
    const std::size_t first = SkipBlanks(text, 0);
    if (first < text.size() && text[first] == '-')
        return std::nullopt;
    const Reading r = ReadNumber(text, false);
    if (!Acceptable(text, r))
        return std::nullopt;
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(r.magnitude > kMax ? kMax : r.magnitude);
}

std::optional<std::int32_t> ParseSignedBox(std::string_view text)
{
    text = text.substr(0, kNumberBoxSignificantChars);
    const Reading r = ReadNumber(text, true);
    if (!Acceptable(text, r))
        return std::nullopt;
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
    std::int64_t value = static_cast<std::int64_t>(r.magnitude);
    if (r.negative)
        value = -value;
    if (value > kMax)
        value = kMax;
    if (value < kMin)
        value = kMin;
    return static_cast<std::int32_t>(value);
}
