// Windows: the system names the serial ports itself, and the link asks for COM1..COM4 by name.
#include "PortMap.h"

std::vector<SerialPortInfo> EnumerateSerialPorts(const std::string&, const std::string&)
{
    std::vector<SerialPortInfo> ports;
    for (int number = 1; number <= kComPortCount; ++number) {
        const std::string name = "COM" + std::to_string(number);
        ports.push_back({name, "serial port " + name});
    }
    return ports;
}

std::optional<SerialPortInfo> ResolveComPort(int index, const std::string& devRoot,
                                             const std::string& sysRoot)
{
    if (index < 0 || index >= kComPortCount)
        return std::nullopt;
    return EnumerateSerialPorts(devRoot, sysRoot)[static_cast<std::size_t>(index)];
}
