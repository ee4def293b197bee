// Windows: the system names the serial ports itself and keeps each number with its device, so
// the link asks for COM1..COM4 by name and the map has nothing to remember. Which ports exist
// now, and what they are called, the system lists twice, both read afresh on every call: the
// device manager's Ports class (a friendly name and the port's name for each present device),
// and HKLM\HARDWARE\DEVICEMAP\SERIALCOMM (driver device -> "COMn"), which also holds ports of
// drivers that are no Plug and Play devices (and Wine's, which has no Ports class devices).
#include "PortMap.h"

#include <array>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// GUID_DEVCLASS_PORTS is defined here, not taken from a library.
#include <initguid.h>

#include <devguid.h>
#include <setupapi.h>

namespace {

constexpr const wchar_t* kSerialCommKey = L"HARDWARE\\DEVICEMAP\\SERIALCOMM";
constexpr const wchar_t* kPortNameValue = L"PortName";
// Registry value names and the texts we read are shorter; longer ones are cut.
constexpr DWORD kMaxName = 256;

std::string Narrow(const wchar_t* text)
{
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1)
        return {};
    std::string narrow(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow.data(), length, nullptr, nullptr);
    narrow.pop_back(); // the terminating zero
    return narrow;
}

class CRegKey {
public:
    explicit CRegKey(HKEY key) : m_key(key) {}
    ~CRegKey()
    {
        if (m_key != nullptr && m_key != INVALID_HANDLE_VALUE)
            ::RegCloseKey(m_key);
    }
    CRegKey(const CRegKey&) = delete;
    CRegKey& operator=(const CRegKey&) = delete;
    bool IsOpen() const { return m_key != nullptr && m_key != INVALID_HANDLE_VALUE; }
    HKEY Get() const { return m_key; }

    // A string value, "" when there is none.
    std::string String(const wchar_t* name) const
    {
        std::array<wchar_t, kMaxName + 1> text{};
        DWORD size = kMaxName * sizeof(wchar_t);
        DWORD type = 0;
        if (::RegQueryValueExW(m_key, name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                               &size) != ERROR_SUCCESS ||
            type != REG_SZ)
            return {};
        return Narrow(text.data());
    }

private:
    HKEY m_key;
};

class CDeviceList {
public:
    CDeviceList()
        : m_set(::SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT))
    {
    }
    ~CDeviceList()
    {
        if (m_set != INVALID_HANDLE_VALUE)
            ::SetupDiDestroyDeviceInfoList(m_set);
    }
    CDeviceList(const CDeviceList&) = delete;
    CDeviceList& operator=(const CDeviceList&) = delete;
    HDEVINFO Get() const { return m_set; }

private:
    HDEVINFO m_set;
};

std::string DeviceText(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property)
{
    std::array<wchar_t, kMaxName + 1> text{};
    DWORD type = 0;
    if (!::SetupDiGetDeviceRegistryPropertyW(set, &device, property, &type,
                                             reinterpret_cast<BYTE*>(text.data()),
                                             kMaxName * sizeof(wchar_t), nullptr) ||
        type != REG_SZ)
        return {};
    return Narrow(text.data());
}

// The device manager's present ports ("Ports (COM & LPT)"): each one's name from its device
// key, and the name the device manager shows for it.
std::vector<ListedPort> ListDeviceManagerPorts()
{
    std::vector<ListedPort> ports;
    const CDeviceList list;
    if (list.Get() == INVALID_HANDLE_VALUE)
        return ports;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD index = 0; ::SetupDiEnumDeviceInfo(list.Get(), index, &device); ++index) {
        const CRegKey key(
            ::SetupDiOpenDevRegKey(list.Get(), &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ));
        if (!key.IsOpen())
            continue;
        ListedPort port;
        port.name = key.String(kPortNameValue);
        port.friendlyName = DeviceText(list.Get(), device, SPDRP_FRIENDLYNAME);
        if (port.friendlyName.empty())
            port.friendlyName = DeviceText(list.Get(), device, SPDRP_DEVICEDESC);
        ports.push_back(std::move(port));
    }
    return ports;
}

// SERIALCOMM: each port's name and the driver device behind it, e.g. \Device\Serial0.
std::vector<ListedPort> ListDeviceMapPorts()
{
    std::vector<ListedPort> ports;
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSerialCommKey, 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return ports;
    const CRegKey key(opened);
    for (DWORD index = 0;; ++index) {
        std::array<wchar_t, kMaxName + 1> device{};
        std::array<wchar_t, kMaxName + 1> name{};
        DWORD deviceLength = kMaxName;
        DWORD nameSize = kMaxName * sizeof(wchar_t);
        DWORD type = 0;
        const LONG result = ::RegEnumValueW(key.Get(), index, device.data(), &deviceLength, nullptr,
                                            &type, reinterpret_cast<BYTE*>(name.data()), &nameSize);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result != ERROR_SUCCESS || type != REG_SZ)
            continue;
        ports.push_back({Narrow(name.data()), "", Narrow(device.data())});
    }
    return ports;
}

} // namespace

std::vector<SerialPortInfo> EnumerateSerialPorts(const std::string&, const std::string&)
{
    std::vector<SerialPortInfo> ports;
    for (const auto& port : CPortMap::Program()->Read())
        if (port)
            ports.push_back(*port);
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

PortSurvey CPortMap::Survey()
{
    return SurveyListedPorts(ListDeviceManagerPorts(), ListDeviceMapPorts());
}

ComPortMap CPortMap::Read()
{
    // Each COM number by itself: COM3 may exist without COM1.
    return Survey().com;
}

std::optional<SerialPortInfo> CPortMap::Resolve(int index)
{
    if (index < 0 || index >= kComPortCount)
        return std::nullopt;
    return Read()[static_cast<std::size_t>(index)];
}
