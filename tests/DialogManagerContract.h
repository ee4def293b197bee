// The dialog manager's contract, stated once and run on every window backend. A backend
// joins by instantiating the suite with a driver that acts as the operator on its windows:
//
//   struct Driver {
//       explicit Driver(const DialogTemplate& tmpl);
//       void Open(CDialog& dialog);           // creates the window, attaches, shows it
//       CWindowPeer& Peer();
//       void Key(DialogKey key);              // to the focused control, as the keyboard does
//       void Click(int id);                   // the mouse on a button
//       void Type(int id, const char* text);  // replaces a box's text by typing
//       // Drags a fader's thumb some way toward its bottom and lets go, as the fader reports
//       // it, whatever else holds the mouse.
//       void DragFader(int id);
//       void PressClose();                    // the caption's close button
//       int FocusedId() const;
//       bool AllTextSelected(int id) const;
//       // Runs `step` while the next message box is open until it returns true, then OK.
//       void DuringNextBox(std::function<bool()> step);
//       // The same for the next dialog run modally (through the backend's window system),
//       // which then ends with Esc.
//       void DuringNextModal(std::function<bool()> step);
//   };
#pragma once

#include "framework/Dialog.h"
#include "framework/DialogManager.h"
#include "framework/WinApp.h"
#include "res/Resource.h"
#include "res/Templates.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace contract {

constexpr int kEdit1 = 101;
constexpr int kEdit2 = 102;
constexpr int kRadio1 = 111;
constexpr int kRadio2 = 112;
constexpr int kRadio3 = 113;
constexpr int kCheck = 121;
constexpr int kFader = 131;
constexpr int kPush = 141;
constexpr int kDefault = 142;
constexpr unsigned kTimerId = 7;
constexpr unsigned kTimerMs = 20;

