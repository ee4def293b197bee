// The console on real Qt widgets, driven as the operator drives it: keys, clicks and drags
// through QTest, the 500 ms timer on the real clock. The logic's edge cases are covered on the
// substitute window; these check that the widgets carry them.
#include "framework/qt/QtDialogWindow.h"
#include "console/ConsoleDlg.h"
#include "framework/HelpEngine.h"
#include "framework/HelpFile.h"
#include "framework/WinApp.h"
#include "framework/qt/GroupFrame.h"
#include "framework/qt/QtWindowSystem.h"
#include "link/SerialLink.h"
#include "res/Resource.h"
#include "res/Templates.h"
#include "testing/RecordedTransmission.h"
#include "testing/RecordingCommPort.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDeadlineTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QSlider>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QWhatsThis>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace {

constexpr int kWaitMs = 5000;
constexpr int kReadMs = 20;
constexpr int kBottom = 255;

// The console, counting what reaches it: timer ticks, and the changes level box 1 reports.
class CCountingConsole : public CConsoleDlg {
public:
    explicit CCountingConsole(CTransmitWorker& worker) : CConsoleDlg(worker) {}
    int m_nTicks = 0;
    int m_nLevel1Changes = 0;

protected:
    const MessageMap* GetMessageMap() const override
    {
        static const MessageMap map{
            CConsoleDlg::GetMessageMap(),
            {OnMessageEntry<CCountingConsole>(WM_TIMER, &CountTick),
             {WM_COMMAND, EN_CHANGE, IDC_LEVEL1, IDC_LEVEL1, &CountLevel1Change}}};
        return &map;
    }

private:
    static std::intptr_t CountTick(CCountingConsole& console, const Msg& msg)
    {
        ++console.m_nTicks;
        return console.Forward(msg);
    }
    static std::intptr_t CountLevel1Change(CWnd& wnd, const Msg& msg)
    {
        auto& console = static_cast<CCountingConsole&>(wnd);
        ++console.m_nLevel1Changes;
        return console.Forward(msg);
    }

    // What the console itself does with the message.
    std::intptr_t Forward(const Msg& msg)
    {
        for (const MessageMap* map = CConsoleDlg::GetMessageMap(); map != nullptr; map = map->base)
            for (const MessageMapEntry& entry : map->entries) {
                if (entry.message != msg.message)
                    continue;
                if (msg.message == WM_COMMAND &&
                    (entry.code != HighWord(msg.wParam) ||
                     static_cast<int>(LowWord(msg.wParam)) < entry.firstId ||
                     static_cast<int>(LowWord(msg.wParam)) > entry.lastId))
                    continue;
                return entry.handler(*this, msg);
            }
        return DefWindowProc(msg);
    }
};

class ConsoleWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_window = std::make_unique<CQtDialogWindow>(m_console, *FindDialogTemplate(IDD_CONSOLE));
        m_console.Attach(*m_window);
        m_window->Widget()->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_window->Widget()));
    }
    // Destroying the window destroys the console's (WM_DESTROY), which closes the link.
    void TearDown() override { m_window.reset(); }

    QSlider* Fader(int channel) const
    {
        return qobject_cast<QSlider*>(m_window->Control(kSliderIds.at(channel)));
    }
    int Pos(int channel) const { return m_window->GetTrackbarPos(kSliderIds.at(channel)); }
    // Where the operator sees the fader's handle.
    QRect Handle(int channel) const
    {
        const QSlider* fader = Fader(channel);
        QStyleOptionSlider option;
        option.initFrom(fader);
        option.orientation = fader->orientation();
        option.minimum = fader->minimum();
        option.maximum = fader->maximum();
        option.sliderPosition = fader->sliderPosition();
        option.upsideDown = !fader->invertedAppearance(); // as QSlider has it for vertical ones
        return fader->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle,
                                              fader);
    }
    QLineEdit* Box(int id) const { return qobject_cast<QLineEdit*>(m_window->Control(id)); }
    QString Level(int channel) const { return Box(kLevelIds.at(channel))->text(); }
    QAbstractButton* Button(int id) const
    {
        return qobject_cast<QAbstractButton*>(m_window->Control(id));
    }
    void Click(int id) { QTest::mouseClick(Button(id), Qt::LeftButton); }
    // Replaces a box's text by typing, as the operator does.
    void Type(int id, const char* text)
    {
        QTest::mouseClick(Box(id), Qt::LeftButton);
        QTest::keyClick(Box(id), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(Box(id), QString::fromLatin1(text));
    }
    bool WaitForTransmission()
    {
        return QTest::qWaitFor(
            [this] {
                for (const auto& event : m_port->Events())
                    if (event.kind == CRecordingCommPort::EventKind::Close)
                        return true;
                return false;
            },
            kWaitMs);
    }
    std::string OpenedDevice() const
    {
        for (const auto& event : m_port->Events())
            if (event.kind == CRecordingCommPort::EventKind::Open)
                return event.device;
        return {};
    }

    std::shared_ptr<CRecordingCommPort> m_port = std::make_shared<CRecordingCommPort>();
    CSerialLink m_link{m_port};
    TransmitSnapshot m_snapshot;
    CTransmitWorker m_worker{m_link, m_snapshot};
    CCountingConsole m_console{m_worker};
    std::unique_ptr<CQtDialogWindow> m_window;
};

