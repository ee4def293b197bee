#include "CommPort.h"

#include <chrono>
#include <thread>

namespace {
constexpr std::uint64_t kMicrosPerSecond = 1'000'000;
constexpr std::uint64_t kStartBits = 1;
} // namespace

std::uint64_t CharacterMicros(const CommState& state)
{
    if (state.BaudRate == 0)
        return 0;
    // Counted in half bits, since one and a half stop bits is a setting too.
    std::uint64_t halfBits = 2 * (kStartBits + state.ByteSize);
    if (state.Parity != CommParity::None)
        halfBits += 2;
    switch (state.StopBits) {
    case ONE5STOPBITS:
        halfBits += 3;
        break;
    case TWOSTOPBITS:
        halfBits += 4;
        break;
    default:
        halfBits += 2;
        break;
    }
    const std::uint64_t halfBitRate = 2 * std::uint64_t{state.BaudRate};
    return (halfBits * kMicrosPerSecond + halfBitRate - 1) / halfBitRate;
}

std::uint64_t CCommPort::NowMicros()
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::microseconds>(now).count());
}

void CCommPort::SleepMicros(std::uint64_t micros)
{
    std::this_thread::sleep_for(std::chrono::microseconds(micros));
}
