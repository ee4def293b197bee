#include "RecordingCommPort.h"

#include <algorithm>
#include <limits>
#include <thread>

namespace {
constexpr std::uint64_t kMicrosPerMilli = 1'000;
// The start and end of a byte that waits on a held line.
constexpr std::uint64_t kNever = std::numeric_limits<std::uint64_t>::max();

std::uint64_t Micros(std::chrono::milliseconds span)
{
    return static_cast<std::uint64_t>(span.count()) * kMicrosPerMilli;
}
} // namespace

static CRecordingCommPort::Event MakeEvent(CRecordingCommPort::EventKind kind)
{
    CRecordingCommPort::Event event;
    event.kind = kind;
    return event;
}

CommState CRecordingCommPort::InitialState()
{
    CommState state;
    state.BaudRate = 19200;
    state.ByteSize = 7;
    state.Parity = CommParity::Even;
    state.StopBits = TWOSTOPBITS;
    state.native = {0xC0, 0xFF, 0xEE};
    return state;
}

CRecordingCommPort::CRecordingCommPort(RecordingPortErrors errors)
    : m_errors(errors), m_devices{"COM1", "COM2", "COM3", "COM4"}, m_state(InitialState())
{
}

void CRecordingCommPort::Set(std::optional<std::uint32_t>& slot, std::uint32_t error)
{
    std::lock_guard lock(m_mutex);
    slot = error;
}

void CRecordingCommPort::FailSetState(std::uint32_t error, int fromCall)
{
    std::lock_guard lock(m_mutex);
    m_failSetState = error;
    m_failSetStateFrom = fromCall;
}

void CRecordingCommPort::FailWrite(std::uint32_t error, int fromWrite)
{
    std::lock_guard lock(m_mutex);
    m_failWrite = error;
    m_failWriteFrom = fromWrite;
}

void CRecordingCommPort::ClearFailures()
{
    std::lock_guard lock(m_mutex);
    m_failOpen.reset();
    m_failGetState.reset();
    m_failSetState.reset();
    m_failWrite.reset();
    m_failClose.reset();
    m_failDrain.reset();
}

void CRecordingCommPort::RemoveDevice(const std::string& name)
{
    std::lock_guard lock(m_mutex);
    m_devices.erase(name);
}

void CRecordingCommPort::SetDrainMode(DrainMode mode)
{
    std::lock_guard lock(m_mutex);
    m_drainMode = mode;
}

void CRecordingCommPort::SetDeadlines(std::chrono::milliseconds write,
                                      std::chrono::milliseconds drain)
{
    std::lock_guard lock(m_mutex);
    m_writeDeadline = write;
    m_drainDeadline = drain;
}

void CRecordingCommPort::HoldLine(bool held)
{
    std::lock_guard lock(m_mutex);
    if (held == m_bHeld)
        return;
    const std::uint64_t now = Now();
    // The bytes that have not started yet wait from now on, or leave from now on.
    std::size_t first = m_wire.size();
    while (first > 0 && !m_wire[first - 1].cut && m_wire[first - 1].startMicros >= now)
        --first;
    m_bHeld = held;
    Retime(first, now);
}

void CRecordingCommPort::Receive(const std::vector<std::uint8_t>& bytes)
{
    std::lock_guard lock(m_mutex);
    m_unread += bytes.size();
}

std::size_t CRecordingCommPort::Unread() const
{
    std::lock_guard lock(m_mutex);
    return m_unread;
}

void CRecordingCommPort::UseRealTime()
{
    std::lock_guard lock(m_mutex);
    m_bRealTime = true;
    m_epoch = std::chrono::steady_clock::now() - std::chrono::microseconds(m_nowMicros);
}

std::vector<CRecordingCommPort::Event> CRecordingCommPort::Events() const
{
    std::lock_guard lock(m_mutex);
    return m_events;
}

std::vector<FrameByte> CRecordingCommPort::Written() const
{
    std::lock_guard lock(m_mutex);
    std::vector<FrameByte> bytes;
    for (const WireByte& byte : m_wire)
        if (!byte.corrupted && !byte.cut)
            bytes.push_back({byte.value, byte.parity});
    return bytes;
}

std::vector<CRecordingCommPort::WireByte> CRecordingCommPort::Wire() const
{
    std::lock_guard lock(m_mutex);
    return m_wire;
}

std::vector<std::int64_t> CRecordingCommPort::QuietBeforeParityChanges() const
{
    std::lock_guard lock(m_mutex);
    return m_quiet;
}

