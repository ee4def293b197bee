// The DMX interface box's wire format: nine-bit characters (the parity bit used as a ninth
// data bit), an addressed and checksummed frame, and the one message we send, set-level.
#pragma once

#include "CommPort.h"

#include <cstdint>
#include <string>
#include <vector>

// A counted string of single bytes that may hold 0x00; the set-level payload is one.
using ByteString = std::string;

constexpr std::uint8_t CMD_SET_LEVEL_LO = 0x07; // channels 1 to 256
constexpr std::uint8_t CMD_SET_LEVEL_HI = 0x1D; // channels 257 to 512

constexpr std::uint32_t kChannelsPerBlock = 256;
constexpr std::uint32_t kFirstChannel = 1;
constexpr std::uint32_t kLastChannel = 512;
constexpr std::uint8_t kAddressMarkBit = 0x80;
constexpr std::size_t kSetLevelPayloadSize = 3;

// One character on the line: its eight data bits and the parity it went out with. Mark (ninth
// bit 1) is for the address byte and the checksum, space (ninth bit 0) for the header and the
// payload.
struct FrameByte {
    std::uint8_t value = 0;
    CommParity parity = CommParity::None;
    friend bool operator==(const FrameByte&, const FrameByte&) = default;
};

// The 3-byte set-level payload for a 1-based channel address. The address is not limited:
// anything above 256 selects CMD_SET_LEVEL_HI with index (address - 1) mod 256.
ByteString BuildSetLevelPayload(std::uint32_t channel, std::uint8_t level);

// ((address + header + every payload byte) mod 256) >> 1: always 0x00..0x7F.
std::uint8_t FrameChecksum(std::uint8_t address, std::uint8_t header, const ByteString& payload);

// The whole frame as it leaves the port: address (mark), header (space), payload (space),
// checksum (mark). The address is sent exactly as given.
std::vector<FrameByte> BuildFrame(std::uint8_t address, std::uint8_t header,
                                  const ByteString& payload);
