// The COM ports of a system that numbers its serial ports itself, from the lists it keeps.
#include "PortMap.h"

#include <charconv>
#include <map>
#include <string_view>

namespace {

constexpr std::string_view kComPrefix = "COM";
// Windows hands out COM numbers up to 256.
constexpr int kMaxComNumber = 256;
// The driver device of the machine's own serial ports, which the device manager calls
// "Communications Port".
constexpr std::string_view kBuiltInDevice = "\\Device\\Serial";
constexpr const char* kBuiltInKind = "Communications Port";
constexpr const char* kOtherKind = "Serial port";

char Upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// n for "COMn" in any case; nothing for another name ("LPT1"), a leading zero or a number
// out of range.
std::optional<int> ComNumber(std::string_view name)
{
    if (name.size() <= kComPrefix.size())
        return std::nullopt;
    for (std::size_t i = 0; i < kComPrefix.size(); ++i)
        if (Upper(name[i]) != kComPrefix[i])
            return std::nullopt;
    const std::string_view digits = name.substr(kComPrefix.size());
    if (digits.front() == '0')
        return std::nullopt;
    int number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (error != std::errc{} || end != digits.data() + digits.size() || number > kMaxComNumber)
        return std::nullopt;
    return number;
}

// A port without a friendly name, named as the device manager names its kind.
std::string KindName(const std::string& device, int number)
{
    const char* kind = device.starts_with(kBuiltInDevice) ? kBuiltInKind : kOtherKind;
    return std::string(kind) + " (COM" + std::to_string(number) + ")";
}

} // namespace

PortSurvey SurveyListedPorts(const std::vector<ListedPort>& devices,
                             const std::vector<ListedPort>& deviceMap)
{
    // The first description of a number wins: a friendly name, else the driver's kind.
    std::map<int, std::string> described;
    for (const ListedPort& port : devices)
        if (const auto number = ComNumber(port.name); number && !port.friendlyName.empty())
            described.emplace(*number, port.friendlyName);
    for (const ListedPort& port : deviceMap)
        if (const auto number = ComNumber(port.name))
            described.emplace(*number, KindName(port.device, *number));
    for (const ListedPort& port : devices)
        if (const auto number = ComNumber(port.name))
            described.emplace(*number, KindName(port.device, *number));

    PortSurvey survey;
    for (const auto& [number, description] : described) {
        if (number <= kComPortCount) {
            SerialPortInfo info;
            info.description = description;
            survey.com[static_cast<std::size_t>(number - 1)] = std::move(info);
        } else {
            survey.beyond.push_back({number, description});
        }
    }
    return survey;
}
