#include "ConsoleDlg.h"

#include "AboutBox.h"
#include "AccessibleNames.h"
#include "FaderMath.h"
#include "HelpIds.h"
#include "res/Resource.h"
#include "res/Strings.h"
#include "res/Templates.h"

#include "framework/HelpEngine.h"
#include "framework/WinApp.h"

#include <algorithm>
#include <string>

namespace {

int IndexOf(const std::array<int, kChannelControlCount>& ids, int id)
{
    const auto it = std::find(ids.begin(), ids.end(), id);
    return it == ids.end() ? -1 : static_cast<int>(it - ids.begin());
}

std::size_t At(int channel)
{
    return static_cast<std::size_t>(channel);
}

std::string FormatTitle(std::uint32_t base)
{
    return FormatResString(IDS_CONSOLE_TITLE, static_cast<int>(base),
                           static_cast<int>(base + kFaderCount - 1));
}

} // namespace

std::pair<int, int> CentredPosition(const ScreenRect& desktop, int w, int h)
{
    return {(desktop.right - desktop.left) / 2 + desktop.left - w / 2,
            (desktop.bottom - desktop.top) / 2 + desktop.top - h / 2};
}

std::pair<int, int> MinimisedIconPosition(int clientW, int clientH, int cx, int cy)
{
    return {(clientW - cx + 1) / 2, (clientH - cy + 1) / 2};
}

CConsoleDlg::CConsoleDlg(CTransmitWorker& worker)
    : CDialog(FindDialogTemplate(IDD_CONSOLE)), m_hIcon(IDI_APP_ICON), m_transmission(*this, worker)
{
}

CConsoleDlg::~CConsoleDlg() = default;

const MessageMap* CConsoleDlg::GetMessageMap() const
{
    using T = CConsoleDlg;
    static const MessageMap map = [this] {
        MessageMap m{CDialog::GetMessageMap(), {}};
        auto& e = m.entries;
        e.push_back(OnMessageEntry<T>(WM_SYSCOMMAND, [](T& d, const Msg& msg) -> std::intptr_t {
            d.OnSysCommand(static_cast<unsigned>(msg.wParam), msg.lParam);
            return 0;
        }));
        e.push_back(OnMessageEntry<T>(WM_QUERYDRAGICON, [](T& d, const Msg&) -> std::intptr_t {
            return d.OnQueryDragIcon();
        }));
        e.push_back(OnCommandEntry<T>(BN_CLICKED, IDC_SET_ALL, &T::OnSetAll));
        for (int i = 0; i < kFaderCount; ++i)
            e.push_back({WM_COMMAND, BN_CLICKED, kSetIds[At(i)], kSetIds[At(i)],
                         [i](CWnd& w, const Msg&) -> std::intptr_t {
                             static_cast<T&>(w).OnSetLevel(i);
                             return 0;
                         }});
        e.push_back(OnMessageEntry<T>(WM_VSCROLL, [](T& d, const Msg& msg) -> std::intptr_t {
            d.OnVScroll(LowWord(msg.wParam), HighWord(msg.wParam), static_cast<int>(msg.lParam));
            return 0;
        }));
        e.push_back(OnCommandEntry<T>(EN_CHANGE, IDC_BASE_ADDR, &T::OnBaseChange));
        e.push_back(OnCommandEntry<T>(BN_CLICKED, IDC_PERCENT, &T::OnPercent));
        e.push_back(OnCommandEntry<T>(BN_CLICKED, IDC_VALUE, &T::OnValue));
        e.push_back(OnCommandEntry<T>(BN_CLICKED, IDC_BLACKOUT, &T::OnBlackout));
        e.push_back(OnCommandEntry<T>(BN_CLICKED, IDC_ENA_ALL, &T::OnEnableAll));
        e.push_back(OnCommandEntry<T>(BN_CLICKED, IDC_GRP_ALL, &T::OnGroupAll));
        e.push_back(OnMessageEntry<T>(WM_TIMER, [](T& d, const Msg&) -> std::intptr_t {
            d.OnTick();
            return 0;
        }));
        e.push_back(OnCommandEntry<T>(BN_CLICKED, IDC_BASE_DOWN, &T::OnBaseDown));
        e.push_back(OnCommandEntry<T>(BN_CLICKED, IDC_BASE_UP, &T::OnBaseUp));
        // The port radios select themselves; the choice is read at the next exchange.
        e.push_back({WM_COMMAND, BN_CLICKED, IDC_COM1, IDC_COM4,
                     [](CWnd&, const Msg&) -> std::intptr_t { return 0; }});
        e.push_back(OnCommandEntry<T>(BN_CLICKED, IDC_ABOUT, &T::OnAbout));
        e.push_back(OnMessageEntry<T>(WM_PAINT, [](T& d, const Msg&) -> std::intptr_t {
            d.OnPaint();
            return 0;
        }));
        e.push_back(OnMessageEntry<T>(WM_DESTROY, [](T& d, const Msg&) -> std::intptr_t {
            d.OnDestroy();
            return 0;
        }));
        e.push_back(OnMessageEntry<T>(WM_CLOSE, [](T& d, const Msg& msg) -> std::intptr_t {
            return d.CDialog::DefWindowProc(msg);
        }));
        e.push_back(OnMessageEntry<T>(WM_HELP, [](T& d, const Msg& msg) -> std::intptr_t {
            return d.OnHelpInfo(reinterpret_cast<const HELPINFO*>(msg.lParam)) ? 1 : 0;
        }));
        // A tooltip is about to show: what COMn stands for is read now, not at the last tick.
        e.push_back(OnMessageEntry<T>(WM_TOOLTIP_SHOWING, [](T& d, const Msg&) -> std::intptr_t {
            d.m_transmission.RefreshPortStatus(true);
            return 0;
        }));
        e.push_back(OnMessageEntry<T>(WM_CONTEXTMENU, [](T& d, const Msg& msg) -> std::intptr_t {
            d.OnContextMenu(msg.wParam, msg.lParam);
            return 0;
        }));
        return m;
    }();
    return &map;
}

void CConsoleDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    for (int i = 0; i < kFaderCount; ++i)
        DDX_Control(pDX, kSliderIds[At(i)], m_slider[At(i)]);
    if (!DDX_Text(pDX, IDC_BASE_ADDR, m_nBaseAddress) ||
        !DDV_MinMaxUInt(pDX, m_nBaseAddress, kBaseAddressMin, kBaseAddressMax))
        return;
    for (int i = 0; i < kFaderCount; ++i)
        if (!DDX_Text(pDX, kLevelIds[At(i)], m_nLevel[At(i)]) ||
            !DDV_MinMaxInt(pDX, m_nLevel[At(i)], kLevelBoxMin, kLevelBoxMax))
            return;
    for (int i = 0; i < kFaderCount; ++i)
        DDX_Check(pDX, kEnaIds[At(i)], m_bEnable[At(i)]);
    for (int i = 0; i < kFaderCount; ++i)
        DDX_Check(pDX, kGrpIds[At(i)], m_bGroup[At(i)]);
    DDX_Radio(pDX, IDC_PERCENT, m_nDisplayMode);
    DDX_Radio(pDX, IDC_COM1, m_nPortIndex);
    DDX_Check(pDX, IDC_GRP_ALL, m_bGroupAll);
    DDX_Check(pDX, IDC_ENA_ALL, m_bEnableAll);
}

bool CConsoleDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CWindowPeer& peer = *GetPeer();

    if (peer.HasSystemMenu()) {
        const std::string about = LoadResString(IDS_ABOUT_MENU);
        if (!about.empty()) {
            peer.AppendSystemMenuSeparator();
            peer.AppendSystemMenuItem(IDM_ABOUT, about);
        }
    }

    peer.SetIcon(m_hIcon);
    const ScreenRect window = peer.GetWindowRect();
    const auto [x, y] = CentredPosition(peer.GetDesktopRect(), window.Width(), window.Height());
    peer.MoveWindow(x, y);
    peer.BringToTop();
    SetWindowText(FormatTitle(kBaseAddressMin));

    for (CSliderCtrl& slider : m_slider) {
        slider.SetRangeMin(kPositionTop, true);
        slider.SetRangeMax(kPositionBottom, true);
    }
    for (CSliderCtrl& slider : m_slider)
        slider.SetTicFreq(kFaderTicFrequency);
    for (CSliderCtrl& slider : m_slider)
        slider.SetPos(kPositionBottom);

    m_nPrevPos.fill(kPositionBottom);
    m_nCurPos.fill(kPositionBottom);
    m_bRawUnits = 0;
    m_bDirty = 0;
    m_nPortIndex = 0;
    CheckRadioButton(IDC_COM1, IDC_COM4, IDC_COM1);
    NameControls(kBaseAddressMin);
    peer.SetLabelFor(kBaseLabelIndex, GetTemplate()->IndexOf(IDC_BASE_ADDR));
    for (int k = 0; k < kFaderCount; ++k)
        peer.SetLabelFor(GetTemplate()->IndexOf(kChanLabelIds[At(k)]),
                         GetTemplate()->IndexOf(kSliderIds[At(k)]));
    ShowFaderUnits();
    m_nTimerId = SetTimer(kTickTimerId, kTickMilliseconds);
    // Only this console's own transmissions count.
    m_transmission.Begin();
    return true;
}

