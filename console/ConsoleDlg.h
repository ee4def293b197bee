// CConsoleDlg: the operator's console. Eight faders with their level boxes, Set buttons,
// Grp and Ena boxes; the base address with + and -; Set All, Blackout, Grp All, Ena All;
// the Percent/Value units and the COM1..COM4 port. Every 500 ms its timer hands changed
// levels to a transmission worker.
//
// Threads: the window thread only; the worker sees nothing of it but the snapshot.
#pragma once

#include "ConsoleTransmission.h"
#include "framework/Dialog.h"
#include "framework/SliderCtrl.h"

#include <array>
#include <cstdint>
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
    // The 500 ms tick: hands changed levels to a transmission (CConsoleTransmission says when).
    void OnTick();
    void OnDestroy();
    void OnPaint();
    int OnQueryDragIcon() const { return m_hIcon; }
    // The About box, system menu and context help.
    void OnSysCommand(unsigned nID, std::intptr_t lParam);
    void OnAbout();
    bool OnHelpInfo(const HELPINFO* pHelpInfo);
    void OnContextMenu(std::uintptr_t window, std::intptr_t point);

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
    void WriteLevelBoxes();
    // Ena All / Grp All: runs an exchange, then copies `allBox` (read only after it) to every
    // channel member and box.
    void SetAllBoxes(const std::int32_t& allBox, std::array<std::int32_t, kFaderCount>& members,
                     const std::array<int, kFaderCount>& ids);

    // The tick, the send at closing and the port status.
    CConsoleTransmission m_transmission;
};
