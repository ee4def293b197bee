#include "Win32Dpi.h"

#include "Win32Function.h"

namespace {

// What user32 offers per monitor (Windows 10 1607 and later), else nulls.
struct PerMonitorFunctions {
    UINT(WINAPI* dpiForWindow)(HWND) = nullptr;
    int(WINAPI* metricForDpi)(int, UINT) = nullptr;
    BOOL(WINAPI* parametersForDpi)(UINT, UINT, PVOID, UINT, UINT) = nullptr;
};

const PerMonitorFunctions& PerMonitor()
{
    static const PerMonitorFunctions functions = [] {
        PerMonitorFunctions found;
        const HMODULE user = GetModuleHandleW(L"user32.dll");
        FindFunction(user, "GetDpiForWindow", found.dpiForWindow);
        FindFunction(user, "GetSystemMetricsForDpi", found.metricForDpi);
        FindFunction(user, "SystemParametersInfoForDpi", found.parametersForDpi);
        return found;
    }();
    return functions;
}

unsigned SystemDpi()
{
    HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen != nullptr)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<unsigned>(dpi) : kDefaultDpi;
}

} // namespace

unsigned DpiOf(HWND window)
{
    if (window != nullptr && PerMonitor().dpiForWindow != nullptr)
        if (const UINT dpi = PerMonitor().dpiForWindow(window); dpi != 0)
            return dpi;
    return SystemDpi();
}

int MetricAt(int metric, unsigned dpi)
{
    if (PerMonitor().metricForDpi != nullptr)
        return PerMonitor().metricForDpi(metric, dpi);
    return GetSystemMetrics(metric);
}

bool NonClientMetricsAt(unsigned dpi, NONCLIENTMETRICSW& metrics)
{
    metrics = {};
    metrics.cbSize = sizeof metrics;
    if (PerMonitor().parametersForDpi != nullptr)
        return PerMonitor().parametersForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0,
                                             dpi) != FALSE;
    return SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0) != FALSE;
}

int ScaledTo(int pixels, unsigned dpi)
{
    return MulDiv(pixels, static_cast<int>(dpi), static_cast<int>(kDefaultDpi));
}