TEST_F(ConsoleWindow, StartsWithTheDefaultsCentredOnTheScreen)
{
    QDialog* window = m_window->Widget();
    EXPECT_EQ(window->windowTitle(), "Tessaro Channels 1 - 8");
    EXPECT_FALSE(window->windowIcon().isNull());
    EXPECT_EQ(Box(IDC_BASE_ADDR)->text(), "1");
    for (int i = 0; i < kFaderCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(qobject_cast<QLabel*>(m_window->Control(kChanLabelIds.at(i)))->text(),
                  QString::number(i + 1));
        EXPECT_EQ(Level(i), "0");
        EXPECT_EQ(Pos(i), kBottom);
        EXPECT_GT(Handle(i).center().y(), Fader(i)->height() * 3 / 4) << "seen at the bottom";
        EXPECT_FALSE(Button(kGrpIds.at(i))->isChecked());
        EXPECT_FALSE(Button(kEnaIds.at(i))->isChecked());
    }
    EXPECT_TRUE(Button(IDC_PERCENT)->isChecked());
    EXPECT_FALSE(Button(IDC_VALUE)->isChecked());
    EXPECT_TRUE(Button(IDC_COM1)->isChecked());
    for (int id : {IDC_COM2, IDC_COM3, IDC_COM4, IDC_GRP_ALL, IDC_ENA_ALL})
        EXPECT_FALSE(Button(id)->isChecked()) << id;
    EXPECT_EQ(QApplication::focusWidget(), Box(IDC_BASE_ADDR));
    EXPECT_EQ(Box(IDC_BASE_ADDR)->selectedText(), "1");

    const QPoint screen = QGuiApplication::primaryScreen()->geometry().center();
    const QPoint centre = window->frameGeometry().center();
    EXPECT_LE(std::abs(centre.x() - screen.x()), 1);
    EXPECT_LE(std::abs(centre.y() - screen.y()), 1);
}

TEST_F(ConsoleWindow, TypedLevelAndEnterSetAllFaders)
{
    // The letter is refused at the keyboard; each digit that goes in is one change.
    Type(IDC_LEVEL1, "5x0");
    EXPECT_EQ(Level(0), "50");
    EXPECT_EQ(m_console.m_nLevel1Changes, 2);

    QTest::keyClick(Box(IDC_LEVEL1), Qt::Key_Return);
    EXPECT_EQ(Pos(0), 128); // 50 % is raw 127
    for (int i = 1; i < kFaderCount; ++i)
        EXPECT_EQ(Pos(i), kBottom);
}

TEST_F(ConsoleWindow, EnterOnAFocusedPushButtonPressesThatButtonOnly)
{
    Type(IDC_LEVEL1, "50");
    Button(IDC_SET2)->setFocus();
    QTest::keyClick(Button(IDC_SET2), Qt::Key_Return);
    EXPECT_EQ(Pos(0), kBottom) << "Set All must not run";

    Button(IDC_SET1)->setFocus();
    QTest::keyClick(Button(IDC_SET1), Qt::Key_Enter);
    EXPECT_EQ(Pos(0), 128);
}

TEST_F(ConsoleWindow, KeyStepsMoveTheGroupAndRewriteTheBoxes)
{
    Click(IDC_GRP1);
    Click(IDC_GRP2);
    Fader(0)->setFocus();
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(Fader(0), Qt::Key_Up);
    EXPECT_EQ(Pos(0), 252);
    EXPECT_EQ(Pos(1), 252);
    EXPECT_EQ(Pos(2), kBottom);
    EXPECT_EQ(Level(0), "1");
    EXPECT_EQ(Level(1), "1");

    QTest::keyClick(Fader(0), Qt::Key_PageUp); // a page is a fifth of 0..255
    EXPECT_EQ(Pos(0), 201);
    EXPECT_EQ(Pos(1), 201);
    EXPECT_EQ(Level(1), "21");

    QTest::keyClick(Fader(0), Qt::Key_End);
    EXPECT_EQ(Pos(1), kBottom);
    EXPECT_EQ(Level(1), "0");
}

