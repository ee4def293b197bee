// What the console shows about its port: the caption of the port group box (plain, ✓ or ✗)
// and tooltips naming the device behind each COM port and how the last transmission ended.
#pragma once

#include "link/PortMap.h"
#include "transmit/Transmit.h"

#include <array>
#include <optional>
#include <string>

struct PortStatusTexts {
    std::string caption;
    std::string groupTip;
    std::array<std::string, kComPortCount> comTips;
    // What a screen reader says of the port group: its state in one line.
    std::string accessibleName;
    friend bool operator==(const PortStatusTexts&, const PortStatusTexts&) = default;
};

// Why a change is held back from the port, if it is.
enum class PortWait {
    None,
    NoChannelEnabled, // a change is kept until an Ena box is ticked
};

// `ports`: what COM1..COM4 stand for now, and the ports beyond them. `last`: the last finished
// transmission, if any.
PortStatusTexts DescribePortStatus(const TransmitReport& last, const PortSurvey& ports,
                                   PortWait wait = PortWait::None);
// Why a transmission failed, in an operator's words with the remedy; "" when it did not. Never
// the system's own text: each of its codes is worded by what it means at the step that failed.
std::string DescribeFailure(const TransmitReport& report, const PortSurvey& ports);
// The machine's ports now, as the program's port map sees them.
PortSurvey SurveyPorts();
