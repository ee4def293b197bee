// wine_null_modem: runs a command with COM1..COM4 as two null-modem cables on pseudo-terminals,
// so that a Windows program under Wine can talk to itself through real serial ports:
//
//   wine_null_modem <dir> <command> [arguments...]
//
// <dir>/com1 .. <dir>/com4 become links to the slaves of four pseudo-terminals, which the Wine
// prefix maps COM1..COM4 to; what COM1 sends arrives at COM2 and back, likewise COM3 and COM4.
// LUMIVANE_NULL_MODEM=COM1-COM2,COM3-COM4 tells the command. Exits with the command's status.
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int kPorts = 4;
constexpr std::size_t kChunk = 4096;

struct Pty {
    int master = -1;
    int slave = -1; // held open so that the master never sees a hang-up between the opens
};

bool Forward(int from, int to)
{
    std::array<char, kChunk> buffer{};
    const ssize_t got = ::read(from, buffer.data(), buffer.size());
    if (got <= 0)
        return got < 0 && errno == EINTR;
    for (ssize_t sent = 0; sent < got;) {
        const ssize_t n = ::write(to, buffer.data() + sent, static_cast<std::size_t>(got - sent));
        if (n < 0 && errno != EINTR)
            return false;
        sent += n > 0 ? n : 0;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <dir> <command> [arguments...]\n", argv[0]);
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);

    std::array<Pty, kPorts> ports;
    for (int i = 0; i < kPorts; ++i) {
        Pty& pty = ports[static_cast<std::size_t>(i)];
        std::array<char, 64> name{};
        if (::openpty(&pty.master, &pty.slave, name.data(), nullptr, nullptr) != 0) {
            std::perror("openpty");
            return 2;
        }
        // Raw, as a serial port is, but keeping the default XON and XOFF characters, which a
        // port's flow control settings take over.
        termios raw{};
        ::tcgetattr(pty.slave, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(pty.slave, TCSANOW, &raw);
        ::fcntl(pty.master, F_SETFD, FD_CLOEXEC);
        ::fcntl(pty.slave, F_SETFD, FD_CLOEXEC);
        const auto link = dir / ("com" + std::to_string(i + 1));
        std::filesystem::remove(link);
        std::filesystem::create_symlink(name.data(), link);
    }

    ::setenv("LUMIVANE_NULL_MODEM", "COM1-COM2,COM3-COM4", 1);
    const pid_t child = ::fork();
    if (child == 0) {
        ::execvp(argv[2], argv + 2);
        std::perror(argv[2]);
        _exit(127);
    }
    if (child < 0) {
        std::perror("fork");
        return 2;
    }
    const int exited = static_cast<int>(::syscall(SYS_pidfd_open, child, 0));
    if (exited < 0) {
        std::perror("pidfd_open");
        return 2;
    }

    std::array<pollfd, kPorts + 1> watch{};
    for (int i = 0; i < kPorts; ++i)
        watch[static_cast<std::size_t>(i)] = {ports[static_cast<std::size_t>(i)].master, POLLIN, 0};
    watch[kPorts] = {exited, POLLIN, 0};
    for (;;) {
        if (::poll(watch.data(), watch.size(), -1) < 0) {
            if (errno == EINTR)
                continue;
            std::perror("poll");
            break;
        }
        if (watch[kPorts].revents != 0)
            break;
        for (int i = 0; i < kPorts; ++i) {
            if ((watch[static_cast<std::size_t>(i)].revents & POLLIN) == 0)
                continue;
            // COM1 <-> COM2, COM3 <-> COM4.
            const int peer = i ^ 1;
            Forward(ports[static_cast<std::size_t>(i)].master,
                    ports[static_cast<std::size_t>(peer)].master);
        }
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
