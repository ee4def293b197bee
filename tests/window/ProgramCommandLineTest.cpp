// The built program on its command line, run as a terminal user would run it, with no display
// in its environment: --help and --version answer, an unknown option is refused, and a start
// that needs a window says in one line that there is no display.
#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <initializer_list>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
// Generous: a sanitizer build loads Qt slowly. Nothing waits this long when all is well.
constexpr auto kDeadline = std::chrono::seconds(30);
constexpr int kLookMs = 100;

// Where the program looks for a display, and Qt for its platform: none of it is passed on.
constexpr std::array kDisplayVariables{"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM",
                                       "XDG_SESSION_TYPE", "XDG_RUNTIME_DIR"};

struct Outcome {
    std::optional<int> exitStatus; // nothing when killed, or stopped at the deadline
    std::string out;
    std::string err;
};

// Runs the program with `arguments`, its environment without the display variables and with
// `extra` ("NAME=value") added.
Outcome RunProgram(const std::vector<std::string>& arguments,
                   const std::vector<std::string>& extra = {})
{
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string setting = *entry;
        bool display = false;
        for (const char* name : kDisplayVariables)
            display = display || setting.rfind(std::string(name) + "=", 0) == 0;
        if (!display)
            environment.push_back(setting);
    }
    environment.insert(environment.end(), extra.begin(), extra.end());

    std::vector<std::string> argv{LUMIVANE_PROGRAM};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> argvPointers;
    std::vector<char*> envPointers;
    for (std::string& argument : argv)
        argvPointers.push_back(argument.data());
    for (std::string& setting : environment)
        envPointers.push_back(setting.data());
    argvPointers.push_back(nullptr);
    envPointers.push_back(nullptr);

    int outPipe[2];
    int errPipe[2];
    if (::pipe2(outPipe, O_CLOEXEC) != 0 || ::pipe2(errPipe, O_CLOEXEC) != 0)
        return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int input = ::open("/dev/null", O_RDONLY);
        ::dup2(input, STDIN_FILENO);
        ::dup2(outPipe[1], STDOUT_FILENO);
        ::dup2(errPipe[1], STDERR_FILENO);
        ::execve(argvPointers[0], argvPointers.data(), envPointers.data());
        ::_exit(127);
    }
    ::close(outPipe[1]);
    ::close(errPipe[1]);

    Outcome outcome;
    std::array<std::pair<int, std::string*>, 2> streams{
        {{outPipe[0], &outcome.out}, {errPipe[0], &outcome.err}}};
    const auto end = Clock::now() + kDeadline;
    int open = 2;
    while (open > 0 && Clock::now() < end) {
        std::array<pollfd, 2> ready{{{streams[0].first, POLLIN, 0}, {streams[1].first, POLLIN, 0}}};
        if (::poll(ready.data(), ready.size(), kLookMs) <= 0)
            continue;
        for (std::size_t i = 0; i < ready.size(); ++i) {
            if (streams[i].first < 0 || (ready[i].revents & (POLLIN | POLLHUP)) == 0)
                continue;
            std::array<char, 4096> buffer{};
            const ssize_t got = ::read(streams[i].first, buffer.data(), buffer.size());
            if (got > 0) {
                streams[i].second->append(buffer.data(), static_cast<std::size_t>(got));
            } else if (got == 0 || errno != EINTR) {
                ::close(streams[i].first);
                streams[i].first = -1;
                --open;
            }
        }
    }
    for (const auto& stream : streams)
        if (stream.first >= 0)
            ::close(stream.first);

    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0 && Clock::now() < end)
        ::poll(nullptr, 0, kLookMs);
    if (::waitpid(pid, &status, WNOHANG) == 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        return outcome;
    }
    if (WIFEXITED(status))
        outcome.exitStatus = WEXITSTATUS(status);
    return outcome;
}

const std::string kNoDisplayLine =
    "lumivane: no display to open a window on (DISPLAY and WAYLAND_DISPLAY are unset); run it "
    "in a desktop session, or on a virtual display: xvfb-run -a lumivane\n";

