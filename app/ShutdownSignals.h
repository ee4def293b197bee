// CShutdownSignals: while it lives, a request from outside to end the program (SIGTERM, SIGINT
// and SIGHUP on POSIX systems; Ctrl+C, Ctrl+Break and closing the console on Windows) closes
// the program's windows the way Esc does, innermost first: an open menu, a message box, the
// About box, then the console, whose run then ends through its usual close path. A second
// request while that goes on ends the process at once.
//
// Create it on the GUI thread once the QApplication exists, and destroy it before that goes.
// Threads: the GUI thread only.
#pragma once

#include <memory>

class CShutdownSignals {
public:
    CShutdownSignals();
    ~CShutdownSignals();
    CShutdownSignals(const CShutdownSignals&) = delete;
    CShutdownSignals& operator=(const CShutdownSignals&) = delete;

private:
    class CCloser;
    std::unique_ptr<CCloser> m_pCloser;
};
