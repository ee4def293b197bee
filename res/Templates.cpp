#include "res/Templates.h"

#include "framework/WinDefs.h"
#include "res/Resource.h"
#include "res/Strings.h"

#include <array>
#include <string_view>

namespace {

constexpr std::string_view kDialogFont = "MS Sans Serif";
constexpr int kDialogFontPoints = 8;

constexpr std::uint32_t kNumberBoxStyle = WS_TABSTOP | WS_BORDER | ES_NUMBER | ES_AUTOHSCROLL;
constexpr std::uint32_t kFaderStyle = TBS_VERT | TBS_BOTH | TBS_AUTOTICKS | WS_TABSTOP;
constexpr std::uint32_t kPushStyle = BS_PUSHBUTTON | WS_TABSTOP;
constexpr std::uint32_t kCheckStyle = BS_AUTOCHECKBOX | WS_TABSTOP;
constexpr std::uint32_t kFirstRadioStyle = BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP;
constexpr std::uint32_t kRadioStyle = BS_AUTORADIOBUTTON | WS_TABSTOP;
constexpr std::uint32_t kLabelStyle = SS_LEFT | WS_GROUP;
constexpr std::uint32_t kChanLabelStyle = SS_CENTER | WS_GROUP;

// The trackbars' window text; it is never shown.
constexpr std::string_view kFaderText = "Slider1";

constexpr std::uint32_t kNoHelp = 0;

// The console's controls carry their own help context id.
constexpr std::uint32_t Own(int controlId)
{
    return ControlHelpId(IDD_CONSOLE, controlId);
}

// "#n": how a template names a resource by number rather than by name.
template <int Id> constexpr auto MakeOrdinalName()
{
    constexpr int kDecimalBase = 10;
    constexpr std::size_t digits = [] {
        std::size_t count = 0;
        for (int rest = Id; rest > 0; rest /= kDecimalBase)
            ++count;
        return count;
    }();
    std::array<char, digits + 1> name{};
    name[0] = '#';
    int rest = Id;
    for (std::size_t i = digits; i >= 1; --i, rest /= kDecimalBase)
        name[i] = static_cast<char>('0' + rest % kDecimalBase);
    return name;
}

constexpr auto kAppIconName = MakeOrdinalName<IDI_APP_ICON>();

using enum ControlClass;

// The templates keep their column layout, one control a row.
// clang-format off
DialogTemplate MakeConsoleTemplate()
{
    // Template order is the tab order and the radio-group walk: keep the rows in this order.
    return DialogTemplate{
        .id = IDD_CONSOLE,
        .style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT,
        .exStyle = WS_EX_CONTEXTHELP,
        .rect = {0, 0, 266, 175},
        .caption = "", // set at initialisation with the block's channels
        .fontName = kDialogFont,
        .fontPoints = kDialogFontPoints,
        .controls = {
            {IDC_BASE_ADDR, Edit, "", {225, 14, 26, 14}, kNumberBoxStyle, Own(IDC_BASE_ADDR)},
            {IDC_SLIDER1, Trackbar, kFaderText, {4, 13, 23, 109}, kFaderStyle, Own(IDC_SLIDER1)},
            {IDC_LEVEL1, Edit, "", {4, 122, 23, 14}, kNumberBoxStyle, Own(IDC_LEVEL1)},
            {IDC_SET1, Button, "Set", {7, 139, 16, 10}, kPushStyle, Own(IDC_SET1)},
            {IDC_GRP1, Button, "Grp", {6, 154, 26, 10}, kCheckStyle, Own(IDC_GRP1)},
            {IDC_ENA1, Button, "Ena", {6, 163, 26, 10}, kCheckStyle, Own(IDC_ENA1)},
            {IDC_SLIDER2, Trackbar, kFaderText, {32, 13, 23, 109}, kFaderStyle, Own(IDC_SLIDER2)},
            {IDC_LEVEL2, Edit, "", {32, 122, 23, 14}, kNumberBoxStyle, Own(IDC_LEVEL2)},
            {IDC_SET2, Button, "Set", {35, 139, 16, 10}, kPushStyle, Own(IDC_SET2)},
            {IDC_GRP2, Button, "Grp", {34, 154, 26, 10}, kCheckStyle, Own(IDC_GRP2)},
            {IDC_ENA2, Button, "Ena", {34, 163, 26, 10}, kCheckStyle, Own(IDC_ENA2)},
            {IDC_SLIDER3, Trackbar, kFaderText, {60, 13, 23, 109}, kFaderStyle, Own(IDC_SLIDER3)},
            {IDC_LEVEL3, Edit, "", {60, 122, 23, 14}, kNumberBoxStyle, Own(IDC_LEVEL3)},
            {IDC_SET3, Button, "Set", {63, 139, 16, 10}, kPushStyle, Own(IDC_SET3)},
            {IDC_GRP3, Button, "Grp", {62, 154, 26, 10}, kCheckStyle, Own(IDC_GRP3)},
            {IDC_ENA3, Button, "Ena", {62, 163, 26, 10}, kCheckStyle, Own(IDC_ENA3)},
            {IDC_SLIDER4, Trackbar, kFaderText, {88, 13, 23, 109}, kFaderStyle, Own(IDC_SLIDER4)},
            {IDC_LEVEL4, Edit, "", {88, 122, 23, 14}, kNumberBoxStyle, Own(IDC_LEVEL4)},
            {IDC_SET4, Button, "Set", {91, 139, 16, 10}, kPushStyle, Own(IDC_SET4)},
            {IDC_GRP4, Button, "Grp", {90, 154, 26, 10}, kCheckStyle, Own(IDC_GRP4)},
            {IDC_ENA4, Button, "Ena", {90, 163, 26, 10}, kCheckStyle, Own(IDC_ENA4)},
            {IDC_SLIDER5, Trackbar, kFaderText, {116, 13, 23, 109}, kFaderStyle, Own(IDC_SLIDER5)},
            {IDC_LEVEL5, Edit, "", {116, 122, 23, 14}, kNumberBoxStyle, Own(IDC_LEVEL5)},
            {IDC_SET5, Button, "Set", {119, 139, 16, 10}, kPushStyle, Own(IDC_SET5)},
            {IDC_GRP5, Button, "Grp", {118, 154, 26, 10}, kCheckStyle, Own(IDC_GRP5)},
            {IDC_ENA5, Button, "Ena", {118, 163, 26, 10}, kCheckStyle, Own(IDC_ENA5)},
            {IDC_SLIDER6, Trackbar, kFaderText, {144, 13, 23, 109}, kFaderStyle, Own(IDC_SLIDER6)},
            {IDC_LEVEL6, Edit, "", {144, 122, 23, 14}, kNumberBoxStyle, Own(IDC_LEVEL6)},
            {IDC_SET6, Button, "Set", {147, 139, 16, 10}, kPushStyle, Own(IDC_SET6)},
            {IDC_GRP6, Button, "Grp", {146, 154, 26, 10}, kCheckStyle, Own(IDC_GRP6)},
            {IDC_ENA6, Button, "Ena", {146, 163, 26, 10}, kCheckStyle, Own(IDC_ENA6)},
            {IDC_SLIDER7, Trackbar, kFaderText, {172, 13, 23, 109}, kFaderStyle, Own(IDC_SLIDER7)},
            {IDC_LEVEL7, Edit, "", {172, 122, 23, 14}, kNumberBoxStyle, Own(IDC_LEVEL7)},
            {IDC_SET7, Button, "Set", {175, 139, 16, 10}, kPushStyle, Own(IDC_SET7)},
            {IDC_GRP7, Button, "Grp", {174, 154, 26, 10}, kCheckStyle, Own(IDC_GRP7)},
            {IDC_ENA7, Button, "Ena", {174, 163, 26, 10}, kCheckStyle, Own(IDC_ENA7)},
            {IDC_SLIDER8, Trackbar, kFaderText, {200, 13, 23, 109}, kFaderStyle, Own(IDC_SLIDER8)},
            {IDC_LEVEL8, Edit, "", {200, 122, 23, 14}, kNumberBoxStyle, Own(IDC_LEVEL8)},
            {IDC_SET8, Button, "Set", {203, 139, 16, 10}, kPushStyle, Own(IDC_SET8)},
            // Grp 8 and Ena 8 stand 4 units left of the column spacing, so they fit the dialog.
            {IDC_GRP8, Button, "Grp", {198, 154, 26, 10}, kCheckStyle, Own(IDC_GRP8)},
            {IDC_ENA8, Button, "Ena", {198, 163, 26, 10}, kCheckStyle, Own(IDC_ENA8)},
            // The port and units radios, and the two groups around them, are a few units wider
            // than the original's, so that "Percent" and "COMn" are not cut off in the dialog
            // font; both groups end where Grp All and Ena All do.
            {IDC_COM1, Button, "COM1", {229, 42, 32, 10}, kFirstRadioStyle, Own(IDC_COM1)},
            {IDC_COM2, Button, "COM2", {229, 50, 32, 10}, kRadioStyle, Own(IDC_COM2)},
            {IDC_COM3, Button, "COM3", {229, 58, 32, 10}, kRadioStyle, Own(IDC_COM3)},
            {IDC_COM4, Button, "COM4", {229, 66, 32, 10}, kRadioStyle, Own(IDC_COM4)},
            {IDC_PERCENT, Button, "Percent", {227, 90, 37, 10}, kFirstRadioStyle,
             Own(IDC_PERCENT)},
            {IDC_VALUE, Button, "Value", {227, 98, 33, 10}, kRadioStyle, Own(IDC_VALUE)},
            // WS_GROUP here ends the display radio group; the exchange walks up to it.
            {IDC_BLACKOUT, Button, "Blackout", {225, 127, 37, 10},
             BS_PUSHBUTTON | WS_GROUP | WS_TABSTOP, Own(IDC_BLACKOUT)},
            {IDC_SET_ALL, Button, "Set All", {225, 139, 37, 10}, BS_DEFPUSHBUTTON | WS_TABSTOP,
             Own(IDC_SET_ALL)},
            {IDC_STATIC, Static, "Base Addr", {225, 5, 37, 8}, kLabelStyle, kNoHelp},
            {IDC_CHAN_LABEL1, Static, "1", {6, 5, 19, 8}, kChanLabelStyle, kNoHelp},
            {IDC_CHAN_LABEL2, Static, "2", {34, 5, 19, 8}, kChanLabelStyle, kNoHelp},
            {IDC_CHAN_LABEL3, Static, "3", {62, 5, 19, 8}, kChanLabelStyle, kNoHelp},
            {IDC_CHAN_LABEL4, Static, "4", {90, 5, 19, 8}, kChanLabelStyle, kNoHelp},
            {IDC_CHAN_LABEL5, Static, "5", {118, 5, 19, 8}, kChanLabelStyle, kNoHelp},
            {IDC_CHAN_LABEL6, Static, "6", {146, 5, 19, 8}, kChanLabelStyle, kNoHelp},
            {IDC_CHAN_LABEL7, Static, "7", {174, 5, 19, 8}, kChanLabelStyle, kNoHelp},
            {IDC_CHAN_LABEL8, Static, "8", {202, 5, 19, 8}, kChanLabelStyle, kNoHelp},
            {IDC_STATIC, Button, "Display", {225, 82, 40, 27}, BS_GROUPBOX, kNoHelp},
            // kPortGroupBoxIndex: retitled at run time with the outcome of the last port open.
            {IDC_STATIC, Button, FindResString(IDS_PORT_GROUP), {225, 34, 40, 44}, BS_GROUPBOX,
             kNoHelp},
            {IDC_GRP_ALL, Button, "Grp All", {225, 154, 40, 10}, kCheckStyle, Own(IDC_GRP_ALL)},
            {IDC_ENA_ALL, Button, "Ena All", {225, 163, 40, 10}, kCheckStyle, Own(IDC_ENA_ALL)},
            {IDC_BASE_UP, Button, "+", {253, 14, 10, 6}, kPushStyle, Own(IDC_BASE_UP)},
            {IDC_BASE_DOWN, Button, "-", {253, 21, 10, 6}, kPushStyle, Own(IDC_BASE_DOWN)},
            // No WS_TABSTOP: Tab never reaches About.
            {IDC_ABOUT, Button, "About", {225, 115, 37, 10}, BS_PUSHBUTTON | WS_GROUP, kNoHelp},
        },
    };
}

DialogTemplate MakeAboutTemplate()
{
    return DialogTemplate{
        .id = IDD_ABOUT,
        .style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
        .exStyle = 0,
        .rect = {0, 0, 193, 40},
        .caption = "About Lumivane",
        .fontName = kDialogFont,
        .fontPoints = kDialogFontPoints,
        .controls = {
            {IDC_STATIC, Static, std::string_view(kAppIconName.data(), kAppIconName.size()),
             {8, 8, 20, 20}, SS_ICON, kNoHelp},
            // Fixed text: nothing writes the version line at run time.
            {IDC_VERSION, Static, "Lumivane Version 1.04", {34, 7, 119, 8},
             SS_LEFT | SS_NOPREFIX | WS_GROUP, kNoHelp},
            {IDC_STATIC, Static, FindResString(IDS_ABOUT_NOTICE1), {34, 16, 119, 8},
             kLabelStyle, kNoHelp},
            // The only tab stop, so it has the focus and Enter presses it.
            {IDOK, Button, "OK", {153, 8, 32, 14}, BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP,
             kNoHelp},
            {IDC_STATIC, Static, FindResString(IDS_ABOUT_NOTICE2), {34, 25, 124, 8},
             kLabelStyle, kNoHelp},
        },
    };
}
// clang-format on

} // namespace

const DialogTemplate* FindDialogTemplate(int id)
{
    static const DialogTemplate console = MakeConsoleTemplate();
    static const DialogTemplate about = MakeAboutTemplate();
    if (id == IDD_CONSOLE)
        return &console;
    if (id == IDD_ABOUT)
        return &about;
    return nullptr;
}
