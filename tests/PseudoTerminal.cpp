#include "PseudoTerminal.h"

#include <algorithm>
#include <filesystem>
#include <iterator>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

CPseudoTerminal::CPseudoTerminal()
{
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0)
        return;
    const char* name = nullptr;
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0 ||
        (name = ::ptsname(m_master)) == nullptr) {
        CloseMaster();
        return;
    }
    m_slavePath = name;
}

CPseudoTerminal::~CPseudoTerminal()
{
    CloseMaster();
}

void CPseudoTerminal::CloseMaster()
{
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}

std::vector<std::uint8_t> CPseudoTerminal::Read(std::size_t count,
                                                std::chrono::milliseconds deadline)
{
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + deadline;
    std::vector<std::uint8_t> bytes;
    while (m_master >= 0 && bytes.size() < count) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now());
        pollfd ready{m_master, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&ready, 1, static_cast<int>(left.count())) <= 0)
            break;
        std::uint8_t buffer[256];
        const ssize_t got = ::read(m_master, buffer, std::min(sizeof buffer, count - bytes.size()));
        if (got <= 0)
            break;
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    return bytes;
}

int OpenDescriptorCount()
{
    std::error_code error;
    const std::filesystem::directory_iterator entries("/proc/self/fd", error);
    // The iterator holds one descriptor of its own while it counts.
    return error ? -1 : static_cast<int>(std::distance(entries, {})) - 1;
}
