#include "FrameDecoder.h"

#include <cstdio>
#include <ostream>

namespace {

constexpr std::uint8_t kBit7 = 0x80;
constexpr std::uint8_t kCommandLowBlock = 0x07;
constexpr std::uint8_t kCommandHighBlock = 0x1D;
constexpr std::uint32_t kBlockSize = 256;
constexpr std::size_t kSetLevelBytes = 3;

bool IsMark(const FrameByte& byte)
{
    return byte.parity == CommParity::Mark;
}
bool IsSpace(const FrameByte& byte)
{
    return byte.parity == CommParity::Space;
}

std::string Hex(std::uint8_t value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02X", value);
    return text;
}

std::string At(std::size_t offset)
{
    return "byte " + std::to_string(offset) + ": ";
}

// A frame being collected: the address byte and the space-parity bytes after it.
struct OpenFrame {
    std::size_t offset = 0;
    std::uint8_t address = 0;
    std::vector<std::uint8_t> body; // header, then payload
};

void CloseFrame(const OpenFrame& open, std::uint8_t checksum, std::size_t payloadSize,
                FrameDecoding& out)
{
    if (open.body.size() != payloadSize + 1) {
        out.errors.push_back(At(open.offset) + "frame holds " + std::to_string(open.body.size()) +
                             " bytes between address and checksum, expected " +
                             std::to_string(payloadSize + 1));
        return;
    }
    unsigned sum = open.address;
    for (const std::uint8_t byte : open.body)
        sum += byte;
    const auto expected = static_cast<std::uint8_t>((sum % kBlockSize) >> 1);
    if (checksum != expected) {
        out.errors.push_back(At(open.offset) + "checksum " + Hex(checksum) + ", expected " +
                             Hex(expected));
        return;
    }
    DecodedFrame frame;
    frame.offset = open.offset;
    frame.address = open.address;
    frame.header = open.body.front();
    frame.payload.assign(open.body.begin() + 1, open.body.end());
    frame.checksum = checksum;
    out.frames.push_back(std::move(frame));
}

} // namespace

FrameDecoding DecodeFrames(const std::vector<FrameByte>& bytes, std::size_t payloadSize)
{
    FrameDecoding out;
    std::optional<OpenFrame> open;
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        const FrameByte& byte = bytes[at];
        if (!IsMark(byte) && !IsSpace(byte)) {
            out.errors.push_back(At(at) + Hex(byte.value) + " has neither mark nor space parity");
            open.reset();
            continue;
        }
        if (!open) {
            if (IsMark(byte) && (byte.value & kBit7) != 0)
                open = OpenFrame{at, byte.value, {}};
            else
                out.errors.push_back(At(at) + Hex(byte.value) + (IsMark(byte) ? "/M" : "/S") +
                                     " where an address byte (mark, bit 7 set) belongs");
            continue;
        }
        if (IsSpace(byte)) {
            open->body.push_back(byte.value);
            continue;
        }
        if ((byte.value & kBit7) != 0) {
            // A checksum never has bit 7 set: this is the next frame's address.
            out.errors.push_back(At(open->offset) + "frame has no checksum");
            open = OpenFrame{at, byte.value, {}};
            continue;
        }
        CloseFrame(*open, byte.value, payloadSize, out);
        open.reset();
    }
    if (open)
        out.errors.push_back(At(open->offset) + "frame cut short at the end of the line");
    return out;
}

std::optional<DecodedSetLevel> DecodeSetLevel(const DecodedFrame& frame, std::string* error)
{
    auto fail = [&](const std::string& text) -> std::optional<DecodedSetLevel> {
        if (error != nullptr)
            *error = At(frame.offset) + text;
        return std::nullopt;
    };
    if (frame.payload.size() != kSetLevelBytes)
        return fail("payload of " + std::to_string(frame.payload.size()) + " bytes");
    const std::uint8_t command = frame.payload[0];
    const std::uint32_t index = frame.payload[1];
    if (command == kCommandLowBlock)
        return DecodedSetLevel{index + 1, frame.payload[2]};
    if (command == kCommandHighBlock)
        return DecodedSetLevel{index + 1 + kBlockSize, frame.payload[2]};
    return fail("command " + Hex(command) + " is not a set-level command");
}

std::string DescribeBytes(const std::vector<FrameByte>& bytes)
{
    std::string text;
    for (const FrameByte& byte : bytes) {
        if (!text.empty())
            text += ' ';
        text += Hex(byte.value);
        text += IsMark(byte) ? "/M" : IsSpace(byte) ? "/S" : "/?";
    }
    return text;
}

void PrintTo(const DecodedSetLevel& command, std::ostream* out)
{
    *out << "channel " << command.channel << " = 0x" << Hex(command.level);
}
