// The console's Ctrl+C, Ctrl+Break and close events as requests to end the program. Windows
// calls the handler on a thread of its own, so it may hand the request over directly.
#include "ShutdownRequests.h"

#include <atomic>
#include <mutex>

#include <windows.h>

namespace {

std::mutex g_mutex;
std::function<void()> g_onRequest; // under g_mutex
std::atomic<int> g_nRequested{0};

BOOL WINAPI OnConsoleEvent(DWORD event)
{
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
        break;
    default:
        return FALSE;
    }
    // Already closing: the default handler ends the process at once.
    if (g_nRequested.exchange(1) != 0)
        return FALSE;
    {
        std::lock_guard lock(g_mutex);
        if (g_onRequest)
            g_onRequest();
    }
    // Returning from a close event ends the process; the program ends it itself once it has
    // closed (Windows gives it a few seconds).
    if (event == CTRL_CLOSE_EVENT)
        ::Sleep(INFINITE);
    return TRUE;
}

class CConsoleListener : public CShutdownListener {
public:
    explicit CConsoleListener(std::function<void()> onRequest)
    {
        {
            std::lock_guard lock(g_mutex);
            g_onRequest = std::move(onRequest);
        }
        ::SetConsoleCtrlHandler(&OnConsoleEvent, TRUE);
    }
    ~CConsoleListener() override
    {
        // The handler stays: a second request while the program ends still ends it at once.
        std::lock_guard lock(g_mutex);
        g_onRequest = nullptr;
    }
};

} // namespace

std::unique_ptr<CShutdownListener> ListenForShutdownRequests(std::function<void()> onRequest)
{
    return std::make_unique<CConsoleListener>(std::move(onRequest));
}
