// Windows: the system names the serial ports itself and keeps each number with its device, so
// the link asks for COM1..COM4 by name and the map has nothing to remember.
#include "PortMap.h"

std::vector<SerialPortInfo> EnumerateSerialPorts(const std::string&, const std::string&)
{
    std::vector<SerialPortInfo> ports;
    for (int number = 1; number <= kComPortCount; ++number) {
        const std::string name = "COM" + std::to_string(number);
        SerialPortInfo info;
        info.path = name;
        info.description = "serial port " + name;
        ports.push_back(std::move(info));
    }
    return ports;
}

std::string DeviceIdentity(const std::string& devicePath, const std::string&, const std::string&)
{
    return devicePath;
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
    ComPortMap map;
    const auto ports = EnumerateSerialPorts(m_devRoot, m_sysRoot);
    for (std::size_t i = 0; i < map.size() && i < ports.size(); ++i)
        map[i] = ports[i];
    return map;
}

std::optional<SerialPortInfo> CPortMap::Resolve(int index)
{
    if (index < 0 || index >= kComPortCount)
        return std::nullopt;
    return Read()[static_cast<std::size_t>(index)];
}