void CConsoleDlg::OnSetLevel(int channel)
{
    UpdateData(true);
    const std::size_t i = At(channel);
    // The operator was just told this channel's number is refused: its fader stays put.
    if (RefusedControl() == kLevelIds[i])
        return;
    const bool percent = m_nDisplayMode == 0;
    if (percent && m_nLevel[i] > kPercentMax)
        m_nLevel[i] = kPercentMax;
    m_slider[i].SetPos(LevelToPosition(m_nLevel[i], percent));
    m_nCurPos[i] = m_slider[i].GetPos();
    m_nPrevPos[i] = m_nCurPos[i];
    m_bDirty = 1;
}

void CConsoleDlg::OnSetAll()
{
    // Each channel's Set runs its own exchange, and so shows its own message.
    for (int i = 0; i < kFaderCount; ++i)
        OnSetLevel(i);
}

void CConsoleDlg::OnVScroll(unsigned /*nSBCode*/, unsigned /*nPos*/, int faderId)
{
    UpdateData(true);
    if (IndexOf(kSliderIds, faderId) < 0)
        return;
    const auto [movement, grouped] = ReadSliderDelta(faderId);
    if (grouped != 0)
        MoveGroup(faderId, movement);
    RefreshLevels();
    m_bDirty = 1;
}

std::pair<std::int32_t, std::int32_t> CConsoleDlg::ReadSliderDelta(int faderId)
{
    const std::size_t i = At(IndexOf(kSliderIds, faderId));
    const std::int32_t pos = m_slider[i].GetPos();
    m_nCurPos[i] = pos;
    const std::int32_t movement = SaturateToInt32(std::int64_t{pos} - m_nPrevPos[i]);
    m_nPrevPos[i] = pos;
    return {movement, m_bGroup[i]};
}

void CConsoleDlg::MoveGroup(int faderId, std::int32_t movement)
{
    for (int k = 0; k < kFaderCount; ++k) {
        const std::size_t i = At(k);
        if (kSliderIds[i] == faderId || m_bGroup[i] == 0)
            continue;
        const std::int32_t target = SaturateToInt32(std::int64_t{m_slider[i].GetPos()} + movement);
        m_slider[i].SetPos(target);
        // Measure this fader's own next movement from where it actually stopped.
        m_nPrevPos[i] = m_slider[i].GetPos();
        m_nCurPos[i] = std::clamp(target, kPositionTop, kPositionBottom);
    }
}

void CConsoleDlg::RefreshLevels()
{
    const bool percent = m_nDisplayMode == 0;
    for (int k = 0; k < kFaderCount; ++k) {
        const std::size_t i = At(k);
        m_nCurPos[i] = m_slider[i].GetPos();
        m_nLevel[i] = PositionToLevel(m_nCurPos[i], percent);
        SetDlgItemInt(kLevelIds[i], static_cast<std::uint32_t>(m_nLevel[i]), false);
    }
}

void CConsoleDlg::WriteLevelBoxes()
{
    for (int k = 0; k < kFaderCount; ++k)
        SetDlgItemInt(kLevelIds[At(k)], static_cast<std::uint32_t>(m_nLevel[At(k)]), false);
}

void CConsoleDlg::OnPercent()
{
    UpdateData(true);
    if (m_bRawUnits == 0)
        return;
    for (std::int32_t& level : m_nLevel)
        level = RawToPercent(level);
    WriteLevelBoxes();
    m_bRawUnits = 0;
    ShowFaderUnits();
}

void CConsoleDlg::OnValue()
{
    UpdateData(true);
    if (m_bRawUnits != 0)
        return;
    for (std::int32_t& level : m_nLevel)
        level = PercentToRaw(level);
    WriteLevelBoxes();
    m_bRawUnits = 1;
    ShowFaderUnits();
}

