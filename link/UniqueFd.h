// A POSIX file descriptor that closes itself on every way out of the code that opened it.
#pragma once

#include <utility>

#include <unistd.h>

class CUniqueFd {
public:
    explicit CUniqueFd(int fd) : m_fd(fd) {}
    ~CUniqueFd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    CUniqueFd(const CUniqueFd&) = delete;
    CUniqueFd& operator=(const CUniqueFd&) = delete;
    int Get() const { return m_fd; }
    // Hands the descriptor on; it is no longer closed here.
    int Release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};
