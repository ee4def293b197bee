#include "PluggableCommPort.h"

PortHandle CPluggableCommPort::OpenDevice(const std::string& name)
{
    return m_pPort->OpenDevice(name);
}

void CPluggableCommPort::FlushBuffers(PortHandle handle)
{
    m_pPort->FlushBuffers(handle);
}

bool CPluggableCommPort::GetState(PortHandle handle, CommState& state)
{
    return m_pPort->GetState(handle, state);
}

bool CPluggableCommPort::SetState(PortHandle handle, const CommState& state)
{
    return m_pPort->SetState(handle, state);
}

bool CPluggableCommPort::DrainOutput(PortHandle handle)
{
    return m_pPort->DrainOutput(handle);
}

bool CPluggableCommPort::WriteByte(PortHandle handle, std::uint8_t value)
{
    return m_pPort->WriteByte(handle, value);
}

bool CPluggableCommPort::CloseDevice(PortHandle handle)
{
    return m_pPort->CloseDevice(handle);
}

std::uint32_t CPluggableCommPort::LastError() const
{
    return m_pPort->LastError();
}

void CPluggableCommPort::Sleep(std::uint32_t milliseconds)
{
    m_pPort->Sleep(milliseconds);
}

std::uint64_t CPluggableCommPort::NowMicros()
{
    return m_pPort->NowMicros();
}

void CPluggableCommPort::SleepMicros(std::uint64_t micros)
{
    m_pPort->SleepMicros(micros);
}
