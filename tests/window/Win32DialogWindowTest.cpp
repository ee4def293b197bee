// What the native Windows dialogs add to the dialog manager's contract: the help keys, the
// click-for-help mode that stands in for the caption's "?" button, and what a screen reader
// learns of the console's controls through MSAA.
#include "framework/win32/Win32DialogWindow.h"
#include "Win32Measure.h"
#include "Win32Operator.h"
#include "console/ConsoleDlg.h"
#include "testing/RecordedTransmission.h"
#include "tests/ConsoleAccessibility.h"
#include "tests/DialogManagerContract.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using namespace contract;

// Records help requests and clicks instead of acting on them.
class CHelpRecordingDialog : public CDialog {
public:
    CHelpRecordingDialog() : CDialog(0) {}

    struct Request {
        int controlId;
        bool modifierHeld;
        friend bool operator==(const Request&, const Request&) = default;
    };
    std::vector<Request> m_requests;
    int m_nClicks = 0;
    std::vector<const CHelpRecordingDialog*>* m_pReleased = nullptr; // WM_DESTROY, in order

protected:
    const MessageMap* GetMessageMap() const override
    {
        static const MessageMap map{
            CDialog::GetMessageMap(),
            {{WM_HELP, 0, 0, 0,
              [](CWnd& wnd, const Msg& msg) -> std::intptr_t {
                  const auto* info = reinterpret_cast<const HELPINFO*>(msg.lParam);
                  static_cast<CHelpRecordingDialog&>(wnd).m_requests.push_back(
                      {info->iCtrlId, info->bModifierHeld});
                  return 1;
              }},
             {WM_COMMAND, BN_CLICKED, 0, 0xFFFF,
              [](CWnd& wnd, const Msg&) -> std::intptr_t {
                  ++static_cast<CHelpRecordingDialog&>(wnd).m_nClicks;
                  return 0;
              }},
             {WM_DESTROY, 0, 0, 0, [](CWnd& wnd, const Msg&) -> std::intptr_t {
                  auto& self = static_cast<CHelpRecordingDialog&>(wnd);
                  if (self.m_pReleased != nullptr)
                      self.m_pReleased->push_back(&self);
                  return 0;
              }}}};
        return &map;
    }
};

using Request = CHelpRecordingDialog::Request;

class Win32DialogWindowTest : public ::testing::Test {
protected:
    void Open(bool contextHelpButton)
    {
        m_tmpl = MakeTemplate(true);
        if (contextHelpButton)
            m_tmpl.exStyle |= WS_EX_CONTEXTHELP;
        m_window = std::make_unique<CWin32DialogWindow>(m_dialog, m_tmpl, nullptr);
        ASSERT_TRUE(m_window->IsCreated());
        m_dialog.Attach(*m_window);
        m_window->Show();
    }

    DialogTemplate m_tmpl;
    CHelpRecordingDialog m_dialog;
    std::unique_ptr<CWin32DialogWindow> m_window;
};

TEST_F(Win32DialogWindowTest, F1AsksHelpOnTheFocusedControl)
{
    Open(true);
    m_window->FocusItem(kPush);
    PressHelpKey(m_window->Control(kPush), false);
    EXPECT_EQ(m_dialog.m_requests, std::vector<Request>{(Request{kPush, false})});
}

TEST_F(Win32DialogWindowTest, ShiftF1WithoutTheCaptionButtonIsF1WithAModifier)
{
    Open(false);
    m_window->FocusItem(kEdit2);
    PressHelpKey(m_window->Control(kEdit2), true);
    EXPECT_EQ(m_dialog.m_requests, std::vector<Request>{(Request{kEdit2, true})});
}

TEST_F(Win32DialogWindowTest, ShiftF1ThenAClickAsksHelpOnTheClickedControlInsteadOfActing)
{
    Open(true);
    PressHelpKey(m_window->FocusControl(), true);
    EXPECT_TRUE(m_dialog.m_requests.empty()) << "the mode waits for the click";
    ClickOver(m_window->Control(kCheck));
    EXPECT_EQ(m_dialog.m_requests, std::vector<Request>{(Request{kCheck, false})});
    EXPECT_EQ(m_window->GetCheck(kCheck), 0);
    EXPECT_EQ(m_dialog.m_nClicks, 0);
    // The mode ends with that click: the next one acts.
    ClickOver(m_window->Control(kCheck));
    EXPECT_EQ(m_window->GetCheck(kCheck), 1);
}

