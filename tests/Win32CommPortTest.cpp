// The Win32 port backend against the port seam's contract, as every backend. The tests on
// real ports need COM1 wired to COM2 by a null-modem cable (under Wine, scripts/wine-tests does
// that with pseudo-terminals and says so in LUMIVANE_NULL_MODEM); without one they skip.
// A pseudo-terminal carries no parity bit, so these check bytes and order, not the ninth bit.
#include "link/Win32CommPort.h"
#include "link/PortError.h"
#include "link/PortMap.h"

#include "CommPortContract.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <windows.h>

namespace {

using namespace std::chrono_literals;

using port_contract::LineSettings;
constexpr std::uint8_t kMarker = 'M';
constexpr std::size_t kStaleBytes = 4096;

struct ClassifyRow {
    DWORD code;
    PortFailure failure;
};

class Win32PortErrors : public ::testing::TestWithParam<ClassifyRow> {};

TEST_P(Win32PortErrors, MapToWhatTheOperatorIsTold)
{
    EXPECT_EQ(ClassifyPortError(GetParam().code), GetParam().failure);
}

INSTANTIATE_TEST_SUITE_P(
    Win32CommPort, Win32PortErrors,
    ::testing::Values(ClassifyRow{ERROR_FILE_NOT_FOUND, PortFailure::NoDevice},
                      // Wine: a COM port whose device node is gone.
                      ClassifyRow{ERROR_INVALID_FUNCTION, PortFailure::NoDevice},
                      ClassifyRow{ERROR_DEVICE_REMOVED, PortFailure::NoDevice},
                      ClassifyRow{ERROR_GEN_FAILURE, PortFailure::Gone},
                      ClassifyRow{ERROR_BAD_COMMAND, PortFailure::Gone},
                      // Wine: a pseudo-terminal whose far end closed.
                      ClassifyRow{ERROR_NOT_READY, PortFailure::Gone},
                      // Wine: a COM port mapped to /dev/null or a file.
                      ClassifyRow{ERROR_NOT_SUPPORTED, PortFailure::NotSerial},
                      ClassifyRow{ERROR_ACCESS_DENIED, PortFailure::InUse},
                      ClassifyRow{ERROR_SHARING_VIOLATION, PortFailure::InUse},
                      ClassifyRow{ERROR_SEM_TIMEOUT, PortFailure::Timeout},
                      ClassifyRow{ERROR_COUNTER_TIMEOUT, PortFailure::Timeout},
                      ClassifyRow{ERROR_INVALID_PARAMETER, PortFailure::Other}));

TEST(Win32CommPort, SleepMicrosWaitsAtLeastTheTimeAsked)
{
    CWin32CommPort port;
    const auto start = std::chrono::steady_clock::now();
    port.SleepMicros(1500);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 1500us);
}

// One end of the cable, opened straight through the system: the box at the far end, or the
// previous user who left the port set up their way.
class CRawPort {
public:
    explicit CRawPort(const char* name)
        : m_handle(::CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                                 nullptr))
    {
    }
    ~CRawPort()
    {
        if (IsOpen())
            ::CloseHandle(m_handle);
    }
    CRawPort(const CRawPort&) = delete;
    CRawPort& operator=(const CRawPort&) = delete;

    bool IsOpen() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_handle; }
    bool Write(const std::vector<std::uint8_t>& bytes)
    {
        DWORD written = 0;
        return ::WriteFile(m_handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                           nullptr) &&
               written == bytes.size();
    }
    // What arrives until `count` bytes are in or `deadline` has passed.
    std::vector<std::uint8_t> Read(std::size_t count, std::chrono::milliseconds deadline)
    {
        COMMTIMEOUTS timeouts{};
        timeouts.ReadTotalTimeoutConstant = static_cast<DWORD>(deadline.count());
        std::vector<std::uint8_t> bytes(count);
        std::size_t got = 0;
        if (!::SetCommTimeouts(m_handle, &timeouts))
            count = 0;
        while (got < count) {
            DWORD n = 0;
            if (!::ReadFile(m_handle, bytes.data() + got, static_cast<DWORD>(count - got), &n,
                            nullptr) ||
                n == 0)
                break;
            got += n;
        }
        bytes.resize(got);
        return bytes;
    }
    // Sets the port up as a program that wants every handshake would, at its own rate.
    bool LeaveFlowControlOn()
    {
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        if (!::GetCommState(m_handle, &dcb))
            return false;
        dcb.BaudRate = 19200;
        dcb.StopBits = TWOSTOPBITS;
        dcb.fOutX = TRUE;
        dcb.fInX = TRUE;
        dcb.fOutxCtsFlow = TRUE;
        dcb.fOutxDsrFlow = TRUE;
        dcb.fDsrSensitivity = TRUE;
        dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
        dcb.fDtrControl = DTR_CONTROL_HANDSHAKE;
        return ::SetCommState(m_handle, &dcb) != 0;
    }

