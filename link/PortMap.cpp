// Linux: serial ports are the tty devices the kernel lists under /dev, described from sysfs.
#include "PortMap.h"

#include "LockFile.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <set>
#include <system_error>

namespace fs = std::filesystem;

namespace {

enum class PortKind { UsbSerial, UsbModem, BuiltIn };

struct PortFamily {
    PortKind kind;
    const char* prefix;
    const char* description;
};

// COMn order: adapters a user plugs in come before the machine's own UARTs.
constexpr std::array<PortFamily, 3> kFamilies = {{
    {PortKind::UsbSerial, "ttyUSB", "USB serial adapter"},
    {PortKind::UsbModem, "ttyACM", "USB modem (ACM)"},
    {PortKind::BuiltIn, "ttyS", "built-in serial port"},
}};

// sysfs nests a USB interface a few levels below the device that names the product.
constexpr int kMaxParentLevels = 8;
// Longer digit runs are not device numbers the kernel hands out.
constexpr std::size_t kMaxNumberDigits = 6;

struct Candidate {
    std::size_t family = 0;
    unsigned number = 0;
    std::string name;
};

std::optional<unsigned> ParseNumber(std::string_view text)
{
    if (text.empty() || text.size() > kMaxNumberDigits)
        return std::nullopt;
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<Candidate> Classify(const std::string& name)
{
    for (std::size_t family = 0; family < kFamilies.size(); ++family) {
        const std::string_view prefix = kFamilies[family].prefix;
        if (name.compare(0, prefix.size(), prefix) != 0)
            continue;
        if (const auto number = ParseNumber(std::string_view(name).substr(prefix.size())))
            return Candidate{family, *number, name};
    }
    return std::nullopt;
}

std::optional<std::string> ReadFirstLine(const fs::path& file)
{
    std::ifstream in(file);
    std::string line;
    if (!in || !std::getline(in, line))
        return std::nullopt;
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
        line.pop_back();
    return line;
}

bool IsAdapter(const std::string& name)
{
    const auto port = Classify(name);
    return port && kFamilies[port->family].kind != PortKind::BuiltIn;
}

fs::path TtyClassDir(const std::string& sysRoot, const std::string& name)
{
    return fs::path(sysRoot) / "class" / "tty" / name;
}

// The kernel creates a ttyS node for every UART slot it might have; slots with no UART behind
// them report type 0 (unknown), and opening them fails.
bool IsPresentUart(const std::string& sysRoot, const std::string& name)
{
    const auto type = ReadFirstLine(TtyClassDir(sysRoot, name) / "type");
    if (!type)
        return false;
    const auto value = ParseNumber(*type);
    return value && *value != 0;
}

// The tty's device directory and its ancestors below the sysfs root, nearest first: where the
// USB device's product string, serial number and port path sit.
std::vector<fs::path> DeviceAncestors(const std::string& sysRoot, const std::string& name)
{
    std::vector<fs::path> dirs;
    std::error_code error;
    const fs::path top = fs::canonical(sysRoot, error);
    if (error)
        return dirs;
    fs::path dir = fs::canonical(TtyClassDir(sysRoot, name) / "device", error);
    if (error)
        return dirs;
    for (int level = 0; level < kMaxParentLevels && dir != top && dir.has_relative_path();
         ++level, dir = dir.parent_path())
        dirs.push_back(dir);
    return dirs;
}

std::optional<std::string> FindProduct(const std::string& sysRoot, const std::string& name)
{
    for (const fs::path& dir : DeviceAncestors(sysRoot, name))
        if (auto product = ReadFirstLine(dir / "product"); product && !product->empty())
            return product;
    return std::nullopt;
}

std::string Describe(const std::string& sysRoot, const Candidate& port)
{
    const PortFamily& family = kFamilies[port.family];
    std::string text = family.description;
    if (family.kind != PortKind::BuiltIn)
        if (const auto product = FindProduct(sysRoot, port.name))
            text += " (" + *product + ")";
    return text;
}

// The serial/by-id link that points at the device: udev names it after the adapter's maker,
// product, serial number and interface, so it is the same wherever the adapter is plugged in.
std::optional<std::string> ByIdName(const fs::path& device, const std::string& devRoot)
{
    std::error_code error;
    const fs::path target = fs::canonical(device, error);
    if (error)
        return std::nullopt;
    for (fs::directory_iterator it(fs::path(devRoot) / "serial" / "by-id", error), end;
         !error && it != end; it.increment(error)) {
        std::error_code ignored;
        if (fs::canonical(it->path(), ignored) == target && !ignored)
            return it->path().filename().string();
    }
    return std::nullopt;
}

// The USB device above the tty: its serial number, if it has one, and its port path, each with
// the interface the tty sits on (a two-port adapter has one serial number for both). False when
// sysfs shows no USB device above it.
bool ReadUsbKeys(const std::string& sysRoot, const std::string& name, DeviceKeys& keys)
{
    std::string interfaceDir; // "1-1.2:1.0": port path, configuration and interface
    for (const fs::path& dir : DeviceAncestors(sysRoot, name)) {
        const std::string dirName = dir.filename().string();
        if (interfaceDir.empty() && dirName.find(':') != std::string::npos)
            interfaceDir = dirName;
        std::error_code ignored;
        if (!fs::exists(dir / "idVendor", ignored))
            continue;
        const std::string interface =
            interfaceDir.empty() ? std::string() : interfaceDir.substr(interfaceDir.find(':'));
        if (const auto serial = ReadFirstLine(dir / "serial"); serial && !serial->empty())
            keys.usbSerial = *serial + interface;
        keys.usbPort = interfaceDir.empty() ? dirName : interfaceDir;
        return true;
    }
    return false;
}

// A device seen again: what follows it stays known when this sighting lacks it (udev makes the
// by-id link a moment after the node); where it is, is where it is now.
void Remember(DeviceKeys& known, const DeviceKeys& now)
{
    if (!now.byId.empty())
        known.byId = now.byId;
    if (!now.usbSerial.empty())
        known.usbSerial = now.usbSerial;
    known.usbPort = now.usbPort;
    known.path = now.path;
}

} // namespace

DeviceKeys DeviceIdentity(const std::string& devicePath, const std::string& devRoot,
                          const std::string& sysRoot)
{
    DeviceKeys keys;
    keys.byId = ByIdName(devicePath, devRoot).value_or("");
    const std::string name = fs::path(devicePath).filename().string();
    if (!IsAdapter(name) || !ReadUsbKeys(sysRoot, name, keys))
        keys.path = devicePath;
    return keys;
}

std::vector<SerialPortInfo> EnumerateSerialPorts(const std::string& devRoot,
                                                 const std::string& sysRoot)
{
    std::vector<Candidate> found;
    std::error_code error;
    for (fs::directory_iterator it(devRoot, error), end; !error && it != end; it.increment(error)) {
        auto port = Classify(it->path().filename().string());
        if (!port)
            continue;
        if (kFamilies[port->family].kind == PortKind::BuiltIn &&
            !IsPresentUart(sysRoot, port->name))
            continue;
        found.push_back(std::move(*port));
    }
    std::sort(found.begin(), found.end(), [](const Candidate& a, const Candidate& b) {
        return a.family != b.family ? a.family < b.family : a.number < b.number;
    });

    std::vector<SerialPortInfo> ports;
    ports.reserve(found.size());
    for (const Candidate& port : found) {
        SerialPortInfo info;
        info.path = (fs::path(devRoot) / port.name).string();
        info.description = Describe(sysRoot, port);
        ports.push_back(std::move(info));
    }
    return ports;
}

CPortMap::CPortMap(std::string devRoot, std::string sysRoot, std::string lockDir)
    : m_devRoot(std::move(devRoot)), m_sysRoot(std::move(sysRoot)), m_lockDir(std::move(lockDir))
{
}

std::shared_ptr<CPortMap> CPortMap::Program()
{
    static const auto map = std::make_shared<CPortMap>("/dev", "/sys", DefaultLockDir());
    return map;
}

ComPortMap CPortMap::Read()
{
    const auto ports = EnumerateSerialPorts(m_devRoot, m_sysRoot);
    std::vector<DeviceKeys> seen;
    seen.reserve(ports.size());
    for (const SerialPortInfo& port : ports)
        seen.push_back(DeviceIdentity(port.path, m_devRoot, m_sysRoot));

    ComPortMap map;
    {
        std::lock_guard lock(m_mutex);
        const auto numbers = Assign(seen);
        std::vector<bool> present(m_numbers.size() + ports.size(), false);
        for (std::size_t i = 0; i < ports.size(); ++i) {
            if (!numbers[i]) {
                present[m_numbers.size()] = true;
                m_numbers.push_back({seen[i], ports[i]});
                continue;
            }
            Numbered& known = m_numbers[*numbers[i]];
            Remember(known.keys, seen[i]);
            known.last = ports[i];
            present[*numbers[i]] = true;
        }
        for (std::size_t i = 0; i < map.size() && i < m_numbers.size(); ++i) {
            map[i] = m_numbers[i].last;
            map[i]->present = present[i];
        }
    }
    for (auto& port : map)
        if (port && port->present)
            port->heldBy = FindLockHolder(m_lockDir, port->path);
    return map;
}

bool CPortMap::TrustedSerial(const DeviceKeys& keys) const
{
    return !keys.usbSerial.empty() && m_sharedSerials.count(keys.usbSerial) == 0;
}

bool CPortMap::TrustedById(const DeviceKeys& keys) const
{
    // udev names the link after the serial number, and points it at one of the look-alikes.
    return !keys.byId.empty() && m_sharedByIds.count(keys.byId) == 0 &&
           m_sharedSerials.count(keys.usbSerial) == 0;
}

CPortMap::Match CPortMap::Compare(const DeviceKeys& now, const DeviceKeys& known) const
{
    // Another serial number (or none where there was one) or another by-id name is another
    // device, wherever it is plugged in.
    const bool bothUsb = !now.usbPort.empty() && !known.usbPort.empty();
    if ((bothUsb && now.usbSerial != known.usbSerial) ||
        (!now.byId.empty() && !known.byId.empty() && now.byId != known.byId))
        return Match::None;
    if ((TrustedSerial(now) && now.usbSerial == known.usbSerial) ||
        (TrustedById(now) && TrustedById(known) && now.byId == known.byId))
        return Match::Follows;
    if ((!now.usbPort.empty() && now.usbPort == known.usbPort) ||
        (!now.path.empty() && now.path == known.path))
        return Match::Where;
    return Match::None;
}

bool CPortMap::Distrust(const DeviceKeys& now, const DeviceKeys& known)
{
    bool learned = false;
    if (TrustedSerial(now) && now.usbSerial == known.usbSerial)
        learned = m_sharedSerials.insert(now.usbSerial).second || learned;
    if (TrustedById(now) && now.byId == known.byId)
        learned = m_sharedByIds.insert(now.byId).second || learned;
    return learned;
}

std::vector<std::optional<std::size_t>> CPortMap::Assign(const std::vector<DeviceKeys>& seen)
{
    std::vector<std::vector<std::size_t>> claims(seen.size());
    for (;;) {
        std::vector<int> claimants(m_numbers.size(), 0);
        for (std::size_t i = 0; i < seen.size(); ++i) {
            claims[i].clear();
            for (std::size_t n = 0; n < m_numbers.size(); ++n)
                if (Compare(seen[i], m_numbers[n].keys) != Match::None) {
                    claims[i].push_back(n);
                    ++claimants[n];
                }
        }
        // A key that leads two devices present together to one number, or one device to two
        // numbers, is one that look-alikes share (their serial number, a by-id link udev moved
        // from one to the other): it stops counting, and the devices are matched again. Each
        // look-alike has a number of its own from its first sighting, so any later sighting
        // of one leads to two.
        bool learned = false;
        for (std::size_t i = 0; i < seen.size(); ++i)
            for (const std::size_t n : claims[i])
                if ((claims[i].size() > 1 || claimants[n] > 1) &&
                    Compare(seen[i], m_numbers[n].keys) == Match::Follows)
                    learned = Distrust(seen[i], m_numbers[n].keys) || learned;
        if (!learned)
            break;
    }

    std::vector<std::optional<std::size_t>> numbers(seen.size());
    std::vector<bool> taken(m_numbers.size(), false);
    for (std::size_t i = 0; i < seen.size(); ++i)
        for (const std::size_t n : claims[i])
            if (!taken[n]) {
                numbers[i] = n;
                taken[n] = true;
                break;
            }
    return numbers;
}

PortSurvey CPortMap::Survey()
{
    // The program numbers the ports itself: none is beyond the console's reach by the system's
    // numbering.
    return {Read(), {}};
}

std::optional<SerialPortInfo> CPortMap::Resolve(int index)
{
    if (index < 0 || index >= kComPortCount)
        return std::nullopt;
    return Read()[static_cast<std::size_t>(index)];
}
