// libFuzzer target: the number-box parser against a second reading of the same rules, written
// differently on purpose (trim both ends, split off the sign, judge the digits as a string), so
// that a slip in either shows up as a disagreement.
#include "framework/NumberParse.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace {

constexpr std::size_t kSignificant = 31;
constexpr std::size_t kDigitsBeyondAnyLimit = 11; // 11 digits without leading zeros exceed 2^32
const std::string kBlanks = " \t";
const std::string kDigits = "0123456789";

struct Reference {
    bool accepted = false;
    bool negative = false;
    std::uint64_t magnitude = 0; // already capped above both limits
};

Reference ReadReference(const std::string& input, bool allowMinus)
{
    Reference r;
    const std::string text = input.substr(0, kSignificant);
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string::npos)
        return r; // empty or blanks only
    const std::size_t last = text.find_last_not_of(kBlanks);
    const std::string core = text.substr(first, last - first + 1);

    std::string digits = core;
    const char lead = core.front();
    if (lead == '+' || lead == '-') {
        if (lead == '-' && !allowMinus)
            return r;
        r.negative = lead == '-';
        digits = core.substr(1);
    }
    if (digits.find_first_not_of(kDigits) != std::string::npos)
        return r; // a blank inside, a second sign, a letter...

    const std::size_t nonZero = digits.find_first_not_of('0');
    const std::string significant = nonZero == std::string::npos ? "" : digits.substr(nonZero);
    if (significant.empty()) {
        // Zero counts only when spelt with a leading digit 0 (no sign, at least one digit).
        r.accepted = lead == '0';
        return r;
    }
    r.accepted = true;
    r.magnitude = significant.size() >= kDigitsBeyondAnyLimit
                      ? std::numeric_limits<std::uint64_t>::max()
                      : std::stoull(significant);
    return r;
}

std::optional<std::uint32_t> ReferenceUnsigned(const std::string& text)
{
    const Reference r = ReadReference(text, false);
    if (!r.accepted)
        return std::nullopt;
    constexpr std::uint64_t kTop = std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(r.magnitude < kTop ? r.magnitude : kTop);
}

std::optional<std::int32_t> ReferenceSigned(const std::string& text)
{
    const Reference r = ReadReference(text, true);
    if (!r.accepted)
        return std::nullopt;
    constexpr std::uint64_t kTop = std::numeric_limits<std::int32_t>::max();
    if (!r.negative)
        return static_cast<std::int32_t>(r.magnitude < kTop ? r.magnitude : kTop);
    if (r.magnitude > kTop)
        return std::numeric_limits<std::int32_t>::min();
    return -static_cast<std::int32_t>(r.magnitude);
}

template <class T> std::string Show(const std::optional<T>& value)
{
    return value ? std::to_string(*value) : std::string("refused");
}

[[noreturn]] void Disagree(const char* which, const std::string& text, const std::string& parsed,
                           const std::string& reference)
{
    std::fprintf(stderr, "%s disagrees on \"", which);
    for (const char c : text)
        std::fprintf(stderr, "\\x%02X", static_cast<unsigned char>(c));
    std::fprintf(stderr, "\": parser %s, reference %s\n", parsed.c_str(), reference.c_str());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);

    const auto parsedUnsigned = ParseUnsignedBox(text);
    const auto expectedUnsigned = ReferenceUnsigned(text);
    if (parsedUnsigned != expectedUnsigned)
        Disagree("ParseUnsignedBox", text, Show(parsedUnsigned), Show(expectedUnsigned));

    const auto parsedSigned = ParseSignedBox(text);
    const auto expectedSigned = ReferenceSigned(text);
    if (parsedSigned != expectedSigned)
        Disagree("ParseSignedBox", text, Show(parsedSigned), Show(expectedSigned));
    return 0;
}
