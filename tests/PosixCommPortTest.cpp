#include "link/PosixCommPort.h"
#include "link/DeviceFrame.h"

#include "CommPortContract.h"
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
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

using port_contract::LineSettings;

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

// The termios port on a pseudo-terminal as a backend of the seam: the test reads and sets the
// terminal's settings through the master, and plays the box there.
class TermiosDriver {
public:
    TermiosDriver() : m_port(Options(m_tree)) {}

    std::string Missing() const { return m_pty.IsOpen() ? "" : "no pseudo-terminal here"; }
    CCommPort& Port() { return m_port; }
    std::string Name() const { return m_pty.SlavePath(); }
    std::string WhyASecondOpenPasses() const { return {}; }

    void LeaveItAsAPreviousUserWould()
    {
        const int master = m_pty.MasterFd();
        termios settings{};
        ASSERT_EQ(::tcgetattr(master, &settings), 0);
        // Its output stopped by the box's XOFF: once the marker behind the XOFF has arrived, so
        // has the XOFF. Echo stays off until then, or the marker's echo would wait in the tty.
        settings.c_iflag |= IXON;
        settings.c_lflag &= ~static_cast<tcflag_t>(ECHO | ICANON);
        ASSERT_EQ(::tcsetattr(master, TCSANOW, &settings), 0);
        const std::uint8_t stop[] = {port_contract::kXoff, 'M'};
        ASSERT_EQ(::write(master, stop, sizeof stop), static_cast<ssize_t>(sizeof stop));
        const int previous = ::open(Name().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        ASSERT_GE(previous, 0);
        pollfd ready{previous, POLLIN, 0};
        std::uint8_t marker = 0;
        const bool arrived = ::poll(&ready, 1, 5000) == 1 && ::read(previous, &marker, 1) == 1;
        ::close(previous);
        ASSERT_TRUE(arrived && marker == 'M');

        settings.c_iflag |= IXOFF | IXANY | ICRNL;
        settings.c_oflag |= OPOST | ONLCR;
        settings.c_lflag |= ECHO | ECHOE | ECHOK | ECHONL | ICANON | ISIG | IEXTEN;
        settings.c_cflag |= CRTSCTS | CSTOPB;
        settings.c_cflag &= ~static_cast<tcflag_t>(CLOCAL);
        ASSERT_EQ(::cfsetospeed(&settings, B19200), 0);
        ASSERT_EQ(::tcsetattr(master, TCSANOW, &settings), 0);
        const LineSettings left = Settings(INVALID_PORT_HANDLE);
        ASSERT_TRUE(left.echo && left.lineEditing && left.signals && left.translation &&
                    left.softwareFlow && left.hardwareFlow && left.watchesCarrier &&
                    left.baudRate == 19200 && left.stopBits == TWOSTOPBITS)
            << "the pty keeps what its last user left";
    }

    LineSettings Settings(PortHandle)
    {
        termios held{};
        EXPECT_EQ(::tcgetattr(m_pty.MasterFd(), &held), 0);
        const CommState state = CommStateFromTermios(held);
        LineSettings settings;
        settings.baudRate = state.BaudRate;
        settings.dataBits = state.ByteSize;
        settings.stopBits = state.StopBits;
        settings.echo =
            (held.c_lflag & (ECHO | ECHOE | ECHOK | ECHONL | ECHOCTL | ECHOPRT | ECHOKE)) != 0;
        settings.lineEditing = (held.c_lflag & ICANON) != 0;
        settings.signals = (held.c_lflag & ISIG) != 0;
        settings.translation = (held.c_iflag & (INLCR | IGNCR | ICRNL | ISTRIP)) != 0 ||
                               (held.c_oflag & OPOST) != 0 || (held.c_lflag & IEXTEN) != 0;
        settings.softwareFlow = (held.c_iflag & (IXON | IXOFF | IXANY)) != 0;
        settings.hardwareFlow = (held.c_cflag & CRTSCTS) != 0;
        settings.watchesCarrier = (held.c_cflag & CLOCAL) == 0;
        return settings;
    }

    // A pseudo-terminal keeps the stick-parity flags, though it sends no parity bit.
    std::optional<CommParity> ParityOfLastByte(PortHandle)
    {
        termios held{};
        EXPECT_EQ(::tcgetattr(m_pty.MasterFd(), &held), 0);
        if ((held.c_cflag & CMSPAR) == 0)
            return std::nullopt;
        return (held.c_cflag & PARODD) != 0 ? CommParity::Mark : CommParity::Space;
    }

    void BoxSends(const std::vector<std::uint8_t>& bytes)
    {
        EXPECT_EQ(::write(m_pty.MasterFd(), bytes.data(), bytes.size()),
                  static_cast<ssize_t>(bytes.size()));
    }
    std::size_t Unread(PortHandle handle)
    {
        int count = 0;
        EXPECT_EQ(::ioctl(static_cast<int>(handle), FIONREAD, &count), 0);
        return static_cast<std::size_t>(count);
    }
    std::vector<std::uint8_t> BoxReceives(std::size_t count, std::chrono::milliseconds deadline)
    {
        return m_pty.Read(count, deadline);
    }
    // Nobody reads the master until the test asks: its queue fills.
    void HoldLine(PortHandle) {}

private:
    static PosixPortOptions Options(const CTempDir& tree)
    {
        PosixPortOptions options = EmptyMap(tree);
        options.writeDeadline = port_contract::kWriteDeadline;
        options.drainDeadline = port_contract::kDrainDeadline;
        return options;
    }

    CTempDir m_tree;
    CPseudoTerminal m_pty;
    CPosixCommPort m_port;
};

} // namespace

