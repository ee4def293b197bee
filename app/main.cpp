// The program: a Qt application whose whole life is the console's modal run. Before it, the
// command line: --help and --version are answered without a window.
#include "CommandLine.h"
#include "FaderApp.h"
#include "NoDisplayGuard.h"
#include "ShutdownSignals.h"

#include "framework/HelpEngine.h"
#include "framework/WinApp.h"
#include "framework/WindowPeer.h"
#include "framework/qt/QtHelpDisplay.h"
#include "framework/qt/QtIconResource.h"
#include "framework/qt/QtWindowSystem.h"
#include "res/Resource.h"

#include <QApplication>
#include <QCoreApplication>

#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

// The program's own path as Qt finds it (on Linux from /proc/self/exe). A QCoreApplication is
// enough for that, and needs no display.
std::string ProgramPathWithoutWindow(char* argv[])
{
    int qtArgc = 1;
    const QCoreApplication core(qtArgc, argv);
    return QCoreApplication::applicationFilePath().toStdString();
}

std::string Usage(char* argv[])
{
    const std::string program = ProgramPathWithoutWindow(argv);
    return UsageText(HelpFileCandidates(program), FindExistingHelpFile(program));
}

int RunConsole(char* argv[])
{
    // The command line is not Qt's to read: every start is the same.
    int qtArgc = 1;
    std::optional<CNoDisplayGuard> noDisplay;
    noDisplay.emplace(NoDisplayText(std::getenv("QT_QPA_PLATFORM"), std::getenv("DISPLAY"),
                                    std::getenv("WAYLAND_DISPLAY")));
    QApplication application(qtArgc, argv);
    noDisplay.reset();
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
    return kExitOk;
}

} // namespace

int main(int argc, char* argv[])
{
    const CommandLineRequest request =
        ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    switch (request.action) {
    case CommandLineAction::ShowUsage:
        std::cout << Usage(argv);
        return kExitOk;
    case CommandLineAction::ShowVersion:
        std::cout << VersionText();
        return kExitOk;
    case CommandLineAction::RefuseOption:
        std::cerr << RefusalText(request.refusedOption) << '\n' << Usage(argv);
        return kExitUsage;
    case CommandLineAction::RunConsole:
        break;
    }
    return RunConsole(argv);
}
