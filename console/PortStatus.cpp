#include "PortStatus.h"

#include "link/PortError.h"
#include "link/SerialLink.h"
#include "res/Resource.h"
#include "res/Strings.h"

#include <ctime>

namespace {

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

// What the operator is told, and whether that names the ports beyond COM4.
struct Told {
    std::string text;
    bool namesBeyond = false;
};

std::string Holder(const LockHolder& holder)
{
    if (holder.program.empty())
        return FormatResString(IDS_PORT_HOLDER_PID, holder.pid);
    return FormatResString(IDS_PORT_HOLDER, holder.pid, holder.program.c_str());
}

const std::optional<SerialPortInfo>& PortAt(std::int32_t index, const ComPortMap& ports)
{
    static const std::optional<SerialPortInfo> none;
    return index >= 0 && index < kComPortCount ? ports[static_cast<std::size_t>(index)] : none;
}

// The ports beyond COM4 and how to give one a number the console offers; "" for none.
std::string BeyondReach(const std::vector<PortBeyondReach>& beyond)
{
    std::vector<std::string> names;
    for (const PortBeyondReach& port : beyond) {
        // Friendly names mostly end with the port's name already.
        const std::string ownName = "(COM" + std::to_string(port.comNumber) + ")";
        names.push_back(
            port.description.find(ownName) != std::string::npos
                ? port.description
                : FormatResString(IDS_PORT_BEYOND_NAME, port.description.c_str(), port.comNumber));
    }
    if (names.empty())
        return {};
    if (names.size() == 1)
        return FormatResString(IDS_PORT_BEYOND_ONE, names.front().c_str());
    std::string head = names.front();
    for (std::size_t i = 1; i + 1 < names.size(); ++i)
        head += ", " + names[i];
    const std::string list = FormatResString(IDS_PORT_LIST_AND, head.c_str(), names.back().c_str());
    return FormatResString(IDS_PORT_BEYOND_MANY, list.c_str());
}

// What stands behind COM(index + 1); with no device there, the ports beyond COM4 too unless
// the tooltip names them already.
std::string DeviceLine(int index, const PortSurvey& ports, bool sayBeyond)
{
    const auto& port = ports.com[static_cast<std::size_t>(index)];
    if (!port) {
        const std::string beyond = sayBeyond ? BeyondReach(ports.beyond) : "";
        if (!beyond.empty())
            return FormatResString(IDS_PORT_TIP_NO_DEVICE_BEYOND, index + 1, beyond.c_str());
        return FormatResString(IDS_PORT_TIP_NO_DEVICE, index + 1);
    }
    if (!port->present)
        return FormatResString(IDS_PORT_TIP_UNPLUGGED, index + 1, port->path.c_str(),
                               port->description.c_str());
    if (port->heldBy)
        return FormatResString(IDS_PORT_TIP_HELD, index + 1, port->path.c_str(),
                               port->description.c_str(), Holder(*port->heldBy).c_str());
    if (port->path.empty())
        return FormatResString(IDS_PORT_TIP_DEVICE_NAMED, index + 1, port->description.c_str());
    return FormatResString(IDS_PORT_TIP_DEVICE, index + 1, port->path.c_str(),
                           port->description.c_str());
}

// Whether the step failed sending a byte (its drain, its parity change or its write) rather
// than opening the port.
bool WhileSending(LinkStep step)
{
    switch (step) {
    case LinkStep::Drain:
    case LinkStep::ChangeParity:
    case LinkStep::Write:
        return true;
    case LinkStep::None:
    case LinkStep::PortNumber:
    case LinkStep::Open:
    case LinkStep::ReadSettings:
    case LinkStep::ApplySettings:
        break;
    }
    return false;
}

Told OpenFailure(PortFailure failure, const TransmitReport& report, const PortSurvey& ports)
{
    const int com = ComNumber(report.portIndex);
    const auto& port = PortAt(report.portIndex, ports.com);
    if (port && !port->present &&
        (failure == PortFailure::NoDevice || failure == PortFailure::Gone))
        return {FormatResString(IDS_PORT_REASON_UNPLUGGED, com, port->path.c_str(),
                                port->description.c_str())};
    switch (failure) {
    case PortFailure::NoPermission: {
        const std::string path =
            port && !port->path.empty() ? port->path : "COM" + std::to_string(com);
        return {FormatResString(IDS_PORT_REASON_PERMISSION, path.c_str())};
    }
    case PortFailure::NoDevice:
        // The system lists a device there, yet it cannot be found: it is not answering.
        if (port && port->present)
            return {FormatResString(IDS_PORT_REASON_NOT_ANSWERING, com)};
        if (const std::string beyond = BeyondReach(ports.beyond); !beyond.empty())
            return {FormatResString(IDS_PORT_REASON_NO_DEVICE_BEYOND, com, beyond.c_str()), true};
        return {FormatResString(IDS_PORT_REASON_NO_DEVICE, com)};
    case PortFailure::Gone:
        return {FormatResString(IDS_PORT_REASON_NOT_ANSWERING, com)};
    case PortFailure::NotSerial:
        return {FormatResString(IDS_PORT_REASON_NOT_SERIAL, com)};
    case PortFailure::InUse:
        if (port && port->heldBy)
            return {FormatResString(IDS_PORT_REASON_HELD, Holder(*port->heldBy).c_str())};
        return {LoadResString(IDS_PORT_REASON_IN_USE)};
    case PortFailure::Timeout:
        return {LoadResString(IDS_PORT_REASON_TIMEOUT)};
    case PortFailure::Other:
        break;
    }
    return {FormatResString(IDS_PORT_REASON_UNKNOWN, static_cast<unsigned>(report.errorCode))};
}

Told FailureReason(const TransmitReport& report, const PortSurvey& ports)
{
    const int com = ComNumber(report.portIndex);
    const PortFailure failure = ClassifyPortError(report.errorCode);
    const LinkStep step = report.failedStep;
    if (step == LinkStep::PortNumber)
        return {FormatResString(IDS_PORT_REASON_LINK, report.openError.c_str())};
    if (step == LinkStep::Open)
        return OpenFailure(failure, report, ports);
    if (failure == PortFailure::Timeout)
        return {LoadResString(IDS_PORT_REASON_TIMEOUT)};
    // The port is ours alone from its open on: a device that was there and now fails us, however
    // the system words it, went away (or is no serial port, if it never told its settings).
    const bool lost = failure != PortFailure::Other;
    if (WhileSending(step)) {
        if (!lost)
            return {
                FormatResString(IDS_PORT_REASON_UNKNOWN, static_cast<unsigned>(report.errorCode))};
        if (const auto& port = PortAt(report.portIndex, ports.com); port && !port->present)
            return {FormatResString(IDS_PORT_REASON_UNPLUGGED, com, port->path.c_str(),
                                    port->description.c_str())};
        return {FormatResString(IDS_PORT_REASON_GONE, com)};
    }
    if (failure == PortFailure::NotSerial && step == LinkStep::ReadSettings)
        return {FormatResString(IDS_PORT_REASON_NOT_SERIAL, com)};
    if (lost && failure != PortFailure::NotSerial)
        return {FormatResString(IDS_PORT_REASON_NOT_ANSWERING, com)};
    return {LoadResString(IDS_PORT_REASON_SETTINGS)};
}

// How the last transmission ended.
Told LastTransmissionLine(const TransmitReport& last, const PortSurvey& ports, PortWait wait)
{
    const std::string waiting =
        wait == PortWait::NoChannelEnabled ? LoadResString(IDS_PORT_TIP_NO_CHANNEL) : "";
    if (!last.finished)
        return {wait == PortWait::None ? LoadResString(IDS_PORT_TIP_NONE_YET) : waiting};
    const std::string time = ClockTime(last.finishedAt);
    Told line;
    if (last.Succeeded()) {
        line.text =
            FormatResString(last.framesSent == 1 ? IDS_PORT_TIP_SENT_ONE : IDS_PORT_TIP_SENT,
                            time.c_str(), last.framesSent, ComNumber(last.portIndex));
    } else {
        const Told reason = FailureReason(last, ports);
        line.text = FormatResString(IDS_PORT_TIP_FAILED, time.c_str(), ComNumber(last.portIndex),
                                    reason.text.c_str());
        line.namesBeyond = reason.namesBeyond;
        // A change that did not get through stays marked and is tried again at every tick,
        // unless it waits for an Ena box and so is not tried at all.
        if (wait == PortWait::None)
            line.text += "\n" + LoadResString(IDS_PORT_TIP_RETRYING);
    }
    if (!waiting.empty())
        line.text += "\n" + waiting;
    return line;
}

std::string AccessibleState(const TransmitReport& last, const PortSurvey& ports, PortWait wait)
{
    if (wait == PortWait::NoChannelEnabled)
        return LoadResString(IDS_PORT_STATE_NO_CHANNEL);
    if (!last.finished)
        return LoadResString(IDS_PORT_STATE_NONE_YET);
    if (last.Succeeded())
        return FormatResString(IDS_PORT_STATE_REACHED, ComNumber(last.portIndex));
    const std::string reason = FailureReason(last, ports).text;
    return FormatResString(IDS_PORT_STATE_FAILED, ComNumber(last.portIndex), reason.c_str());
}

} // namespace

