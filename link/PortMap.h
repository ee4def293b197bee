// Which serial device stands behind COM1..COM4 on this machine. The devices are listed afresh
// on every read, so an adapter plugged in while the program runs is found at the next
// transmission; a COM number, once given to a device, stays with that device.
#pragma once

#include <array>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

constexpr int kComPortCount = 4;

// Another program's claim on a device, from its lock file.
struct LockHolder {
    long pid = 0;
    std::string program; // its command name, "" when the system does not say
    friend bool operator==(const LockHolder&, const LockHolder&) = default;
};

struct SerialPortInfo {
    // e.g. "/dev/ttyUSB0"; for an unplugged device, where it was; "" where the system names its
    // ports itself (Windows), since there a path would only name a driver's device.
    std::string path;
    std::string description;          // for people, e.g. "USB serial adapter (FT232R USB UART)"
    bool present = true;              // false: the device this COM number stands for is unplugged
    std::optional<LockHolder> heldBy; // another live program that has locked the device
    friend bool operator==(const SerialPortInfo&, const SerialPortInfo&) = default;
};

using ComPortMap = std::array<std::optional<SerialPortInfo>, kComPortCount>;

// A serial port that the system itself numbers beyond COM4 (Windows), out of the console's
// reach until it is given a number from COM1 to COM4.
struct PortBeyondReach {
    int comNumber = 0; // 5 and up
    std::string
        description; // for people: the system's friendly name, e.g. "USB Serial Port (COM7)"
    friend bool operator==(const PortBeyondReach&, const PortBeyondReach&) = default;
};

// What the console can say about the machine's serial ports at one moment.
struct PortSurvey {
    ComPortMap com;                      // COM1..COM4
    std::vector<PortBeyondReach> beyond; // by number; empty where the program numbers ports itself
};

// One serial port as a system that numbers its ports itself lists it.
struct ListedPort {
    std::string name;         // as the system spells it, e.g. "COM7"; other names are no COM port
    std::string friendlyName; // for people, "" when the system gives none
    std::string device;       // the driver's device, e.g. \Device\Serial0; "" when not known
};

// COM1..COM4 and the ports beyond them from the system's two lists: `devices`, the device
// manager's ports with their friendly names, and `deviceMap`, the driver devices behind each
// name, which also holds ports the device manager does not list. A port in both is known by its
// friendly name; a port only in the device map by what its driver device says.
PortSurvey SurveyListedPorts(const std::vector<ListedPort>& devices,
                             const std::vector<ListedPort>& deviceMap);

// Every serial port of the machine in the first-read order: USB and ACM adapters first
// (ttyUSB*, then ttyACM*, each by number), then built-in UARTs (ttyS* by number, without the
// phantom ones whose UART type is unknown). `devRoot` and `sysRoot` are "/dev" and "/sys"
// except in tests.
std::vector<SerialPortInfo> EnumerateSerialPorts(const std::string& devRoot = "/dev",
                                                 const std::string& sysRoot = "/sys");

// Everything that names a device, "" where it has no such name. The by-id name and the USB
// serial number follow an adapter from socket to socket, but look-alikes (clones with one
// serial number) share them; the USB port path and the device path say where a device is.
struct DeviceKeys {
    std::string byId;      // the name of its /dev/serial/by-id link
    std::string usbSerial; // USB serial number and interface, e.g. "A1:1.0"
    std::string usbPort;   // USB port path and interface, e.g. "1-1.2:1.0"
    std::string path;      // device path: a UART's, or an adapter's that sysfs does not show
    bool operator==(const DeviceKeys&) const = default;
};

// The keys of `devicePath`, one EnumerateSerialPorts listed.
DeviceKeys DeviceIdentity(const std::string& devicePath, const std::string& devRoot,
                          const std::string& sysRoot);

// CPortMap: the COM numbers of one program's life. The first read numbers the ports in
// EnumerateSerialPorts order; a device that appears later takes the lowest number never
// given out; a device that goes away keeps its number, shown as not present, and gets it back
// when it returns. A device seen again is found by any of its keys; a serial number or by-id
// name that look-alikes share stops counting once they have been seen, and they are told apart
// by their USB ports. Any thread may call; calls are serialised inside.
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
    // Read(), and the ports the system numbers beyond COM4 where it numbers them itself.
    PortSurvey Survey();

    const std::string& LockDir() const { return m_lockDir; }

private:
    struct Numbered {
        DeviceKeys keys;
        SerialPortInfo last; // as last seen
    };
    // How a device seen now is a numbered one: not at all, by a key that follows it from
    // socket to socket, or by where it is.
    enum class Match { None, Follows, Where };

    // The numbered device each of `seen` is (nothing for a new one), learning on the way which
    // keys look-alikes share. Called under m_mutex.
    std::vector<std::optional<std::size_t>> Assign(const std::vector<DeviceKeys>& seen);
    Match Compare(const DeviceKeys& now, const DeviceKeys& known) const;
    bool TrustedSerial(const DeviceKeys& keys) const;
    bool TrustedById(const DeviceKeys& keys) const;
    bool Distrust(const DeviceKeys& now, const DeviceKeys& known);

    std::string m_devRoot;
    std::string m_sysRoot;
    std::string m_lockDir;
    std::mutex m_mutex;              // guards the members below
    std::vector<Numbered> m_numbers; // COM(i + 1) is m_numbers[i]
    // What look-alikes share, and so tells none of them apart.
    std::set<std::string> m_sharedSerials;
    std::set<std::string> m_sharedByIds;
};
