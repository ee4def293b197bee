// The platform's part of CShutdownSignals: one implementation per platform
// (ShutdownRequestsPosix.cpp, ShutdownRequestsWin32.cpp).
#pragma once

#include <functional>
#include <memory>

// Listens while it lives. Once it is gone, a first request is left unanswered (the program is
// ending anyway) and a second one still ends the process at once.
class CShutdownListener {
public:
    virtual ~CShutdownListener() = default;
};

// Starts listening for requests to end the program. `onRequest` runs once, at the first request,
// on a thread of the platform's choosing (not in a signal handler); it must be safe to call from
// any thread. A request after the first ends the process at once.
std::unique_ptr<CShutdownListener> ListenForShutdownRequests(std::function<void()> onRequest);
