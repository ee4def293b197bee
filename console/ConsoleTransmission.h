// CConsoleTransmission: the console's side of its transmissions. The tick hands a marked
// change to the worker with the levels as the boxes hold them then; the change stays marked
// while the base box is refused or still being typed, while no channel is enabled (the port
// is not touched then), and when its transmission did not get through, so the next tick tries
// again; closing sends it once more. The port group box shows how the last one went.
//
// Threads: the window thread only; the worker sees nothing of it but the snapshot.
#pragma once

#include "PortStatus.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

class CConsoleDlg;

class CConsoleTransmission {
public:
    // Works on `console`'s boxes, members and change mark (`m_bDirty`) and transmits through
    // `worker` (its link and snapshot); both outlive it.
    CConsoleTransmission(CConsoleDlg& console, CTransmitWorker& worker);

    // The console's window is up: only transmissions that end from now on are its own.
    void Begin();
    // The tick: hands a marked change to the worker, or keeps it marked for a later tick.
    void Tick();
    // The base box holds a number chosen at once (+ or -): the next tick need not wait for it
    // to settle.
    void TakeBase();
    // The console closes: waits for the worker, sends a change still marked once more
    // (silently), and lets the port go.
    void Close();
    // Shows how the last transmission went and what COM1..COM4 stand for. Without `force`
    // only after a new transmission; forced (start-up, a tooltip about to show) always.
    // Writes only what changed.
    void RefreshPortStatus(bool force);

private:
    // Where a level box's number goes on the wire: the level byte, or kSlotNotSent for a
    // box the exchange would refuse.
    std::int32_t SlotFromBox(std::size_t channel) const;
    // The base box's number when it is one the operator can choose (1..505).
    std::optional<std::uint32_t> ChosenBase() const;
    // Fills the worker's snapshot from the console as it stands; false, with nothing filled, when
    // the base box holds no base the operator could have chosen.
    bool FillSnapshot();
    // Marks the levels changed again when the last transmission of this console has ended
    // without getting through.
    void RemarkUndelivered();
    // Whether any Ena box is ticked.
    bool AnyChannelEnabled() const;
    // A change is kept, untransmitted, until an Ena box is ticked; the port status says so.
    void SetWaitingForEna(bool waiting);
    // Remembers the base box's text for the next tick; false when it changed since the last.
    bool BaseBoxSettled();

    CConsoleDlg& m_console;
    CTransmitWorker& m_worker;
    std::uint64_t m_nFirstReport = 0;
    std::uint64_t m_nCheckedReport = 0;
    bool m_bWaitingForEna = false;
    std::string m_strTickBase; // the base box's text at the last tick
    std::uint64_t m_nShownReport = 0;
    PortStatusTexts m_status;
};
