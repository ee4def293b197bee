#include "Win32ToolTips.h"

#include "Win32Dpi.h"
#include "Win32Text.h"

#include <windows.h>

#include <commctrl.h>

namespace {

// Our tooltips run to a few sentences: wrapped at this width (dialog units, so it follows the
// font), and shown long enough to read (the longest the control takes).
constexpr LONG kToolTipWidthDlu = 250;
constexpr int kToolTipShowMs = 32767;

RECT RectIn(HWND dialog, HWND control)
{
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

} // namespace

CWin32ToolTips::~CWin32ToolTips()
{
    Destroy();
}

void CWin32ToolTips::Destroy()
{
    if (m_hWnd != nullptr)
        DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
    if (m_hFont != nullptr)
        DeleteObject(m_hFont);
    m_hFont = nullptr;
}

bool CWin32ToolTips::Create(HWND__* dialog)
{
    // TTS_NOPREFIX: an "&" in a tip is text ("Ports (COM & LPT)"), not a mnemonic mark.
    m_hDialog = dialog;
    m_hWnd = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    if (m_hWnd == nullptr)
        return false;
    SendMessageW(m_hWnd, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(kToolTipShowMs, 0));
    ShowFont(DpiOf(dialog));
    return true;
}

void CWin32ToolTips::AddTool(HWND__* control, bool overRect)
{
    // The text is asked for each time the tip shows (TTN_GETDISPINFO), for the tool whose id
    // is the control's handle.
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = m_hDialog;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    if (overRect) {
        // The control never sees the mouse: the tool is the dialog's, over the control's
        // rectangle.
        tool.uFlags = TTF_SUBCLASS;
        tool.rect = RectIn(m_hDialog, control);
    }
    SendMessageW(m_hWnd, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void CWin32ToolTips::FollowRect(HWND__* control)
{
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = m_hDialog;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.rect = RectIn(m_hDialog, control);
    SendMessageW(m_hWnd, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void CWin32ToolTips::ShowFont(unsigned dpi)
{
    // The tooltip takes the system's font at the resolution the program started with; the
    // dialog's monitor may have another.
    if (m_hWnd == nullptr)
        return;
    // A width also makes the tip break its lines at "\n"; in dialog units, so it follows the
    // dialog's font at this resolution.
    RECT width{0, 0, kToolTipWidthDlu, 0};
    MapDialogRect(m_hDialog, &width);
    SendMessageW(m_hWnd, TTM_SETMAXTIPWIDTH, 0, width.right);
    NONCLIENTMETRICSW metrics;
    if (!NonClientMetricsAt(dpi, metrics))
        return;
    HFONT font = CreateFontIndirectW(&metrics.lfStatusFont);
    if (font == nullptr)
        return;
    SendMessageW(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (m_hFont != nullptr)
        DeleteObject(m_hFont);
    m_hFont = font;
}

HWND__* CWin32ToolTips::AskedFor(const NMHDR& header) const
{
    if (header.code != TTN_GETDISPINFOW || header.hwndFrom != m_hWnd)
        return nullptr;
    return reinterpret_cast<HWND>(header.idFrom);
}

void CWin32ToolTips::Answer(NMTTDISPINFOW& info, const std::string& text)
{
    m_shownTip = Widen(text);
    info.lpszText = m_shownTip.data();
}