TEST_F(ConsoleWindow, DraggingAFaderMovesItsGroup)
{
    Click(IDC_GRP1);
    Click(IDC_GRP3);
    QSlider* fader = Fader(0);
    const QPoint start = Handle(0).center();
    QTest::mousePress(fader, Qt::LeftButton, {}, start);
    for (int step = 1; step <= 6; ++step)
        QTest::mouseMove(fader, start - QPoint(0, 10 * step));
    QTest::mouseRelease(fader, Qt::LeftButton, {}, start - QPoint(0, 60));

    EXPECT_LT(Pos(0), 200);
    EXPECT_EQ(Pos(2), Pos(0));
    EXPECT_EQ(Pos(1), kBottom);
    EXPECT_EQ(Level(2), Level(0));
    EXPECT_NE(Level(0), "0");
}

TEST_F(ConsoleWindow, BlackoutPullsEveryFaderDown)
{
    Type(IDC_LEVEL1, "100");
    Type(IDC_LEVEL4, "40");
    QTest::keyClick(Box(IDC_LEVEL4), Qt::Key_Return);
    ASSERT_EQ(Pos(0), 0);

    const int changes = m_console.m_nLevel1Changes;
    Click(IDC_BLACKOUT);
    for (int i = 0; i < kFaderCount; ++i) {
        EXPECT_EQ(Pos(i), kBottom) << i;
        EXPECT_EQ(Level(i), "0") << i;
    }
    EXPECT_EQ(m_console.m_nLevel1Changes, changes + 1) << "one change for one write";
}

TEST_F(ConsoleWindow, ValueShowsRawLevels)
{
    Type(IDC_LEVEL1, "50");
    QTest::keyClick(Box(IDC_LEVEL1), Qt::Key_Return);
    Click(IDC_VALUE);
    EXPECT_TRUE(Button(IDC_VALUE)->isChecked());
    EXPECT_FALSE(Button(IDC_PERCENT)->isChecked());
    EXPECT_EQ(Level(0), "127");
}

TEST_F(ConsoleWindow, BaseButtonsStepToTheLastBlockAndBack)
{
    for (int i = 0; i < 505; ++i) // one more than needed: 505 is the last base
        Click(IDC_BASE_UP);
    EXPECT_EQ(Box(IDC_BASE_ADDR)->text(), "505");
    EXPECT_EQ(m_window->Widget()->windowTitle(), "Tessaro Channels 505 - 512");
    for (int i = 0; i < kFaderCount; ++i)
        EXPECT_EQ(qobject_cast<QLabel*>(m_window->Control(kChanLabelIds.at(i)))->text(),
                  QString::number(505 + i));

    for (int i = 0; i < 504; ++i)
        Click(IDC_BASE_DOWN);
    EXPECT_EQ(Box(IDC_BASE_ADDR)->text(), "1");
    EXPECT_EQ(m_window->Widget()->windowTitle(), "Tessaro Channels 1 - 8");
    EXPECT_EQ(qobject_cast<QLabel*>(m_window->Control(IDC_CHAN_LABEL8))->text(), "8");
}

TEST_F(ConsoleWindow, RefusedBoxShowsItsMessageWhileTheTimerTicks)
{
    // Pasted text goes in whatever it holds; the exchange judges it.
    QGuiApplication::clipboard()->setText(QStringLiteral("abc"));
    Box(IDC_LEVEL1)->setFocus();
    QTest::keyClick(Box(IDC_LEVEL1), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(Box(IDC_LEVEL1), Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(Level(0), "abc");

    // The operator reads the box for two ticks, then presses OK.
    QString text;
    QString caption;
    int ticksAtOpen = -1;
    int ticksWhileOpen = 0;
    QDeadlineTimer giveUp(kWaitMs);
    QTimer reader;
    QObject::connect(&reader, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible())
            return;
        if (ticksAtOpen < 0) {
            ticksAtOpen = m_console.m_nTicks;
            text = box->text();
            caption = box->windowTitle();
        }
        ticksWhileOpen = m_console.m_nTicks - ticksAtOpen;
        if (ticksWhileOpen >= 2 || giveUp.hasExpired())
            box->button(QMessageBox::Ok)->click();
    });
    reader.start(kReadMs);
    Click(IDC_SET1); // returns when the box is closed

    // Back in the refused box, its text selected for retyping; then the operator retypes.
    EXPECT_EQ(m_window->Widget()->focusWidget(), Box(IDC_LEVEL1));
    EXPECT_EQ(Box(IDC_LEVEL1)->selectedText(), "abc");
    Box(IDC_LEVEL1)->setText(QStringLiteral("0"));
    reader.stop();

    EXPECT_EQ(text, "Please enter an integer.");
    EXPECT_EQ(caption, QString::fromStdString(AfxGetAppTitle()));
    EXPECT_GE(ticksWhileOpen, 2);
    EXPECT_EQ(Pos(0), kBottom);
}

