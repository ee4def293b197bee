#include "link/DeviceFrame.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr CommParity M = CommParity::Mark;
constexpr CommParity S = CommParity::Space;

struct FrameCase {
    std::uint32_t channel;
    std::uint8_t level;
    std::vector<FrameByte> line;
};

class SetLevelFrameTest : public ::testing::TestWithParam<FrameCase> {};

TEST_P(SetLevelFrameTest, BuildsTheBytesAndParitiesOnTheLine)
{
    const FrameCase& c = GetParam();
    EXPECT_EQ(BuildFrame(0xFF, 0x00, BuildSetLevelPayload(c.channel, c.level)), c.line);
}

INSTANTIATE_TEST_SUITE_P(
    DeviceFrame, SetLevelFrameTest,
    ::testing::Values(
        // channel 1, level 128: sum 0x186 -> 0x86 -> checksum 0x43
        FrameCase{1, 128, {{0xFF, M}, {0x00, S}, {0x07, S}, {0x00, S}, {0x80, S}, {0x43, M}}},
        // channel 300: high block, index 0x2B; sum 0x246 -> 0x23
        FrameCase{300, 255, {{0xFF, M}, {0x00, S}, {0x1D, S}, {0x2B, S}, {0xFF, S}, {0x23, M}}},
        // channel 256 is the last of the low block
        FrameCase{256, 1, {{0xFF, M}, {0x00, S}, {0x07, S}, {0xFF, S}, {0x01, S}, {0x03, M}}},
        // channel 257 is the first of the high block
        FrameCase{257, 100, {{0xFF, M}, {0x00, S}, {0x1D, S}, {0x00, S}, {0x64, S}, {0x40, M}}},
        // channel 512: sum 0x31A -> 0x0D
        FrameCase{512, 255, {{0xFF, M}, {0x00, S}, {0x1D, S}, {0xFF, S}, {0xFF, S}, {0x0D, M}}}));

struct PayloadCase {
    std::uint32_t channel;
    std::uint8_t command;
    std::uint8_t index;
};

class SetLevelPayloadTest : public ::testing::TestWithParam<PayloadCase> {};

TEST_P(SetLevelPayloadTest, PicksCommandAndIndexFromTheChannel)
{
    const PayloadCase& c = GetParam();
    const ByteString payload = BuildSetLevelPayload(c.channel, 0x00);
    ASSERT_EQ(payload.size(), 3U) << "a zero level must not shorten the payload";
    EXPECT_EQ(static_cast<std::uint8_t>(payload[0]), c.command);
    EXPECT_EQ(static_cast<std::uint8_t>(payload[1]), c.index);
    EXPECT_EQ(payload[2], '\0');
}

INSTANTIATE_TEST_SUITE_P(DeviceFrame, SetLevelPayloadTest,
                         ::testing::Values(PayloadCase{1, CMD_SET_LEVEL_LO, 0x00},
                                           PayloadCase{255, CMD_SET_LEVEL_LO, 0xFE},
                                           PayloadCase{256, CMD_SET_LEVEL_LO, 0xFF},
                                           PayloadCase{257, CMD_SET_LEVEL_HI, 0x00},
                                           PayloadCase{512, CMD_SET_LEVEL_HI, 0xFF},
                                           // beyond 512 the address is not limited
                                           PayloadCase{513, CMD_SET_LEVEL_HI, 0x00},
                                           PayloadCase{1000, CMD_SET_LEVEL_HI, 0xE7}));

TEST(DeviceFrame, ChecksumDropsTheLowBitOfAnOddSum)
{
    // 0xFF + 0x00 + 0x07 + 0x00 + 0x80 = 0x186, and one more gives 0x187: both give 0x43.
    EXPECT_EQ(FrameChecksum(0xFF, 0x00, ByteString("\x07\x00\x80", 3)), 0x43);
    EXPECT_EQ(FrameChecksum(0xFF, 0x00, ByteString("\x07\x00\x81", 3)), 0x43);
}

TEST(DeviceFrame, ChecksumIsAlwaysSevenBits)
{
    for (int a = 0x80; a <= 0xFF; ++a)
        for (int p = 0; p <= 0xFF; p += 5)
            EXPECT_LE(FrameChecksum(static_cast<std::uint8_t>(a), 0xFF,
                                    ByteString(1, static_cast<char>(p))),
                      0x7F);
}

TEST(DeviceFrame, EmptyPayloadFramesAddressHeaderAndChecksum)
{
    EXPECT_EQ(BuildFrame(0x85, 0x10, ByteString()),
              (std::vector<FrameByte>{{0x85, M}, {0x10, S}, {0x4A, M}}));
}

} // namespace
