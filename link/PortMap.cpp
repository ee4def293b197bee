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

// The USB device above the tty: its serial number, or else its port path, and the interface
// the tty sits on (a two-port adapter has one serial number for both).
std::optional<std::string> UsbIdentity(const std::string& sysRoot, const std::string& name)
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
            return "usb-serial:" + *serial + interface;
        return "usb-port:" + (interfaceDir.empty() ? dirName : interfaceDir);
    }
    return std::nullopt;
}

} // namespace

std::string DeviceIdentity(const std::string& devicePath, const std::string& devRoot,
                           const std::string& sysRoot)
{
    if (const auto byId = ByIdName(devicePath, devRoot))
        return "by-id:" + *byId;
    const std::string name = fs::path(devicePath).filename().string();
    if (IsAdapter(name))
        if (auto usb = UsbIdentity(sysRoot, name))
            return std::move(*usb);
    return "path:" + devicePath;
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
    std::vector<std::string> identities;
    std::set<std::string> seen;
    for (const SerialPortInfo& port : ports) {
        std::string identity = DeviceIdentity(port.path, m_devRoot, m_sysRoot);
        // Two devices that look alike (a clone adapter's fixed serial number) stay apart.
        if (!seen.insert(identity).second)
            identity += "@" + port.path;
        identities.push_back(std::move(identity));
    }

    ComPortMap map;
    {
        std::lock_guard lock(m_mutex);
        std::vector<bool> present(m_numbers.size() + ports.size(), false);
        for (std::size_t i = 0; i < ports.size(); ++i) {
            const auto known =
                std::find_if(m_numbers.begin(), m_numbers.end(), [&](const Numbered& entry) {
                    return entry.identity == identities[i];
                });
            const auto number = static_cast<std::size_t>(known - m_numbers.begin());
            if (known == m_numbers.end())
                m_numbers.push_back({identities[i], ports[i]});
            else
                known->last = ports[i];
            present[number] = true;
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

std::optional<SerialPortInfo> CPortMap::Resolve(int index)
{
    if (index < 0 || index >= kComPortCount)
        return std::nullopt;
    return Read()[static_cast<std::size_t>(index)];
}
