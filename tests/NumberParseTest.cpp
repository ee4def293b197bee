// How a number box's text reads, for the base box (unsigned) and the level boxes (signed).
#include "framework/NumberParse.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <ostream>
#include <string>

namespace {

constexpr std::uint32_t kUnsignedTop = std::numeric_limits<std::uint32_t>::max();
constexpr std::int32_t kSignedTop = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kSignedBottom = std::numeric_limits<std::int32_t>::min();
const std::nullopt_t kRefused = std::nullopt;

struct ParseRow {
    const char* name;
    std::string text;
    std::optional<std::uint32_t> asUnsigned;
    std::optional<std::int32_t> asSigned;
};

void PrintTo(const ParseRow& row, std::ostream* out)
{
    *out << row.name;
}

class NumberParseTest : public ::testing::TestWithParam<ParseRow> {};

TEST_P(NumberParseTest, ReadsTheBaseBox)
{
    EXPECT_EQ(ParseUnsignedBox(GetParam().text), GetParam().asUnsigned)
        << "text '" << GetParam().text << "'";
}

TEST_P(NumberParseTest, ReadsALevelBox)
{
    EXPECT_EQ(ParseSignedBox(GetParam().text), GetParam().asSigned)
        << "text '" << GetParam().text << "'";
}

// 31 significant characters: "0000...0012" (29 zeros, then 12) and whatever follows unread.
const std::string kThirtyOneCharacters = std::string(29, '0') + "12";

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    NumberParse, NumberParseTest,
    ::testing::Values(
        ParseRow{"PlainNumber", "12", 12U, 12},
        ParseRow{"BlankOnEachSide", " 12 ", 12U, 12},
        ParseRow{"LeadingTab", "\t7", 7U, 7},
        ParseRow{"BlanksAndTabsMixed", " \t 12\t ", 12U, 12},
        ParseRow{"LetterAfterTheDigits", "12a", kRefused, kRefused},
        ParseRow{"MinusOneOnlySigned", "-1", kRefused, -1},
        ParseRow{"MinusAfterBlanksOnlySigned", "  -5", kRefused, -5},
        ParseRow{"PlusSign", "+5", 5U, 5},
        ParseRow{"PlusZero", "+0", kRefused, kRefused},
        ParseRow{"MinusZero", "-0", kRefused, kRefused},
        ParseRow{"Zero", "0", 0U, 0},
        ParseRow{"DoubleZero", "00", 0U, 0},
        ParseRow{"LeadingZeros", "007", 7U, 7},
        ParseRow{"Empty", "", kRefused, kRefused},
        ParseRow{"BlanksOnly", "   ", kRefused, kRefused},
        ParseRow{"SignAlone", "+", kRefused, kRefused},
        ParseRow{"MinusAlone", "-", kRefused, kRefused},
        ParseRow{"TwoSigns", "+-5", kRefused, kRefused},
        ParseRow{"SignThenBlank", "- 5", kRefused, kRefused},
        ParseRow{"LetterFirst", "x7", kRefused, kRefused},
        ParseRow{"BlankInsideTheNumber", "1 2", kRefused, kRefused},
        ParseRow{"NewlineIsNoBlank", "12\n", kRefused, kRefused},
        ParseRow{"ElevenNinesSaturate", "99999999999", kUnsignedTop, kSignedTop},
        ParseRow{"MinusElevenNinesSaturatesLow", "-99999999999", kRefused, kSignedBottom},
        ParseRow{"UnsignedTopExactly", "4294967295", kUnsignedTop, kSignedTop},
        ParseRow{"OnePastUnsignedTop", "4294967296", kUnsignedTop, kSignedTop},
        ParseRow{"SignedTopExactly", "2147483647", 2147483647U, kSignedTop},
        ParseRow{"OnePastSignedTop", "2147483648", 2147483648U, kSignedTop},
        ParseRow{"SignedBottomExactly", "-2147483648", kRefused, kSignedBottom},
        ParseRow{"OnePastSignedBottom", "-2147483649", kRefused, kSignedBottom},
        ParseRow{"FortyDigitsSaturate", std::string(40, '9'), kUnsignedTop, kSignedTop},
        ParseRow{"LetterBeyondThe31stCharacterIsNotRead", kThirtyOneCharacters + "x", 12U, 12},
        ParseRow{"FortyCharactersJudgedOnTheFirst31", kThirtyOneCharacters + "999999999", 12U, 12},
        ParseRow{"LetterAsThe31stCharacterIsRead", std::string(30, '0') + "x", kRefused,
                 kRefused},
        ParseRow{"BlanksFillingThe31CharactersAfterZero", "0" + std::string(30, ' ') + "x", 0U,
                 0},
        ParseRow{"ThirtyOneBlanksThenANumber", std::string(31, ' ') + "5", kRefused, kRefused}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

} // namespace