private:
    HANDLE m_handle;
};

bool NullModem()
{
    return std::getenv("LUMIVANE_NULL_MODEM") != nullptr;
}

// The Win32 port on COM1 as a backend of the seam; the box sits on COM2 at the far end of the
// null-modem cable.
class Win32Driver {
public:
    Win32Driver()
    {
        if (!NullModem())
            return;
        m_box = std::make_unique<CRawPort>("COM2");
        // What earlier tests sent, or set free when they let the line go, is not this test's.
        while (m_box->IsOpen() && !m_box->Read(kStaleBytes, port_contract::kSilence).empty()) {
        }
    }
    ~Win32Driver()
    {
        // The held line outlives the handle; the next test needs it moving again.
        if (m_bHeld) {
            CRawPort com1("COM1");
            if (com1.IsOpen())
                ::EscapeCommFunction(com1.Get(), SETXON);
        }
    }
    Win32Driver(const Win32Driver&) = delete;
    Win32Driver& operator=(const Win32Driver&) = delete;

    std::string Missing() const
    {
        return NullModem() ? "" : "needs COM1 wired to COM2 (LUMIVANE_NULL_MODEM)";
    }
    CCommPort& Port() { return m_port; }
    std::string Name() const { return "COM1"; }
    // Windows refuses a COM port that is already open; Wine lets a second handle have it.
    std::string WhyASecondOpenPasses() const
    {
        const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
        const bool wine =
            ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
        return wine ? "Wine does not hold COM ports exclusively" : "";
    }

    void LeaveItAsAPreviousUserWould()
    {
        ASSERT_TRUE(m_box->IsOpen());
        {
            // The previous user takes an XOFF, and its port stops sending. The marker behind
            // the XOFF shows that the XOFF has been taken.
            CRawPort previous("COM1");
            ASSERT_TRUE(previous.IsOpen());
            ASSERT_TRUE(previous.LeaveFlowControlOn());
            ASSERT_TRUE(m_box->Write({port_contract::kXoff, kMarker}));
            ASSERT_EQ(previous.Read(1, port_contract::kArrival),
                      std::vector<std::uint8_t>{kMarker});
        }
        CRawPort next("COM1");
        DCB left{};
        left.DCBlength = sizeof left;
        ASSERT_TRUE(::GetCommState(next.Get(), &left));
        ASSERT_TRUE(left.fOutX && left.fInX && left.fOutxCtsFlow) << "the port kept nothing";
    }

