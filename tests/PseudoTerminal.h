// CPseudoTerminal: a pseudo-terminal pair a test or benchmark creates for itself. The port
// under test opens the slave by path as if it were a serial device; the owner reads what
// arrives at the master. One thread uses an instance at a time.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CPseudoTerminal {
public:
    // Check IsOpen(): the pair may be unavailable (no /dev/ptmx).
    CPseudoTerminal();
    ~CPseudoTerminal();
    CPseudoTerminal(const CPseudoTerminal&) = delete;
    CPseudoTerminal& operator=(const CPseudoTerminal&) = delete;

    bool IsOpen() const { return m_master >= 0; }
    const std::string& SlavePath() const { return m_slavePath; }
    int MasterFd() const { return m_master; }

    // What arrives at the master until `count` bytes are in or `deadline` has passed.
    std::vector<std::uint8_t> Read(std::size_t count,
                                   std::chrono::milliseconds deadline = std::chrono::seconds(5));
    // Hangs the line up, as a device that goes away does.
    void CloseMaster();

private:
    int m_master = -1;
    std::string m_slavePath;
};

// How many file descriptors this process holds, to show that a failure path leaked none.
int OpenDescriptorCount();
