#include "Win32Icon.h"

#include "Win32Dpi.h"

#include <windows.h>

#include <utility>

HICON__* LoadIconAt(int iconId, int metricX, int metricY, unsigned dpi)
{
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconId),
                                         IMAGE_ICON, MetricAt(metricX, dpi), MetricAt(metricY, dpi),
                                         LR_DEFAULTCOLOR));
}

CWin32Icon::CWin32Icon(CWin32Icon&& other) noexcept : m_hIcon(std::exchange(other.m_hIcon, nullptr))
{
}

CWin32Icon& CWin32Icon::operator=(CWin32Icon&& other) noexcept
{
    if (this != &other)
        Reset(std::exchange(other.m_hIcon, nullptr));
    return *this;
}

void CWin32Icon::Reset(HICON__* icon)
{
    if (m_hIcon != nullptr)
        DestroyIcon(m_hIcon);
    m_hIcon = icon;
}

void CWin32CaptionIcons::Show(HWND__* window, int iconId, unsigned dpi)
{
    m_nIconId = iconId;
    FollowDpi(window, dpi);
}

void CWin32CaptionIcons::FollowDpi(HWND__* window, unsigned dpi)
{
    if (m_nIconId == 0)
        return;
    HICON big = LoadIconAt(m_nIconId, SM_CXICON, SM_CYICON, dpi);
    HICON small = LoadIconAt(m_nIconId, SM_CXSMICON, SM_CYSMICON, dpi);
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    m_big.Reset(big);
    m_small.Reset(small);
}
