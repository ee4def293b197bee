#include "PosixCommPort.h"

#include "LockFile.h"
#include "PortMap.h"
#include "PreciseWakeup.h"
#include "UniqueFd.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <optional>
#include <string_view>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

#ifdef CMSPAR
constexpr tcflag_t kStickParity = CMSPAR;
constexpr bool kHasStickParity = true;
#else
// Without CMSPAR termios cannot hold the parity bit at a fixed level: mark and space parity
// are unsupported here and SetState says so (ENOTSUP) instead of sending something else.
constexpr tcflag_t kStickParity = 0;
constexpr bool kHasStickParity = false;
#endif

// At 9600 baud a character takes about 1.1 ms; checking the queue more often than that keeps
// the drain before each parity change short.
constexpr auto kDrainPollInterval = std::chrono::microseconds(250);

constexpr std::string_view kComPrefix = "COM";

struct BaudRate {
    std::uint32_t rate;
    speed_t speed;
};

constexpr BaudRate kBaudRates[] = {
    // No B0: setting it hangs the line up, which no caller of SetState means.
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},
#ifdef B460800
    {460800, B460800},
#endif
#ifdef B921600
    {921600, B921600},
#endif
#ifdef B4000000 // Linux's further fast rates
    {500000, B500000},   {576000, B576000},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
#endif
};

struct CharacterSize {
    std::uint8_t bits;
    tcflag_t flag;
};

constexpr CharacterSize kCharacterSizes[] = {{5, CS5}, {6, CS6}, {7, CS7}, {8, CS8}};

std::optional<speed_t> SpeedOf(std::uint32_t rate)
{
    for (const BaudRate& entry : kBaudRates)
        if (entry.rate == rate)
            return entry.speed;
    return std::nullopt;
}

std::uint32_t RateOf(speed_t speed)
{
    for (const BaudRate& entry : kBaudRates)
        if (entry.speed == speed)
            return entry.rate;
    return 0;
}

CommParity ParityOf(tcflag_t cflag)
{
    if ((cflag & PARENB) == 0)
        return CommParity::None;
    const bool odd = (cflag & PARODD) != 0;
    if ((cflag & kStickParity) != 0)
        return odd ? CommParity::Mark : CommParity::Space;
    return odd ? CommParity::Odd : CommParity::Even;
}

// The bits of c_cflag that hold the line's speed, compared as speeds instead.
constexpr tcflag_t SpeedBits()
{
    tcflag_t bits = 0;
#ifdef CBAUD
    bits |= CBAUD;
#endif
#ifdef CBAUDEX
    bits |= CBAUDEX;
#endif
#ifdef CIBAUD
    bits |= CIBAUD;
#endif
    return bits;
}

// 0, or why the port did not take what was asked. A driver that cannot do mark or space
// parity clears CMSPAR and would send odd or even parity instead: that is unsupported, not a
// fallback. Any other setting the port kept its own way (a driver that cannot, a mode another
// user locked) could put bytes on the line that are not ours or hold ours back: EINVAL.
// PARENB is not compared: a pseudo-terminal has no parity bit and always clears it.
int Mismatch(const termios& requested, const termios& applied)
{
    if (((requested.c_cflag ^ applied.c_cflag) & kStickParity) != 0)
        return ENOTSUP;
    constexpr tcflag_t kNotCompared = PARENB | SpeedBits();
    if (requested.c_iflag != applied.c_iflag || requested.c_oflag != applied.c_oflag ||
        requested.c_lflag != applied.c_lflag ||
        ((requested.c_cflag ^ applied.c_cflag) & ~kNotCompared) != 0 ||
        ::cfgetospeed(&requested) != ::cfgetospeed(&applied) ||
        ::cfgetispeed(&requested) != ::cfgetispeed(&applied) ||
        requested.c_cc[VMIN] != applied.c_cc[VMIN] || requested.c_cc[VTIME] != applied.c_cc[VTIME])
        return EINVAL;
    return 0;
}

