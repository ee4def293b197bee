#include "link/PosixCommPort.h"
#include "link/DeviceFrame.h"

#include "PseudoTerminal.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr std::uint16_t kOdd = 1;
constexpr std::uint16_t kEven = 2;

constexpr std::uint32_t Errno(int code)
{
    return static_cast<std::uint32_t>(code);
}

PosixPortOptions EmptyMap(const CTempDir& tree)
{
    PosixPortOptions options;
    options.portMap = std::make_shared<CPortMap>(tree / "dev", tree / "sys", tree / "lock");
    options.writeDeadline = std::chrono::milliseconds(20);
    return options;
}

termios NativeOf(const CommState& state)
{
    termios settings{};
    if (state.native.size() == sizeof settings)
        std::memcpy(&settings, state.native.data(), sizeof settings);
    return settings;
}

struct PosixCommPortTest : ::testing::Test {
    CTempDir tree;
    CPseudoTerminal pty;
    CPosixCommPort port{EmptyMap(tree)};
    PortHandle handle = INVALID_PORT_HANDLE;

    void SetUp() override
    {
        ASSERT_TRUE(pty.IsOpen());
        handle = port.OpenDevice(pty.SlavePath());
        ASSERT_NE(handle, INVALID_PORT_HANDLE) << std::strerror(static_cast<int>(port.LastError()));
    }
    // The link's own settings: 9600 baud, 8 data bits, one stop bit, mark parity.
    void SetLinkFormat()
    {
        CommState state;
        ASSERT_TRUE(port.GetState(handle, state));
        state.BaudRate = 9600;
        state.ByteSize = 8;
        state.StopBits = ONESTOPBIT;
        state.Parity = MARKPARITY;
        ASSERT_TRUE(port.SetState(handle, state));
    }
};

TEST_F(PosixCommPortTest, SecondOpenOfAHeldPortIsBusyAndLeaksNothing)
{
    const int descriptors = OpenDescriptorCount();
    CPosixCommPort other{EmptyMap(tree)};
    EXPECT_EQ(other.OpenDevice(pty.SlavePath()), INVALID_PORT_HANDLE);
    EXPECT_EQ(other.LastError(), Errno(EBUSY));
    EXPECT_EQ(port.OpenDevice(pty.SlavePath()), INVALID_PORT_HANDLE);
    EXPECT_EQ(port.LastError(), Errno(EBUSY));
    EXPECT_EQ(OpenDescriptorCount(), descriptors);
}

TEST_F(PosixCommPortTest, ClosedPortCanBeOpenedAgain)
{
    ASSERT_TRUE(port.CloseDevice(handle));
    handle = port.OpenDevice(pty.SlavePath());
    EXPECT_NE(handle, INVALID_PORT_HANDLE);
}

TEST_F(PosixCommPortTest, SettingsThePortAlreadyHoldsAreSetAgain)
{
    // A pty drops PARENB; a second identical request changes nothing and must still succeed.
    SetLinkFormat();
    SetLinkFormat();
}

TEST_F(PosixCommPortTest, DataBitsThePortRefusesFailTheSetState)
{
    CommState state;
    ASSERT_TRUE(port.GetState(handle, state));
    state.ByteSize = 7; // a pty always keeps 8
    EXPECT_FALSE(port.SetState(handle, state));
    EXPECT_EQ(port.LastError(), Errno(EINVAL));
}

TEST_F(PosixCommPortTest, BytesArriveInOrderAndUnchanged)
{
    SetLinkFormat();
    // 0x0A would become 0x0D 0x0A if output post-processing were left on.
    const std::vector<std::uint8_t> sent = {0xFF, 0x00, 0x0A, 0x0D, 0x13, 0x80, 0x7F};
    for (const std::uint8_t byte : sent)
        ASSERT_TRUE(port.WriteByte(handle, byte));
    EXPECT_EQ(pty.Read(sent.size() + 1, std::chrono::milliseconds(200)), sent);
    EXPECT_TRUE(port.DrainOutput(handle));
}

