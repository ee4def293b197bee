// Which serial device stands behind COM1..COM4 on this machine. Read afresh on every call, so
// an adapter plugged in while the program runs is found at the next transmission.
#pragma once

#include <optional>
#include <string>
#include <vector>

constexpr int kComPortCount = 4;

struct SerialPortInfo {
    std::string path;        // e.g. "/dev/ttyUSB0"
    std::string description; // for people, e.g. "USB serial adapter (FT232R USB UART)"
};

// Every serial port of the machine in COMn order: USB and ACM adapters first (ttyUSB*, then
// ttyACM*, each by number), then built-in UARTs (ttyS* by number, without the phantom ones
// whose UART type is unknown). `devRoot` and `sysRoot` are "/dev" and "/sys" except in tests.
std::vector<SerialPortInfo> EnumerateSerialPorts(const std::string& devRoot = "/dev",
                                                 const std::string& sysRoot = "/sys");

// The device behind COM(index + 1), index 0..3, or nothing when the machine has fewer ports.
std::optional<SerialPortInfo> ResolveComPort(int index, const std::string& devRoot = "/dev",
                                             const std::string& sysRoot = "/sys");
