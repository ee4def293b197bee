#include "RegularFile.h"

#include <cerrno>
#include <cstdint>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Closes the descriptor it is given when it goes.
class CReadFd {
public:
    explicit CReadFd(int fd) : m_fd(fd) {}
    ~CReadFd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    CReadFd(const CReadFd&) = delete;
    CReadFd& operator=(const CReadFd&) = delete;
    int Get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t maxBytes)
{
    // A blocking open of a FIFO waits for a writer for ever; O_NONBLOCK returns at once, and
    // fstat then turns away everything that is not a plain file before the first read.
    const CReadFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat info {};
    if (fd.Get() < 0 || ::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        static_cast<std::uintmax_t>(info.st_size) > maxBytes)
        return std::nullopt;
    const auto size = static_cast<std::size_t>(info.st_size);
    // One byte more than fstat said shows a file that changed under us: no help file then.
    std::string text(size + 1, '\0');
    std::size_t length = 0;
    while (length < text.size()) {
        const ssize_t got = ::read(fd.Get(), text.data() + length, text.size() - length);
        if (got == 0)
            break;
        if (got < 0 && errno != EINTR)
            return std::nullopt;
        if (got > 0)
            length += static_cast<std::size_t>(got);
    }
    if (length > size)
        return std::nullopt;
    text.resize(length);
    return text;
}
