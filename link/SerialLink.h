// CSerialLink: one serial port held for one transmission, sending nine-bit framed messages
// to the DMX interface box. It never reads from the port.
//
// Threads: no lock; one thread at a time (the transmission worker from Open to Close, or the
// window thread closing it at teardown). Callers keep those uses apart.
// Failures are returned and recorded in m_bLastResult / m_dwLastError, never thrown.
#pragma once

#include "CommPort.h"
#include "DeviceFrame.h"

#include <cstdint>
#include <memory>
#include <string>

constexpr std::uint32_t kDefaultBaudRate = 9600;
constexpr std::uint32_t kParityChangePauseMs = 2;
constexpr std::uint64_t kParityChangePauseMicros = kParityChangePauseMs * 1000;
// The longest the link waits for its line clock before a parity change or at Close: the same
// bound as a port's own drain, so a wrong clock can never hang a transmission.
constexpr std::uint64_t kLineClockDeadlineMicros = 500'000;

extern const char* const kOpenErrorUnsupportedPort;
extern const char* const kOpenErrorInvalidHandle;
extern const char* const kOpenErrorGetState;
extern const char* const kOpenErrorSetState;

// Which step of the link's work failed, beside the text Open returns for it; a caller words a
// failure by the step and by what the system's error code means (PortFailure).
enum class LinkStep {
    None,          // nothing failed since Open began
    PortNumber,    // Open: not COM1..COM4 (kOpenErrorUnsupportedPort); the system was not asked
    Open,          // Open: the system would not open the port (kOpenErrorInvalidHandle)
    ReadSettings,  // Open: the port would not tell its settings (kOpenErrorGetState)
    ApplySettings, // Open: the port would not take ours (kOpenErrorSetState)
    Drain,         // WriteByte: the output would not drain before a parity change
    ChangeParity,  // WriteByte: the port would not take the other parity
    Write,         // WriteByte: the byte would not go out, or the link was closed
};

class CSerialLink {
public:
    static constexpr int kClosed = -1;

    // Uses the platform's real serial ports.
    CSerialLink();
    // Uses the given backend (a recording port in tests and benchmarks).
    explicit CSerialLink(std::shared_ptr<CCommPort> port);
    ~CSerialLink();
    CSerialLink(const CSerialLink&) = delete;
    CSerialLink& operator=(const CSerialLink&) = delete;

    // Opens COM(port + 1) with `baudRate` (low 16 bits) and 8 data bits, one stop bit, mark
    // parity when `nineBit` is nonzero, else no parity. Returns "" on success, else the text
    // naming the failed step (kept in m_eFailedStep too). An open link is closed first; a
    // failed open releases its handle.
    std::string Open(std::uint16_t port, std::uint32_t baudRate, std::uint16_t nineBit);
    void Close();
    bool IsOpen() const { return m_nPort != kClosed; }

    void SetAddress(std::uint8_t address) { m_byAddress = address | kAddressMarkBit; }
    void SetHeaderByte(std::uint8_t header) { m_byHeader = header; }

    // Sends the payload framed (nine-bit mode) or bare (plain mode). False when the link is
    // closed or a byte could not be sent (m_eFailedStep says why); the frame stops at the
    // first byte that failed.
    bool Send(ByteString payload);
    // Sends one byte, first switching the parity when nine-bit mode needs another one: after
    // the port reports its output drained, the line clock says the last stop bit has left, and
    // a 2 ms pause. False when closed, or when the drain, the parity change or the write failed
    // (m_eFailedStep says which); a byte is never sent with a parity that could not be set.
    bool WriteByte(std::uint8_t value, CommParity parity);

    // The fields are public so that any caller may inspect the link's last outcome.
    std::int32_t m_nPort = kClosed;
    std::uint16_t m_wBaudRate = 0;
    std::uint16_t m_wNineBit = 0;
    std::uint32_t m_dwLastError = 0;
    std::int32_t m_bLastResult = 0;
    LinkStep m_eFailedStep = LinkStep::None;
    std::int32_t m_bNineBitMode = 0;
    CommState m_dcb;
    std::uint8_t m_byAddress = 0xFF;
    std::uint8_t m_byHeader = 0;
    PortHandle m_hPort = INVALID_PORT_HANDLE;

private:
    std::string FailOpen(LinkStep step, const char* text);
    bool FailWrite(LinkStep step);
    // Many USB adapters report their output drained while their own FIFO still shifts bytes
    // out, and a parity change would then reach bytes not yet sent. So the link keeps its own
    // clock of when the last byte written can have left the wire, and waits for it (plus
    // `thenMicros`); false, without waiting, when the line is quiet already.
    bool WaitForLineClock(std::uint64_t thenMicros);

    // Earliest time (port clock, microseconds) the stop bit of the last byte written leaves.
    std::uint64_t m_qwLineEnd = 0;

    std::shared_ptr<CCommPort> m_pPort;
};
