#include "res/Strings.h"

#include "res/Resource.h"

#include <array>

namespace {

struct StringEntry {
    int id;
    std::string_view text;
};

// Constant-initialised, so templates built during static initialisation can read it.
constexpr std::array kStringTable{
    StringEntry{IDS_ABOUT_MENU, "&About Lumivane..."},
    StringEntry{IDS_CONSOLE_TITLE, "Tessaro Channels %d - %d"},
    StringEntry{IDS_PORT_GROUP, "Port"},
    // Spelt as UTF-8 bytes so the source's encoding cannot change them: U+2713 and U+2717.
    StringEntry{IDS_PORT_GROUP_OK, "Port \xE2\x9C\x93"},
    StringEntry{IDS_PORT_GROUP_FAILED, "Port \xE2\x9C\x97"},
    // Short enough for the About box's 119 and 124 dialog-unit lines.
    StringEntry{IDS_ABOUT_NOTICE1, "(C) 2026 Lumivane developers"},
    StringEntry{IDS_ABOUT_NOTICE2, "Eight-channel DMX512 console"},
    StringEntry{IDS_PORT_TIP_DEVICE, "COM%d is %s (%s)."},
    StringEntry{IDS_PORT_TIP_NO_DEVICE, "COM%d: no serial port stands behind it on this machine."},
    StringEntry{IDS_PORT_TIP_NONE_YET, "Nothing sent yet: levels go out when you change them."},
    StringEntry{IDS_PORT_TIP_SENT, "Last transmission at %s: %d frames sent to COM%d."},
    StringEntry{IDS_PORT_TIP_SENT_ONE, "Last transmission at %s: %d frame sent to COM%d."},
    StringEntry{IDS_PORT_TIP_NO_CHANNEL,
                "No channel is enabled: tick Ena under a fader to send its channel."},
    StringEntry{IDS_PORT_STATE_NONE_YET, "Port: nothing sent yet"},
    StringEntry{IDS_PORT_STATE_REACHED, "Port: last transmission reached COM%d"},
    StringEntry{IDS_PORT_STATE_FAILED, "Port: last transmission to COM%d failed: %s"},
    StringEntry{IDS_PORT_STATE_NO_CHANNEL, "Port: no channel is enabled, nothing is sent"},
    StringEntry{IDS_PORT_TIP_FAILED, "Last transmission at %s to COM%d failed: %s"},
    StringEntry{IDS_PORT_REASON_PERMISSION,
                "no permission to use %s. Add your user to the dialout group "
                "(sudo usermod -aG dialout $USER) and log in again."},
    StringEntry{IDS_PORT_REASON_NO_DEVICE,
                "no serial port stands behind COM%d. Plug in the adapter, or choose another "
                "port."},
    StringEntry{IDS_PORT_REASON_IN_USE,
                "the port is in use by another program. Close that program, or choose another "
                "port."},
    StringEntry{IDS_PORT_REASON_TIMEOUT,
                "the port would not take the bytes. Check that the interface is connected and "
                "switched on."},
    StringEntry{IDS_PORT_REASON_SETTINGS,
                "the port refused the settings (9600 baud, 8 data bits, mark/space parity). Use "
                "an adapter that supports mark and space parity, or choose another port."},
    StringEntry{IDS_PORT_REASON_LINK, "%s."},
    StringEntry{IDS_PORT_TIP_DEVICE_NAMED, "COM%d is %s."},
    StringEntry{IDS_PORT_REASON_GONE,
                "the device behind COM%d went away during the transmission. Plug it in again and "
                "switch it on, or choose another port."},
    StringEntry{IDS_PORT_REASON_NOT_ANSWERING,
                "the device behind COM%d does not answer. Unplug it and plug it in again, or "
                "choose another port."},
    StringEntry{IDS_PORT_REASON_NOT_SERIAL,
                "COM%d is no serial port: the device behind it takes no serial settings. Choose "
                "another port."},
    StringEntry{IDS_PORT_REASON_UNKNOWN,
                "the port failed (system error %u). Check the interface and its cable, or choose "
                "another port."},
    StringEntry{IDS_PORT_BEYOND_ONE,
                "This machine has %s beyond COM4, out of the console's reach: give it a number "
                "from COM1 to COM4 in Device Manager (Ports (COM & LPT), the port's Properties, "
                "Port Settings, Advanced, COM Port Number), then choose it here."},
    StringEntry{IDS_PORT_BEYOND_MANY,
                "This machine has %s beyond COM4, out of the console's reach: give one of them "
                "a number from COM1 to COM4 in Device Manager (Ports (COM & LPT), the port's "
                "Properties, Port Settings, Advanced, COM Port Number), then choose it here."},
    StringEntry{IDS_PORT_BEYOND_NAME, "%s (COM%d)"},
    StringEntry{IDS_PORT_LIST_AND, "%s and %s"},
    StringEntry{IDS_PORT_REASON_NO_DEVICE_BEYOND, "no serial port stands behind COM%d. %s"},
    StringEntry{IDS_PORT_TIP_NO_DEVICE_BEYOND,
                "COM%d: no serial port stands behind it on this machine. %s"},
    StringEntry{IDS_PORT_TIP_RETRYING,
                "The console keeps trying every half second until the levels get through."},
    StringEntry{IDS_PORT_TIP_UNPLUGGED, "COM%d stands for %s (%s), which is unplugged."},
    StringEntry{IDS_PORT_TIP_HELD, "COM%d is %s (%s), held by another program (%s)."},
    StringEntry{IDS_PORT_REASON_UNPLUGGED,
                "COM%d stands for %s (%s), which is unplugged. Plug it in again, or choose "
                "another port."},
    StringEntry{IDS_PORT_REASON_HELD,
                "the port is in use by another program (%s). Close that program, or choose "
                "another port."},
    StringEntry{IDS_NAME_FADER, "Channel %d fader"},
    StringEntry{IDS_NAME_LEVEL, "Channel %d level"},
    StringEntry{IDS_NAME_SET, "Set channel %d"},
    StringEntry{IDS_NAME_GROUP, "Group channel %d"},
    StringEntry{IDS_NAME_ENABLE, "Enable channel %d"},
    StringEntry{IDS_NAME_BASE, "Base address"},
    StringEntry{IDS_NAME_BASE_UP, "Next base address"},
    StringEntry{IDS_NAME_BASE_DOWN, "Previous base address"},
    StringEntry{IDS_NAME_PORT, "Port COM%d"},
    StringEntry{IDS_NAME_GROUP_ALL, "Group all channels"},
    StringEntry{IDS_NAME_ENABLE_ALL, "Enable all channels"},
    StringEntry{IDS_PORT_HOLDER, "PID %ld, %s"},
    StringEntry{IDS_PORT_HOLDER_PID, "PID %ld"},
};

} // namespace

std::string_view FindResString(unsigned id)
{
    for (const StringEntry& entry : kStringTable)
        if (static_cast<unsigned>(entry.id) == id)
            return entry.text;
    return {};
}

std::string LoadResString(unsigned id)
{
    return std::string(FindResString(id));
}
