// The Win32 port backend against the same contract as the termios one. The tests on real
// ports need COM1 wired to COM2 by a null-modem cable (under Wine, scripts/wine-tests does
// that with pseudo-terminals and says so in LUMIVANE_NULL_MODEM); without one they skip.
// A pseudo-terminal carries no parity bit, so these check bytes and order, not the ninth bit.
#include "link/Win32CommPort.h"
#include "link/PortError.h"
#include "link/PortMap.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <windows.h>

namespace {

using namespace std::chrono_literals;

constexpr std::uint8_t kXoff = 0x13;
constexpr std::uint8_t kMarker = 'M';
constexpr DWORD kReadDeadlineMs = 5000;
constexpr std::uint32_t kBaud = 9600;

struct ClassifyRow {
    DWORD code;
    PortFailure failure;
};

class Win32PortErrors : public ::testing::TestWithParam<ClassifyRow> {};

TEST_P(Win32PortErrors, MapToWhatTheOperatorIsTold)
{
    EXPECT_EQ(ClassifyPortError(GetParam().code), GetParam().failure);
}

INSTANTIATE_TEST_SUITE_P(Win32CommPort, Win32PortErrors,
                         ::testing::Values(ClassifyRow{ERROR_FILE_NOT_FOUND, PortFailure::NoDevice},
                                           ClassifyRow{ERROR_ACCESS_DENIED, PortFailure::InUse},
                                           ClassifyRow{ERROR_SEM_TIMEOUT, PortFailure::Timeout},
                                           ClassifyRow{ERROR_COUNTER_TIMEOUT, PortFailure::Timeout},
                                           ClassifyRow{ERROR_GEN_FAILURE, PortFailure::Other}));

TEST(Win32CommPort, SleepMicrosWaitsAtLeastTheTimeAsked)
{
    CWin32CommPort port;
    const auto start = std::chrono::steady_clock::now();
    port.SleepMicros(1500);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 1500us);
}

