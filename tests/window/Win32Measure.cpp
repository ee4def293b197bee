#include "Win32Measure.h"

#include "framework/win32/Win32Text.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <string>

namespace {

} // namespace

std::string ManifestSetting(const wchar_t* schema, const wchar_t* name)
{
    std::wstring value(MAX_PATH, L'\0');
    SIZE_T written = 0;
    if (QueryActCtxSettingsW(0, nullptr, schema, name, value.data(), value.size(), &written) ==
        FALSE)
        return {};
    value.resize(wcsnlen(value.c_str(), value.size()));
    return Narrow(value);
}

int ScreenDpi()
{
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

int WindowDpi(HWND__* window)
{
    return static_cast<int>(GetDpiForWindow(window));
}

int FontHeight(HWND__* window)
{
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof font, &font);
    return std::abs(font.lfHeight);
}

int MessageFontHeightAt(int dpi)
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0,
                               static_cast<UINT>(dpi));
    return std::abs(metrics.lfMessageFont.lfHeight);
}

PixelSize ClientSize(HWND__* window)
{
    RECT client{};
    GetClientRect(window, &client);
    return {client.right, client.bottom};
}

ScreenRect FrameOf(HWND__* window)
{
    RECT frame{};
    GetWindowRect(window, &frame);
    return {frame.left, frame.top, frame.right, frame.bottom};
}

PixelSize TextShortfall(HWND__* control, TextLayout layout)
{
    const PixelSize room = ClientSize(control);
    if (layout == TextLayout::BesideBox) {
        SIZE need{};
        SendMessageW(control, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&need));
        return {need.cx - room.cx, need.cy - room.cy};
    }
    HDC dc = GetDC(control);
    const HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    const std::wstring text = Widen(WindowText(control));
    const bool wrapped = layout == TextLayout::Wrapped;
    RECT bounds{0, 0, wrapped ? room.cx : 0, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &bounds,
              DT_CALCRECT | (wrapped ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    if (wrapped)
        return {bounds.right - room.cx, bounds.bottom - room.cy};
    // Inside the button's raised edge on either side.
    const int edges = 2 * GetSystemMetricsForDpi(SM_CXEDGE, GetDpiForWindow(control));
    return {bounds.right + edges - room.cx, 0};
}

void MoveToMonitorAt(HWND__* window, int dpi, const ScreenRect& suggested)
{
    RECT rect{suggested.left, suggested.top, suggested.right, suggested.bottom};
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&rect));
}

int IconWidth(HWND__* window, bool big)
{
    const auto icon =
        reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, big ? ICON_BIG : ICON_SMALL, 0));
    ICONINFO info{};
    if (icon == nullptr || GetIconInfo(icon, &info) == FALSE)
        return 0;
    BITMAP bitmap{};
    GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

ScreenRect ThumbOf(HWND__* trackbar)
{
    RECT thumb{};
    SendMessageW(trackbar, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    return {thumb.left, thumb.top, thumb.right, thumb.bottom};
}

HWND__* ChildAt(HWND__* window, int n)
{
    HWND child = GetWindow(window, GW_CHILD);
    for (; child != nullptr && n > 0; --n)
        child = GetWindow(child, GW_HWNDNEXT);
    return child;
}

HWND__* ToolTipOf(HWND__* window)
{
    for (HWND tip = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr); tip != nullptr;
         tip = FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr))
        if (GetWindow(tip, GW_OWNER) == window)
            return tip;
    return nullptr;
}
