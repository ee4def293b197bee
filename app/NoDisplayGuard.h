// CNoDisplayGuard: while the QApplication is being made, turns Qt's failure to open a display
// into one plain line and exit status 1, instead of Qt's abort and its advice to reinstall.
// Qt's messages of that time are held back: dropped when it fails, passed on when it starts.
//
// Create it just before the QApplication and destroy it just after. Threads: the main thread;
// one at a time.
#pragma once

#include <string>

class CNoDisplayGuard {
public:
    // `line` is what the program says when Qt cannot start.
    explicit CNoDisplayGuard(std::string line);
    ~CNoDisplayGuard();
    CNoDisplayGuard(const CNoDisplayGuard&) = delete;
    CNoDisplayGuard& operator=(const CNoDisplayGuard&) = delete;
};
