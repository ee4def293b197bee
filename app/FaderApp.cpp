#include "FaderApp.h"

#include "console/ConsoleDlg.h"
#include "link/SerialLink.h"
#include "transmit/Transmit.h"

bool CFaderApp::InitInstance()
{
    CConsoleDlg dlg(g_transmitWorker);
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return false;
}

// Constructed in this order and destroyed in the reverse: the worker, waited for, goes before
// the snapshot and the link it uses; the link, closed at exit if a transmission left it open,
// goes before the application object.
CFaderApp theApp;
CSerialLink g_link;
TransmitSnapshot g_snapshot;
CTransmitWorker g_transmitWorker(g_link, g_snapshot);