// Two boxes, a radio group with none selected, a check box, a label, a vertical fader, a push
// button and (with `withDefault`) a default push button; each in a group of its own.
inline DialogTemplate MakeTemplate(bool withDefault)
{
    constexpr std::uint32_t kStop = WS_GROUP | WS_TABSTOP;
    DialogTemplate tmpl;
    tmpl.rect = {0, 0, 200, 120};
    tmpl.caption = "Contract";
    tmpl.controls = {
        {kEdit1, ControlClass::Edit, "12", {4, 4, 40, 12}, kStop | WS_BORDER, 0},
        {kEdit2, ControlClass::Edit, "34", {4, 20, 40, 12}, kStop | WS_BORDER, 0},
        {kRadio1, ControlClass::Button, "One", {50, 4, 40, 10}, BS_AUTORADIOBUTTON | kStop, 0},
        {kRadio2, ControlClass::Button, "Two", {50, 16, 40, 10}, BS_AUTORADIOBUTTON, 0},
        {kRadio3, ControlClass::Button, "Three", {50, 28, 40, 10}, BS_AUTORADIOBUTTON, 0},
        {kCheck, ControlClass::Button, "Check", {50, 40, 40, 10}, BS_AUTOCHECKBOX | kStop, 0},
        {-1, ControlClass::Static, "Label", {4, 40, 40, 8}, SS_LEFT | WS_GROUP, 0},
        {kFader, ControlClass::Trackbar, "", {100, 4, 18, 100}, TBS_VERT | kStop, 0},
        {kPush, ControlClass::Button, "Push", {130, 4, 50, 14}, BS_PUSHBUTTON | kStop, 0},
        {kDefault,
         ControlClass::Button,
         "Default",
         {130, 20, 50, 14},
         (withDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_TABSTOP,
         0},
    };
    return tmpl;
}

// A dialog that records what its window reports instead of acting on it.
class CRecordingDialog : public CDialog {
public:
    CRecordingDialog() : CDialog(nullptr) {}

    struct Report {
        std::uint32_t message;
        unsigned low;  // control id (commands) or scroll code
        unsigned high; // notification code (commands) or thumb position
        friend bool operator==(const Report&, const Report&) = default;
    };
    std::vector<Report> m_reports;
    int m_nTicks = 0;

    std::vector<Report> Commands(unsigned code) const
    {
        std::vector<Report> found;
        for (const Report& r : m_reports)
            if (r.message == WM_COMMAND && r.high == code)
                found.push_back(r);
        return found;
    }

protected:
    const MessageMap* GetMessageMap() const override
    {
        static const MessageMap map{
            CDialog::GetMessageMap(),
            {{WM_COMMAND, BN_CLICKED, 0, 0xFFFF, &Record},
             {WM_COMMAND, EN_CHANGE, 0, 0xFFFF, &Record},
             {WM_VSCROLL, 0, 0, 0, &Record},
             {WM_TIMER, 0, 0, 0, [](CWnd& wnd, const Msg&) -> std::intptr_t {
                  ++static_cast<CRecordingDialog&>(wnd).m_nTicks;
                  return 0;
              }}}};
        return &map;
    }

private:
    static std::intptr_t Record(CWnd& wnd, const Msg& msg)
    {
        static_cast<CRecordingDialog&>(wnd).m_reports.push_back(
            {msg.message, LowWord(msg.wParam), HighWord(msg.wParam)});
        return 0;
    }
};

using Report = CRecordingDialog::Report;

inline Report Clicked(int id)
{
    return {WM_COMMAND, static_cast<unsigned>(id), BN_CLICKED};
}

template <class Driver> class DialogManagerContract : public ::testing::Test {
protected:
    void Open(bool withDefault = true)
    {
        m_tmpl = MakeTemplate(withDefault);
        m_driver = std::make_unique<Driver>(m_tmpl);
        m_driver->Open(m_dialog);
        m_dialog.m_reports.clear();
    }
    void TearDown() override { m_driver.reset(); }
    Driver& D() { return *m_driver; }
    CWindowPeer& Peer() { return m_driver->Peer(); }
    std::vector<Report>& Reports() { return m_dialog.m_reports; }

    DialogTemplate m_tmpl;
    CRecordingDialog m_dialog;
    std::unique_ptr<Driver> m_driver;
};

TYPED_TEST_SUITE_P(DialogManagerContract);

TYPED_TEST_P(DialogManagerContract, OpensOnTheFirstTabStopWithItsTextSelected)
{
    this->Open();
    EXPECT_EQ(this->D().FocusedId(), kEdit1);
    EXPECT_TRUE(this->D().AllTextSelected(kEdit1));
}

TYPED_TEST_P(DialogManagerContract, TabWalksTheTabStopsAndReachesARadioGroupAtItsSelection)
{
    this->Open();
    const std::vector<int> forward{kEdit2, kCheck, kFader, kPush, kDefault, kEdit1};
    for (int id : forward) {
        this->D().Key(DialogKey::Tab);
        EXPECT_EQ(this->D().FocusedId(), id) << "a group with no selection is skipped";
    }
    this->Peer().SetCheck(kRadio2, 1);
    this->D().Key(DialogKey::Tab);
    this->D().Key(DialogKey::Tab);
    EXPECT_EQ(this->D().FocusedId(), kRadio2);
    this->D().Key(DialogKey::BackTab);
    EXPECT_EQ(this->D().FocusedId(), kEdit2);
    EXPECT_TRUE(this->D().AllTextSelected(kEdit2));
    EXPECT_TRUE(this->Reports().empty());
}

TYPED_TEST_P(DialogManagerContract, ArrowsMoveThroughTheGroupSelectingEachRadio)
{
    this->Open();
    this->D().Click(kRadio1);
    this->Reports().clear();
    this->D().Key(DialogKey::Down);
    EXPECT_EQ(this->D().FocusedId(), kRadio2);
    EXPECT_EQ(this->Peer().GetCheck(kRadio1), 0);
    EXPECT_EQ(this->Peer().GetCheck(kRadio2), 1);
    this->D().Key(DialogKey::Right);
    this->D().Key(DialogKey::Down); // round to the first again
    EXPECT_EQ(this->D().FocusedId(), kRadio1);
    this->D().Key(DialogKey::Up);
    EXPECT_EQ(this->D().FocusedId(), kRadio3);
    EXPECT_EQ(this->Reports(), (std::vector<Report>{Clicked(kRadio2), Clicked(kRadio3),
                                                    Clicked(kRadio1), Clicked(kRadio3)}));
    EXPECT_EQ(this->Peer().GetCheck(kRadio1) + this->Peer().GetCheck(kRadio2), 0);
}

TYPED_TEST_P(DialogManagerContract, ClicksSelectARadioAndToggleACheckBox)
{
    this->Open();
    this->D().Click(kRadio3);
    this->D().Click(kRadio1);
    EXPECT_EQ(this->Peer().GetCheck(kRadio1), 1);
    EXPECT_EQ(this->Peer().GetCheck(kRadio3), 0);
    this->D().Click(kCheck);
    EXPECT_EQ(this->Peer().GetCheck(kCheck), 1);
    this->D().Click(kCheck);
    EXPECT_EQ(this->Peer().GetCheck(kCheck), 0);
    EXPECT_EQ(this->Reports(), (std::vector<Report>{Clicked(kRadio3), Clicked(kRadio1),
                                                    Clicked(kCheck), Clicked(kCheck)}));
}

TYPED_TEST_P(DialogManagerContract, EnterPressesTheDefaultButtonFromABox)
{
    this->Open();
    this->D().Key(DialogKey::Enter);
    EXPECT_EQ(this->Reports(), std::vector<Report>{Clicked(kDefault)});
}

TYPED_TEST_P(DialogManagerContract, EnterPressesTheFocusedPushButtonInstead)
{
    this->Open();
    this->Peer().FocusItem(kPush);
    this->D().Key(DialogKey::Enter);
    EXPECT_EQ(this->Reports(), std::vector<Report>{Clicked(kPush)});
}

TYPED_TEST_P(DialogManagerContract, EnterWithNoDefaultButtonSendsOk)
{
    this->Open(false);
    this->D().Key(DialogKey::Enter);
    EXPECT_EQ(this->Reports(), std::vector<Report>{Clicked(IDOK)});
}

TYPED_TEST_P(DialogManagerContract, EscapeAndTheCloseButtonSendCancel)
{
    this->Open();
    this->D().Key(DialogKey::Escape);
    this->D().PressClose();
    EXPECT_EQ(this->Reports(), (std::vector<Report>{Clicked(IDCANCEL), Clicked(IDCANCEL)}));
}

TYPED_TEST_P(DialogManagerContract, EveryWriteToABoxReportsOneChange)
{
    this->Open();
    this->Peer().SetItemText(kEdit1, "12"); // the text it already holds
    this->Peer().SetItemText(kEdit2, "7");
    this->Peer().SetItemText(kPush, "Pressed");
    this->D().Type(kEdit1, "5");
    const Report change1{WM_COMMAND, kEdit1, EN_CHANGE};
    const Report change2{WM_COMMAND, kEdit2, EN_CHANGE};
    EXPECT_EQ(this->m_dialog.Commands(EN_CHANGE), (std::vector<Report>{change1, change2, change1}));
    EXPECT_EQ(this->Peer().GetItemText(kEdit1), "5");
    EXPECT_EQ(this->Peer().GetItemText(kPush), "Pressed");
}

TYPED_TEST_P(DialogManagerContract, FaderPositionsStayInTheRange)
{
    this->Open();
    this->Peer().SetTrackbarRangeMax(kFader, 255);
    this->Peer().SetTrackbarPos(kFader, 300);
    EXPECT_EQ(this->Peer().GetTrackbarPos(kFader), 255);
    this->Peer().SetTrackbarPos(kFader, -4);
    EXPECT_EQ(this->Peer().GetTrackbarPos(kFader), 0);
    this->Peer().SetTrackbarPos(kFader, 200);
    this->Peer().SetTrackbarRangeMax(kFader, 150);
    EXPECT_EQ(this->Peer().GetTrackbarPos(kFader), 150);
    EXPECT_TRUE(this->Reports().empty()) << "the program's moves report nothing";
}

TYPED_TEST_P(DialogManagerContract, FaderKeysStepByALineAndAFifthOfTheRange)
{
    this->Open();
    this->Peer().SetTrackbarRangeMax(kFader, 255);
    this->Peer().SetTrackbarPos(kFader, 100);
    this->Peer().FocusItem(kFader);
    struct Step {
        DialogKey key;
        int pos;
        unsigned code; // SB_ENDSCROLL: against the end, nothing moves but the key's release
    };
    const std::vector<Step> steps{{DialogKey::Up, 99, SB_LINEUP},
                                  {DialogKey::Right, 100, SB_LINEDOWN},
                                  {DialogKey::PageDown, 151, SB_PAGEDOWN},
                                  {DialogKey::PageUp, 100, SB_PAGEUP},
                                  {DialogKey::End, 255, SB_BOTTOM},
                                  {DialogKey::Down, 255, SB_ENDSCROLL},
                                  {DialogKey::Home, 0, SB_TOP},
                                  {DialogKey::PageUp, 0, SB_ENDSCROLL}};
    for (const Step& step : steps) {
        this->Reports().clear();
        this->D().Key(step.key);
        EXPECT_EQ(this->Peer().GetTrackbarPos(kFader), step.pos);
        if (step.code == SB_ENDSCROLL) {
            for (const Report& report : this->Reports())
                EXPECT_EQ(report, (Report{WM_VSCROLL, SB_ENDSCROLL, 0}));
            continue;
        }
        ASSERT_FALSE(this->Reports().empty());
        EXPECT_EQ(this->Reports().front(), (Report{WM_VSCROLL, step.code, 0}));
    }
    // A range shorter than five pages still steps by one.
    this->Peer().SetTrackbarRangeMax(kFader, 4);
    this->D().Key(DialogKey::PageDown);
    EXPECT_EQ(this->Peer().GetTrackbarPos(kFader), 1);
}

// The scroll codes reported, each run of one code as one: a drag's moves, or the end that a
// trackbar repeats as it lets the mouse go.
inline std::vector<unsigned> CodeRuns(const std::vector<Report>& reports)
{
    std::vector<unsigned> runs;
    for (const Report& report : reports)
        if (report.message == WM_VSCROLL && (runs.empty() || runs.back() != report.low))
            runs.push_back(report.low);
    return runs;
}

// A box may take the mouse in the middle of a drag: while it is open the drag's moves are not
// taken, but its end still reaches the dialog.
TYPED_TEST_P(DialogManagerContract, ADragsEndReachesTheDialogEvenWhileABoxIsOpen)
{
    this->Open();
    this->Peer().SetTrackbarRangeMax(kFader, 255);
    this->D().DragFader(kFader);
    const auto pos = static_cast<unsigned>(this->Peer().GetTrackbarPos(kFader));
    EXPECT_GT(pos, 0U);
    EXPECT_EQ(CodeRuns(this->Reports()),
              (std::vector<unsigned>{SB_THUMBTRACK, SB_THUMBPOSITION, SB_ENDSCROLL}));
    const Report letGo{WM_VSCROLL, SB_THUMBPOSITION, pos};
    EXPECT_NE(std::find(this->Reports().begin(), this->Reports().end(), letGo),
              this->Reports().end());

    this->Reports().clear();
    this->D().DuringNextBox([this] {
        this->D().DragFader(kFader);
        return true;
    });
    this->Peer().MessageBox("Text", "Caption", MB_OK);
    EXPECT_EQ(CodeRuns(this->Reports()), (std::vector<unsigned>{SB_THUMBPOSITION, SB_ENDSCROLL}));
}

TYPED_TEST_P(DialogManagerContract, FailedExchangeFocusesAndSelectsTheBox)
{
    this->Open();
    this->Peer().FocusItem(kEdit2);
    this->Peer().SelectAllText(kEdit2);
    EXPECT_EQ(this->D().FocusedId(), kEdit2);
    EXPECT_TRUE(this->D().AllTextSelected(kEdit2));
}

TYPED_TEST_P(DialogManagerContract, TimersRunAndTheWindowTakesNoInputWhileABoxIsOpen)
{
    this->Open();
    ASSERT_EQ(this->Peer().SetTimer(kTimerId, kTimerMs), kTimerId);
    this->D().DuringNextBox([this] {
        this->D().Key(DialogKey::Enter);
        this->D().Key(DialogKey::Escape);
        this->D().Click(kPush);
        this->D().Click(kCheck);
        return this->m_dialog.m_nTicks >= 2;
    });
    EXPECT_EQ(this->Peer().MessageBox("Text", "Caption", MB_OK), IDOK);
    EXPECT_GE(this->m_dialog.m_nTicks, 2);
    EXPECT_TRUE(this->Reports().empty()) << "no second box can be opened from under the first";
    EXPECT_EQ(this->Peer().GetCheck(kCheck), 0);
    this->Peer().KillTimer(kTimerId);
}

TYPED_TEST_P(DialogManagerContract, AnotherDialogsModalRunKeepsTheTimersAndTakesTheInput)
{
    this->Open();
    ASSERT_EQ(this->Peer().SetTimer(kTimerId, kTimerMs), kTimerId);
    this->D().DuringNextModal([this] {
        this->D().Key(DialogKey::Enter);
        return this->m_dialog.m_nTicks >= 2;
    });
    CDialog about(FindDialogTemplate(IDD_ABOUT));
    EXPECT_EQ(about.DoModal(), IDCANCEL);
    EXPECT_GE(this->m_dialog.m_nTicks, 2);
    EXPECT_TRUE(this->Reports().empty());
    this->Peer().KillTimer(kTimerId);
}

// The About box's template stands at 0, 0: it opens centred over the main window, where the
// operator is looking, not at the window's corner.
TYPED_TEST_P(DialogManagerContract, AModalDialogOpensCentredOverTheMainWindow)
{
    this->Open();
    CWinApp app;
    app.m_pMainWnd = &this->m_dialog;
    const ScreenRect work = this->Peer().GetWorkAreaRect();
    this->Peer().MoveWindow(work.left + work.Width() / 4, work.top + work.Height() / 5);
    const ScreenRect main = this->Peer().GetWindowRect();
    ScreenRect opened;
    this->D().DuringNextModal([&opened] {
        opened = CDialog::ActiveModal()->GetPeer()->GetWindowRect();
        return true;
    });
    CDialog about(FindDialogTemplate(IDD_ABOUT));
    about.DoModal();
    ASSERT_GT(opened.Width(), 0);
    // Halves truncate: the centres may differ by a pixel.
    EXPECT_NEAR(opened.left + opened.right, main.left + main.right, 2);
    EXPECT_NEAR(opened.top + opened.bottom, main.top + main.bottom, 2);
}

REGISTER_TYPED_TEST_SUITE_P(
    DialogManagerContract, OpensOnTheFirstTabStopWithItsTextSelected,
    TabWalksTheTabStopsAndReachesARadioGroupAtItsSelection,
    ArrowsMoveThroughTheGroupSelectingEachRadio, ClicksSelectARadioAndToggleACheckBox,
    EnterPressesTheDefaultButtonFromABox, EnterPressesTheFocusedPushButtonInstead,
    EnterWithNoDefaultButtonSendsOk, EscapeAndTheCloseButtonSendCancel,
    EveryWriteToABoxReportsOneChange, FaderPositionsStayInTheRange,
    FaderKeysStepByALineAndAFifthOfTheRange, ADragsEndReachesTheDialogEvenWhileABoxIsOpen,
    FailedExchangeFocusesAndSelectsTheBox, TimersRunAndTheWindowTakesNoInputWhileABoxIsOpen,
    AnotherDialogsModalRunKeepsTheTimersAndTakesTheInput,
    AModalDialogOpensCentredOverTheMainWindow);

} // namespace contract