int CRecordingCommPort::OpenHandles() const
{
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_open.size());
}

void CRecordingCommPort::ClearRecord()
{
    std::lock_guard lock(m_mutex);
    m_events.clear();
    m_wire.clear();
    m_quiet.clear();
}

std::uint64_t CRecordingCommPort::Now() const
{
    if (!m_bRealTime)
        return m_nowMicros;
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(
                                          std::chrono::steady_clock::now() - m_epoch)
                                          .count());
}

void CRecordingCommPort::AdvanceTo(std::unique_lock<std::mutex>& lock, std::uint64_t micros)
{
    if (!m_bRealTime) {
        m_nowMicros = std::max(m_nowMicros, micros);
        return;
    }
    const auto until = m_epoch + std::chrono::microseconds(micros);
    lock.unlock();
    std::this_thread::sleep_until(until);
    lock.lock();
}

void CRecordingCommPort::Retime(std::size_t first, std::uint64_t from)
{
    std::uint64_t lineFree = from;
    if (first > 0 && !m_wire[first - 1].cut)
        lineFree = std::max(lineFree, m_wire[first - 1].endMicros);
    for (std::size_t i = first; i < m_wire.size(); ++i) {
        WireByte& byte = m_wire[i];
        byte.parity = m_state.Parity;
        if (m_bHeld) {
            byte.startMicros = byte.endMicros = kNever;
            continue;
        }
        byte.startMicros = std::max(byte.queuedMicros, lineFree);
        byte.endMicros = byte.startMicros + CharacterMicros(m_state);
        lineFree = byte.endMicros;
    }
    m_lineFreeAt = m_bHeld && first < m_wire.size() ? kNever : lineFree;
}

std::size_t CRecordingCommPort::Waiting() const
{
    std::size_t waiting = 0;
    for (std::size_t i = m_wire.size();
         i-- > 0 && !m_wire[i].cut && m_wire[i].startMicros == kNever;)
        ++waiting;
    return waiting;
}

bool CRecordingCommPort::Valid(PortHandle handle) const
{
    return m_open.count(handle) != 0;
}

bool CRecordingCommPort::Fail(const std::optional<std::uint32_t>& slot)
{
    if (!slot)
        return false;
    m_lastError = *slot;
    return true;
}

void CRecordingCommPort::Record(Event event)
{
    event.atMicros = Now();
    m_events.push_back(std::move(event));
}

PortHandle CRecordingCommPort::OpenDevice(const std::string& name)
{
    std::lock_guard lock(m_mutex);
    Event event = MakeEvent(EventKind::Open);
    event.device = name;
    PortHandle handle = INVALID_PORT_HANDLE;
    if (Fail(m_failOpen)) {
        event.ok = false;
    } else if (m_devices.count(name) == 0) {
        m_lastError = m_errors.noDevice;
        event.ok = false;
    } else if (std::any_of(m_open.begin(), m_open.end(),
                           [&](const auto& open) { return open.second == name; })) {
        m_lastError = m_errors.inUse;
        event.ok = false;
    } else {
        handle = m_nextHandle++;
        m_open.emplace(handle, name);
    }
    Record(std::move(event));
    return handle;
}

void CRecordingCommPort::FlushBuffers(PortHandle handle)
{
    std::lock_guard lock(m_mutex);
    Event event = MakeEvent(EventKind::Flush);
    event.ok = Valid(handle);
    Record(std::move(event));
}

bool CRecordingCommPort::GetState(PortHandle handle, CommState& state)
{
    std::lock_guard lock(m_mutex);
    Event event = MakeEvent(EventKind::GetState);
    if (!Valid(handle)) {
        m_lastError = m_errors.invalidHandle;
        event.ok = false;
    } else if (Fail(m_failGetState)) {
        event.ok = false;
    } else {
        state = m_state;
    }
    Record(event);
    return event.ok;
}

