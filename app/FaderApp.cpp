#include "FaderApp.h"

#include "console/ConsoleDlg.h"
#include "link/SerialLink.h"

bool CFaderApp::InitInstance()
{
    CConsoleDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return false;
}

// Constructed in this order and destroyed in the reverse: the link, closed at exit if a
// transmission left it open, goes before the application object.
CFaderApp theApp;
CSerialLink g_link;
