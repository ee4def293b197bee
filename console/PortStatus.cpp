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

std::string LastTransmissionLine(const TransmitReport& last, const ComPortMap& ports, PortWait wait)
{
    const std::string waiting =
        wait == PortWait::NoChannelEnabled ? LoadResString(IDS_PORT_TIP_NO_CHANNEL) : "";
    if (!last.finished)
        return wait == PortWait::None ? LoadResString(IDS_PORT_TIP_NONE_YET) : waiting;
    const std::string time = ClockTime(last.finishedAt);
    std::string line;
    if (last.Succeeded()) {
        line = Format(last.framesSent == 1 ? IDS_PORT_TIP_SENT_ONE : IDS_PORT_TIP_SENT,
                      time.c_str(), last.framesSent, ComNumber(last.portIndex));
    } else {
        const std::string reason = DescribeFailure(last, ports);
        line = Format(IDS_PORT_TIP_FAILED, time.c_str(), ComNumber(last.portIndex), reason.c_str());
        // A change that did not get through stays marked and is tried again at every tick,
        // unless it waits for an Ena box and so is not tried at all.
        if (wait == PortWait::None)
            line += "\n" + LoadResString(IDS_PORT_TIP_RETRYING);
    }
    return waiting.empty() ? line : line + "\n" + waiting;
}

std::string AccessibleState(const TransmitReport& last, const ComPortMap& ports, PortWait wait)
{
    if (wait == PortWait::NoChannelEnabled)
        return LoadResString(IDS_PORT_STATE_NO_CHANNEL);
    if (!last.finished)
        return LoadResString(IDS_PORT_STATE_NONE_YET);
    if (last.Succeeded())
        return Format(IDS_PORT_STATE_REACHED, ComNumber(last.portIndex));
    const std::string reason = DescribeFailure(last, ports);
    return Format(IDS_PORT_STATE_FAILED, ComNumber(last.portIndex), reason.c_str());
}

std::string Holder(const LockHolder& holder)
{
    if (holder.program.empty())
        return Format(IDS_PORT_HOLDER_PID, holder.pid);
    return Format(IDS_PORT_HOLDER, holder.pid, holder.program.c_str());
}

const std::optional<SerialPortInfo>& PortAt(std::int32_t index, const ComPortMap& ports)
{
    static const std::optional<SerialPortInfo> none;
    return index >= 0 && index < kComPortCount ? ports[static_cast<std::size_t>(index)] : none;
}

std::string DeviceLine(int index, const ComPortMap& ports)
{
    const auto& port = ports[static_cast<std::size_t>(index)];
    if (!port)
        return Format(IDS_PORT_TIP_NO_DEVICE, index + 1);
    if (!port->present)
        return Format(IDS_PORT_TIP_UNPLUGGED, index + 1, port->path.c_str(),
                      port->description.c_str());
    if (port->heldBy)
        return Format(IDS_PORT_TIP_HELD, index + 1, port->path.c_str(), port->description.c_str(),
                      Holder(*port->heldBy).c_str());
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

    const auto& port = PortAt(report.portIndex, ports);
    switch (ClassifyPortError(report.errorCode)) {
    case PortFailure::NoPermission: {
        const std::string path =
            port ? port->path : "COM" + std::to_string(ComNumber(report.portIndex));
        return Format(IDS_PORT_REASON_PERMISSION, path.c_str());
    }
    case PortFailure::NoDevice:
        if (port && !port->present)
            return Format(IDS_PORT_REASON_UNPLUGGED, ComNumber(report.portIndex),
                          port->path.c_str(), port->description.c_str());
        return Format(IDS_PORT_REASON_NO_DEVICE, ComNumber(report.portIndex));
    case PortFailure::InUse:
        if (port && port->heldBy)
            return Format(IDS_PORT_REASON_HELD, Holder(*port->heldBy).c_str());
        return LoadResString(IDS_PORT_REASON_IN_USE);
    case PortFailure::Timeout:
        return LoadResString(IDS_PORT_REASON_TIMEOUT);
    case PortFailure::Other:
        break;
    }
    return Format(IDS_PORT_REASON_OTHER, system.c_str());
}

PortStatusTexts DescribePortStatus(const TransmitReport& last, const ComPortMap& ports,
                                   PortWait wait)
{
    PortStatusTexts texts;
    texts.caption = LoadResString(!last.finished     ? IDS_PORT_GROUP
                                  : last.Succeeded() ? IDS_PORT_GROUP_OK
                                                     : IDS_PORT_GROUP_FAILED);
    texts.accessibleName = AccessibleState(last, ports, wait);
    const std::string lastLine = LastTransmissionLine(last, ports, wait);
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
    return CPortMap::Program()->Read();
}
