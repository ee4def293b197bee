#include "Transmit.h"

#include <cerrno>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {
// On Linux the nice value is per thread: this lowers the worker alone.
constexpr int kBelowNormalNiceIncrement = 2;
} // namespace

void LowerCurrentThreadPriority()
{
    const auto tid = static_cast<id_t>(syscall(SYS_gettid));
    errno = 0;
    const int current = getpriority(PRIO_PROCESS, tid);
    if (errno == 0)
        setpriority(PRIO_PROCESS, tid, current + kBelowNormalNiceIncrement);
}
