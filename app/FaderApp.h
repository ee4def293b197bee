// CFaderApp: the application object. Its InitInstance runs the console modally; that run is
// the program's whole working life, and returning false then ends the program.
#pragma once

#include "framework/WinApp.h"

class CSerialLink;
class CTransmitWorker;
struct TransmitSnapshot;

class CFaderApp : public CWinApp {
public:
    bool InitInstance() override;
};

// The program's globals, all in FaderApp.cpp and constructed in this order: the application
// object, the link (closed), the snapshot the window thread fills, and the worker that sends
// it on the link. Only the program names them; everything below it is handed what it uses.
extern CFaderApp theApp;
extern CSerialLink g_link;
extern TransmitSnapshot g_snapshot;
extern CTransmitWorker g_transmitWorker;
