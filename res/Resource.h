// Every resource id of the program: dialogs, controls, the icon, strings and the system-menu
// command, plus the rule that turns a control id into its help context id. Ids are fixed
// numbers that the help file and the dialog templates are keyed by; change none of them.
#pragma once

#include <array>
#include <cstdint>

// The id tables keep their column layout.
// clang-format off

// Dialog templates.
constexpr int IDD_ABOUT = 100;
constexpr int IDD_CONSOLE = 130;

// Icon.
constexpr int IDI_APP_ICON = 128;

// System-menu command; the system reserves the low four bits of its commands.
constexpr int IDM_ABOUT = 0x0010;

// Controls that code never addresses by id (labels and group boxes) share this one.
constexpr int IDC_STATIC = -1;

// Console controls. 1009 and 1054 are unused.
constexpr int IDC_SLIDER1 = 1000;
constexpr int IDC_SLIDER2 = 1001;
constexpr int IDC_SLIDER3 = 1002;
constexpr int IDC_SLIDER4 = 1003;
constexpr int IDC_SLIDER5 = 1004;
constexpr int IDC_SLIDER6 = 1005;
constexpr int IDC_SLIDER7 = 1006;
constexpr int IDC_SLIDER8 = 1007;
constexpr int IDC_SET1 = 1008;
constexpr int IDC_SET2 = 1010;
constexpr int IDC_SET3 = 1011;
constexpr int IDC_SET4 = 1012;
constexpr int IDC_SET5 = 1013;
constexpr int IDC_SET6 = 1014;
constexpr int IDC_SET7 = 1015;
constexpr int IDC_SET8 = 1016;
constexpr int IDC_GRP1 = 1017;
constexpr int IDC_GRP2 = 1018;
constexpr int IDC_GRP3 = 1019;
constexpr int IDC_GRP4 = 1020;
constexpr int IDC_GRP5 = 1021;
constexpr int IDC_GRP6 = 1022;
constexpr int IDC_GRP7 = 1023;
constexpr int IDC_GRP8 = 1024;
constexpr int IDC_SET_ALL = 1025;
constexpr int IDC_ENA1 = 1026;
constexpr int IDC_ENA2 = 1027;
constexpr int IDC_ENA3 = 1028;
constexpr int IDC_ENA4 = 1029;
constexpr int IDC_ENA5 = 1030;
constexpr int IDC_ENA6 = 1031;
constexpr int IDC_ENA7 = 1032;
constexpr int IDC_ENA8 = 1033;
constexpr int IDC_LEVEL1 = 1034;
constexpr int IDC_LEVEL2 = 1035;
constexpr int IDC_LEVEL3 = 1036;
constexpr int IDC_LEVEL4 = 1037;
constexpr int IDC_LEVEL5 = 1038;
constexpr int IDC_LEVEL6 = 1039;
constexpr int IDC_LEVEL7 = 1040;
constexpr int IDC_LEVEL8 = 1041;
constexpr int IDC_GRP_ALL = 1042;
constexpr int IDC_BASE_ADDR = 1043;
constexpr int IDC_CHAN_LABEL1 = 1044;
constexpr int IDC_CHAN_LABEL2 = 1045;
constexpr int IDC_CHAN_LABEL3 = 1046;
constexpr int IDC_CHAN_LABEL4 = 1047;
constexpr int IDC_CHAN_LABEL5 = 1048;
constexpr int IDC_CHAN_LABEL6 = 1049;
constexpr int IDC_CHAN_LABEL7 = 1050;
constexpr int IDC_CHAN_LABEL8 = 1051;
constexpr int IDC_PERCENT = 1052;
constexpr int IDC_VALUE = 1053;
constexpr int IDC_COM1 = 1055;
constexpr int IDC_COM2 = 1056;
constexpr int IDC_COM3 = 1057;
constexpr int IDC_COM4 = 1058;
constexpr int IDC_ENA_ALL = 1059;
constexpr int IDC_BLACKOUT = 1060;
constexpr int IDC_BASE_UP = 1061;
constexpr int IDC_BASE_DOWN = 1062;
constexpr int IDC_ABOUT = 1063;

