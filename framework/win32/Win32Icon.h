// Icons of the program's at a monitor's resolution: CWin32Icon owns one, CWin32CaptionIcons a
// window's caption icons.
//
// Threads: the window thread only.
#pragma once

struct HICON__;
struct HWND__;

// Icon `iconId` at the size `metricX` x `metricY` (SM_CXICON, ...) has at `dpi`, the caller's
// to destroy; null when there is none. Not shared: the system's cache of shared icons would
// hand back the size first loaded.
HICON__* LoadIconAt(int iconId, int metricX, int metricY, unsigned dpi);

// An icon we own, destroyed when another takes its place or when this goes. Whoever shows it
// is handed the new one before the old one goes.
class CWin32Icon {
public:
    CWin32Icon() = default;
    ~CWin32Icon() { Reset(nullptr); }
    CWin32Icon(const CWin32Icon&) = delete;
    CWin32Icon& operator=(const CWin32Icon&) = delete;
    CWin32Icon(CWin32Icon&& other) noexcept;
    CWin32Icon& operator=(CWin32Icon&& other) noexcept;

    void Reset(HICON__* icon);

private:
    HICON__* m_hIcon = nullptr;
};

// The icons a window's caption shows (big and small), at the system's sizes for the monitor's
// resolution; Windows scales the one 32 x 32 image.
class CWin32CaptionIcons {
public:
    // Shows icon `iconId` on `window`'s caption at the resolution `dpi`.
    void Show(HWND__* window, int iconId, unsigned dpi);
    // The icon shown, again at the resolution `dpi`; nothing before Show.
    void FollowDpi(HWND__* window, unsigned dpi);

private:
    int m_nIconId = 0;
    CWin32Icon m_big;
    CWin32Icon m_small;
};