// 0..3 for "COM1".."COM4", else -1.
int ComIndex(std::string_view name)
{
    if (name.size() != kComPrefix.size() + 1 || name.substr(0, kComPrefix.size()) != kComPrefix)
        return -1;
    const int index = name.back() - '1';
    return index >= 0 && index < kComPortCount ? index : -1;
}

#ifdef TIOCGEXCL
// Root passes through another holder's TIOCEXCL, so ask whether one is set.
bool HeldExclusively(int fd)
{
    int exclusive = 0;
    return ::ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0;
}
#else
// The platform cannot tell; flock below still keeps out other opens that lock.
bool HeldExclusively(int)
{
    return false;
}
#endif

} // namespace

CommState CommStateFromTermios(const termios& settings)
{
    CommState state;
    state.BaudRate = RateOf(::cfgetospeed(&settings));
    state.ByteSize = 8;
    for (const CharacterSize& entry : kCharacterSizes)
        if ((settings.c_cflag & CSIZE) == entry.flag)
            state.ByteSize = entry.bits;
    state.Parity = ParityOf(settings.c_cflag);
    state.StopBits = (settings.c_cflag & CSTOPB) != 0 ? TWOSTOPBITS : ONESTOPBIT;
    state.native.resize(sizeof settings);
    std::memcpy(state.native.data(), &settings, sizeof settings);
    return state;
}

int ApplyCommState(const CommState& state, termios& settings)
{
    const auto speed = SpeedOf(state.BaudRate);
    if (!speed)
        return EINVAL;

    const auto size =
        std::find_if(std::begin(kCharacterSizes), std::end(kCharacterSizes),
                     [&](const CharacterSize& entry) { return entry.bits == state.ByteSize; });
    if (size == std::end(kCharacterSizes))
        return EINVAL;

    tcflag_t parity = 0;
    switch (state.Parity) {
    case CommParity::None:
        break;
    case CommParity::Odd:
        parity = PARENB | PARODD;
        break;
    case CommParity::Even:
        parity = PARENB;
        break;
    case CommParity::Mark:
    case CommParity::Space:
        if (!kHasStickParity)
            return ENOTSUP;
        parity = PARENB | kStickParity | (state.Parity == CommParity::Mark ? PARODD : 0);
        break;
    default:
        return EINVAL;
    }

    tcflag_t stop = 0;
    if (state.StopBits == TWOSTOPBITS)
        stop = CSTOPB;
    else if (state.StopBits != ONESTOPBIT)
        return EINVAL;

    // Raw, whatever the port's previous user left: nothing between our writes and the line,
    // and nothing the far end sends can come back out or hold our bytes back. No input
    // processing: no translation, no XON/XOFF either way (a stray 0x13 must not stall the
    // frames, and IXOFF would put XOFF on the line), no break that flushes. No output
    // processing: OPOST with ONLCR would turn 0x0A into 0x0D 0x0A. No local modes: no echo of
    // any kind, no line editing, no signals, no output flushing by a received character.
    termios raw = settings;
    raw.c_iflag = 0;
    raw.c_oflag = 0;
    raw.c_lflag = 0;
    // CLOCAL: no wait for a carrier, no hang-up when it drops. CREAD: the receiver stays on
    // (a pseudo-terminal insists), its input is discarded on close. No RTS/CTS handshake.
    // HUPCL: DTR and RTS drop when we let the port go, as a Windows port's do at close.
    raw.c_cflag = size->flag | parity | stop | CREAD | CLOCAL | HUPCL;
    // These only shape reads, which we never make: raw mode's usual values, not the previous
    // user's.
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    if (::cfsetispeed(&raw, *speed) != 0 || ::cfsetospeed(&raw, *speed) != 0)
        return EINVAL;
    settings = raw;
    return 0;
}

CPosixCommPort::CPosixCommPort() : CPosixCommPort(PosixPortOptions{}) {}

CPosixCommPort::CPosixCommPort(PosixPortOptions options) : m_options(std::move(options)) {}