TEST(ProgramCommandLine, HelpPrintsTheUsageAndWhereTheHelpFileIs)
{
    const Outcome outcome = RunProgram({"--help"});
    EXPECT_EQ(outcome.exitStatus, 0);
    EXPECT_EQ(outcome.out.rfind("Usage: lumivane [--help | --version]\n", 0), 0U) << outcome.out;
    // The build puts the help file beside the program.
    EXPECT_NE(
        outcome.out.find(std::string("  ") + LUMIVANE_PROGRAM_DIR + "/lumivane.HLP  (found)\n"),
        std::string::npos)
        << outcome.out;
    EXPECT_EQ(outcome.err, "");
}

TEST(ProgramCommandLine, VersionPrintsTheNameAndVersion)
{
    const Outcome outcome = RunProgram({"--version"});
    EXPECT_EQ(outcome.exitStatus, 0);
    EXPECT_EQ(outcome.out, "lumivane 1.0.0.1\n");
    EXPECT_EQ(outcome.err, "");
}

struct RefusedRow {
    const char* name;
    std::vector<std::string> arguments;
    const char* refusal;
};

void PrintTo(const RefusedRow& row, std::ostream* out)
{
    *out << row.name;
}

class ProgramRefuses : public ::testing::TestWithParam<RefusedRow> {};

TEST_P(ProgramRefuses, AnUnknownOptionWithTheUsageOnStandardError)
{
    const Outcome outcome = RunProgram(GetParam().arguments);
    EXPECT_EQ(outcome.exitStatus, 2);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err.rfind(std::string(GetParam().refusal) +
                                    "\n\nUsage: lumivane [--help | --version]\n",
                                0),
              0U)
        << outcome.err;
}

INSTANTIATE_TEST_SUITE_P(
    Options, ProgramRefuses,
    ::testing::Values(
        RefusedRow{"Unknown", {"--bogus"}, "lumivane: unknown option '--bogus'"},
        RefusedRow{
            "QtsPlatform", {"-platform", "offscreen"}, "lumivane: unknown option '-platform'"},
        RefusedRow{"AfterAFileName", {"show.txt", "-x"}, "lumivane: unknown option '-x'"}));

struct NoDisplayRow {
    const char* name;
    std::vector<std::string> arguments;
    std::vector<std::string> environment;
    std::string line;
};

void PrintTo(const NoDisplayRow& row, std::ostream* out)
{
    *out << row.name;
}

class ProgramWithoutDisplay : public ::testing::TestWithParam<NoDisplayRow> {};

TEST_P(ProgramWithoutDisplay, SaysSoInOneLineAndEndsWithStatusOne)
{
    const Outcome outcome = RunProgram(GetParam().arguments, GetParam().environment);
    EXPECT_EQ(outcome.exitStatus, 1) << outcome.err;
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Starts, ProgramWithoutDisplay,
    ::testing::Values(
        NoDisplayRow{"NothingSet", {}, {}, kNoDisplayLine},
        // Arguments that are no options change nothing: the program goes on to its window.
        NoDisplayRow{"WithAFileName", {"show.txt"}, {}, kNoDisplayLine},
        NoDisplayRow{"AfterDoubleDash", {"--", "--help"}, {}, kNoDisplayLine},
        NoDisplayRow{"X11Asked",
                     {},
                     {"QT_QPA_PLATFORM=xcb"},
                     "lumivane: no display to open a window on (QT_QPA_PLATFORM=xcb, DISPLAY and "
                     "WAYLAND_DISPLAY are unset); run it in a desktop session, or on a virtual "
                     "display: xvfb-run -a lumivane\n"},
        NoDisplayRow{"AnUnknownPlatform",
                     {},
                     {"QT_QPA_PLATFORM=bogus"},
                     "lumivane: no display to open a window on (QT_QPA_PLATFORM=bogus, DISPLAY "
                     "and WAYLAND_DISPLAY are unset); run it in a desktop session, or on a "
                     "virtual display: xvfb-run -a lumivane\n"}));

} // namespace
