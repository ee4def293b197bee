#include "Transmit.h"

#include "link/DeviceFrame.h"

#include <system_error>

namespace {

constexpr std::uint8_t kDeviceAddress = 0xFF;
constexpr std::uint8_t kHeaderByte = 0x00;
constexpr std::uint16_t kNineBitMode = 1;

} // namespace

TransmitReport RunTransmission(CSerialLink& link, const TransmitSnapshot& snapshot)
{
    TransmitReport report;
    report.portIndex = snapshot.nPortIndex;
    report.openError =
        link.Open(static_cast<std::uint16_t>(snapshot.nPortIndex), kDefaultBaudRate, kNineBitMode);
    if (!report.openError.empty()) {
        report.failedStep = link.m_eFailedStep;
        report.errorCode = link.m_dwLastError;
    }
    link.SetAddress(kDeviceAddress);
    link.SetHeaderByte(kHeaderByte);

    if (link.IsOpen()) {
        for (int i = 0; i < kConsoleChannels; ++i) {
            const std::int32_t slot = snapshot.nSlot[static_cast<std::size_t>(i)];
            // Counted wide: a base near 2^32 must not wrap round onto channels 1 to 7.
            const std::uint64_t channel =
                std::uint64_t{snapshot.nBaseAddress} + static_cast<std::uint64_t>(i);
            // A channel outside the universe would wrap onto another one in the frame.
            if (slot < 0 || channel < kFirstChannel || channel > kLastChannel)
                continue;
            if (SendChannelLevel(link, static_cast<std::uint32_t>(channel),
                                 static_cast<std::uint8_t>(slot))) {
                ++report.framesSent;
                continue;
            }
            // A port that failed a byte is broken or held: give it up now rather than wait
            // out every remaining byte's deadline.
            ++report.framesFailed;
            report.failedStep = link.m_eFailedStep;
            report.errorCode = link.m_dwLastError;
            break;
        }
    }
    link.Close();
    report.finished = true;
    report.finishedAt = std::chrono::system_clock::now();
    return report;
}

bool SendChannelLevel(CSerialLink& link, std::uint32_t channel, std::uint8_t level)
{
    return link.Send(BuildSetLevelPayload(channel, level));
}

std::uint32_t TransmitThreadProc(void* parameter)
{
    static_cast<CTransmitWorker*>(parameter)->Run();
    return 0;
}

CTransmitWorker::CTransmitWorker(CSerialLink& link, TransmitSnapshot& snapshot,
                                 ThreadStarter startThread)
    : m_link(link), m_snapshot(snapshot), m_startThread(std::move(startThread))
{
}

CTransmitWorker::ThreadStarter CTransmitWorker::DefaultThreadStarter()
{
    return [](std::function<void()> body) { return std::thread(std::move(body)); };
}

CTransmitWorker::~CTransmitWorker()
{
    Wait();
}

void CTransmitWorker::Run()
{
    Finish(RunTransmission(m_link, m_snapshot));
}

bool CTransmitWorker::Start()
{
    if (Busy())
        return false;
    if (m_thread.joinable())
        m_thread.join(); // finished already; only its handle is left
    m_bRunning.store(true, std::memory_order_release);
    try {
        m_thread = m_startThread([this] {
            LowerCurrentThreadPriority();
            TransmitThreadProc(this);
        });
    } catch (const std::system_error&) {
        // No thread to be had now; the caller keeps the change for a later tick.
        m_bRunning.store(false, std::memory_order_release);
        return false;
    }
    return true;
}

void CTransmitWorker::Finish(const TransmitReport& report)
{
    {
        std::lock_guard lock(m_mutex);
        const std::uint64_t sequence = m_report.sequence + 1;
        m_report = report;
        m_report.sequence = sequence;
        m_bRunning.store(false, std::memory_order_release);
    }
    m_done.notify_all();
}

bool CTransmitWorker::WaitFor(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_mutex);
    return m_done.wait_for(lock, timeout, [this] { return !Busy(); });
}

void CTransmitWorker::Wait()
{
    if (m_thread.joinable())
        m_thread.join();
}

TransmitReport CTransmitWorker::LastReport() const
{
    std::lock_guard lock(m_mutex);
    return m_report;
}