std::string DescribeFailure(const TransmitReport& report, const PortSurvey& ports)
{
    if (report.Succeeded() || !report.finished)
        return {};
    return FailureReason(report, ports).text;
}

PortStatusTexts DescribePortStatus(const TransmitReport& last, const PortSurvey& ports,
                                   PortWait wait)
{
    PortStatusTexts texts;
    texts.caption = LoadResString(!last.finished     ? IDS_PORT_GROUP
                                  : last.Succeeded() ? IDS_PORT_GROUP_OK
                                                     : IDS_PORT_GROUP_FAILED);
    texts.accessibleName = AccessibleState(last, ports, wait);
    // A tooltip names the ports beyond COM4 once: in the failure's reason, else with a COM
    // number that has no device.
    const Told lastLine = LastTransmissionLine(last, ports, wait);
    const bool sayBeyond = !lastLine.namesBeyond;
    const int shownPort = last.finished ? static_cast<int>(last.portIndex) : 0;
    texts.groupTip = (shownPort >= 0 && shownPort < kComPortCount
                          ? DeviceLine(shownPort, ports, sayBeyond) + "\n"
                          : std::string()) +
                     lastLine.text;
    for (int i = 0; i < kComPortCount; ++i)
        texts.comTips[static_cast<std::size_t>(i)] =
            DeviceLine(i, ports, sayBeyond) + "\n" + lastLine.text;
    return texts;
}

PortSurvey SurveyPorts()
{
    return CPortMap::Program()->Survey();
}
