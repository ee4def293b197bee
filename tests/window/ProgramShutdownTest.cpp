// The program itself, started as from a terminal (a pseudo-terminal of the test's own is its
// controlling terminal): a request to end it closes the console as Esc does, and the program
// exits normally instead of being killed by the signal.
//
// The console is left untouched. It opens a serial port only for a transmission, and a
// transmission needs a level change, so the program reaches no device here; the test checks
// that it holds none before it asks it to end.
#include "PseudoTerminal.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <optional>
#include <ostream>
#include <string>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
// Generous: a sanitizer build starts Qt slowly. Nothing waits this long when all is well.
constexpr auto kDeadline = std::chrono::seconds(30);
// How long one look at the condition may wait for the program's output.
constexpr int kLookMs = 10;

class CProgram {
public:
    CProgram()
    {
        if (!m_terminal.IsOpen())
            return;
        m_pid = ::fork();
        if (m_pid == 0)
            RunInChild(m_terminal.SlavePath());
    }
    ~CProgram()
    {
        if (m_pid > 0 && !m_status) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    CProgram(const CProgram&) = delete;
    CProgram& operator=(const CProgram&) = delete;

    pid_t Pid() const { return m_pid; }
    CPseudoTerminal& Terminal() { return m_terminal; }

    // Waits until the program catches every signal in `signals`, which it does from before
    // its console runs until it ends. False if it ended or the deadline passed first.
    bool WaitUntilCatching(std::initializer_list<int> signals)
    {
        const auto end = Clock::now() + kDeadline;
        while (Clock::now() < end && !Ended()) {
            const unsigned long long caught = CaughtSignals();
            bool all = true;
            for (int signo : signals)
                all = all && (caught & (1ULL << (signo - 1))) != 0;
            if (all)
                return true;
            Look();
        }
        return false;
    }

    // The wait status once the program has ended, or nothing at the deadline.
    std::optional<int> WaitForEnd()
    {
        const auto end = Clock::now() + kDeadline;
        while (!Ended() && Clock::now() < end)
            Look();
        return m_status;
    }

    // Whether the program holds a serial device open.
    bool HoldsSerialDevice() const
    {
        std::error_code error;
        const std::filesystem::path fds = "/proc/" + std::to_string(m_pid) + "/fd";
        for (const auto& entry : std::filesystem::directory_iterator(fds, error)) {
            const std::string target = std::filesystem::read_symlink(entry.path(), error).string();
            if (target.rfind("/dev/ttyS", 0) == 0 || target.rfind("/dev/ttyUSB", 0) == 0 ||
                target.rfind("/dev/ttyACM", 0) == 0)
                return true;
        }
        return false;
    }

private:
    [[noreturn]] static void RunInChild(const std::string& slavePath)
    {
        // A session of its own with the pseudo-terminal as its controlling terminal, as a
        // login shell gives the programs it starts; and the signals as a shell leaves them.
        ::setsid();
        const int slave = ::open(slavePath.c_str(), O_RDWR);
        if (slave < 0 || ::ioctl(slave, TIOCSCTTY, 0) != 0)
            ::_exit(126);
        ::dup2(slave, STDIN_FILENO);
        ::dup2(slave, STDOUT_FILENO);
        ::dup2(slave, STDERR_FILENO);
        for (int signo : {SIGTERM, SIGINT, SIGHUP})
            ::signal(signo, SIG_DFL);
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::execl(LUMIVANE_PROGRAM, LUMIVANE_PROGRAM, static_cast<char*>(nullptr));
        ::_exit(127);
    }

    unsigned long long CaughtSignals() const
    {
        std::ifstream status("/proc/" + std::to_string(m_pid) + "/status");
        std::string line;
        while (std::getline(status, line))
            if (line.rfind("SigCgt:", 0) == 0)
                return std::strtoull(line.c_str() + 7, nullptr, 16);
        return 0;
    }

    bool Ended()
    {
        if (m_status)
            return true;
        int status = 0;
        if (m_pid > 0 && ::waitpid(m_pid, &status, WNOHANG) == m_pid)
            m_status = status;
        return m_status.has_value() || m_pid <= 0;
    }

    // Takes what the program wrote to its terminal (a full terminal would stop it), waiting
    // at most kLookMs for it.
    void Look()
    {
        const int master = m_terminal.MasterFd();
        pollfd ready{master, POLLIN, 0};
        if (::poll(&ready, master >= 0 ? 1 : 0, kLookMs) > 0 && (ready.revents & POLLIN) != 0) {
            char buffer[4096];
            [[maybe_unused]] const ssize_t got = ::read(master, buffer, sizeof buffer);
        }
    }

    CPseudoTerminal m_terminal;
    pid_t m_pid = -1;
    std::optional<int> m_status;
};

enum class Request { Terminate, CtrlC, HangUpSignal, TerminalGone };

struct RequestRow {
    const char* name;
    Request request;
};

void PrintTo(const RequestRow& row, std::ostream* out)
{
    *out << row.name;
}

class ShutdownSignals : public ::testing::TestWithParam<RequestRow> {};

TEST_P(ShutdownSignals, EndTheProgramThroughTheConsolesClose)
{
    CProgram program;
    ASSERT_GT(program.Pid(), 0);
    ASSERT_TRUE(program.WaitUntilCatching({SIGTERM, SIGINT, SIGHUP}));
    ASSERT_FALSE(program.HoldsSerialDevice());

    switch (GetParam().request) {
    case Request::Terminate:
        ASSERT_EQ(::kill(program.Pid(), SIGTERM), 0);
        break;
    case Request::CtrlC: {
        const char interrupt = 0x03; // the terminal's INTR character
        ASSERT_EQ(::write(program.Terminal().MasterFd(), &interrupt, 1), 1);
        break;
    }
    case Request::HangUpSignal:
        ASSERT_EQ(::kill(program.Pid(), SIGHUP), 0);
        break;
    case Request::TerminalGone:
        program.Terminal().CloseMaster();
        break;
    }
    const std::optional<int> status = program.WaitForEnd();
    ASSERT_TRUE(status) << "still running";
    EXPECT_TRUE(WIFEXITED(*status)) << "killed by signal " << WTERMSIG(*status);
    EXPECT_EQ(WEXITSTATUS(*status), 0);
}

INSTANTIATE_TEST_SUITE_P(Program, ShutdownSignals,
                         ::testing::Values(RequestRow{"SIGTERM", Request::Terminate},
                                           RequestRow{"CtrlC", Request::CtrlC},
                                           RequestRow{"SIGHUP", Request::HangUpSignal},
                                           RequestRow{"TerminalClosed", Request::TerminalGone}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ShutdownSignalsProgram, ASecondRequestWhileClosingEndsItAtOnce)
{
    CProgram program;
    ASSERT_GT(program.Pid(), 0);
    ASSERT_TRUE(program.WaitUntilCatching({SIGTERM, SIGINT}));
    // Stopped, the program takes both requests together once it continues, before it can
    // have closed anything.
    ASSERT_EQ(::kill(program.Pid(), SIGSTOP), 0);
    int stopped = 0;
    ASSERT_EQ(::waitpid(program.Pid(), &stopped, WUNTRACED), program.Pid());
    ASSERT_TRUE(WIFSTOPPED(stopped));
    ASSERT_EQ(::kill(program.Pid(), SIGTERM), 0);
    ASSERT_EQ(::kill(program.Pid(), SIGINT), 0);
    ASSERT_EQ(::kill(program.Pid(), SIGCONT), 0);

    const std::optional<int> status = program.WaitForEnd();
    ASSERT_TRUE(status) << "still running";
    ASSERT_TRUE(WIFSIGNALED(*status)) << "exited with " << WEXITSTATUS(*status);
    EXPECT_TRUE(WTERMSIG(*status) == SIGTERM || WTERMSIG(*status) == SIGINT) << WTERMSIG(*status);
}

} // namespace
