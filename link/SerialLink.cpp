#include "SerialLink.h"

#include <algorithm>
#include <array>

const char* const kOpenErrorUnsupportedPort = "Opening serial port: Only Com1 - Com4 are supported";
const char* const kOpenErrorInvalidHandle =
    "Opening serial port: Invalid handle retrieved opening port";
const char* const kOpenErrorGetState = "Opening serial port:  Could not get comm status";
const char* const kOpenErrorSetState = "Opening serial port:  Could not set comm status";

namespace {
constexpr std::array<const char*, 4> kPortNames = {"COM1", "COM2", "COM3", "COM4"};
constexpr std::uint8_t kDataBits = 8;
} // namespace

CSerialLink::CSerialLink() : m_pPort(CreatePlatformCommPort()) {}

CSerialLink::CSerialLink(std::shared_ptr<CCommPort> port) : m_pPort(std::move(port)) {}

CSerialLink::~CSerialLink()
{
    Close();
}

std::string CSerialLink::FailOpen(LinkStep step, const char* text)
{
    m_eFailedStep = step;
    m_dwLastError = m_pPort->LastError();
    // Release what this open obtained; the link stays closed.
    if (m_hPort != INVALID_PORT_HANDLE)
        m_pPort->CloseDevice(m_hPort);
    m_hPort = INVALID_PORT_HANDLE;
    return text;
}

std::string CSerialLink::Open(std::uint16_t port, std::uint32_t baudRate, std::uint16_t nineBit)
{
    m_eFailedStep = LinkStep::None;
    if (port >= kPortNames.size()) {
        m_eFailedStep = LinkStep::PortNumber;
        return kOpenErrorUnsupportedPort;
    }

    // The same port may be asked for again; an exclusive open would fail against ourselves.
    Close();

    m_hPort = m_pPort->OpenDevice(kPortNames[port]);
    m_pPort->FlushBuffers(m_hPort);
    if (m_hPort == INVALID_PORT_HANDLE)
        return FailOpen(LinkStep::Open, kOpenErrorInvalidHandle);

    if (!m_pPort->GetState(m_hPort, m_dcb))
        return FailOpen(LinkStep::ReadSettings, kOpenErrorGetState);

    const auto rate = static_cast<std::uint16_t>(baudRate);
    m_dcb.ByteSize = kDataBits;
    m_dcb.StopBits = ONESTOPBIT;
    m_dcb.BaudRate = rate;
    if (nineBit != 0) {
        m_dcb.Parity = CommParity::Mark;
        m_bNineBitMode = 1;
    } else {
        m_dcb.Parity = CommParity::None;
        m_bNineBitMode = 0;
    }
    if (!m_pPort->SetState(m_hPort, m_dcb))
        return FailOpen(LinkStep::ApplySettings, kOpenErrorSetState);

    m_wBaudRate = rate;
    m_wNineBit = nineBit;
    m_nPort = port;
    m_qwLineEnd = 0;
    return {};
}

bool CSerialLink::WaitForLineClock(std::uint64_t thenMicros)
{
    const std::uint64_t now = m_pPort->NowMicros();
    if (now >= m_qwLineEnd)
        return false;
    m_pPort->SleepMicros(std::min(m_qwLineEnd - now, kLineClockDeadlineMicros) + thenMicros);
    return true;
}

void CSerialLink::Close()
{
    if (m_nPort == kClosed)
        return;
    // A driver that discards its queue on close would cut off the last checksum.
    WaitForLineClock(0);
    m_bLastResult = m_pPort->CloseDevice(m_hPort) ? 1 : 0;
    if (m_bLastResult == 0)
        m_dwLastError = m_pPort->LastError();
    m_hPort = INVALID_PORT_HANDLE;
    m_nPort = kClosed;
}

bool CSerialLink::FailWrite(LinkStep step)
{
    m_eFailedStep = step;
    m_bLastResult = 0;
    m_dwLastError = m_pPort->LastError();
    return false;
}

bool CSerialLink::WriteByte(std::uint8_t value, CommParity parity)
{
    if (m_nPort == kClosed) {
        m_eFailedStep = LinkStep::Write;
        return false;
    }

    if (m_bNineBitMode != 0 && parity != m_dcb.Parity) {
        // A new parity applies to bytes still queued in the UART too: let them leave first.
        if (!m_pPort->DrainOutput(m_hPort))
            return FailWrite(LinkStep::Drain);
        // One wait for the line and the pause after it, so that the pause is not lengthened by
        // a second wake-up.
        if (!WaitForLineClock(kParityChangePauseMicros))
            m_pPort->Sleep(kParityChangePauseMs);
        const CommParity previous = m_dcb.Parity;
        m_dcb.Parity = parity;
        if (!m_pPort->SetState(m_hPort, m_dcb)) {
            // The port still has the old parity; remember that so the next byte tries again.
            m_dcb.Parity = previous;
            return FailWrite(LinkStep::ChangeParity);
        }
    }

    if (!m_pPort->WriteByte(m_hPort, value))
        return FailWrite(LinkStep::Write);
    m_bLastResult = 1;
    // The byte starts once the one before it has left, or now if the line is idle.
    m_qwLineEnd = std::max(m_pPort->NowMicros(), m_qwLineEnd) + CharacterMicros(m_dcb);
    return true;
}

bool CSerialLink::Send(ByteString payload)
{
    if (m_nPort == kClosed) {
        m_eFailedStep = LinkStep::Write;
        return false;
    }

    auto write = [this](std::uint8_t value, CommParity parity) {
        if (WriteByte(value, parity))
            return true;
        m_dwLastError = m_pPort->LastError();
        return false;
    };

    if (m_bNineBitMode != 0) {
        for (const FrameByte& byte : BuildFrame(m_byAddress, m_byHeader, payload))
            if (!write(byte.value, byte.parity))
                return false;
        return true;
    }
    for (const char byte : payload)
        if (!write(static_cast<std::uint8_t>(byte), CommParity::Space))
            return false;
    return true;
}