namespace port_contract {
INSTANTIATE_TYPED_TEST_SUITE_P(Termios, CommPortContract, TermiosDriver);
} // namespace port_contract

namespace {

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
        state.Parity = CommParity::Mark;
        ASSERT_TRUE(port.SetState(handle, state));
    }
};

TEST_F(PosixCommPortTest, AnotherPortObjectFindsAHeldPortBusyAndLeaksNothing)
{
    const int descriptors = OpenDescriptorCount();
    CPosixCommPort other{EmptyMap(tree)};
    EXPECT_EQ(other.OpenDevice(pty.SlavePath()), INVALID_PORT_HANDLE);
    EXPECT_EQ(other.LastError(), Errno(EBUSY));
    EXPECT_EQ(port.OpenDevice(pty.SlavePath()), INVALID_PORT_HANDLE);
    EXPECT_EQ(port.LastError(), Errno(EBUSY));
    EXPECT_EQ(OpenDescriptorCount(), descriptors);
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

struct PtyStateRow {
    std::uint32_t baudRate;
    std::uint8_t stopBits;
    CommParity parity;
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
    EXPECT_EQ(back.Parity, CommParity::None);
    const termios native = NativeOf(back);
    EXPECT_EQ((native.c_cflag & PARODD) != 0, row.parOdd);
    EXPECT_EQ((native.c_cflag & CMSPAR) != 0, row.cmspar);
    EXPECT_EQ(native.c_oflag & OPOST, 0U);
}

INSTANTIATE_TEST_SUITE_P(
    Pty, PtyStateTest,
    ::testing::Values(PtyStateRow{9600, ONESTOPBIT, CommParity::Mark, true, true},
                      PtyStateRow{19200, TWOSTOPBITS, CommParity::Space, false, true},
                      PtyStateRow{115200, ONESTOPBIT, CommParity::None, false, false},
                      PtyStateRow{300, TWOSTOPBITS, CommParity::Odd, true, false}));

TEST_F(PosixCommPortTest, SetStateKeepsTheSpecialCharactersOfTheNativeBlockButNotItsModes)
{
    CommState state;
    ASSERT_TRUE(port.GetState(handle, state));
    ASSERT_EQ(state.native.size(), sizeof(termios));
    termios native = NativeOf(state);
    native.c_cc[VSTART] = 0x11 + 1;
    native.c_cc[VMIN] = 7;
    native.c_iflag |= IXON;
    std::memcpy(state.native.data(), &native, sizeof native);
    ASSERT_TRUE(port.SetState(handle, state));

    CommState back;
    ASSERT_TRUE(port.GetState(handle, back));
    EXPECT_EQ(NativeOf(back).c_cc[VSTART], 0x11 + 1);
    EXPECT_EQ(NativeOf(back).c_cc[VMIN], 1);
    EXPECT_EQ(NativeOf(back).c_iflag & IXON, 0U);
}

TEST_F(PosixCommPortTest, ASettingThePortWillNotGiveUpFailsTheSetState)
{
    // Root may lock a terminal's settings; the lock keeps XON/XOFF on whatever we ask.
    termios settings{};
    ASSERT_EQ(::tcgetattr(pty.MasterFd(), &settings), 0);
    settings.c_iflag |= IXON;
    ASSERT_EQ(::tcsetattr(pty.MasterFd(), TCSANOW, &settings), 0);
    termios locked{};
    locked.c_iflag = IXON;
    if (::ioctl(pty.MasterFd(), TIOCSLCKTRMIOS, &locked) != 0)
        GTEST_SKIP() << "locking terminal settings needs CAP_SYS_ADMIN";
    CommState state;
    ASSERT_TRUE(port.GetState(handle, state));
    state.BaudRate = 9600;
    EXPECT_FALSE(port.SetState(handle, state));
    EXPECT_EQ(port.LastError(), Errno(EINVAL));
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
    CommParity parity;
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
                         ::testing::Values(ParityRow{CommParity::None, 0},
                                           ParityRow{CommParity::Odd, PARENB | PARODD},
                                           ParityRow{CommParity::Even, PARENB},
                                           ParityRow{CommParity::Mark, PARENB | PARODD | CMSPAR},
                                           ParityRow{CommParity::Space, PARENB | CMSPAR}));

// Whatever a port held before, the link's format comes out in raw mode; only the special
// characters and what ApplyCommState does not own (the line discipline) stay.
struct RawModeRow {
    const char* name;
    tcflag_t iflag, oflag, cflag, lflag;
};

struct RawModeTest : ::testing::TestWithParam<RawModeRow> {};

TEST_P(RawModeTest, TheLinksFormatComesOutRaw)
{
    termios settings{};
    settings.c_iflag = GetParam().iflag;
    settings.c_oflag = GetParam().oflag;
    settings.c_cflag = GetParam().cflag;
    settings.c_lflag = GetParam().lflag;
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 50;
    settings.c_cc[VSTOP] = 0x13;
    const CommState state{9600, 8, CommParity::Mark, ONESTOPBIT, {}};
    ASSERT_EQ(ApplyCommState(state, settings), 0);
    EXPECT_EQ(settings.c_iflag, 0U);
    EXPECT_EQ(settings.c_oflag, 0U);
    EXPECT_EQ(settings.c_lflag, 0U);
    EXPECT_EQ(settings.c_cflag & ~static_cast<tcflag_t>(CBAUD | CBAUDEX | CIBAUD),
              static_cast<tcflag_t>(CS8 | PARENB | PARODD | CMSPAR | CREAD | CLOCAL | HUPCL));
    EXPECT_EQ(::cfgetospeed(&settings), static_cast<speed_t>(B9600));
    EXPECT_EQ(::cfgetispeed(&settings), static_cast<speed_t>(B9600));
    EXPECT_EQ(settings.c_cc[VMIN], 1);
    EXPECT_EQ(settings.c_cc[VTIME], 0);
    EXPECT_EQ(settings.c_cc[VSTOP], 0x13);
}

INSTANTIATE_TEST_SUITE_P(
    PosixCommPort, RawModeTest,
    ::testing::Values(RawModeRow{"Nothing", 0, 0, 0, 0},
                      // A freshly plugged adapter: the kernel's cooked defaults.
                      RawModeRow{"KernelDefaults", ICRNL | IXON | IMAXBEL | IUTF8, OPOST | ONLCR,
                                 B38400 | CS8 | CREAD | HUPCL,
                                 ISIG | ICANON | ECHO | ECHOE | ECHOK | ECHOCTL | ECHOKE | IEXTEN},
                      RawModeRow{"Everything", ~tcflag_t{0}, ~tcflag_t{0}, ~tcflag_t{0},
                                 ~tcflag_t{0}}),
    [](const auto& info) { return std::string(info.param.name); });

struct BadStateRow {
    std::uint32_t baudRate;
    std::uint8_t byteSize, stopBits;
    CommParity parity;
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

INSTANTIATE_TEST_SUITE_P(
    PosixCommPort, BadStateTest,
    ::testing::Values(BadStateRow{0, 8, ONESTOPBIT, CommParity::None},
                      BadStateRow{12345, 8, ONESTOPBIT, CommParity::None},
                      BadStateRow{9600, 4, ONESTOPBIT, CommParity::None},
                      BadStateRow{9600, 9, ONESTOPBIT, CommParity::None},
                      BadStateRow{9600, 8, 1, CommParity::None}, // 1.5 stop bits
                      BadStateRow{9600, 8, ONESTOPBIT, static_cast<CommParity>(5)}));

} // namespace
