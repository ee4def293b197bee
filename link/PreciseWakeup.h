// Linux lets a thread's timers fire up to its timer slack (50 us by default) late. The link
// pauses 2 ms at every parity change, sixteen times per eight frames, so for the length of
// one pause the calling thread asks for a punctual wake-up, then gets its own slack back.
#pragma once

#if __has_include(<sys/prctl.h>)
#include <sys/prctl.h>
#endif

#ifdef PR_SET_TIMERSLACK
class CPreciseWakeup {
public:
    CPreciseWakeup() : m_previous(::prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0))
    {
        if (m_previous > 0)
            ::prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0);
    }
    ~CPreciseWakeup()
    {
        if (m_previous > 0)
            ::prctl(PR_SET_TIMERSLACK, static_cast<unsigned long>(m_previous), 0, 0, 0);
    }
    CPreciseWakeup(const CPreciseWakeup&) = delete;
    CPreciseWakeup& operator=(const CPreciseWakeup&) = delete;

private:
    int m_previous;
};
#else
// No such knob here; the sleep is as punctual as the system makes it.
class CPreciseWakeup {};
#endif
