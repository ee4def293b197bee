// Windows: the system names the serial ports itself and the link asks for COM1..COM4 by name.
// Which device stands behind each name that exists now, the system lists under
// HKLM\HARDWARE\DEVICEMAP\SERIALCOMM (device name -> "COMn"), read afresh on every call.
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

} // namespace

std::vector<SerialPortInfo> EnumerateSerialPorts(const std::string&, const std::string&)
{
    const auto devices = ReadSerialComm();
    std::vector<SerialPortInfo> ports;
    for (int index = 0; index < kComPortCount; ++index)
        if (const auto found = devices.find(ComName(index)); found != devices.end())
            ports.push_back({found->second, "serial port " + ComName(index)});
    return ports;
}

std::optional<SerialPortInfo> ResolveComPort(int index, const std::string&, const std::string&)
{
    if (index < 0 || index >= kComPortCount)
        return std::nullopt;
    const auto devices = ReadSerialComm();
    const auto found = devices.find(ComName(index));
    if (found == devices.end())
        return std::nullopt;
    return SerialPortInfo{found->second, "serial port " + ComName(index)};
}
