#include "DeviceFrame.h"

ByteString BuildSetLevelPayload(std::uint32_t channel, std::uint8_t level)
{
    const std::uint8_t command = channel > kChannelsPerBlock ? CMD_SET_LEVEL_HI : CMD_SET_LEVEL_LO;
    const auto index = static_cast<std::uint8_t>((channel - 1U) % kChannelsPerBlock);
    ByteString payload(kSetLevelPayloadSize, '\0');
    payload[0] = static_cast<char>(command);
    payload[1] = static_cast<char>(index);
    payload[2] = static_cast<char>(level);
    return payload;
}

std::uint8_t FrameChecksum(std::uint8_t address, std::uint8_t header, const ByteString& payload)
{
    std::uint8_t sum = static_cast<std::uint8_t>(address + header);
    for (const char byte : payload)
        sum = static_cast<std::uint8_t>(sum + static_cast<std::uint8_t>(byte));
    return static_cast<std::uint8_t>(sum >> 1);
}

std::vector<FrameByte> BuildFrame(std::uint8_t address, std::uint8_t header,
                                  const ByteString& payload)
{
    std::vector<FrameByte> frame;
    frame.reserve(payload.size() + 3);
    frame.push_back({address, CommParity::Mark});
    frame.push_back({header, CommParity::Space});
    for (const char byte : payload)
        frame.push_back({static_cast<std::uint8_t>(byte), CommParity::Space});
    frame.push_back({FrameChecksum(address, header, payload), CommParity::Mark});
    return frame;
}
