// Linux: serial ports are the tty devices the kernel lists under /dev, described from sysfs.
#include "PortMap.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <filesystem>
#include <fstream>
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

// The USB device's product string sits in an ancestor of the tty's device directory.
std::optional<std::string> FindProduct(const std::string& sysRoot, const std::string& name)
{
    std::error_code error;
    const fs::path top = fs::canonical(sysRoot, error);
    if (error)
        return std::nullopt;
    fs::path dir = fs::canonical(TtyClassDir(sysRoot, name) / "device", error);
    if (error)
        return std::nullopt;
    for (int level = 0; level < kMaxParentLevels && dir != top && dir.has_relative_path();
         ++level, dir = dir.parent_path()) {
        if (auto product = ReadFirstLine(dir / "product"); product && !product->empty())
            return product;
    }
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

} // namespace

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
    for (const Candidate& port : found)
        ports.push_back({(fs::path(devRoot) / port.name).string(), Describe(sysRoot, port)});
    return ports;
}

std::optional<SerialPortInfo> ResolveComPort(int index, const std::string& devRoot,
                                             const std::string& sysRoot)
{
    if (index < 0 || index >= kComPortCount)
        return std::nullopt;
    auto ports = EnumerateSerialPorts(devRoot, sysRoot);
    if (static_cast<std::size_t>(index) >= ports.size())
        return std::nullopt;
    return std::move(ports[static_cast<std::size_t>(index)]);
}
