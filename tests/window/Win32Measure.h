// What a native window shows, measured with the system's own functions, for the window tests
// of the screen's resolution: sizes, fonts, icons and how much room a control's text needs.
#pragma once

#include "framework/WindowPeer.h"

#include <string>

struct HWND__;

// A width and a height in pixels.
struct PixelSize {
    int cx = 0;
    int cy = 0;
};

// A setting of this program's manifest (windowsSettings) as the system read it, or "".
std::string ManifestSetting(const wchar_t* schema, const wchar_t* name);
// The screen's dots per inch (Wine: the prefix's LogPixels), and those `window` sees.
int ScreenDpi();
int WindowDpi(HWND__* window);
// The height in pixels of the font a window or control draws with.
int FontHeight(HWND__* window);
// The height in pixels of the system's message font at `dpi`.
int MessageFontHeightAt(int dpi);
PixelSize ClientSize(HWND__* window);
ScreenRect FrameOf(HWND__* window);
// How a control lays its text out.
enum class TextLayout {
    Wrapped,    // a static: lines broken between words
    BesideBox,  // a check box or radio button: after its box or circle and a gap
    PushButton, // one line, centred between the button's edges
};
// How much wider and taller than its control its text needs to be, in pixels: 0 or less
// where it fits. A check box or radio button says what it needs (BCM_GETIDEALSIZE); a push
// button's text is centred on one line whatever the height, so only its width counts.
PixelSize TextShortfall(HWND__* control, TextLayout layout);
// Windows telling `window` that it now stands on a monitor of `dpi`, at `suggested`.
void MoveToMonitorAt(HWND__* window, int dpi, const ScreenRect& suggested);
// The width in pixels of the caption's large (`big`) or small icon.
int IconWidth(HWND__* window, bool big);
// Where a trackbar draws its thumb, in its client area.
ScreenRect ThumbOf(HWND__* trackbar);
// The `n`th child window of `window` in the order they were made (0 first), or null.
HWND__* ChildAt(HWND__* window, int n);
// The tooltip window that `window` owns, or null.
HWND__* ToolTipOf(HWND__* window);
