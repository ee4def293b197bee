#include "PortStatus.h"

#include "link/PortError.h"
#include "link/SerialLink.h"
#include "res/Resource.h"
#include "res/Strings.h"

#include <cstdio>
#include <ctime>

namespace {

template <class... Args> std::string Format(unsigned id, Args... args)
{
    const std::string pattern = LoadResString(id);
    const int length = std::snprintf(nullptr, 0, pattern.c_str(), args...);
    if (length <= 0)
        return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), pattern.c_str(), args...);
    text.pop_back();
    return text;
}

std::string ClockTime(std::chrono::system_clock::time_point when)
{
    const std::time_t t = std::chrono::system_clock::to_time_t(when);
    // Window thread only, so the shared buffer of localtime is safe here.
    const std::tm* local = std::localtime(&t);
    char text[16] = "?";
    if (local != nullptr)
        std::strftime(text, sizeof text, "%H:%M:%S", local);
    return text;
}

int ComNumber(std::int32_t portIndex)
{
    return static_cast<int>(portIndex) + 1;
}

std::string LastTransmissionLine(const TransmitReport& last, const ComPortMap& ports)
{
    if (!last.finished)
        return LoadResString(IDS_PORT_TIP_NONE_YET);
    const std::string time = ClockTime(last.finishedAt);
    if (last.Succeeded())
        return Format(IDS_PORT_TIP_SENT, time.c_str(), last.framesSent, ComNumber(last.portIndex));
    const std::string reason = DescribeFailure(last, ports);
    // A change that did not get through stays marked and is tried again at every tick.
    return Format(IDS_PORT_TIP_FAILED, time.c_str(), ComNumber(last.portIndex), reason.c_str()) +
           "\n" + LoadResString(IDS_PORT_TIP_RETRYING);
}

std::string DeviceLine(int index, const ComPortMap& ports)
{
    const auto& port = ports[static_cast<std::size_t>(index)];
    if (!port)
        return Format(IDS_PORT_TIP_NO_DEVICE, index + 1);
    return Format(IDS_PORT_TIP_DEVICE, index + 1, port->path.c_str(), port->description.c_str());
}

} // namespace

std::string DescribeFailure(const TransmitReport& report, const ComPortMap& ports)
{
    if (report.Succeeded() || !report.finished)
        return {};
    const std::string system = SystemErrorText(report.errorCode);
    if (report.openError == kOpenErrorGetState || report.openError == kOpenErrorSetState)
        return Format(IDS_PORT_REASON_SETTINGS, system.c_str());
    if (!report.openError.empty() && report.openError != kOpenErrorInvalidHandle)
        return Format(IDS_PORT_REASON_OTHER, report.openError.c_str());

    const bool known = report.portIndex >= 0 && report.portIndex < kComPortCount;
    switch (ClassifyPortError(report.errorCode)) {
    case PortFailure::NoPermission: {
        const std::string path = known && ports[static_cast<std::size_t>(report.portIndex)]
                                     ? ports[static_cast<std::size_t>(report.portIndex)]->path
                                     : "COM" + std::to_string(ComNumber(report.portIndex));
        return Format(IDS_PORT_REASON_PERMISSION, path.c_str());
    }
    case PortFailure::NoDevice:
        return Format(IDS_PORT_REASON_NO_DEVICE, ComNumber(report.portIndex));
    case PortFailure::InUse:
        return LoadResString(IDS_PORT_REASON_IN_USE);
    case PortFailure::Timeout:
        return LoadResString(IDS_PORT_REASON_TIMEOUT);
    case PortFailure::Other:
        break;
    }
    return Format(IDS_PORT_REASON_OTHER, system.c_str());
}

PortStatusTexts DescribePortStatus(const TransmitReport& last, const ComPortMap& ports)
{
    PortStatusTexts texts;
    texts.caption = LoadResString(!last.finished     ? IDS_PORT_GROUP
                                  : last.Succeeded() ? IDS_PORT_GROUP_OK
                                                     : IDS_PORT_GROUP_FAILED);
    const std::string lastLine = LastTransmissionLine(last, ports);
    const int shownPort = last.finished ? static_cast<int>(last.portIndex) : 0;
    texts.groupTip =
        (shownPort >= 0 && shownPort < kComPortCount ? DeviceLine(shownPort, ports) + "\n"
                                                     : std::string()) +
        lastLine;
    for (int i = 0; i < kComPortCount; ++i)
        texts.comTips[static_cast<std::size_t>(i)] = DeviceLine(i, ports) + "\n" + lastLine;
    return texts;
}

ComPortMap ReadComPortMap()
{
    // Each COM number by itself: on Windows COM3 may exist without COM1.
    ComPortMap ports;
    for (std::size_t i = 0; i < ports.size(); ++i)
        ports[i] = ResolveComPort(static_cast<int>(i));
    return ports;
}
