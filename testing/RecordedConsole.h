// A console opened on a substitute window, transmitting through a link of its own on a fresh
// recording port: the set-up the console's tests and benchmarks share. The window closes (and
// waits for the worker) when this goes.
#pragma once

#include "console/ConsoleDlg.h"
#include "testing/RecordedTransmission.h"
#include "testing/SubstituteWindow.h"

struct CRecordedConsole : CRecordedTransmission {
    CRecordedConsole();
    ~CRecordedConsole();
    CRecordedConsole(const CRecordedConsole&) = delete;
    CRecordedConsole& operator=(const CRecordedConsole&) = delete;

    CConsoleDlg dlg{worker};
    CSubstituteWindow win;
};
