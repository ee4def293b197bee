// Windows: the system names the serial ports itself and keeps each number with its device, so
// the link asks for COM1..COM4 by name and the map has nothing to remember. Which device stands
// behind each name that exists now, the system lists under HKLM\HARDWARE\DEVICEMAP\SERIALCOMM
// (device name -> "COMn"), read afresh on every call.
#include "PortMap.h"

#include <array>
#include <map>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace {

constexpr const char* kSerialCommKey = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
constexpr DWORD kMaxName = 256;

// "COMn" -> the device behind it, e.g. "\Device\Serial0" or a USB adapter's driver device.
std::map<std::string, std::string> ReadSerialComm()
{
    std::map<std::string, std::string> devices;
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSerialCommKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return devices;
    for (DWORD index = 0;; ++index) {
        std::array<char, kMaxName> device{};
        std::array<char, kMaxName> port{};
        DWORD deviceLength = static_cast<DWORD>(device.size());
        DWORD portLength = static_cast<DWORD>(port.size() - 1);
        DWORD type = 0;
        const LONG result =
            ::RegEnumValueA(key, index, device.data(), &deviceLength, nullptr, &type,
                            reinterpret_cast<BYTE*>(port.data()), &portLength);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result != ERROR_SUCCESS || type != REG_SZ)
            continue;
        devices[std::string(port.data())] = std::string(device.data(), deviceLength);
    }
    ::RegCloseKey(key);
    return devices;
}

std::string ComName(int index)
{
    return "COM" + std::to_string(index + 1);
}

SerialPortInfo PortInfo(const std::string& device, int index)
{
    SerialPortInfo info;
    info.path = device;
    info.description = "serial port " + ComName(index);
    return info;
}

} // namespace

std::vector<SerialPortInfo> EnumerateSerialPorts(const std::string&, const std::string&)
{
    const auto devices = ReadSerialComm();
    std::vector<SerialPortInfo> ports;
    for (int index = 0; index < kComPortCount; ++index)
        if (const auto found = devices.find(ComName(index)); found != devices.end())
            ports.push_back(PortInfo(found->second, index));
    return ports;
}

DeviceKeys DeviceIdentity(const std::string& devicePath, const std::string&, const std::string&)
{
    DeviceKeys keys;
    keys.path = devicePath;
    return keys;
}

CPortMap::CPortMap(std::string devRoot, std::string sysRoot, std::string lockDir)
    : m_devRoot(std::move(devRoot)), m_sysRoot(std::move(sysRoot)), m_lockDir(std::move(lockDir))
{
}

std::shared_ptr<CPortMap> CPortMap::Program()
{
    static const auto map = std::make_shared<CPortMap>("", "", "");
    return map;
}

ComPortMap CPortMap::Read()
{
    // Each COM number by itself: COM3 may exist without COM1.
    const auto devices = ReadSerialComm();
    ComPortMap map;
    for (int index = 0; index < kComPortCount; ++index)
        if (const auto found = devices.find(ComName(index)); found != devices.end())
            map[static_cast<std::size_t>(index)] = PortInfo(found->second, index);
    return map;
}

std::optional<SerialPortInfo> CPortMap::Resolve(int index)
{
    if (index < 0 || index >= kComPortCount)
        return std::nullopt;
    return Read()[static_cast<std::size_t>(index)];
}
