#include "ConsoleTransmission.h"

#include "ConsoleDlg.h"
#include "FaderMath.h"
#include "link/SerialLink.h"
#include "res/Resource.h"
#include "res/Templates.h"
#include "transmit/Transmit.h"

#include "framework/NumberParse.h"

#include <algorithm>
#include <utility>

CConsoleTransmission::CConsoleTransmission(CConsoleDlg& console, CTransmitWorker& worker)
    : m_console(console), m_worker(worker)
{
}

void CConsoleTransmission::Begin()
{
    m_nFirstReport = m_worker.LastReport().sequence;
    m_nCheckedReport = m_nFirstReport;
    m_strTickBase = m_console.GetDlgItemText(IDC_BASE_ADDR);
    RefreshPortStatus(true);
}

void CConsoleTransmission::TakeBase()
{
    m_strTickBase = m_console.GetDlgItemText(IDC_BASE_ADDR);
}

std::int32_t CConsoleTransmission::SlotFromBox(std::size_t channel) const
{
    if (m_console.m_bEnable[channel] == 0)
        return kSlotNotSent;
    const auto number = ParseSignedBox(m_console.GetDlgItemText(kLevelIds[channel]));
    // A box the exchange refuses keeps its channel out of the transmission.
    if (!number || *number < kLevelBoxMin || *number > kLevelBoxMax)
        return kSlotNotSent;
    if (m_console.m_bRawUnits != 0)
        return *number;
    return PercentToRaw(std::min(*number, kPercentMax));
}

void CConsoleTransmission::RefreshPortStatus(bool force)
{
    if (m_worker.Busy() || m_console.GetPeer() == nullptr || m_console.GetTemplate() == nullptr)
        return;
    TransmitReport report = m_worker.LastReport();
    if (report.sequence == m_nFirstReport) {
        report = TransmitReport{};
        report.sequence = m_nFirstReport;
    }
    if (!force && report.sequence == m_nShownReport)
        return;
    m_nShownReport = report.sequence;

    const PortStatusTexts texts = DescribePortStatus(
        report, SurveyPorts(), m_bWaitingForEna ? PortWait::NoChannelEnabled : PortWait::None);
    CWindowPeer& peer = *m_console.GetPeer();
    if (force || texts.caption != m_status.caption)
        peer.SetTextAt(kPortGroupBoxIndex, texts.caption);
    if (force || texts.groupTip != m_status.groupTip) {
        peer.SetToolTipAt(kPortGroupBoxIndex, texts.groupTip);
        peer.SetAccessibleDescriptionAt(kPortGroupBoxIndex, texts.groupTip);
    }
    if (force || texts.accessibleName != m_status.accessibleName)
        peer.SetAccessibleNameAt(kPortGroupBoxIndex, texts.accessibleName);
    for (std::size_t i = 0; i < texts.comTips.size(); ++i)
        if (force || texts.comTips[i] != m_status.comTips[i])
            peer.SetToolTipAt(m_console.GetTemplate()->IndexOf(kComIds[i]), texts.comTips[i]);
    m_status = texts;
}

std::optional<std::uint32_t> CConsoleTransmission::ChosenBase() const
{
    const auto base = ParseUnsignedBox(m_console.GetDlgItemText(IDC_BASE_ADDR));
    // Levels sent to a base the operator did not choose would land on other channels.
    if (!base || *base < kBaseAddressMin || *base > kBaseAddressMax)
        return std::nullopt;
    return base;
}

bool CConsoleTransmission::FillSnapshot()
{
    const auto base = ChosenBase();
    if (!base)
        return false;
    for (std::size_t i = 0; i < kFaderCount; ++i)
        m_worker.Snapshot().nSlot[i] = SlotFromBox(i);
    m_worker.Snapshot().nPortIndex = m_console.m_nPortIndex;
    m_worker.Snapshot().nBaseAddress = *base;
    return true;
}

void CConsoleTransmission::RemarkUndelivered()
{
    if (m_worker.Busy())
        return;
    const TransmitReport report = m_worker.LastReport();
    if (report.sequence == m_nCheckedReport)
        return;
    // Reports before the console's first (Begin) were checked then: only its own come here.
    m_nCheckedReport = report.sequence;
    if (!report.Succeeded() && m_console.m_bDirty == 0)
        m_console.m_bDirty = 1;
}

bool CConsoleTransmission::AnyChannelEnabled() const
{
    // The boxes as the operator sees them: an exchange stopped by a refused level box has not
    // read them into the members.
    return std::any_of(kEnaIds.begin(), kEnaIds.end(),
                       [this](int id) { return m_console.IsDlgButtonChecked(id) != 0; });
}

void CConsoleTransmission::SetWaitingForEna(bool waiting)
{
    if (m_bWaitingForEna == waiting)
        return;
    m_bWaitingForEna = waiting;
    RefreshPortStatus(true);
}

bool CConsoleTransmission::BaseBoxSettled()
{
    std::string text = m_console.GetDlgItemText(IDC_BASE_ADDR);
    const bool settled = text == m_strTickBase;
    m_strTickBase = std::move(text);
    return settled;
}

void CConsoleTransmission::Tick()
{
    RefreshPortStatus(false);
    // Typing "300" key by key must not send to 3 or 30 on the way.
    const bool baseSettled = BaseBoxSettled();
    // A validation message is open (its loop dispatches this tick), or the last
    // transmission still runs: leave the change marked for a later tick.
    if (m_console.InExchange() || m_worker.Busy())
        return;
    RemarkUndelivered();
    // A refused base sends nothing, and the tick does not even exchange: the boxes and the
    // port status stay as the operator's last action left them until a base is chosen.
    if (m_console.m_bDirty == 0 || !baseSettled || !ChosenBase())
        return;
    // No action of the operator's asked for this exchange: a refusal already shown is not
    // shown again every half second (a retry, a Set whose box was refused).
    m_console.UpdateDataUnlessShown();
    // Nothing would go out: the port is left alone, and the change waits for an Ena box.
    if (!AnyChannelEnabled()) {
        SetWaitingForEna(true);
        return;
    }
    // A worker that cannot be started leaves the change marked for the next tick.
    if (FillSnapshot() && m_worker.Start()) {
        m_console.m_bDirty = 0;
        SetWaitingForEna(false);
    }
}

void CConsoleTransmission::Close()
{
    // The link is the worker's until it ends; its own deadlines bound the wait.
    m_worker.Wait();
    const TransmitReport last = m_worker.LastReport();
    const bool portDead = last.sequence != m_nCheckedReport && last.framesFailed > 0;
    RemarkUndelivered();
    // A change made since the last tick, or one that did not get through, is sent once more
    // with the levels as they stand; not after a frame failed just now, since that port has
    // already cost its deadline and closing must stay quick.
    if (m_console.m_bDirty != 0 && !portDead) {
        // Ena boxes and a port clicked since the last exchange count; no message at closing.
        m_console.UpdateDataSilently();
        if (AnyChannelEnabled() && FillSnapshot() && m_worker.Start()) {
            m_console.m_bDirty = 0;
            m_worker.Wait();
        }
    }
    m_worker.Link().Close();
}
