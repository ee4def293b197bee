// Our headers come before <windows.h>: it defines ONESTOPBIT and the like as macros, and the
// constexpr declarations of those names would not compile after it.
#include "Win32CommPort.h"

#include <chrono>
#include <cstring>
#include <optional>
#include <thread>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <timeapi.h>

namespace {

using Clock = std::chrono::steady_clock;

// At 9600 baud a character takes about 1.1 ms; checking the queue more often than that keeps
// the drain before each parity change short.
constexpr std::uint64_t kDrainPollMicros = 250;
// Missing from older SDK headers; Windows 10 1803 and later know it.
constexpr DWORD kHighResolutionTimer = 0x00000002;
constexpr UINT kFinestTimerPeriodMs = 1;
constexpr std::int64_t kHundredNanosPerMicro = 10;
constexpr std::uint64_t kMicrosPerMilli = 1000;

// Sleep() wakes at the system timer's next tick, 15.6 ms apart unless some program has asked
// for finer ones, which would stretch every 2 ms parity pause eightfold. Even a finer timer
// may wake up to a millisecond late, so the wait sleeps until a millisecond before the end, on
// a high-resolution waitable timer (Windows 10 1803 and later) or else with the system timer
// at 1 ms, and spends the last stretch yielding.
constexpr auto kYieldStretch = std::chrono::microseconds(1000);

void WaitRoughly(std::chrono::microseconds span)
{
    const HANDLE timer =
        ::CreateWaitableTimerExW(nullptr, nullptr, kHighResolutionTimer, TIMER_ALL_ACCESS);
    if (timer != nullptr) {
        LARGE_INTEGER due{};
        due.QuadPart = -static_cast<LONGLONG>(span.count()) * kHundredNanosPerMicro; // relative
        const bool waited = ::SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE) &&
                            ::WaitForSingleObject(timer, INFINITE) == WAIT_OBJECT_0;
        ::CloseHandle(timer);
        if (waited)
            return;
    }
    ::timeBeginPeriod(kFinestTimerPeriodMs);
    ::Sleep(
        static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(span).count()));
    ::timeEndPeriod(kFinestTimerPeriodMs);
}

void PreciseSleep(std::uint64_t micros)
{
    const auto span = std::chrono::microseconds(micros);
    const auto deadline = Clock::now() + span;
    if (span > kYieldStretch)
        WaitRoughly(span - kYieldStretch);
    while (Clock::now() < deadline)
        std::this_thread::yield();
}

HANDLE ToHandle(PortHandle handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

// The DCB's parity codes for ours, and back. Windows knows no others.
struct ParityCode {
    CommParity parity;
    BYTE code;
};

constexpr ParityCode kParityCodes[] = {{CommParity::None, NOPARITY},
                                       {CommParity::Odd, ODDPARITY},
                                       {CommParity::Even, EVENPARITY},
                                       {CommParity::Mark, MARKPARITY},
                                       {CommParity::Space, SPACEPARITY}};

std::optional<BYTE> CodeOf(CommParity parity)
{
    for (const ParityCode& entry : kParityCodes)
        if (entry.parity == parity)
            return entry.code;
    return std::nullopt;
}

// A code no driver should report reads as no parity: the link sets its own at open anyway.
CommParity ParityOf(BYTE code)
{
    for (const ParityCode& entry : kParityCodes)
        if (entry.code == code)
            return entry.parity;
    return CommParity::None;
}

// INVALID_HANDLE_VALUE is also the current process's pseudo-handle, on which CloseHandle and
// FlushFileBuffers would "succeed"; never pass it on.
bool IsInvalid(PortHandle handle)
{
    return handle == INVALID_PORT_HANDLE;
}

} // namespace

bool CWin32CommPort::Fail(std::uint32_t error)
{
    m_lastError.store(error);
    return false;
}

PortHandle CWin32CommPort::OpenDevice(const std::string& name)
{
    // Share mode 0: nobody else may hold the port while we do.
    const HANDLE handle = ::CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                        OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        Fail(::GetLastError());
        return INVALID_PORT_HANDLE;
    }
    // Without a write timeout a byte held back by the line waits for ever. Reads, which the
    // link never makes, return at once.
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.WriteTotalTimeoutConstant = static_cast<DWORD>(m_options.writeDeadline.count());
    if (!::SetCommTimeouts(handle, &timeouts)) {
        Fail(::GetLastError());
        ::CloseHandle(handle);
        return INVALID_PORT_HANDLE;
    }
    return reinterpret_cast<PortHandle>(handle);
}