// Windows may end the process as soon as WM_ENDSESSION returns: by then every dialog, the
// topmost first, has had its WM_DESTROY (the console sends what is pending and releases the
// port there).
TEST_F(Win32DialogWindowTest, TheSessionEndingLetsEveryDialogGoTheTopmostFirst)
{
    Open(false);
    CHelpRecordingDialog inner;
    CWin32DialogWindow innerWindow(inner, m_tmpl, m_window->Handle());
    ASSERT_TRUE(innerWindow.IsCreated());
    inner.Attach(innerWindow);
    std::vector<const CHelpRecordingDialog*> released;
    m_dialog.m_pReleased = &released;
    inner.m_pReleased = &released;

    EndSession(m_window->Handle(), false);
    EXPECT_TRUE(released.empty());
    EndSession(m_window->Handle(), true);
    EXPECT_EQ(released, (std::vector<const CHelpRecordingDialog*>{&inner, &m_dialog}));
    EndSession(innerWindow.Handle(), true);
    EXPECT_EQ(released.size(), 2U);
}

class Win32ConsoleAccessibility : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_window = std::make_unique<CWin32DialogWindow>(m_console, *FindDialogTemplate(IDD_CONSOLE),
                                                        nullptr);
        ASSERT_TRUE(m_window->IsCreated());
        m_console.Attach(*m_window);
        m_window->Show();
    }
    void TearDown() override { m_window.reset(); }

    CRecordedTransmission m_wire;
    CConsoleDlg m_console{m_wire.worker};
    std::unique_ptr<CWin32DialogWindow> m_window;
};

TEST_F(Win32ConsoleAccessibility, EveryControlHasItsOwnNameAndTheRoleOfWhatItIs)
{
    TypeText(m_window->Control(IDC_BASE_ADDR), kAccessibleBase);
    for (const ExpectedAccessible& row : ExpectedConsoleAccessibles()) {
        SCOPED_TRACE(row.name);
        const MsaaReading reading = ReadMsaa(m_window->ControlAt(row.index));
        ASSERT_TRUE(reading.found);
        EXPECT_EQ(reading.name, row.name);
        EXPECT_EQ(reading.role, MsaaRole(row.role));
    }
}

TEST_F(Win32ConsoleAccessibility, FadersReadInTheBoxesUnitsAndButtonsSayWhetherTheyAreTicked)
{
    TypeText(m_window->Control(IDC_LEVEL1), "50");
    ClickButton(m_window->Control(IDC_SET1)); // position 128
    EXPECT_EQ(ReadMsaa(m_window->Control(IDC_SLIDER1)).value, "49");
    ClickButton(m_window->Control(IDC_VALUE));
    EXPECT_EQ(ReadMsaa(m_window->Control(IDC_SLIDER1)).value, "127");
    EXPECT_TRUE(ReadMsaa(m_window->Control(IDC_VALUE)).checked);
    EXPECT_FALSE(ReadMsaa(m_window->Control(IDC_PERCENT)).checked);
    EXPECT_EQ(ReadMsaa(m_window->ControlAt(kPortGroupBoxIndex)).description.rfind("COM1", 0), 0U)
        << "the port group's description is its tooltip, which names COM1's device first";
}

using Win32ConsoleToolTips = Win32ConsoleAccessibility;

// A group box lets the mouse through to the dialog: the group's tooltip is the dialog's to
// show over the group, while each control inside shows its own.
TEST_F(Win32ConsoleToolTips, ThePortGroupShowsItsTipOverItsCaption)
{
    HWND__* group = m_window->ControlAt(kPortGroupBoxIndex);
    ASSERT_EQ(WindowUnder(group, MouseSpot::Caption), m_window->Handle())
        << "the dialog gets the mouse over the caption";
    const std::string groupTip = ToolTipOver(m_window->Handle(), group, MouseSpot::Caption);
    EXPECT_EQ(groupTip.rfind("COM1 is ", 0), 0U) << groupTip;
    EXPECT_NE(groupTip.find("Nothing sent yet"), std::string::npos) << groupTip;
    EXPECT_EQ(groupTip, ReadMsaa(group).description);

    // "Ports (COM & LPT)" in the way to reach a port beyond COM4.
    EXPECT_TRUE(ToolTipsDrawAmpersands(m_window->Handle()));

    const std::string com2Tip =
        ToolTipOver(m_window->Handle(), m_window->Control(IDC_COM2), MouseSpot::Middle);
    EXPECT_EQ(com2Tip.rfind("COM2", 0), 0U) << com2Tip;
}

// The faders start at level 0, drawn at the bottom (their positions were set while the window
// was hidden).
using Win32Console = Win32ConsoleAccessibility;

TEST_F(Win32Console, FadersAreDrawnAtTheBottom)
{
    for (int id : kSliderIds) {
        HWND__* const fader = m_window->Control(id);
        const ScreenRect thumb = ThumbOf(fader);
        EXPECT_GT(thumb.top, ClientSize(fader).cy * 3 / 4) << "fader " << id;
    }
}

} // namespace