CPosixCommPort::~CPosixCommPort()
{
    std::lock_guard lock(m_mutex);
    for (const auto& [fd, lockFile] : m_open)
        Release(fd, lockFile);
}

bool CPosixCommPort::Fail(int error)
{
    m_lastError.store(static_cast<std::uint32_t>(error));
    return false;
}

int CPosixCommPort::Descriptor(PortHandle handle) const
{
    if (handle < 0 || !std::in_range<int>(handle))
        return -1;
    const int fd = static_cast<int>(handle);
    std::lock_guard lock(m_mutex);
    return m_open.count(fd) != 0 ? fd : -1;
}

PortHandle CPosixCommPort::OpenDevice(const std::string& name)
{
    std::string path;
    if (!name.empty() && name.front() == '/') {
        path = name;
    } else if (const int index = ComIndex(name); index >= 0) {
        const auto port = m_options.portMap->Resolve(index);
        // A COM number whose device is unplugged fails as if no device stood behind it.
        if (!port || !port->present) {
            Fail(ENOENT);
            return INVALID_PORT_HANDLE;
        }
        path = port->path;
    } else {
        Fail(ENOENT);
        return INVALID_PORT_HANDLE;
    }

    // Programs that lock the device but do not open it exclusively (terminal programs, modem
    // tools) would otherwise get our frames in the middle of their line.
    const std::string& lockDir = m_options.portMap->LockDir();
    if (FindLockHolder(lockDir, path)) {
        Fail(EBUSY);
        return INVALID_PORT_HANDLE;
    }

    // Non-blocking, so that neither the open nor a write waits on modem lines for ever.
    CUniqueFd fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (fd.Get() < 0) {
        Fail(errno);
        return INVALID_PORT_HANDLE;
    }
    // TIOCEXCL keeps other programs out but not root, and not a second open of our own; flock
    // (one per open file) catches those. Checking first leaves another holder's flag alone.
    if (HeldExclusively(fd.Get())) {
        Fail(EBUSY);
        return INVALID_PORT_HANDLE;
    }
    if (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) {
        Fail(errno == EWOULDBLOCK ? EBUSY : errno);
        return INVALID_PORT_HANDLE;
    }
    if (::ioctl(fd.Get(), TIOCEXCL) != 0) {
        Fail(errno); // ENOTTY: the path is no terminal
        return INVALID_PORT_HANDLE;
    }

    std::string lockFile = CreateLockFile(lockDir, path);
    std::lock_guard lock(m_mutex);
    m_open.emplace(fd.Get(), std::move(lockFile));
    return fd.Release();
}

void CPosixCommPort::FlushBuffers(PortHandle)
{
    // On Windows this writes out pending output; a port the link has just opened has none.
    // tcflush would instead discard data, so there is nothing useful to do here.
}

bool CPosixCommPort::GetState(PortHandle handle, CommState& state)
{
    const int fd = Descriptor(handle);
    if (fd < 0)
        return Fail(EBADF);
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0)
        return Fail(errno);
    state = CommStateFromTermios(settings);
    return true;
}

bool CPosixCommPort::SetState(PortHandle handle, const CommState& state)
{
    const int fd = Descriptor(handle);
    if (fd < 0)
        return Fail(EBADF);
    termios settings{};
    if (state.native.size() == sizeof settings)
        std::memcpy(&settings, state.native.data(), sizeof settings);
    else if (::tcgetattr(fd, &settings) != 0)
        return Fail(errno);
    if (const int error = ApplyCommState(state, settings); error != 0)
        return Fail(error);
    // TCSANOW: the link drains the line itself before it changes the parity.
    int result = 0;
    while ((result = ::tcsetattr(fd, TCSANOW, &settings)) != 0 && errno == EINTR) {
    }
    // Some C libraries (Debian's) re-read the port and report EINVAL when none of the changes
    // took, although the kernel accepted the call; what counts is what the port now holds.
    if (result != 0 && errno != EINVAL)
        return Fail(errno);
    termios applied{};
    if (::tcgetattr(fd, &applied) != 0)
        return Fail(errno);
    if (const int error = Mismatch(settings, applied); error != 0)
        return Fail(error);
    return true;
}