struct PtyStateRow {
    std::uint32_t baudRate;
    std::uint8_t stopBits;
    std::uint16_t parity;
    bool parOdd, cmspar; // what the pty keeps of the parity; it always clears PARENB
};

struct PtyStateTest : PosixCommPortTest, ::testing::WithParamInterface<PtyStateRow> {};

TEST_P(PtyStateTest, SettingsRoundTripAsFarAsAPtyKeepsThem)
{
    const PtyStateRow& row = GetParam();
    CommState state;
    ASSERT_TRUE(port.GetState(handle, state));
    state.BaudRate = row.baudRate;
    state.StopBits = row.stopBits;
    state.Parity = row.parity;
    ASSERT_TRUE(port.SetState(handle, state));

    CommState back;
    ASSERT_TRUE(port.GetState(handle, back));
    EXPECT_EQ(back.BaudRate, row.baudRate);
    EXPECT_EQ(back.StopBits, row.stopBits);
    EXPECT_EQ(back.ByteSize, 8);
    EXPECT_EQ(back.Parity, NOPARITY);
    const termios native = NativeOf(back);
    EXPECT_EQ((native.c_cflag & PARODD) != 0, row.parOdd);
    EXPECT_EQ((native.c_cflag & CMSPAR) != 0, row.cmspar);
    EXPECT_EQ(native.c_oflag & OPOST, 0U);
}

INSTANTIATE_TEST_SUITE_P(Pty, PtyStateTest,
                         ::testing::Values(PtyStateRow{9600, ONESTOPBIT, MARKPARITY, true, true},
                                           PtyStateRow{19200, TWOSTOPBITS, SPACEPARITY, false,
                                                       true},
                                           PtyStateRow{115200, ONESTOPBIT, NOPARITY, false, false},
                                           PtyStateRow{300, TWOSTOPBITS, kOdd, true, false}));

TEST_F(PosixCommPortTest, SetStateStartsFromTheNativeBlock)
{
    CommState state;
    ASSERT_TRUE(port.GetState(handle, state));
    ASSERT_EQ(state.native.size(), sizeof(termios));
    termios native = NativeOf(state);
    native.c_cc[VMIN] = 7;
    native.c_iflag ^= IXON;
    std::memcpy(state.native.data(), &native, sizeof native);
    ASSERT_TRUE(port.SetState(handle, state));

    CommState back;
    ASSERT_TRUE(port.GetState(handle, back));
    EXPECT_EQ(NativeOf(back).c_cc[VMIN], 7);
    EXPECT_EQ(NativeOf(back).c_iflag & IXON, native.c_iflag & IXON);
}

TEST_F(PosixCommPortTest, LinkFormatDropsFlowControlAndOutputProcessingThePortHeld)
{
    termios before{};
    ASSERT_EQ(::tcgetattr(pty.MasterFd(), &before), 0);
    before.c_iflag |= IXON;
    before.c_oflag |= OPOST;
    ASSERT_EQ(::tcsetattr(pty.MasterFd(), TCSANOW, &before), 0);
    ASSERT_EQ(::tcgetattr(pty.MasterFd(), &before), 0);
    ASSERT_NE(before.c_iflag & IXON, 0U) << "the pty keeps what the last user left";

    SetLinkFormat();
    termios after{};
    ASSERT_EQ(::tcgetattr(pty.MasterFd(), &after), 0);
    EXPECT_EQ(after.c_iflag & IXON, 0U) << "a stray XOFF would stall the frames";
    EXPECT_EQ(after.c_oflag & OPOST, 0U);
}

TEST_F(PosixCommPortTest, WriteAfterTheOtherEndHungUpFails)
{
    pty.CloseMaster();
    EXPECT_FALSE(port.WriteByte(handle, 0x55));
    EXPECT_EQ(port.LastError(), Errno(EIO));
    EXPECT_FALSE(port.DrainOutput(handle));
    // The descriptor is released even though nothing could drain.
    const int descriptors = OpenDescriptorCount();
    EXPECT_TRUE(port.CloseDevice(handle));
    EXPECT_EQ(OpenDescriptorCount(), descriptors - 1);
}

