// CShutdownSignals on real widgets: a request that comes while the operator has boxes open
// over the console closes them innermost first, each as Esc would, then the console. The
// handlers stay for the life of the process, so the scenario runs in a process of its own.
#include "app/ShutdownSignals.h"
#include "console/ConsoleDlg.h"
#include "framework/WinDefs.h"
#include "framework/qt/QtWindowSystem.h"
#include "res/Resource.h"
#include "testing/RecordedTransmission.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include <signal.h>

namespace {

// Should the windows not close, the scenario gives up: nested runs that nobody ends would
// never return to it.
constexpr int kDeadlineMs = 10000;

// The operator opens the About box and, over it, a message box; SIGTERM comes while both are
// open. Exits 0 when everything closed in order and the console's run ended with IDCANCEL.
[[noreturn]] void TerminateWithBoxesOpen()
{
    CQtWindowSystem windowSystem;
    AfxSetWindowSystem(&windowSystem);
    CShutdownSignals shutdownSignals;
    CRecordedTransmission wire;
    CConsoleDlg console(wire.worker);
    CDialog* about = nullptr;
    bool boxEndedUnderTheAboutBox = false;
    bool aboutEndedUnderTheConsole = false;

    const auto openBox = [&] {
        about = CDialog::ActiveModal();
        if (about == &console)
            return;
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Lumivane"), QStringLiteral("Open"),
                        QMessageBox::Ok, QApplication::activeModalWidget());
        QTimer::singleShot(0, &box, [] { std::raise(SIGTERM); });
        box.exec();
        boxEndedUnderTheAboutBox = CDialog::ActiveModal() == about;
    };
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(0, openBox);
        console.SendMessage(WM_COMMAND, MakeWParam(IDC_ABOUT, BN_CLICKED));
        aboutEndedUnderTheConsole = CDialog::ActiveModal() == &console;
    });
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, [] {
        std::fputs("the windows are still open\n", stderr);
        std::_Exit(2);
    });
    deadline.start(kDeadlineMs);

    const int result = console.DoModal();
    const bool closed = QApplication::activeModalWidget() == nullptr;
    AfxSetWindowSystem(nullptr);
    std::fprintf(
        stderr, "about box %s, box under it %d, about under the console %d, result %d, closed %d\n",
        about != nullptr && about != &console ? "opened" : "missing", boxEndedUnderTheAboutBox,
        aboutEndedUnderTheConsole, result, closed);
    const bool ok = about != nullptr && about != &console && boxEndedUnderTheAboutBox &&
                    aboutEndedUnderTheConsole && result == IDCANCEL && closed;
    // Straight out: the QApplication of this process is never torn down, and what the
    // platform libraries keep for it is no leak of ours.
    std::_Exit(ok ? 0 : 1);
}

TEST(ShutdownSignalsDeathTest, CloseTheBoxesOverTheConsoleInnermostFirstThenTheConsole)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(TerminateWithBoxesOpen(), ::testing::ExitedWithCode(0), "");
}

// Started under nohup, SIGHUP is ignored: it stays so, while SIGTERM is caught. Exits 0 then.
[[noreturn]] void ListenWithHangUpIgnored()
{
    std::signal(SIGHUP, SIG_IGN);
    std::signal(SIGTERM, SIG_DFL);
    CShutdownSignals shutdownSignals;
    struct sigaction hangUp {};
    struct sigaction term {};
    ::sigaction(SIGHUP, nullptr, &hangUp);
    ::sigaction(SIGTERM, nullptr, &term);
    std::_Exit(hangUp.sa_handler == SIG_IGN && term.sa_handler != SIG_DFL ? 0 : 1);
}

TEST(ShutdownSignalsDeathTest, LeaveASignalIgnoredAtTheStartIgnored)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(ListenWithHangUpIgnored(), ::testing::ExitedWithCode(0), "");
}

} // namespace