// One end of the cable, opened straight through the system: the peer side for the port under
// test, or the previous user who left the port set up their way.
class CRawPort {
public:
    explicit CRawPort(const char* name)
        : m_handle(::CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                                 nullptr))
    {
        COMMTIMEOUTS timeouts{};
        timeouts.ReadTotalTimeoutConstant = kReadDeadlineMs;
        if (IsOpen())
            ::SetCommTimeouts(m_handle, &timeouts);
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
    bool Write(std::vector<std::uint8_t> bytes)
    {
        DWORD written = 0;
        return ::WriteFile(m_handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                           nullptr) &&
               written == bytes.size();
    }
    // What arrives until `count` bytes are in or a read waits out its deadline.
    std::vector<std::uint8_t> Read(std::size_t count)
    {
        std::vector<std::uint8_t> bytes(count);
        std::size_t got = 0;
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
    // Sets the port up as a program that wants every handshake would.
    bool LeaveFlowControlOn()
    {
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        if (!::GetCommState(m_handle, &dcb))
            return false;
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

DCB NativeDcb(const CommState& state)
{
    DCB dcb{};
    if (state.native.size() == sizeof dcb)
        std::memcpy(&dcb, state.native.data(), sizeof dcb);
    return dcb;
}

class Win32CommPortOnACable : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (std::getenv("LUMIVANE_NULL_MODEM") == nullptr)
            GTEST_SKIP() << "needs COM1 wired to COM2 (LUMIVANE_NULL_MODEM)";
    }
    // Opens COM1 through the backend with the link's character format.
    PortHandle OpenCom1()
    {
        const PortHandle handle = port.OpenDevice("COM1");
        CommState state;
        EXPECT_TRUE(port.GetState(handle, state)) << port.LastError();
        state.BaudRate = kBaud;
        state.ByteSize = 8;
        state.Parity = NOPARITY;
        state.StopBits = ONESTOPBIT;
        EXPECT_TRUE(port.SetState(handle, state)) << port.LastError();
        return handle;
    }

    CWin32CommPort port{Win32PortOptions{200ms, 200ms}};
};

TEST_F(Win32CommPortOnACable, BytesArriveInTheOrderWritten)
{
    CRawPort peer("COM2");
    ASSERT_TRUE(peer.IsOpen());
    const PortHandle handle = OpenCom1();
    ASSERT_NE(handle, INVALID_PORT_HANDLE) << port.LastError();
    std::vector<std::uint8_t> sent;
    for (int value = 0; value <= 0xFF; ++value) {
        ASSERT_TRUE(port.WriteByte(handle, static_cast<std::uint8_t>(value))) << port.LastError();
        sent.push_back(static_cast<std::uint8_t>(value));
    }
    EXPECT_TRUE(port.DrainOutput(handle)) << port.LastError();
    EXPECT_EQ(peer.Read(sent.size()), sent);
    EXPECT_TRUE(port.CloseDevice(handle)) << port.LastError();
}

TEST_F(Win32CommPortOnACable, FlowControlThePreviousUserLeftOnIsTurnedOff)
{
    {
        CRawPort previous("COM1");
        ASSERT_TRUE(previous.IsOpen());
        ASSERT_TRUE(previous.LeaveFlowControlOn());
    }
    {
        CRawPort next("COM1");
        DCB left{};
        left.DCBlength = sizeof left;
        ASSERT_TRUE(::GetCommState(next.Get(), &left));
        ASSERT_TRUE(left.fOutX && left.fInX && left.fOutxCtsFlow) << "the port kept nothing";
    }
    const PortHandle handle = OpenCom1();
    ASSERT_NE(handle, INVALID_PORT_HANDLE);
    CommState state;
    ASSERT_TRUE(port.GetState(handle, state));
    const DCB dcb = NativeDcb(state);
    EXPECT_FALSE(dcb.fOutX);
    EXPECT_FALSE(dcb.fInX);
    EXPECT_FALSE(dcb.fOutxCtsFlow);
    EXPECT_FALSE(dcb.fOutxDsrFlow);
    EXPECT_FALSE(dcb.fDsrSensitivity);
    EXPECT_EQ(dcb.fDtrControl, static_cast<DWORD>(DTR_CONTROL_ENABLE));
    EXPECT_EQ(dcb.fRtsControl, static_cast<DWORD>(RTS_CONTROL_ENABLE));
    EXPECT_TRUE(port.CloseDevice(handle));
}

TEST_F(Win32CommPortOnACable, AnXoffOnTheLineDoesNotHoldTheBytes)
{
    CRawPort peer("COM2");
    ASSERT_TRUE(peer.IsOpen());
    {
        // The previous user takes an XOFF, and its port stops sending. The marker behind the
        // XOFF shows that the XOFF has been taken.
        CRawPort previous("COM1");
        ASSERT_TRUE(previous.IsOpen());
        ASSERT_TRUE(previous.LeaveFlowControlOn());
        ASSERT_TRUE(peer.Write({kXoff, kMarker}));
        ASSERT_EQ(previous.Read(1), std::vector<std::uint8_t>{kMarker});
    }
    const PortHandle handle = OpenCom1();
    ASSERT_NE(handle, INVALID_PORT_HANDLE);
    const std::vector<std::uint8_t> frame{0xFF, 0x00, 0x07, 0x00, 0x80, 0x43};
    for (const std::uint8_t byte : frame)
        ASSERT_TRUE(port.WriteByte(handle, byte)) << port.LastError();
    EXPECT_EQ(peer.Read(frame.size()), frame);
    EXPECT_TRUE(port.CloseDevice(handle));
}

TEST_F(Win32CommPortOnACable, AWriteTheLineHoldsBackFailsAsATimeoutAndTheCloseDoesNotHang)
{
    const PortHandle handle = OpenCom1();
    ASSERT_NE(handle, INVALID_PORT_HANDLE);
    // As if an XOFF had arrived with XOFF handshake on: the port sends nothing more.
    ASSERT_TRUE(::EscapeCommFunction(reinterpret_cast<HANDLE>(handle), SETXOFF));
    bool failed = false;
    // The first bytes may still find room in the driver's queue; the deadline catches the rest.
    for (int i = 0; i < 0x10000 && !failed; ++i)
        failed = !port.WriteByte(handle, kMarker);
    EXPECT_TRUE(failed);
    EXPECT_EQ(ClassifyPortError(port.LastError()), PortFailure::Timeout) << port.LastError();
    ::EscapeCommFunction(reinterpret_cast<HANDLE>(handle), SETXON);
    EXPECT_TRUE(port.CloseDevice(handle));
}

TEST_F(Win32CommPortOnACable, ThePortMapNamesTheDeviceBehindEachPort)
{
    for (int index = 0; index < kComPortCount; ++index) {
        const auto port = CPortMap::Program()->Resolve(index);
        ASSERT_TRUE(port) << "COM" << index + 1;
        EXPECT_FALSE(port->path.empty());
    }
    EXPECT_FALSE(CPortMap::Program()->Resolve(kComPortCount));
}

} // namespace