TEST_F(PosixCommPortTest, ByteThatFindsNoRoomInTimeFails)
{
    SetLinkFormat();
    // Nobody reads the master, so the queue fills; the deadline is 20 ms.
    constexpr int kMoreThanAnyQueue = 1 << 22;
    int written = 0;
    while (written < kMoreThanAnyQueue && port.WriteByte(handle, 0x55))
        ++written;
    EXPECT_LT(written, kMoreThanAnyQueue);
    EXPECT_EQ(port.LastError(), Errno(ETIMEDOUT));
}

TEST_F(PosixCommPortTest, HandlesItDidNotOpenAreRefused)
{
    EXPECT_FALSE(port.CloseDevice(INVALID_PORT_HANDLE));
    EXPECT_EQ(port.LastError(), Errno(EBADF));
    EXPECT_FALSE(port.WriteByte(STDERR_FILENO, 0x41));
    EXPECT_FALSE(port.CloseDevice(STDERR_FILENO));
    EXPECT_NE(::fcntl(STDERR_FILENO, F_GETFD), -1);
    ASSERT_TRUE(port.CloseDevice(handle));
    EXPECT_FALSE(port.CloseDevice(handle));
    EXPECT_EQ(port.LastError(), Errno(EBADF));
}

TEST_F(PosixCommPortTest, DestroyingThePortClosesWhatIsStillOpen)
{
    const int descriptors = OpenDescriptorCount();
    {
        CPosixCommPort other{EmptyMap(tree)};
        CPseudoTerminal second;
        ASSERT_NE(other.OpenDevice(second.SlavePath()), INVALID_PORT_HANDLE);
    }
    EXPECT_EQ(OpenDescriptorCount(), descriptors);
}

TEST_F(PosixCommPortTest, NonTerminalIsNoPort)
{
    tree.WriteFile("plain");
    const int descriptors = OpenDescriptorCount();
    EXPECT_EQ(port.OpenDevice(tree / "plain"), INVALID_PORT_HANDLE);
    EXPECT_EQ(port.LastError(), Errno(ENOTTY));
    EXPECT_EQ(OpenDescriptorCount(), descriptors);
}

std::string LockName(const std::string& devicePath)
{
    return "lock/LCK.." + std::filesystem::path(devicePath).filename().string();
}

TEST_F(PosixCommPortTest, ADeviceLockedByALiveProgramIsBusy)
{
    CPseudoTerminal other;
    // The process that started the tests stands for the other program: it is surely alive.
    tree.WriteFile(LockName(other.SlavePath()), std::to_string(::getppid()) + "\n");
    const int descriptors = OpenDescriptorCount();
    EXPECT_EQ(port.OpenDevice(other.SlavePath()), INVALID_PORT_HANDLE);
    EXPECT_EQ(port.LastError(), Errno(EBUSY));
    EXPECT_EQ(OpenDescriptorCount(), descriptors);
}

TEST_F(PosixCommPortTest, AStaleLockIsIgnoredAndTheHeldPortIsLockedUntilClosed)
{
    CPseudoTerminal other;
    const std::string lockFile = tree / LockName(other.SlavePath());
    tree.WriteFile(LockName(other.SlavePath()), "2147483646\n"); // no such process
    const PortHandle held = port.OpenDevice(other.SlavePath());
    ASSERT_NE(held, INVALID_PORT_HANDLE);
    std::ifstream in(lockFile);
    long pid = 0;
    EXPECT_TRUE(in >> pid);
    EXPECT_EQ(pid, ::getpid());
    ASSERT_TRUE(port.CloseDevice(held));
    EXPECT_FALSE(std::filesystem::exists(lockFile));
}