bool CRecordingCommPort::SetState(PortHandle handle, const CommState& state)
{
    std::lock_guard lock(m_mutex);
    const std::uint64_t now = Now();
    ++m_setStateCalls;
    Event event = MakeEvent(EventKind::SetState);
    event.parity = state.Parity;
    event.baudRate = state.BaudRate;
    if (!Valid(handle)) {
        m_lastError = m_errors.invalidHandle;
        event.ok = false;
    } else if (m_setStateCalls >= m_failSetStateFrom && Fail(m_failSetState)) {
        event.ok = false;
    } else {
        const bool parityChanges = state.Parity != m_state.Parity;
        const bool lineChanges =
            parityChanges || CharacterMicros(state) != CharacterMicros(m_state);
        // Bytes already on the wire keep their timing; a change under one garbles it.
        std::size_t firstQueued = m_wire.size();
        for (std::size_t i = m_wire.size(); i-- > 0;) {
            WireByte& byte = m_wire[i];
            if (byte.cut)
                break;
            if (byte.startMicros >= now) {
                firstQueued = i;
                continue;
            }
            if (byte.endMicros > now && lineChanges)
                byte.corrupted = true;
            if (parityChanges)
                m_quiet.push_back(static_cast<std::int64_t>(now) -
                                  static_cast<std::int64_t>(byte.endMicros));
            break;
        }
        m_state = state;
        if (lineChanges)
            Retime(firstQueued, now);
    }
    Record(event);
    return event.ok;
}

bool CRecordingCommPort::DrainOutput(PortHandle handle)
{
    std::unique_lock lock(m_mutex);
    Event event = MakeEvent(EventKind::Drain);
    const std::uint64_t deadline = Now() + Micros(m_drainDeadline);
    const bool exact = m_drainMode == DrainMode::Exact;
    if (!Valid(handle)) {
        m_lastError = m_errors.invalidHandle;
        event.ok = false;
    } else if (Fail(m_failDrain)) {
        event.ok = false;
    } else if (exact && m_lineFreeAt > deadline) {
        m_lastError = m_errors.timedOut;
        event.ok = false;
    }
    Record(event);
    // An exact drain waits for the line, never past its deadline; an early one not at all.
    if (Valid(handle) && exact)
        AdvanceTo(lock, std::min(m_lineFreeAt, deadline));
    return event.ok;
}

bool CRecordingCommPort::WriteByte(PortHandle handle, std::uint8_t value)
{
    std::unique_lock lock(m_mutex);
    ++m_writeCalls;
    Event event = MakeEvent(EventKind::Write);
    event.value = value;
    event.parity = m_state.Parity;
    bool noRoom = false;
    if (!Valid(handle)) {
        m_lastError = m_errors.invalidHandle;
        event.ok = false;
    } else if (m_writeCalls >= m_failWriteFrom && Fail(m_failWrite)) {
        event.ok = false;
    } else if (m_bHeld && Waiting() >= kHeldQueueBytes) {
        m_lastError = m_errors.timedOut;
        event.ok = false;
        noRoom = true;
    }
    Record(event);
    if (event.ok) {
        // Into the FIFO: the call returns at once, the byte leaves when the line is free.
        WireByte byte;
        byte.value = value;
        byte.queuedMicros = Now();
        m_wire.push_back(byte);
        Retime(m_wire.size() - 1, std::max(byte.queuedMicros, m_lineFreeAt));
    } else if (noRoom) {
        // No room came: the write gave up at its deadline.
        AdvanceTo(lock, Now() + Micros(m_writeDeadline));
    }
    return event.ok;
}

bool CRecordingCommPort::CloseDevice(PortHandle handle)
{
    std::lock_guard lock(m_mutex);
    Event event = MakeEvent(EventKind::Close);
    if (!Valid(handle)) {
        m_lastError = m_errors.invalidHandle;
        event.ok = false;
    } else {
        // The handle is gone even when the close reports a failure.
        m_open.erase(handle);
        // Like many drivers, the close discards what the FIFO still holds, and what was
        // received.
        const std::uint64_t now = Now();
        for (WireByte& byte : m_wire)
            if (byte.endMicros > now)
                byte.cut = true;
        m_lineFreeAt = std::min(m_lineFreeAt, now);
        m_unread = 0;
        if (Fail(m_failClose))
            event.ok = false;
    }
    Record(event);
    return event.ok;
}

std::uint32_t CRecordingCommPort::LastError() const
{
    std::lock_guard lock(m_mutex);
    return m_lastError;
}

void CRecordingCommPort::Sleep(std::uint32_t milliseconds)
{
    std::unique_lock lock(m_mutex);
    Event event = MakeEvent(EventKind::Sleep);
    event.milliseconds = milliseconds;
    Record(event);
    AdvanceTo(lock, Now() + milliseconds * kMicrosPerMilli);
}

std::uint64_t CRecordingCommPort::NowMicros()
{
    std::lock_guard lock(m_mutex);
    return Now();
}

void CRecordingCommPort::SleepMicros(std::uint64_t micros)
{
    std::unique_lock lock(m_mutex);
    Event event = MakeEvent(EventKind::Wait);
    event.micros = micros;
    Record(event);
    AdvanceTo(lock, Now() + micros);
}
