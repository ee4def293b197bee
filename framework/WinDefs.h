// The window-system vocabulary our dialog layer speaks: style bits, messages, notification
// codes and message-box flags, with the values the console's templates and routing use.
// Never include this beside <windows.h>; the Windows-only files keep to their own headers.
#pragma once

#include <cstdint>

// Window styles.
constexpr std::uint32_t WS_POPUP = 0x80000000;
constexpr std::uint32_t WS_CHILD = 0x40000000;
constexpr std::uint32_t WS_VISIBLE = 0x10000000;
constexpr std::uint32_t WS_CAPTION = 0x00C00000;
constexpr std::uint32_t WS_BORDER = 0x00800000;
constexpr std::uint32_t WS_SYSMENU = 0x00080000;
constexpr std::uint32_t WS_GROUP = 0x00020000;
constexpr std::uint32_t WS_TABSTOP = 0x00010000;
constexpr std::uint32_t WS_EX_CONTEXTHELP = 0x00000400;

// Dialog styles.
constexpr std::uint32_t DS_ABSALIGN = 0x0001;
constexpr std::uint32_t DS_MODALFRAME = 0x0080;
constexpr std::uint32_t DS_SETFONT = 0x0040;
constexpr std::uint32_t DS_CENTER = 0x0800;
constexpr std::uint32_t DS_CENTERMOUSE = 0x1000;

// Button styles (the low four bits are the button's kind).
constexpr std::uint32_t BS_PUSHBUTTON = 0x0;
constexpr std::uint32_t BS_DEFPUSHBUTTON = 0x1;
constexpr std::uint32_t BS_AUTOCHECKBOX = 0x3;
constexpr std::uint32_t BS_GROUPBOX = 0x7;
constexpr std::uint32_t BS_AUTORADIOBUTTON = 0x9;
constexpr std::uint32_t BS_TYPEMASK = 0xF;

// Edit styles.
constexpr std::uint32_t ES_AUTOHSCROLL = 0x0080;
constexpr std::uint32_t ES_NUMBER = 0x2000;

// Trackbar styles.
constexpr std::uint32_t TBS_AUTOTICKS = 0x0001;
constexpr std::uint32_t TBS_VERT = 0x0002;
constexpr std::uint32_t TBS_BOTH = 0x0008;

// Static styles.
constexpr std::uint32_t SS_LEFT = 0x0000;
constexpr std::uint32_t SS_CENTER = 0x0001;
constexpr std::uint32_t SS_ICON = 0x0003;
constexpr std::uint32_t SS_TYPEMASK = 0x001F;
constexpr std::uint32_t SS_NOPREFIX = 0x0080;

// Messages.
constexpr std::uint32_t WM_DESTROY = 0x0002;
constexpr std::uint32_t WM_PAINT = 0x000F;
constexpr std::uint32_t WM_CLOSE = 0x0010;
constexpr std::uint32_t WM_QUERYDRAGICON = 0x0037;
constexpr std::uint32_t WM_HELP = 0x0053;
constexpr std::uint32_t WM_NOTIFY = 0x004E;
constexpr std::uint32_t WM_CONTEXTMENU = 0x007B;
constexpr std::uint32_t WM_KEYDOWN = 0x0100;
constexpr std::uint32_t WM_INITDIALOG = 0x0110;
constexpr std::uint32_t WM_COMMAND = 0x0111;
constexpr std::uint32_t WM_SYSCOMMAND = 0x0112;
constexpr std::uint32_t WM_TIMER = 0x0113;
constexpr std::uint32_t WM_HSCROLL = 0x0114; // a horizontal trackbar's reports
constexpr std::uint32_t WM_VSCROLL = 0x0115;
// Our own: a control's tooltip is about to be shown (wParam: its template index), so that the
// dialog can bring the text up to date first.
constexpr std::uint32_t WM_APP = 0x8000;
constexpr std::uint32_t WM_TOOLTIP_SHOWING = WM_APP + 1;

// Notification codes carried by WM_COMMAND.
constexpr std::uint32_t BN_CLICKED = 0;
constexpr std::uint32_t EN_CHANGE = 0x0300;

// Scroll codes carried by WM_VSCROLL.
constexpr std::uint32_t SB_LINEUP = 0;
constexpr std::uint32_t SB_LINEDOWN = 1;
constexpr std::uint32_t SB_PAGEUP = 2;
constexpr std::uint32_t SB_PAGEDOWN = 3;
constexpr std::uint32_t SB_THUMBPOSITION = 4;
constexpr std::uint32_t SB_THUMBTRACK = 5;
constexpr std::uint32_t SB_TOP = 6;
constexpr std::uint32_t SB_BOTTOM = 7;
constexpr std::uint32_t SB_ENDSCROLL = 8;

// System commands.
constexpr std::uint32_t SC_CLOSE = 0xF060;
constexpr std::uint32_t SC_CONTEXTHELP = 0xF180;
constexpr std::uint32_t SC_COMMAND_MASK = 0xFFF0;

// Dialog results and standard command ids.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int ID_HELP = 0xE146;

// Message-box flags.
constexpr std::uint32_t MB_OK = 0x0000;
constexpr std::uint32_t MB_ICONHAND = 0x0010;
constexpr std::uint32_t MB_ICONQUESTION = 0x0020;
constexpr std::uint32_t MB_ICONEXCLAMATION = 0x0030;
constexpr std::uint32_t MB_ICONASTERISK = 0x0040;
constexpr std::uint32_t MB_ICONMASK = 0x00F0;

// Help engine commands and request kinds.
constexpr std::uint32_t HELP_CONTEXT = 0x0001;
constexpr std::uint32_t HELP_QUIT = 0x0002;
constexpr std::uint32_t HELP_CONTEXTMENU = 0x000A;
constexpr std::uint32_t HELP_WM_HELP = 0x000C;
constexpr int HELPINFO_WINDOW = 1;
constexpr int HELPINFO_MENUITEM = 2;