TEST_F(ConsoleWindow, TickSendsTheEnabledLevel)
{
    Click(IDC_ENA1);
    Type(IDC_LEVEL1, "50");
    QTest::keyClick(Box(IDC_LEVEL1), Qt::Key_Return);
    ASSERT_TRUE(WaitForTransmission());

    EXPECT_EQ(OpenedDevice(), "COM1");
    const std::vector<FrameByte> expected{{0xFF, CommParity::Mark},  {0x00, CommParity::Space},
                                          {0x07, CommParity::Space}, {0x00, CommParity::Space},
                                          {0x7F, CommParity::Space}, {0x42, CommParity::Mark}};
    EXPECT_EQ(m_port->Written(), expected);
}

TEST_F(ConsoleWindow, ArrowKeysSelectAPortThatTheNextTransmissionUses)
{
    Button(IDC_COM1)->setFocus();
    QTest::keyClick(Button(IDC_COM1), Qt::Key_Down);
    QTest::keyClick(Button(IDC_COM2), Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), Button(IDC_COM3));
    EXPECT_TRUE(Button(IDC_COM3)->isChecked());
    EXPECT_FALSE(Button(IDC_COM1)->isChecked());
    EXPECT_FALSE(Button(IDC_COM2)->isChecked());

    Click(IDC_ENA1);
    Type(IDC_LEVEL1, "50");
    QTest::keyClick(Box(IDC_LEVEL1), Qt::Key_Return);
    ASSERT_TRUE(WaitForTransmission());
    EXPECT_EQ(OpenedDevice(), "COM3");
}

// The mouse resting on the port group's caption: the frame lets the mouse through to the
// dialog, which shows the group's tooltip there; a COM button shows its own.
TEST_F(ConsoleWindow, ThePortGroupShowsItsTipOverItsCaption)
{
    QDialog* window = m_window->Widget();
    CGroupFrame* group = nullptr;
    // CGroupFrame has no meta-object of its own for findChildren to tell it by.
    for (QWidget* child : window->findChildren<QWidget*>())
        if (auto* frame = dynamic_cast<CGroupFrame*>(child); frame && frame->Title() == "Port")
            group = frame;
    ASSERT_NE(group, nullptr);
    ASSERT_FALSE(group->toolTip().isEmpty());
    const QFontMetrics metrics(group->font());
    const QPoint caption =
        group->mapTo(window, QPoint(metrics.averageCharWidth() * 2, metrics.height() / 2));
    ASSERT_EQ(window->childAt(caption), nullptr) << "the dialog gets the mouse over the caption";

    QTest::mouseMove(window, caption);
    ASSERT_TRUE(QTest::qWaitFor([] { return QToolTip::isVisible(); }, kWaitMs));
    EXPECT_EQ(QToolTip::text(), group->toolTip());
    EXPECT_TRUE(QToolTip::text().startsWith("COM1 ")) << QToolTip::text().toStdString();

    QTest::mouseMove(window, Button(IDC_COM2)->geometry().center());
    EXPECT_TRUE(QTest::qWaitFor(
        [] { return QToolTip::isVisible() && QToolTip::text().startsWith("COM2"); }, kWaitMs))
        << QToolTip::text().toStdString();
}

// Help on the real widgets: which control a key, a right click or the help mode asks about.
class ConsoleWindowHelp : public ConsoleWindow, public CHelpDisplay {
protected:
    void SetUp() override
    {
        m_app.m_strHelpFilePath = std::string(LUMIVANE_SOURCE_DIR) + "/res/lumivane.HLP";
        m_app.m_pMainWnd = &m_console;
        AfxGetHelpEngine().SetDisplay(this);
        AfxSetWindowSystem(&m_windows);
        ConsoleWindow::SetUp();
    }
    void TearDown() override
    {
        ConsoleWindow::TearDown();
        AfxGetHelpEngine().SetDisplay(nullptr);
        AfxSetWindowSystem(nullptr);
    }

