// CConsoleDlg: the operator's console. Eight faders with their level boxes, Set buttons,
// Grp and Ena boxes; the base address with + and -; Set All, Blackout, Grp All, Ena All;
// the Percent/Value units and the COM1..COM4 port. Every 500 ms its timer hands changed
// levels to a transmission worker.
//
// Threads: the window thread only; the worker sees nothing of it but the snapshot.
#pragma once

#include "PortStatus.h"
#include "framework/Dialog.h"
#include "framework/SliderCtrl.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

constexpr int kFaderCount = 8;
constexpr std::uint32_t kBaseAddressMin = 1;
constexpr std::uint32_t kBaseAddressMax = 505; // so that base + 7 is at most channel 512
constexpr std::int32_t kLevelBoxMin = 0;
constexpr std::int32_t kLevelBoxMax = 255;
constexpr unsigned kTickTimerId = 1;
constexpr unsigned kTickMilliseconds = 500;
constexpr int kFaderTicFrequency = 25;

// Where a window of size w x h goes to stand centred on `desktop` (halves truncate to 0).
std::pair<int, int> CentredPosition(const ScreenRect& desktop, int w, int h);
// Where a cx x cy icon is drawn in a client area of clientW x clientH while minimised.
std::pair<int, int> MinimisedIconPosition(int clientW, int clientH, int cx, int cy);

class CConsoleDlg : public CDialog {
public:
    // Transmits through `worker` (its link and snapshot), which outlives the console.
    explicit CConsoleDlg(CTransmitWorker& worker);
    ~CConsoleDlg() override;

    bool OnInitDialog() override;

    // Operator actions.
    void OnSetLevel(int channel);
    void OnSetAll();
    void OnVScroll(unsigned nSBCode, unsigned nPos, int faderId);
    void OnPercent();
    void OnValue();
    void OnBlackout();
    void OnEnableAll();
    void OnGroupAll();
    void OnBaseUp();
    void OnBaseDown();
    void OnBaseChange();
    // The 500 ms tick: hands changed levels to a transmission. A change stays marked while
    // the base box is refused or still being typed (changed since the previous tick), while
    // no channel is enabled (the port is not touched then), and when its transmission did not
    // get through, so the next tick tries again.
    void OnTick();
    void OnDestroy();
    void OnPaint();
    int OnQueryDragIcon() const { return m_hIcon; }
    // The About box, system menu and context help.
    void OnSysCommand(unsigned nID, std::intptr_t lParam);
    void OnAbout();
    bool OnHelpInfo(const HELPINFO* pHelpInfo);
    void OnContextMenu(std::uintptr_t window, std::intptr_t point);

    // Shows how the last transmission went and what COM1..COM4 stand for. Without `force`
    // only after a new transmission; forced (start-up, a tooltip about to show) always.
    // Writes only what changed.
    void RefreshPortStatus(bool force);

    // Steps of the fader operations.
    std::pair<std::int32_t, std::int32_t> ReadSliderDelta(int faderId);
    void MoveGroup(int faderId, std::int32_t movement);
    void RefreshLevels();

    // State, in the order the console keeps it.
    std::int32_t m_bRawUnits = 0;
    unsigned m_nTimerId = 0;
    std::int32_t m_bDirty = 0;
    std::array<CSliderCtrl, kFaderCount> m_slider;
    std::uint32_t m_nBaseAddress = kBaseAddressMin;
    std::array<std::int32_t, kFaderCount> m_nLevel{};
    std::array<std::int32_t, kFaderCount> m_bEnable{};
    std::array<std::int32_t, kFaderCount> m_bGroup{};
    std::int32_t m_nDisplayMode = 0;
    std::int32_t m_nPortIndex = -1;
    std::int32_t m_bGroupAll = 0;
    std::int32_t m_bEnableAll = 0;
    int m_hIcon = 0;
    std::array<std::int32_t, kFaderCount> m_nPrevPos{};
    std::array<std::int32_t, kFaderCount> m_nCurPos{};

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    const MessageMap* GetMessageMap() const override;

private:
    // Gives every control whose own text says too little its accessible name, for the block
    // that starts at `base`.
    void NameControls(std::uint32_t base);
    // Makes the faders' accessible values read in the units the level boxes hold.
    void ShowFaderUnits();
    // Where a level box's number goes on the wire: the level byte, or kSlotNotSent for a
    // box the exchange would refuse.
    std::int32_t SlotFromBox(int channel) const;
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
    void WriteLevelBoxes();
    // Ena All / Grp All: runs an exchange, then copies `allBox` (read only after it) to every
    // channel member and box.
    void SetAllBoxes(const std::int32_t& allBox, std::array<std::int32_t, kFaderCount>& members,
                     const std::array<int, kFaderCount>& ids);

    CTransmitWorker& m_worker;
    std::uint64_t m_nFirstReport = 0;
    std::uint64_t m_nCheckedReport = 0;
    bool m_bWaitingForEna = false;
    std::string m_strTickBase; // the base box's text at the last tick
    std::uint64_t m_nShownReport = 0;
    PortStatusTexts m_status;
};