TEST_F(PosixCommPortTest, AComPortWhoseDeviceIsUnpluggedFailsAsIfItHadNone)
{
    CPseudoTerminal first, second;
    tree.Symlink(first.SlavePath(), "dev/ttyUSB0");
    tree.Symlink("../../ttyUSB0", "dev/serial/by-id/usb-Maker_Cable_A1-if00-port0");
    const PortHandle com1 = port.OpenDevice("COM1");
    ASSERT_NE(com1, INVALID_PORT_HANDLE);
    ASSERT_TRUE(port.CloseDevice(com1));

    // Another adapter is plugged in and the kernel hands it the name the first one had.
    std::filesystem::remove_all(tree / "dev");
    tree.Symlink(second.SlavePath(), "dev/ttyUSB0");
    tree.Symlink("../../ttyUSB0", "dev/serial/by-id/usb-Maker_Cable_B2-if00-port0");
    EXPECT_EQ(port.OpenDevice("COM1"), INVALID_PORT_HANDLE);
    EXPECT_EQ(port.LastError(), Errno(ENOENT));
    const PortHandle com2 = port.OpenDevice("COM2");
    EXPECT_NE(com2, INVALID_PORT_HANDLE);
    EXPECT_TRUE(port.CloseDevice(com2));
}

struct UnknownNameTest : ::testing::TestWithParam<const char*> {};

TEST_P(UnknownNameTest, NamesWithoutADeviceFailWithNoSuchDevice)
{
    CTempDir tree;
    CPosixCommPort port{EmptyMap(tree)};
    EXPECT_EQ(port.OpenDevice(GetParam()), INVALID_PORT_HANDLE);
    EXPECT_EQ(port.LastError(), Errno(ENOENT));
}

INSTANTIATE_TEST_SUITE_P(PosixCommPort, UnknownNameTest,
                         ::testing::Values("COM1", "COM4", "COM5", "COM0", "com1", "LPT1", ""));

struct ParityRow {
    std::uint16_t parity;
    tcflag_t flags; // of PARENB | PARODD | CMSPAR
};

struct ParityCodingTest : ::testing::TestWithParam<ParityRow> {};

TEST_P(ParityCodingTest, ParityCodeAndTermiosFlagsConvertBothWays)
{
    termios settings{};
    settings.c_cflag = PARENB | PARODD | CMSPAR | CS8;
    CommState state = CommStateFromTermios(settings);
    state.BaudRate = 9600;
    state.Parity = GetParam().parity;
    ASSERT_EQ(ApplyCommState(state, settings), 0);
    EXPECT_EQ(settings.c_cflag & (PARENB | PARODD | CMSPAR), GetParam().flags);
    EXPECT_EQ(CommStateFromTermios(settings).Parity, GetParam().parity);
}

INSTANTIATE_TEST_SUITE_P(PosixCommPort, ParityCodingTest,
                         ::testing::Values(ParityRow{NOPARITY, 0}, ParityRow{kOdd, PARENB | PARODD},
                                           ParityRow{kEven, PARENB},
                                           ParityRow{MARKPARITY, PARENB | PARODD | CMSPAR},
                                           ParityRow{SPACEPARITY, PARENB | CMSPAR}));

struct BadStateRow {
    std::uint32_t baudRate;
    std::uint8_t byteSize, stopBits;
    std::uint16_t parity;
};

struct BadStateTest : ::testing::TestWithParam<BadStateRow> {};

TEST_P(BadStateTest, ValuesTermiosCannotExpressAreInvalid)
{
    termios settings{};
    settings.c_oflag = OPOST;
    const CommState state{
        GetParam().baudRate, GetParam().byteSize, GetParam().parity, GetParam().stopBits, {}};
    EXPECT_EQ(ApplyCommState(state, settings), EINVAL);
    EXPECT_EQ(settings.c_oflag, static_cast<tcflag_t>(OPOST)); // left as it was
}

INSTANTIATE_TEST_SUITE_P(PosixCommPort, BadStateTest,
                         ::testing::Values(BadStateRow{0, 8, ONESTOPBIT, NOPARITY},
                                           BadStateRow{12345, 8, ONESTOPBIT, NOPARITY},
                                           BadStateRow{9600, 4, ONESTOPBIT, NOPARITY},
                                           BadStateRow{9600, 9, ONESTOPBIT, NOPARITY},
                                           BadStateRow{9600, 8, 1, NOPARITY}, // 1.5 stop bits
                                           BadStateRow{9600, 8, ONESTOPBIT, 5}));

} // namespace