    LineSettings Settings(PortHandle handle)
    {
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        EXPECT_TRUE(::GetCommState(ToHandle(handle), &dcb));
        LineSettings settings;
        settings.baudRate = dcb.BaudRate;
        settings.dataBits = dcb.ByteSize;
        settings.stopBits = dcb.StopBits;
        settings.translation = !dcb.fBinary;
        settings.softwareFlow = dcb.fOutX || dcb.fInX;
        // The interface is powered from DTR and RTS: anything but both held on is wrong.
        settings.hardwareFlow = dcb.fOutxCtsFlow || dcb.fOutxDsrFlow || dcb.fDsrSensitivity ||
                                dcb.fDtrControl != DTR_CONTROL_ENABLE ||
                                dcb.fRtsControl != RTS_CONTROL_ENABLE;
        return settings;
    }
    // Under Wine on a pseudo-terminal the port reports no parity back.
    std::optional<CommParity> ParityOfLastByte(PortHandle) { return std::nullopt; }
    void BoxSends(const std::vector<std::uint8_t>& bytes) { EXPECT_TRUE(m_box->Write(bytes)); }
    std::size_t Unread(PortHandle handle)
    {
        DWORD errors = 0;
        COMSTAT status{};
        EXPECT_TRUE(::ClearCommError(ToHandle(handle), &errors, &status));
        return status.cbInQue;
    }
    std::vector<std::uint8_t> BoxReceives(std::size_t count, std::chrono::milliseconds deadline)
    {
        return m_box->Read(count, deadline);
    }
    // As if an XOFF had arrived with XOFF handshake on: the port sends nothing more.
    void HoldLine(PortHandle handle)
    {
        m_bHeld = true;
        EXPECT_TRUE(::EscapeCommFunction(ToHandle(handle), SETXOFF));
    }

private:
    static HANDLE ToHandle(PortHandle handle) { return reinterpret_cast<HANDLE>(handle); }

    CWin32CommPort m_port{
        Win32PortOptions{port_contract::kWriteDeadline, port_contract::kDrainDeadline}};
    std::unique_ptr<CRawPort> m_box;
    bool m_bHeld = false;
};

} // namespace

namespace port_contract {
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, CommPortContract, Win32Driver);
} // namespace port_contract

namespace {

// The system's lists, read for real. Wine lists its ports only in the SERIALCOMM device map
// (its device manager has no Ports class devices), all as \Device\SerialN.
TEST(Win32CommPortOnACable, ThePortMapNamesEachPortAsTheSystemDoes)
{
    if (!NullModem())
        GTEST_SKIP() << "needs COM1 wired to COM2 (LUMIVANE_NULL_MODEM)";
    const PortSurvey survey = CPortMap::Program()->Survey();
    for (int index = 0; index < kComPortCount; ++index) {
        const std::string name = "COM" + std::to_string(index + 1);
        const auto& port = survey.com[static_cast<std::size_t>(index)];
        ASSERT_TRUE(port) << name;
        EXPECT_NE(port->description.find("(" + name + ")"), std::string::npos)
            << name << " is " << port->description;
        EXPECT_EQ(port->path, "") << "no driver device for people";
        EXPECT_EQ(CPortMap::Program()->Resolve(index), port);
    }
    EXPECT_FALSE(CPortMap::Program()->Resolve(kComPortCount));
    for (const PortBeyondReach& port : survey.beyond) {
        EXPECT_GT(port.comNumber, kComPortCount);
        std::cout << "beyond COM4: " << port.description << "\n";
    }
}

// The Wine session maps a port beyond COM4 (LUMIVANE_PORT_BEYOND, e.g. COM7) to /dev/null.
TEST(Win32PortMap, APortBeyondCom4IsNamedWithItsNumber)
{
    const char* beyond = std::getenv("LUMIVANE_PORT_BEYOND");
    if (beyond == nullptr)
        GTEST_SKIP() << "needs a port beyond COM4 (LUMIVANE_PORT_BEYOND)";
    const std::string name = beyond;
    const int number = std::stoi(name.substr(3));
    const PortSurvey survey = CPortMap::Program()->Survey();
    const auto found =
        std::find_if(survey.beyond.begin(), survey.beyond.end(),
                     [&](const PortBeyondReach& port) { return port.comNumber == number; });
    ASSERT_NE(found, survey.beyond.end()) << name;
    EXPECT_NE(found->description.find("(" + name + ")"), std::string::npos) << found->description;
}

} // namespace
