// Which serial device stands behind COM1..COM4 on this machine. The devices are listed afresh
// on every read, so an adapter plugged in while the program runs is found at the next
// transmission; a COM number, once given to a device, stays with that device.
#pragma once

#include <array>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

constexpr int kComPortCount = 4;

// Another program's claim on a device, from its lock file.
struct LockHolder {
    long pid = 0;
    std::string program; // its command name, "" when the system does not say
};

struct SerialPortInfo {
    std::string path;                 // e.g. "/dev/ttyUSB0"; for an unplugged device, where it was
    std::string description;          // for people, e.g. "USB serial adapter (FT232R USB UART)"
    bool present = true;              // false: the device this COM number stands for is unplugged
    std::optional<LockHolder> heldBy; // another live program that has locked the device
};

using ComPortMap = std::array<std::optional<SerialPortInfo>, kComPortCount>;

// Every serial port of the machine in the first-read order: USB and ACM adapters first
// (ttyUSB*, then ttyACM*, each by number), then built-in UARTs (ttyS* by number, without the
// phantom ones whose UART type is unknown). `devRoot` and `sysRoot` are "/dev" and "/sys"
// except in tests.
std::vector<SerialPortInfo> EnumerateSerialPorts(const std::string& devRoot = "/dev",
                                                 const std::string& sysRoot = "/sys");

// What stays the same about a device across unplugging and plugging in again: its
// serial/by-id name, else its USB serial number (or, without one, its USB port path) with its
// interface, else its device path. `devicePath` is one EnumerateSerialPorts listed.
std::string DeviceIdentity(const std::string& devicePath, const std::string& devRoot,
                           const std::string& sysRoot);

// CPortMap: the COM numbers of one program's life. The first read numbers the ports in
// EnumerateSerialPorts order; a device that appears later takes the lowest number never
// given out; a device that goes away keeps its number, shown as not present, and gets it back
// when it returns. Any thread may call; calls are serialised inside.
class CPortMap {
public:
    // `lockDir`: where programs leave UUCP lock files ("" for none).
    CPortMap(std::string devRoot, std::string sysRoot, std::string lockDir);
    CPortMap(const CPortMap&) = delete;
    CPortMap& operator=(const CPortMap&) = delete;

    // The program's own map, on the machine's /dev, /sys and lock directory.
    static std::shared_ptr<CPortMap> Program();

    // COM1..COM4 now, with the program (other than this one) that has locked each present
    // device.
    ComPortMap Read();
    // COM(index + 1), index 0..3; nothing for other indices or a number not yet given out.
    std::optional<SerialPortInfo> Resolve(int index);

    const std::string& LockDir() const { return m_lockDir; }

private:
    struct Numbered {
        std::string identity;
        SerialPortInfo last; // as last seen
    };

    std::string m_devRoot;
    std::string m_sysRoot;
    std::string m_lockDir;
    std::mutex m_mutex;              // guards m_numbers
    std::vector<Numbered> m_numbers; // COM(i + 1) is m_numbers[i]
};