// About box controls (its OK button is the standard IDOK).
constexpr int IDC_VERSION = 1064;

// Per-channel controls, index 0..7 for channels 1..8 of the block. The Set ids are not
// contiguous, so index these arrays rather than adding to the first id.
constexpr std::size_t kChannelControlCount = 8;
constexpr std::array<int, kChannelControlCount> kSliderIds{IDC_SLIDER1, IDC_SLIDER2, IDC_SLIDER3,
                                                       IDC_SLIDER4, IDC_SLIDER5, IDC_SLIDER6,
                                                       IDC_SLIDER7, IDC_SLIDER8};
constexpr std::array<int, kChannelControlCount> kLevelIds{IDC_LEVEL1, IDC_LEVEL2, IDC_LEVEL3,
                                                      IDC_LEVEL4, IDC_LEVEL5, IDC_LEVEL6,
                                                      IDC_LEVEL7, IDC_LEVEL8};
constexpr std::array<int, kChannelControlCount> kSetIds{IDC_SET1, IDC_SET2, IDC_SET3, IDC_SET4,
                                                    IDC_SET5, IDC_SET6, IDC_SET7, IDC_SET8};
constexpr std::array<int, kChannelControlCount> kGrpIds{IDC_GRP1, IDC_GRP2, IDC_GRP3, IDC_GRP4,
                                                    IDC_GRP5, IDC_GRP6, IDC_GRP7, IDC_GRP8};
constexpr std::array<int, kChannelControlCount> kEnaIds{IDC_ENA1, IDC_ENA2, IDC_ENA3, IDC_ENA4,
                                                    IDC_ENA5, IDC_ENA6, IDC_ENA7, IDC_ENA8};
constexpr std::array<int, kChannelControlCount> kChanLabelIds{
    IDC_CHAN_LABEL1, IDC_CHAN_LABEL2, IDC_CHAN_LABEL3, IDC_CHAN_LABEL4,
    IDC_CHAN_LABEL5, IDC_CHAN_LABEL6, IDC_CHAN_LABEL7, IDC_CHAN_LABEL8};

// Port radios, index 0..3 for COM1..COM4.
constexpr std::size_t kPortControlCount = 4;
constexpr std::array<int, kPortControlCount> kComIds{IDC_COM1, IDC_COM2, IDC_COM3, IDC_COM4};

