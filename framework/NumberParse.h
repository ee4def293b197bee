// How a number box's text is read: at most its first 31 characters; blanks (spaces and tabs)
// around the number; an optional sign; saturation at the type's limits; and a 0 that does
// not begin with the digit 0 (empty text, blanks, a sign followed by 0) is refused.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

constexpr std::size_t kNumberBoxSignificantChars = 31;

// Unsigned: a leading minus sign is refused; above 4294967295 reads as 4294967295.
std::optional<std::uint32_t> ParseUnsignedBox(std::string_view text);
// Signed: outside the 32-bit range reads as 2147483647 or -2147483648.
std::optional<std::int32_t> ParseSignedBox(std::string_view text);
