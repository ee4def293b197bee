#include "Win32HelpDisplay.h"

#include "Win32Dpi.h"
#include "Win32Text.h"

#include <windows.h>

#include <windowsx.h>

namespace {

// Pixels at 96 dpi, scaled to the resolution of the window that asks.
constexpr int kTopicTextWidth = 360; // a short topic reads best in a narrow column
constexpr int kMargin = 8;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kPopupPadding = 6;
constexpr int kBoldWeight = FW_BOLD;
constexpr UINT_PTR kWhatsThisCommand = 1;
const wchar_t* const kWhatsThisEntry = L"What's This?";
const wchar_t* const kHelpWindowCaption = L"Lumivane Help";
const wchar_t* const kPopupClass = L"LumivaneHelpPopup";
const wchar_t* const kTopicClass = L"LumivaneHelpTopic";

HWND g_popup = nullptr;
std::wstring g_popupText;
HFONT g_popupFont = nullptr;
int g_popupPadding = kPopupPadding;

// The size `text` takes in `font`, wrapped at `width` pixels (0: not wrapped).
SIZE TextSize(HFONT font, const std::wstring& text, int width)
{
    HDC dc = GetDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, font);
    RECT bounds{0, 0, width, 0};
    const UINT format = DT_CALCRECT | DT_NOPREFIX | (width > 0 ? DT_WORDBREAK : DT_SINGLELINE);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &bounds, format);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return {bounds.right - bounds.left, bounds.bottom - bounds.top};
}

void ClosePopup()
{
    if (g_popup != nullptr)
        DestroyWindow(g_popup);
}

// The pop-up never takes the activation (the window it explains keeps the keyboard); a hook on
// this thread's keys closes it at the next key, which goes no further.
HHOOK g_keyHook = nullptr;
constexpr LPARAM kKeyReleased = static_cast<LPARAM>(1U << 31U);

LRESULT CALLBACK PopupKeyHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && g_popup != nullptr) {
        if ((lParam & kKeyReleased) == 0)
            ClosePopup();
        return 1;
    }
    return CallNextHookEx(g_keyHook, code, wParam, lParam);
}

// The pop-up goes at the next click or key anywhere, as a tooltip does.
LRESULT CALLBACK PopupProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hwnd, &paint);
        RECT client;
        GetClientRect(hwnd, &client);
        FillRect(dc, &client, GetSysColorBrush(COLOR_INFOBK));
        InflateRect(&client, -g_popupPadding, -g_popupPadding);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
        const HGDIOBJ old = SelectObject(dc, g_popupFont);
        DrawTextW(dc, g_popupText.c_str(), static_cast<int>(g_popupText.size()), &client,
                  DT_WORDBREAK | DT_NOPREFIX);
        SelectObject(dc, old);
        EndPaint(hwnd, &paint);
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        if (g_popup == hwnd)
            g_popup = nullptr;
        if (g_keyHook != nullptr) {
            UnhookWindowsHookEx(g_keyHook);
            g_keyHook = nullptr;
        }
        if (GetCapture() == hwnd)
            ReleaseCapture();
        return 0;
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

LRESULT CALLBACK TopicProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        DestroyWindow(hwnd);
        return 0;
    }
    if (message == WM_CTLCOLORSTATIC) {
        SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void RegisterClasses()
{
    static const bool registered = [] {
        WNDCLASSW cls{};
        cls.hInstance = GetModuleHandleW(nullptr);
        cls.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        cls.style = CS_SAVEBITS | CS_DROPSHADOW;
        cls.lpfnWndProc = &PopupProc;
        cls.lpszClassName = kPopupClass;
        RegisterClassW(&cls);
        cls.style = 0;
        cls.lpfnWndProc = &TopicProc;
        cls.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        cls.lpszClassName = kTopicClass;
        RegisterClassW(&cls);
        return true;
    }();
    (void)registered;
}

// The active window, and the control with `controlId` in it (or the window itself).
HWND FindControl(int controlId, HWND& window)
{
    window = GetActiveWindow();
    if (window == nullptr)
        return nullptr;
    const HWND control = GetDlgItem(window, controlId);
    return control != nullptr ? control : window;
}

HWND Child(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int id, HFONT font)
{
    const HWND child = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                                       parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                       GetModuleHandleW(nullptr), nullptr);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return child;
}

} // namespace

CWin32HelpDisplay::CWin32HelpDisplay() = default;

CWin32HelpDisplay::~CWin32HelpDisplay()
{
    ReleaseFonts();
}

void CWin32HelpDisplay::ReleaseFonts()
{
    // What shows keeps its fonts until it closes.
    ClosePopup();
    CloseTopicWindow();
    DeleteObject(m_hFont);
    DeleteObject(m_hBold);
    m_hFont = nullptr;
    m_hBold = nullptr;
}

void CWin32HelpDisplay::UseFontsAt(unsigned dpi)
{
    // The system's message font at the resolution of the window that asks (the stock GUI font
    // is the 96 dpi one whatever the screen).
    if (m_hFont != nullptr && dpi == m_nFontDpi)
        return;
    NONCLIENTMETRICSW metrics;
    LOGFONTW font{};
    if (NonClientMetricsAt(dpi, metrics))
        font = metrics.lfMessageFont;
    else
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    HFONT regular = CreateFontIndirectW(&font);
    font.lfWeight = kBoldWeight;
    HFONT bold = CreateFontIndirectW(&font);
    if (regular == nullptr || bold == nullptr) {
        DeleteObject(regular);
        DeleteObject(bold);
        return;
    }
    ReleaseFonts();
    m_hFont = regular;
    m_hBold = bold;
    m_nFontDpi = dpi;
}