void CConsoleDlg::ShowFaderUnits()
{
    // A screen reader reads a fader's level as the boxes show it: percent or 0..255.
    if (GetPeer() == nullptr)
        return;
    for (int id : kSliderIds)
        GetPeer()->SetFaderValueScale(id, m_bRawUnits != 0 ? kRawLevelMax : kPercentMax);
}

void CConsoleDlg::NameControls(std::uint32_t base)
{
    if (GetPeer() == nullptr || GetTemplate() == nullptr)
        return;
    const auto& controls = GetTemplate()->controls;
    for (std::size_t i = 0; i < controls.size(); ++i)
        if (std::string name = AccessibleName(controls[i].id, base); !name.empty())
            GetPeer()->SetAccessibleNameAt(static_cast<int>(i), name);
}

void CConsoleDlg::OnBlackout()
{
    for (CSliderCtrl& slider : m_slider)
        slider.SetPos(kPositionBottom);
    RefreshLevels();
    // The device must go dark too, at the next tick.
    m_bDirty = 1;
}

void CConsoleDlg::SetAllBoxes(const std::int32_t& allBox,
                              std::array<std::int32_t, kFaderCount>& members,
                              const std::array<int, kFaderCount>& ids)
{
    UpdateData(true);
    const std::int32_t v = allBox != 0 ? 1 : 0;
    members.fill(v);
    for (int id : ids)
        CheckDlgButton(id, v);
}

void CConsoleDlg::OnEnableAll()
{
    SetAllBoxes(m_bEnableAll, m_bEnable, kEnaIds);
}

void CConsoleDlg::OnGroupAll()
{
    SetAllBoxes(m_bGroupAll, m_bGroup, kGrpIds);
}

void CConsoleDlg::OnBaseUp()
{
    UpdateData(true);
    if (m_nBaseAddress < kBaseAddressMax) {
        ++m_nBaseAddress;
        SetDlgItemInt(IDC_BASE_ADDR, m_nBaseAddress, true);
        // A whole number chosen at once: the next tick need not wait for it to settle.
        m_transmission.TakeBase();
    }
}

void CConsoleDlg::OnBaseDown()
{
    UpdateData(true);
    if (m_nBaseAddress > kBaseAddressMin) {
        --m_nBaseAddress;
        SetDlgItemInt(IDC_BASE_ADDR, m_nBaseAddress, true);
        m_transmission.TakeBase();
    }
}

void CConsoleDlg::OnBaseChange()
{
    UpdateData(true);
    SetWindowText(FormatTitle(m_nBaseAddress));
    for (int k = 0; k < kFaderCount; ++k)
        SetDlgItemText(kChanLabelIds[At(k)],
                       std::to_string(static_cast<int>(m_nBaseAddress + static_cast<unsigned>(k))));
    // The channel controls are named after the channels their labels show.
    NameControls(m_nBaseAddress);
}

void CConsoleDlg::OnTick()
{
    m_transmission.Tick();
}

void CConsoleDlg::OnDestroy()
{
    KillTimer(m_nTimerId);
    m_transmission.Close();
    WinHelp(0, HELP_QUIT);
}

void CConsoleDlg::OnSysCommand(unsigned nID, std::intptr_t lParam)
{
    if ((nID & SC_COMMAND_MASK) == static_cast<unsigned>(IDM_ABOUT)) {
        OnAbout();
        return;
    }
    CDialog::DefWindowProc(Msg{WM_SYSCOMMAND, nID, lParam});
}

void CConsoleDlg::OnAbout()
{
    CAboutBox about;
    about.DoModal();
}

bool CConsoleDlg::OnHelpInfo(const HELPINFO* pHelpInfo)
{
    if (pHelpInfo != nullptr && pHelpInfo->iContextType == HELPINFO_WINDOW)
        AfxGetHelpEngine().WinHelp(pHelpInfo->iCtrlId, AfxGetHelpFilePath(), HELP_WM_HELP,
                                   reinterpret_cast<std::uintptr_t>(g_helpIds.data()));
    return true;
}

void CConsoleDlg::OnContextMenu(std::uintptr_t window, std::intptr_t /*point*/)
{
    const int controlId = window == kContextMenuNoWindow ? 0 : static_cast<int>(window);
    AfxGetHelpEngine().WinHelp(controlId, AfxGetHelpFilePath(), HELP_CONTEXTMENU,
                               reinterpret_cast<std::uintptr_t>(g_helpIds.data()));
}

void CConsoleDlg::OnPaint()
{
    // Minimised windows are drawn by the window system from the window icon.
}
