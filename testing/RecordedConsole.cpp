#include "RecordedConsole.h"

#include "res/Resource.h"
#include "res/Templates.h"

CRecordedConsole::CRecordedConsole() : win(*FindDialogTemplate(IDD_CONSOLE))
{
    win.Open(dlg);
}

CRecordedConsole::~CRecordedConsole()
{
    win.Close();
}