void CWin32CommPort::FlushBuffers(PortHandle handle)
{
    // The result is unused and must not hide the error of a failed open.
    if (!IsInvalid(handle))
        Drain(handle);
}

bool CWin32CommPort::GetState(PortHandle handle, CommState& state)
{
    if (IsInvalid(handle))
        return Fail(ERROR_INVALID_HANDLE);
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!::GetCommState(ToHandle(handle), &dcb))
        return Fail(::GetLastError());
    state.BaudRate = dcb.BaudRate;
    state.ByteSize = dcb.ByteSize;
    state.Parity = ParityOf(dcb.Parity);
    state.StopBits = dcb.StopBits;
    state.native.resize(sizeof dcb);
    std::memcpy(state.native.data(), &dcb, sizeof dcb);
    return true;
}

bool CWin32CommPort::SetState(PortHandle handle, const CommState& state)
{
    if (IsInvalid(handle))
        return Fail(ERROR_INVALID_HANDLE);
    const std::optional<BYTE> parity = CodeOf(state.Parity);
    if (!parity)
        return Fail(ERROR_INVALID_PARAMETER);
    DCB dcb{};
    if (state.native.size() == sizeof dcb) {
        std::memcpy(&dcb, state.native.data(), sizeof dcb);
    } else {
        dcb.DCBlength = sizeof dcb;
        if (!::GetCommState(ToHandle(handle), &dcb))
            return Fail(::GetLastError());
    }
    dcb.BaudRate = state.BaudRate;
    dcb.ByteSize = state.ByteSize;
    dcb.Parity = *parity;
    dcb.StopBits = state.StopBits;
    dcb.fBinary = TRUE;
    // The previous user's handshake would let a stray XOFF or a held CTS or DSR line stop the
    // frames; the interface needs none and, powered from the line, DTR and RTS on.
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    // Otherwise one line error would fail every later write until someone clears it.
    dcb.fAbortOnError = FALSE;
    if (!::SetCommState(ToHandle(handle), &dcb))
        return Fail(::GetLastError());
    return true;
}

std::uint32_t CWin32CommPort::Drain(PortHandle handle)
{
    // FlushFileBuffers has no deadline, and a line held by flow control or a dead device would
    // stop it for ever; and under Wine it throws away what is still queued. So only the queue
    // is watched, with a deadline; the character still in the UART is the link's line clock's.
    const auto deadline = Clock::now() + m_options.drainDeadline;
    for (;;) {
        DWORD errors = 0;
        COMSTAT status{};
        if (!::ClearCommError(ToHandle(handle), &errors, &status))
            return ::GetLastError();
        if (status.cbOutQue == 0)
            break;
        if (Clock::now() >= deadline)
            return ERROR_SEM_TIMEOUT;
        PreciseSleep(kDrainPollMicros);
    }
    return 0;
}

bool CWin32CommPort::DrainOutput(PortHandle handle)
{
    if (IsInvalid(handle))
        return Fail(ERROR_INVALID_HANDLE);
    if (const std::uint32_t error = Drain(handle); error != 0)
        return Fail(error);
    return true;
}

bool CWin32CommPort::WriteByte(PortHandle handle, std::uint8_t value)
{
    if (IsInvalid(handle))
        return Fail(ERROR_INVALID_HANDLE);
    DWORD written = 0;
    if (!::WriteFile(ToHandle(handle), &value, 1, &written, nullptr))
        return Fail(::GetLastError());
    // A write that returns with nothing written ran into the port's write timeout.
    if (written != 1)
        return Fail(ERROR_COUNTER_TIMEOUT);
    return true;
}

bool CWin32CommPort::CloseDevice(PortHandle handle)
{
    if (IsInvalid(handle))
        return Fail(ERROR_INVALID_HANDLE);
    // CloseHandle would otherwise wait for output that cannot leave.
    if (Drain(handle) != 0)
        ::PurgeComm(ToHandle(handle), PURGE_TXABORT | PURGE_TXCLEAR);
    // What the box sent while we held the port is input we never read.
    ::PurgeComm(ToHandle(handle), PURGE_RXCLEAR);
    if (!::CloseHandle(ToHandle(handle)))
        return Fail(::GetLastError());
    return true;
}

std::uint32_t CWin32CommPort::LastError() const
{
    return m_lastError.load();
}

void CWin32CommPort::Sleep(std::uint32_t milliseconds)
{
    PreciseSleep(std::uint64_t{milliseconds} * kMicrosPerMilli);
}

void CWin32CommPort::SleepMicros(std::uint64_t micros)
{
    PreciseSleep(micros);
}

std::unique_ptr<CCommPort> CreatePlatformCommPort()
{
    return std::make_unique<CWin32CommPort>();
}