    void ShowPopup(int controlId, const std::string& text) override
    {
        m_popups.emplace_back(controlId, text);
    }
    bool OfferWhatsThis(int controlId) override
    {
        m_menus.push_back(controlId);
        return true;
    }
    bool ShowTopic(const std::string&, const std::string&) override { return true; }
    void CloseTopicWindow() override {}

    CWinApp m_app;
    CQtWindowSystem m_windows;
    std::vector<std::pair<int, std::string>> m_popups;
    std::vector<int> m_menus;
};

TEST_F(ConsoleWindowHelp, F1ShowsTheTopicOfTheFocusedControl)
{
    Box(IDC_LEVEL3)->setFocus();
    QTest::keyClick(Box(IDC_LEVEL3), Qt::Key_F1);
    ASSERT_EQ(m_popups.size(), 1U);
    EXPECT_EQ(m_popups[0].first, IDC_LEVEL3);
    const auto file = CHelpFile::Load(m_app.m_strHelpFilePath);
    ASSERT_TRUE(file);
    EXPECT_EQ(m_popups[0].second, file->Find(0x8082040A)->text);
}

TEST_F(ConsoleWindowHelp, RightClickOnAControlOffersItsHelp)
{
    QWidget* blackout = Button(IDC_BLACKOUT);
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(2, 2),
                            blackout->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(blackout, &click);
    EXPECT_EQ(m_menus, std::vector<int>{IDC_BLACKOUT});
    EXPECT_EQ(m_popups.size(), 1U);
    EXPECT_EQ(Pos(0), kBottom);
}

TEST_F(ConsoleWindowHelp, ShiftF1ThenAClickAsksForHelpInsteadOfPressing)
{
    Type(IDC_LEVEL1, "100");
    QTest::keyClick(Box(IDC_LEVEL1), Qt::Key_F1, Qt::ShiftModifier);
    ASSERT_TRUE(QWhatsThis::inWhatsThisMode());
    QTest::mouseClick(Button(IDC_SET_ALL), Qt::LeftButton);
    ASSERT_EQ(m_popups.size(), 1U);
    EXPECT_EQ(m_popups[0].first, IDC_SET_ALL);
    EXPECT_EQ(Pos(0), kBottom) << "Set All was not pressed";
    EXPECT_TRUE(QTest::qWaitFor([] { return !QWhatsThis::inWhatsThisMode(); }, kWaitMs));
}

TEST_F(ConsoleWindowHelp, WindowMenuEndsWithTheAboutEntryThatOpensTheBox)
{
    const QList<QAction*> actions = m_window->WindowMenu()->actions();
    ASSERT_GE(actions.size(), 3);
    EXPECT_TRUE(actions[actions.size() - 2]->isSeparator());
    EXPECT_EQ(actions.back()->text(), QStringLiteral("&About Lumivane..."));

    QString caption;
    QTimer::singleShot(0, [&caption] {
        QWidget* about = QApplication::activeModalWidget();
        if (about == nullptr)
            return;
        caption = about->windowTitle();
        QTest::keyClick(about, Qt::Key_Escape);
    });
    actions.back()->trigger();
    EXPECT_EQ(caption, QStringLiteral("About Lumivane"));
}

TEST(ConsoleModalRun, EscapeAndTheCloseButtonEndItWithCancel)
{
    CQtWindowSystem windowSystem;
    AfxSetWindowSystem(&windowSystem);
    CRecordedTransmission wire;
    constexpr int kTimedOut = -2;

    for (const bool escape : {true, false}) {
        SCOPED_TRACE(escape ? "Esc" : "close button");
        CConsoleDlg console(wire.worker);
        QTimer operatorScript;
        operatorScript.setSingleShot(true);
        QObject::connect(&operatorScript, &QTimer::timeout, [escape] {
            QWidget* window = QApplication::activeModalWidget();
            if (window == nullptr || !QTest::qWaitForWindowActive(window))
                return;
            if (escape)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
            else
                window->close();
        });
        // Should the run not end, this ends it, so that the test fails rather than hangs.
        QTimer deadline;
        deadline.setSingleShot(true);
        QObject::connect(&deadline, &QTimer::timeout, [&console] { console.EndDialog(kTimedOut); });
        operatorScript.start(0);
        deadline.start(kWaitMs);

        EXPECT_EQ(console.DoModal(), IDCANCEL);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
    AfxSetWindowSystem(nullptr);
}

} // namespace
