#include "CommandLine.h"

namespace {

constexpr const char* kProgramName = "lumivane";

const char* const kUsageHead = R"(Usage: lumivane [--help | --version]

Lumivane is an eight-channel DMX512 console. Its window holds eight faders for
eight consecutive DMX channels; every half second it sends the levels you
changed over a serial port (COM1 to COM4) to a DMX interface box.

Options:
  -h, --help     show this text and exit
      --version  show the name and version and exit
Other arguments are ignored. Qt's own options (-platform, -display, ...) are
not taken: set QT_QPA_PLATFORM or DISPLAY instead.

In the console:
  Enter                sets every channel from its level box (Set All)
  Arrows, Page Up/Down move the focused fader
  F1 or a right click  help on a control; Shift+F1 then a click, too
  Menu key, Alt+Space  the window menu, with About Lumivane...
  Esc, Alt+F4          closes the console
)";

const char* const kUsageTail = R"(
Without a display the program says so and stops with status 1; run it on a
virtual one with xvfb-run -a lumivane. COM numbers, permissions (the dialout
group) and signals: see lumivane(1).
)";

bool IsSet(const char* variable)
{
    return variable != nullptr && *variable != '\0';
}

} // namespace

CommandLineRequest ParseCommandLine(const std::vector<std::string>& arguments)
{
    for (const std::string& argument : arguments) {
        if (argument == "--")
            break;
        if (argument == "--help" || argument == "-h")
            return {CommandLineAction::ShowUsage, {}};
        if (argument == "--version")
            return {CommandLineAction::ShowVersion, {}};
        if (argument.size() > 1 && argument.front() == '-')
            return {CommandLineAction::RefuseOption, argument};
    }
    return {};
}

std::string UsageText(const std::vector<std::string>& helpCandidates,
                      const std::optional<std::string>& helpFound)
{
    std::string text = kUsageHead;
    text += "\nThe help file (F1) is looked for in this order:\n";
    for (const std::string& path : helpCandidates)
        text += "  " + path + (path == helpFound ? "  (found)" : "") + "\n";
    if (!helpFound)
        text += "None is there: F1 shows no help.\n";
    return text + kUsageTail;
}

std::string VersionText()
{
    return std::string(kProgramName) + " " + LUMIVANE_VERSION + "\n";
}

std::string RefusalText(const std::string& option)
{
    return std::string(kProgramName) + ": unknown option '" + option + "'\n";
}

std::string NoDisplayText(const char* qpaPlatform, const char* display, const char* waylandDisplay)
{
    const bool anyDisplay = IsSet(display) || IsSet(waylandDisplay);
    std::string settings;
    const auto add = [&settings](const std::string& setting) {
        settings += (settings.empty() ? "" : ", ") + setting;
    };
    if (IsSet(qpaPlatform))
        add(std::string("QT_QPA_PLATFORM=") + qpaPlatform);
    if (IsSet(display))
        add(std::string("DISPLAY=") + display);
    if (IsSet(waylandDisplay))
        add(std::string("WAYLAND_DISPLAY=") + waylandDisplay);
    if (!anyDisplay)
        add("DISPLAY and WAYLAND_DISPLAY are unset");
    return std::string(kProgramName) + ": " +
           (anyDisplay ? "cannot open the display" : "no display to open a window on") + " (" +
           settings + "); run it in a desktop session, or on a virtual display: xvfb-run -a " +
           kProgramName + "\n";
}