int CPosixCommPort::Drain(int fd) const
{
    // tcdrain has no deadline, and flow-control lines held by a dead device would stop it for
    // ever; watch the queue with a deadline instead and leave tcdrain only the last character.
    const auto deadline = Clock::now() + m_options.drainDeadline;
    for (;;) {
        int queued = 0;
        if (::ioctl(fd, TIOCOUTQ, &queued) != 0)
            return errno;
        if (queued == 0)
            break;
        if (Clock::now() >= deadline)
            return ETIMEDOUT;
        std::this_thread::sleep_for(kDrainPollInterval);
    }
    while (::tcdrain(fd) != 0)
        if (errno != EINTR)
            return errno;
    return 0;
}

bool CPosixCommPort::DrainOutput(PortHandle handle)
{
    const int fd = Descriptor(handle);
    if (fd < 0)
        return Fail(EBADF);
    if (const int error = Drain(fd); error != 0)
        return Fail(error);
    return true;
}

bool CPosixCommPort::WriteByte(PortHandle handle, std::uint8_t value)
{
    const int fd = Descriptor(handle);
    if (fd < 0)
        return Fail(EBADF);
    const auto deadline = Clock::now() + m_options.writeDeadline;
    for (;;) {
        const ssize_t written = ::write(fd, &value, 1);
        if (written == 1)
            return true;
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return Fail(errno); // EIO once the other end has hung up
        // The output queue is full: wait for room, but not past the deadline.
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return Fail(ETIMEDOUT);
        pollfd wait{fd, POLLOUT, 0};
        if (::poll(&wait, 1, static_cast<int>(std::min<decltype(left)>(left, INT_MAX))) < 0 &&
            errno != EINTR)
            return Fail(errno);
    }
}

int CPosixCommPort::Release(int fd, const std::string& lockFile) const
{
    // close() would otherwise wait up to the kernel's closing_wait (30 s) for stuck output.
    if (Drain(fd) != 0)
        ::tcflush(fd, TCOFLUSH);
    // What the box sent while we held the port is input we never read; left in the tty it
    // would be waiting for the port's next user.
    ::tcflush(fd, TCIFLUSH);
    // The exclusive flag lives as long as the tty does, which for a pty slave can outlast our
    // close; without clearing it the next open would find the port "busy".
    ::ioctl(fd, TIOCNXCL);
    RemoveLockFile(lockFile);
    // Linux releases the descriptor even when close reports EINTR.
    return ::close(fd) != 0 && errno != EINTR ? errno : 0;
}

bool CPosixCommPort::CloseDevice(PortHandle handle)
{
    int fd = -1;
    std::string lockFile;
    if (handle >= 0 && std::in_range<int>(handle)) {
        std::lock_guard lock(m_mutex);
        if (const auto it = m_open.find(static_cast<int>(handle)); it != m_open.end()) {
            fd = it->first;
            lockFile = std::move(it->second);
            m_open.erase(it);
        }
    }
    if (fd < 0)
        return Fail(EBADF);
    if (const int error = Release(fd, lockFile); error != 0)
        return Fail(error);
    return true;
}

std::uint32_t CPosixCommPort::LastError() const
{
    return m_lastError.load();
}

void CPosixCommPort::Sleep(std::uint32_t milliseconds)
{
    [[maybe_unused]] const CPreciseWakeup precise;
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void CPosixCommPort::SleepMicros(std::uint64_t micros)
{
    [[maybe_unused]] const CPreciseWakeup precise;
    std::this_thread::sleep_for(std::chrono::microseconds(micros));
}

std::unique_ptr<CCommPort> CreatePlatformCommPort()
{
    return std::make_unique<CPosixCommPort>();
}
