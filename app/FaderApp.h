// CFaderApp: the application object. Its InitInstance runs the console modally; that run is
// the program's whole working life, and returning false then ends the program.
#pragma once

#include "framework/WinApp.h"

class CFaderApp : public CWinApp {
public:
    bool InitInstance() override;
};

// The one application object, constructed before g_link (both in FaderApp.cpp).
extern CFaderApp theApp;