// Strings. The validation texts and the help failure keep the framework's own numbers.
constexpr int IDS_ABOUT_MENU = 101;
constexpr int IDS_CONSOLE_TITLE = 102;     // printf format: first and last channel
constexpr int IDS_PORT_GROUP = 103;        // port group box before any transmission
constexpr int IDS_PORT_GROUP_OK = 104;     // ... after the last port open succeeded
constexpr int IDS_PORT_GROUP_FAILED = 105; // ... after the last port open failed
constexpr int IDS_ABOUT_NOTICE1 = 106;
constexpr int IDS_ABOUT_NOTICE2 = 107;
// Tooltips of the port group box and the COM radios: which device a port is, and how the
// last transmission ended. printf formats.
constexpr int IDS_PORT_TIP_DEVICE = 108;         // COM number, device path, description
constexpr int IDS_PORT_TIP_NO_DEVICE = 109;      // COM number
constexpr int IDS_PORT_TIP_NONE_YET = 110;
constexpr int IDS_PORT_TIP_SENT = 111;           // time, frames, COM number
constexpr int IDS_PORT_TIP_FAILED = 112;         // time, COM number, reason
constexpr int IDS_PORT_REASON_PERMISSION = 113;  // device path
constexpr int IDS_PORT_REASON_NO_DEVICE = 114;   // COM number
constexpr int IDS_PORT_REASON_IN_USE = 115;
constexpr int IDS_PORT_REASON_TIMEOUT = 116;
constexpr int IDS_PORT_REASON_SETTINGS = 117;
constexpr int IDS_PORT_REASON_LINK = 118;        // the link's own text
// Where the system names its ports itself: a port known by its friendly name, the failures
// the system's codes stand for, and the ports it numbered beyond COM4 with how to reach them.
constexpr int IDS_PORT_TIP_DEVICE_NAMED = 119;   // COM number, description
constexpr int IDS_PORT_REASON_GONE = 120;        // COM number
constexpr int IDS_PORT_REASON_NOT_ANSWERING = 121; // COM number
constexpr int IDS_PORT_REASON_NOT_SERIAL = 122;  // COM number
constexpr int IDS_PORT_REASON_UNKNOWN = 123;     // system error code
constexpr int IDS_PORT_BEYOND_ONE = 124;         // the port (IDS_PORT_BEYOND_NAME)
constexpr int IDS_PORT_BEYOND_MANY = 125;        // the ports, listed with IDS_PORT_LIST_AND
constexpr int IDS_PORT_BEYOND_NAME = 126;        // description, COM number
constexpr int IDS_PORT_LIST_AND = 127;           // all but the last, the last
constexpr int IDS_PORT_REASON_NO_DEVICE_BEYOND = 128; // COM number, IDS_PORT_BEYOND_*
constexpr int IDS_PORT_TIP_NO_DEVICE_BEYOND = 129;    // COM number, IDS_PORT_BEYOND_*
constexpr int IDS_PORT_TIP_RETRYING = 150;
// A COM number whose device is unplugged, and a device another program has locked.
constexpr int IDS_PORT_TIP_UNPLUGGED = 160;      // COM number, device path, description
constexpr int IDS_PORT_TIP_HELD = 161;           // COM number, path, description, holder
constexpr int IDS_PORT_REASON_UNPLUGGED = 162;   // COM number, device path, description
constexpr int IDS_PORT_REASON_HELD = 163;        // holder
constexpr int IDS_PORT_HOLDER = 164;             // PID, program name
constexpr int IDS_PORT_HOLDER_PID = 165;         // PID, when the program has no name
constexpr int IDS_PORT_TIP_SENT_ONE = 166;       // as IDS_PORT_TIP_SENT, for one frame
// A change held back because no Ena box is ticked.
constexpr int IDS_PORT_TIP_NO_CHANNEL = 167;
// The port group's state as a screen reader says it (its accessible name).
constexpr int IDS_PORT_STATE_NONE_YET = 168;
constexpr int IDS_PORT_STATE_REACHED = 169;      // COM number
constexpr int IDS_PORT_STATE_FAILED = 170;       // COM number, reason
constexpr int IDS_PORT_STATE_NO_CHANNEL = 171;
// Accessible names: what a screen reader calls a control whose own text says too little.
// printf formats with the channel, or the COM number, the control stands for.
constexpr int IDS_NAME_FADER = 180;              // channel
constexpr int IDS_NAME_LEVEL = 181;              // channel
constexpr int IDS_NAME_SET = 182;                // channel
constexpr int IDS_NAME_GROUP = 183;              // channel
constexpr int IDS_NAME_ENABLE = 184;             // channel
constexpr int IDS_NAME_BASE = 185;
constexpr int IDS_NAME_BASE_UP = 186;
constexpr int IDS_NAME_BASE_DOWN = 187;
constexpr int IDS_NAME_PORT = 188;               // COM number
constexpr int IDS_NAME_GROUP_ALL = 189;
constexpr int IDS_NAME_ENABLE_ALL = 190;

// clang-format on

// A control's help context id: the top bit set, the dialog's template id in the upper 16 bits
// and the control's id in the lower 16. The console template stores these with its controls
// and the help file's pop-up topics are keyed by them.
constexpr std::uint32_t kControlHelpIdFlag = 0x80000000;
constexpr unsigned kHelpIdDialogShift = 16;
constexpr std::uint32_t kHelpIdControlMask = 0xFFFF;

constexpr std::uint32_t ControlHelpId(int dialogId, int controlId)
{
    return kControlHelpIdFlag + (static_cast<std::uint32_t>(dialogId) << kHelpIdDialogShift) +
           (static_cast<std::uint32_t>(controlId) & kHelpIdControlMask);
}
