// SIGTERM, SIGINT and SIGHUP as requests to end the program. The handler only writes a byte
// into a pipe; the GUI thread reads it through its event loop.
#include "ShutdownRequests.h"

#include <QSocketNotifier>

#include <array>
#include <atomic>
#include <cerrno>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

namespace {

constexpr std::array kShutdownSignals{SIGTERM, SIGINT, SIGHUP};

static_assert(std::atomic<int>::is_always_lock_free, "the handler needs a lock-free flag");
// Set by the first request; any request after it ends the process at once.
std::atomic<int> g_nRequested{0};
// The pipe lives as long as the process: a handler on any thread may write to it while the
// program closes, so closing it could hand the byte to a descriptor reused meanwhile.
std::atomic<int> g_wakeRead{-1};
std::atomic<int> g_wakeWrite{-1};

extern "C" void OnShutdownSignal(int signo)
{
    if (g_nRequested.exchange(1) != 0) {
        // Already closing: end now, and as the signal itself would.
        struct sigaction deflt {};
        deflt.sa_handler = SIG_DFL;
        sigemptyset(&deflt.sa_mask);
        ::sigaction(signo, &deflt, nullptr);
        ::raise(signo);
        return;
    }
    const int saved = errno;
    const char wake = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_wakeWrite.load(), &wake, 1);
    errno = saved;
}

bool MakePipe()
{
    int ends[2];
    if (::pipe(ends) != 0)
        return false;
    for (int fd : ends) {
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    g_wakeRead = ends[0];
    g_wakeWrite = ends[1];
    return true;
}

// Once per process. A signal that was ignored when the program started (nohup, a shell's
// background job) stays ignored.
bool InstallHandlers()
{
    static const bool installed = [] {
        if (!MakePipe())
            return false;
        for (int signo : kShutdownSignals) {
            struct sigaction old {};
            if (::sigaction(signo, nullptr, &old) == 0 && old.sa_handler == SIG_IGN)
                continue;
            struct sigaction action {};
            action.sa_handler = &OnShutdownSignal;
            sigemptyset(&action.sa_mask);
            action.sa_flags = SA_RESTART;
            ::sigaction(signo, &action, nullptr);
        }
        return true;
    }();
    return installed;
}

class CSignalListener : public CShutdownListener {
public:
    explicit CSignalListener(std::function<void()> onRequest)
        : m_notifier(g_wakeRead.load(), QSocketNotifier::Read), m_onRequest(std::move(onRequest))
    {
        QObject::connect(&m_notifier, &QSocketNotifier::activated, &m_notifier, [this] {
            char wake = 0;
            while (::read(g_wakeRead.load(), &wake, 1) > 0) {
            }
            m_notifier.setEnabled(false);
            m_onRequest();
        });
    }

private:
    QSocketNotifier m_notifier;
    std::function<void()> m_onRequest;
};

class CNoListener : public CShutdownListener {};

} // namespace

std::unique_ptr<CShutdownListener> ListenForShutdownRequests(std::function<void()> onRequest)
{
    if (!InstallHandlers())
        return std::make_unique<CNoListener>();
    return std::make_unique<CSignalListener>(std::move(onRequest));
}
