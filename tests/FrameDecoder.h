// Reads back what a port recorded: splits nine-bit characters into frames the way the DMX
// interface box does (an address byte with mark parity and bit 7 set, space-parity bytes, a
// mark-parity checksum), checks each frame, and turns set-level payloads into channel and
// level. Written apart from the link's own frame code so that the two check each other.
#pragma once

#include "link/DeviceFrame.h"

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

// One well-formed frame: 6 characters, right parities, right checksum.
struct DecodedFrame {
    std::size_t offset = 0; // index of its address byte in the recorded bytes
    std::uint8_t address = 0;
    std::uint8_t header = 0;
    std::vector<std::uint8_t> payload;
    std::uint8_t checksum = 0;
};

// The frames found, in line order, and one line of text for every malformed stretch.
struct FrameDecoding {
    std::vector<DecodedFrame> frames;
    std::vector<std::string> errors;
    bool Clean() const { return errors.empty(); }
};

// A frame's set-level command, read back.
struct DecodedSetLevel {
    std::uint32_t channel = 0; // 1..512
    std::uint8_t level = 0;
    friend bool operator==(const DecodedSetLevel&, const DecodedSetLevel&) = default;
};

// Splits `bytes` into frames. A frame whose payload is not `payloadSize` bytes long, or whose
// checksum is wrong, is reported and left out; so are stray bytes and a frame cut short.
FrameDecoding DecodeFrames(const std::vector<FrameByte>& bytes, std::size_t payloadSize = 3);

// The channel and level of a set-level payload, or nothing (with `error` set) when the frame
// is not one: wrong size, or a command byte other than 0x07 and 0x1D.
std::optional<DecodedSetLevel> DecodeSetLevel(const DecodedFrame& frame, std::string* error);

// "FF/M 00/S ...": bytes with their parity, for failure messages.
std::string DescribeBytes(const std::vector<FrameByte>& bytes);

// "channel 12 = 0x80", for failure messages.
void PrintTo(const DecodedSetLevel& command, std::ostream* out);