HWND__* CWin32HelpDisplay::Popup() const
{
    return g_popup;
}

void CWin32HelpDisplay::ShowPopup(int controlId, const std::string& text)
{
    RegisterClasses();
    ClosePopup();
    HWND window = nullptr;
    const HWND control = FindControl(controlId, window);
    const unsigned dpi = DpiOf(window);
    UseFontsAt(dpi);
    g_popupFont = m_hFont;
    g_popupPadding = ScaledTo(kPopupPadding, dpi);
    g_popupText = Widen(text);
    const SIZE size = TextSize(m_hFont, g_popupText, ScaledTo(kTopicTextWidth, dpi));
    // Below the control's middle, where the eye already is; at the mouse when there is none.
    POINT at{};
    if (control != nullptr) {
        RECT rect;
        GetWindowRect(control, &rect);
        at = {(rect.left + rect.right) / 2, rect.bottom};
    } else {
        GetCursorPos(&at);
    }
    const int width = size.cx + 2 * g_popupPadding + 2;
    const int height = size.cy + 2 * g_popupPadding + 2;
    g_popup = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kPopupClass, nullptr,
                              WS_POPUP | WS_BORDER, at.x - width / 2, at.y, width, height, window,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
    if (g_popup == nullptr)
        return;
    ShowWindow(g_popup, SW_SHOWNOACTIVATE);
    SetCapture(g_popup);
    g_keyHook = SetWindowsHookExW(WH_KEYBOARD, &PopupKeyHook, nullptr, GetCurrentThreadId());
}

bool CWin32HelpDisplay::OfferWhatsThis(int controlId)
{
    HWND window = nullptr;
    FindControl(controlId, window);
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, kWhatsThisCommand, kWhatsThisEntry);
    POINT at{};
    GetCursorPos(&at);
    const BOOL chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x,
                                       at.y, 0, window, nullptr);
    DestroyMenu(menu);
    return chosen == static_cast<BOOL>(kWhatsThisCommand);
}

bool CWin32HelpDisplay::ShowTopic(const std::string& title, const std::string& text)
{
    RegisterClasses();
    const unsigned dpi = DpiOf(GetActiveWindow());
    UseFontsAt(dpi);
    if (m_hTopic == nullptr || IsWindow(m_hTopic) == FALSE) {
        m_hTopic =
            CreateWindowExW(WS_EX_TOOLWINDOW, kTopicClass, kHelpWindowCaption,
                            WS_POPUP | WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0,
                            GetActiveWindow(), nullptr, GetModuleHandleW(nullptr), nullptr);
        if (m_hTopic == nullptr)
            return false;
        m_hTopicTitle = Child(m_hTopic, L"STATIC", L"", SS_LEFT | SS_NOPREFIX, 0, m_hBold);
        m_hTopicText = Child(m_hTopic, L"STATIC", L"", SS_LEFT | SS_NOPREFIX, 0, m_hFont);
        Child(m_hTopic, L"BUTTON", L"Close", BS_DEFPUSHBUTTON | WS_TABSTOP, IDCANCEL, m_hFont);
    }
    const std::wstring wideTitle = Widen(title);
    const std::wstring wideText = Widen(text);
    SetWindowTextW(m_hTopicTitle, wideTitle.c_str());
    SetWindowTextW(m_hTopicText, wideText.c_str());
    // Lay the window out around the texts: title, text, then the button at the right.
    const int column = ScaledTo(kTopicTextWidth, dpi);
    const int margin = ScaledTo(kMargin, dpi);
    const int buttonWidth = ScaledTo(kButtonWidth, dpi);
    const int buttonHeight = ScaledTo(kButtonHeight, dpi);
    const SIZE titleSize = TextSize(m_hBold, wideTitle, column);
    const SIZE textSize = TextSize(m_hFont, wideText, column);
    int y = margin;
    MoveWindow(m_hTopicTitle, margin, y, column, titleSize.cy, TRUE);
    y += titleSize.cy + margin;
    MoveWindow(m_hTopicText, margin, y, column, textSize.cy, TRUE);
    y += textSize.cy + margin;
    MoveWindow(GetDlgItem(m_hTopic, IDCANCEL), margin + column - buttonWidth, y, buttonWidth,
               buttonHeight, TRUE);
    RECT frame{0, 0, column + 2 * margin, y + buttonHeight + margin};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(m_hTopic, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(m_hTopic, GWL_EXSTYLE)));
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    // Over the middle of the window that asked, where the operator is looking.
    RECT owner{};
    if (const HWND asking = GetWindow(m_hTopic, GW_OWNER);
        asking == nullptr || GetWindowRect(asking, &owner) == FALSE)
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &owner, 0);
    SetWindowPos(m_hTopic, HWND_TOP, (owner.left + owner.right - width) / 2,
                 (owner.top + owner.bottom - height) / 2, width, height, 0);
    ShowWindow(m_hTopic, SW_SHOW);
    return true;
}

void CWin32HelpDisplay::CloseTopicWindow()
{
    if (m_hTopic != nullptr && IsWindow(m_hTopic) != FALSE)
        DestroyWindow(m_hTopic);
    m_hTopic = nullptr;
}
