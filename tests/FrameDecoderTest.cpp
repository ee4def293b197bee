// The soak test trusts this decoder to find every bad frame, so it gets its own vectors.
#include "FrameDecoder.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

constexpr CommParity M = CommParity::Mark;
constexpr CommParity S = CommParity::Space;

struct DecodeRow {
    const char* name;
    std::vector<FrameByte> line;
    std::vector<DecodedSetLevel> levels; // the frames found, read as set-level commands
    std::size_t errors;                  // how many malformed stretches are reported
};

void PrintTo(const DecodeRow& row, std::ostream* out)
{
    *out << row.name;
}

class FrameDecoderTest : public ::testing::TestWithParam<DecodeRow> {};

TEST_P(FrameDecoderTest, FindsTheFramesAndReportsWhatIsMalformed)
{
    const DecodeRow& row = GetParam();
    const FrameDecoding decoded = DecodeFrames(row.line);
    std::vector<DecodedSetLevel> levels;
    for (const DecodedFrame& frame : decoded.frames) {
        std::string error;
        const auto level = DecodeSetLevel(frame, &error);
        ASSERT_TRUE(level) << error;
        levels.push_back(*level);
    }
    EXPECT_EQ(levels, row.levels);
    EXPECT_EQ(decoded.errors.size(), row.errors) << ::testing::PrintToString(decoded.errors);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    FrameDecoder, FrameDecoderTest,
    ::testing::Values(
        DecodeRow{"ChannelOneAt128", {{0xFF, M}, {0x00, S}, {0x07, S}, {0x00, S}, {0x80, S}, {0x43, M}},
                  {{1, 128}}, 0},
        DecodeRow{"HighBlockChannel300",
                  {{0xFF, M}, {0x00, S}, {0x1D, S}, {0x2B, S}, {0xFF, S}, {0x23, M}},
                  {{300, 255}}, 0},
        DecodeRow{"TwoFramesBackToBack",
                  {{0xFF, M}, {0x00, S}, {0x07, S}, {0x00, S}, {0x80, S}, {0x43, M},
                   {0xFF, M}, {0x00, S}, {0x07, S}, {0x01, S}, {0xFF, S}, {0x03, M}},
                  {{1, 128}, {2, 255}}, 0},
        DecodeRow{"EmptyLine", {}, {}, 0},
        DecodeRow{"WrongChecksumIsRefused",
                  {{0xFF, M}, {0x00, S}, {0x07, S}, {0x00, S}, {0x80, S}, {0x44, M}}, {}, 1},
        DecodeRow{"ChecksumSentWithSpaceParityLeavesTheFrameOpen",
                  {{0xFF, M}, {0x00, S}, {0x07, S}, {0x00, S}, {0x80, S}, {0x43, S}}, {}, 1},
        DecodeRow{"AddressWithoutBit7IsStray",
                  {{0x7F, M}, {0x00, S}, {0x07, S}, {0x00, S}, {0x80, S}, {0x43, M}}, {}, 6},
        DecodeRow{"StraySpaceByteBeforeAGoodFrame",
                  {{0x00, S}, {0xFF, M}, {0x00, S}, {0x07, S}, {0x00, S}, {0x80, S}, {0x43, M}},
                  {{1, 128}}, 1},
        DecodeRow{"FrameWithoutChecksumThenAGoodOne",
                  {{0xFF, M}, {0x00, S}, {0x07, S}, {0xFF, M}, {0x00, S}, {0x07, S}, {0x00, S},
                   {0x80, S}, {0x43, M}},
                  {{1, 128}}, 1},
        DecodeRow{"ShortPayload", {{0xFF, M}, {0x00, S}, {0x07, S}, {0x00, S}, {0x03, M}}, {}, 1},
        DecodeRow{"CutShort", {{0xFF, M}, {0x00, S}, {0x07, S}, {0x00, S}}, {}, 1},
        DecodeRow{"UnknownParity",
                  {{0xFF, CommParity::None}, {0x00, S}, {0x07, S}, {0x00, S}, {0x80, S}, {0x43, M}}, {},
                  6}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST(FrameDecoder, UnknownCommandIsNotASetLevel)
{
    // 0x42 + 0xFF + 0x00 + 0x00 + 0x10 = 0x151 -> 0x51 >> 1 = 0x28
    const FrameDecoding decoded =
        DecodeFrames({{0xFF, M}, {0x00, S}, {0x42, S}, {0x00, S}, {0x10, S}, {0x28, M}});
    ASSERT_TRUE(decoded.Clean()) << ::testing::PrintToString(decoded.errors);
    ASSERT_EQ(decoded.frames.size(), 1U);
    std::string error;
    EXPECT_FALSE(DecodeSetLevel(decoded.frames[0], &error));
    EXPECT_NE(error.find("42"), std::string::npos) << error;
}

} // namespace
