#include "RecordingCommPort.h"

namespace {
// One character is 11 bit times: start, 8 data, parity, stop.
constexpr std::uint64_t kBitsPerCharacter = 11;
constexpr std::uint64_t kMicrosPerSecond = 1'000'000;
constexpr std::uint64_t kMicrosPerMilli = 1'000;
constexpr std::uint32_t kErrorInvalidHandle = 6; // what a closed or unknown handle reports
constexpr std::uint32_t kErrorNoDevice = 2;
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
    state.Parity = 2; // even
    state.StopBits = TWOSTOPBITS;
    state.native = {0xC0, 0xFF, 0xEE};
    return state;
}

CRecordingCommPort::CRecordingCommPort()
    : m_devices{"COM1", "COM2", "COM3", "COM4"}, m_state(InitialState())
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

std::vector<CRecordingCommPort::Event> CRecordingCommPort::Events() const
{
    std::lock_guard lock(m_mutex);
    return m_events;
}

std::vector<FrameByte> CRecordingCommPort::Written() const
{
    std::lock_guard lock(m_mutex);
    std::vector<FrameByte> bytes;
    for (const Event& event : m_events)
        if (event.kind == EventKind::Write && event.ok)
            bytes.push_back({event.value, event.parity});
    return bytes;
}

int CRecordingCommPort::OpenHandles() const
{
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_open.size());
}

std::uint64_t CRecordingCommPort::NowMicros() const
{
    std::lock_guard lock(m_mutex);
    return m_nowMicros;
}

void CRecordingCommPort::ClearRecord()
{
    std::lock_guard lock(m_mutex);
    m_events.clear();
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
    event.atMicros = m_nowMicros;
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
        m_lastError = kErrorNoDevice;
        event.ok = false;
    } else {
        handle = m_nextHandle++;
        m_open.insert(handle);
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
        m_lastError = kErrorInvalidHandle;
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
    ++m_setStateCalls;
    Event event = MakeEvent(EventKind::SetState);
    event.parity = state.Parity;
    event.baudRate = state.BaudRate;
    if (!Valid(handle)) {
        m_lastError = kErrorInvalidHandle;
        event.ok = false;
    } else if (m_setStateCalls >= m_failSetStateFrom && Fail(m_failSetState)) {
        event.ok = false;
    } else {
        m_state = state;
    }
    Record(event);
    return event.ok;
}

bool CRecordingCommPort::DrainOutput(PortHandle handle)
{
    std::lock_guard lock(m_mutex);
    Event event = MakeEvent(EventKind::Drain);
    if (!Valid(handle)) {
        m_lastError = kErrorInvalidHandle;
        event.ok = false;
    } else if (Fail(m_failDrain)) {
        event.ok = false;
    }
    Record(event);
    return event.ok;
}

bool CRecordingCommPort::WriteByte(PortHandle handle, std::uint8_t value)
{
    std::lock_guard lock(m_mutex);
    ++m_writeCalls;
    Event event = MakeEvent(EventKind::Write);
    event.value = value;
    event.parity = m_state.Parity;
    if (!Valid(handle)) {
        m_lastError = kErrorInvalidHandle;
        event.ok = false;
    } else if (m_writeCalls >= m_failWriteFrom && Fail(m_failWrite)) {
        event.ok = false;
    }
    Record(event);
    if (event.ok && m_state.BaudRate != 0)
        m_nowMicros += kBitsPerCharacter * kMicrosPerSecond / m_state.BaudRate;
    return event.ok;
}

bool CRecordingCommPort::CloseDevice(PortHandle handle)
{
    std::lock_guard lock(m_mutex);
    Event event = MakeEvent(EventKind::Close);
    if (!Valid(handle)) {
        m_lastError = kErrorInvalidHandle;
        event.ok = false;
    } else {
        // The handle is gone even when the close reports a failure.
        m_open.erase(handle);
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
    std::lock_guard lock(m_mutex);
    Event event = MakeEvent(EventKind::Sleep);
    event.milliseconds = milliseconds;
    Record(event);
    m_nowMicros += milliseconds * kMicrosPerMilli;
}
