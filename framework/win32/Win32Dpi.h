// The screen's resolution as a window sees it, for the sizes our own windows choose: icons,
// fonts and lengths in pixels. The program is aware of each monitor's resolution (its
// manifest); the functions that tell it per monitor come with Windows 10 1607, and before that
// the system's resolution serves.
//
// Threads: any.
#pragma once

#include <windows.h>

// The design resolution: a length in pixels at 96 dots per inch is the same length at 100 %.
constexpr unsigned kDefaultDpi = USER_DEFAULT_SCREEN_DPI;

// The dots per inch of the monitor that `window` is on (null: the system's).
unsigned DpiOf(HWND window);
// GetSystemMetrics at `dpi`.
int MetricAt(int metric, unsigned dpi);
// The system's fonts (messages, tooltips, captions) at `dpi`. False if the system will not say.
bool NonClientMetricsAt(unsigned dpi, NONCLIENTMETRICSW& metrics);
// A length given at 96 dots per inch, at `dpi`.
int ScaledTo(int pixels, unsigned dpi);
