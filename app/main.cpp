// The program: a Qt application whose whole life is the console's modal run.
#include "FaderApp.h"
#include "ShutdownSignals.h"

#include "framework/HelpEngine.h"
#include "framework/WindowPeer.h"
#include "framework/qt/QtHelpDisplay.h"
#include "framework/qt/QtIconResource.h"
#include "framework/qt/QtWindowSystem.h"
#include "res/Resource.h"

#include <QApplication>

int main(int /*argc*/, char* argv[])
{
    // The command line is not the program's to read, nor Qt's: every start is the same.
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    // Windows come and go inside the modal runs; none of them ends the program by closing.
    QApplication::setQuitOnLastWindowClosed(false);

    // The icon lives in the program's resources (res/lumivane.qrc), compiled into it.
    AddIconResource(IDI_APP_ICON, QStringLiteral(":/lumivane/lumivane.xpm"));
    CQtWindowSystem windowSystem;
    CQtHelpDisplay helpDisplay;
    AfxSetWindowSystem(&windowSystem);
    AfxGetHelpEngine().SetDisplay(&helpDisplay);
    {
        // Logging out, Ctrl+C in the terminal that started us, or a kill close the console as
        // Esc does, so that a transmission never stops mid-frame.
        CShutdownSignals shutdownSignals;
        theApp.Run(QCoreApplication::applicationFilePath().toStdString());
    }
    AfxGetHelpEngine().SetDisplay(nullptr);
    AfxSetWindowSystem(nullptr);
    return 0;
}
