// Our headers come before <windows.h>: it defines NOPARITY, MARKPARITY, ONESTOPBIT and the
// like as macros, and the constexpr declarations of those names would not compile after it.
#include "Win32CommPort.h"

#include "DeviceFrame.h"

#include <cstring>
#include <limits>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace {

HANDLE ToHandle(PortHandle handle)
{
    return reinterpret_cast<HANDLE>(handle);
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
    return reinterpret_cast<PortHandle>(handle);
}

void CWin32CommPort::FlushBuffers(PortHandle handle)
{
    // The result is unused and must not hide the error of a failed open.
    if (!IsInvalid(handle))
        ::FlushFileBuffers(ToHandle(handle));
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
    state.Parity = dcb.Parity;
    state.StopBits = dcb.StopBits;
    state.native.resize(sizeof dcb);
    std::memcpy(state.native.data(), &dcb, sizeof dcb);
    return true;
}

bool CWin32CommPort::SetState(PortHandle handle, const CommState& state)
{
    if (IsInvalid(handle))
        return Fail(ERROR_INVALID_HANDLE);
    // DCB.Parity is one byte; a larger code must not wrap round to a valid one.
    if (state.Parity > std::numeric_limits<BYTE>::max())
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
    dcb.Parity = static_cast<BYTE>(state.Parity);
    dcb.StopBits = state.StopBits;
    if (!::SetCommState(ToHandle(handle), &dcb))
        return Fail(::GetLastError());
    return true;
}

bool CWin32CommPort::DrainOutput(PortHandle handle)
{
    if (IsInvalid(handle))
        return Fail(ERROR_INVALID_HANDLE);
    if (!::FlushFileBuffers(ToHandle(handle)))
        return Fail(::GetLastError());
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
    ::Sleep(milliseconds);
}

std::unique_ptr<CCommPort> CreatePlatformCommPort()
{
    return std::make_unique<CWin32CommPort>();
}
