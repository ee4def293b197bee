// The About box, the system-menu entry and context help, on the substitute window.
#include "ConsoleFixture.h"

#include "console/AboutBox.h"
#include "console/HelpIds.h"
#include "framework/HelpEngine.h"
#include "framework/HelpFile.h"
#include "framework/WinApp.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <set>

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

const std::string kHelpFile = std::string(LUMIVANE_SOURCE_DIR) + "/res/lumivane.HLP";
constexpr std::uint32_t kAboutTopic = 0x20064;

struct RecordingHelpDisplay : CHelpDisplay {
    std::vector<std::pair<int, std::string>> popups;
    std::vector<int> menus;
    std::vector<std::string> topics;
    int closes = 0;
    bool chooseEntry = true;

    void ShowPopup(int controlId, const std::string& text) override
    {
        popups.emplace_back(controlId, text);
    }
    bool OfferWhatsThis(int controlId) override
    {
        menus.push_back(controlId);
        return chooseEntry;
    }
    bool ShowTopic(const std::string& title, const std::string&) override
    {
        topics.push_back(title);
        return true;
    }
    void CloseTopicWindow() override { ++closes; }
};

std::string TopicText(std::uint32_t id)
{
    const auto file = CHelpFile::Load(kHelpFile);
    const HelpTopic* topic = file ? file->Find(id) : nullptr;
    return topic != nullptr ? topic->text : std::string();
}

struct ConsoleHelp : ConsoleFixture {
    CWinApp app;
    RecordingHelpDisplay display;
    CSubstituteWindowSystem windows;

    ConsoleHelp()
    {
        app.m_strHelpFilePath = kHelpFile;
        app.m_pMainWnd = &dlg;
        AfxGetHelpEngine().SetDisplay(&display);
        AfxSetWindowSystem(&windows);
    }
    ~ConsoleHelp() override
    {
        win.Close();
        AfxGetHelpEngine().SetDisplay(nullptr);
        AfxSetWindowSystem(nullptr);
    }

    void F1On(int id)
    {
        win.SetFocusTo(id);
        win.PressF1();
    }
};

TEST(HelpFile, HoldsAPopupForEveryContextIdAndTheAboutTopic)
{
    const auto file = CHelpFile::Load(kHelpFile);
    ASSERT_TRUE(file);
    std::set<std::uint32_t> wanted{kAboutTopic};
    for (const HelpIdPair& pair : g_helpIds)
        if (pair.contextId != 0)
            wanted.insert(pair.contextId);
    ASSERT_EQ(wanted.size(), 14U);
    for (std::uint32_t id : wanted) {
        const HelpTopic* topic = file->Find(id);
        ASSERT_NE(topic, nullptr) << std::hex << id;
        EXPECT_FALSE(topic->title.empty());
        EXPECT_GT(topic->text.size(), 40U) << "a topic an operator can use: " << topic->title;
    }
    EXPECT_EQ(file->Topics().size(), wanted.size()) << "no stray topics";
}

TEST(HelpFile, ParsesHeadersTextAndItsOwnMistakes)
{
    const CHelpFile file = CHelpFile::Parse("# comment\n"
                                            "stray text\n"
                                            "[0x10] First\n"
                                            "\n"
                                            "  one\n"
                                            "\n"
                                            "two\n"
                                            "\n"
                                            "[17]Second\n"
                                            "x\n"
                                            "[zz] Broken\n"
                                            "lost\n"
                                            "[0x10] Again\n"
                                            "ignored\n"
                                            "[0x1FFFFFFFF] Too big\n");
    ASSERT_EQ(file.Topics().size(), 2U);
    EXPECT_EQ(file.Find(0x10)->title, "First");
    EXPECT_EQ(file.Find(0x10)->text, "one\n\ntwo");
    EXPECT_EQ(file.Find(17)->title, "Second");
    EXPECT_EQ(file.Find(17)->text, "x");
    EXPECT_FALSE(CHelpFile::Load(kHelpFile + ".missing"));
}

// Also on Windows: a FIFO, a link and a huge file under Linux are in tests/PlantedFileTest.cpp.
TEST(HelpFile, IsReadOnlyAsARegularFileOfAtMostOneMebibyte)
{
    constexpr std::size_t kCap = std::size_t{1} << 20;
    EXPECT_FALSE(CHelpFile::Load(std::string(LUMIVANE_SOURCE_DIR) + "/res")) << "a directory";
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("lumivane-help-" + std::to_string(std::random_device{}()) + ".HLP");
    const std::string topic = "[0x10] Topic\nText.\n";
    std::ofstream(path, std::ios::binary) << topic << std::string(kCap - topic.size(), '\n');
    const auto atTheCap = CHelpFile::Load(path.string());
    std::ofstream(path, std::ios::binary | std::ios::app) << '\n';
    const auto beyondIt = CHelpFile::Load(path.string());
    std::filesystem::remove(path);
    ASSERT_TRUE(atTheCap);
    EXPECT_EQ(atTheCap->Find(0x10)->text, "Text.");
    EXPECT_FALSE(beyondIt);
}

class ConsoleHelpF1 : public ConsoleHelp, public ::testing::WithParamInterface<HelpIdPair> {};

// Every control that has help, with the topic it leads to, written out from the help id list
// rather than read from the table the console hands to the help engine.
std::vector<HelpIdPair> ControlTopics()
{
    const std::vector<std::pair<std::vector<int>, std::uint32_t>> families = {
        {{IDC_SLIDER1, IDC_SLIDER2, IDC_SLIDER3, IDC_SLIDER4, IDC_SLIDER5, IDC_SLIDER6, IDC_SLIDER7,
          IDC_SLIDER8},
         0x808203E8},
        {{IDC_LEVEL1, IDC_LEVEL2, IDC_LEVEL3, IDC_LEVEL4, IDC_LEVEL5, IDC_LEVEL6, IDC_LEVEL7,
          IDC_LEVEL8},
         0x8082040A},
        {{IDC_BASE_ADDR, IDC_BASE_UP, IDC_BASE_DOWN}, 0x80820413},
        {{IDC_BLACKOUT}, 0x80820424},
        {{IDC_COM1, IDC_COM2, IDC_COM3, IDC_COM4}, 0x8082041F},
        {{IDC_ENA_ALL}, 0x80820423},
        {{IDC_ENA1, IDC_ENA2, IDC_ENA3, IDC_ENA4, IDC_ENA5, IDC_ENA6, IDC_ENA7, IDC_ENA8},
         0x80820402},
        {{IDC_GRP_ALL}, 0x80820412},
        {{IDC_GRP1, IDC_GRP2, IDC_GRP3, IDC_GRP4, IDC_GRP5, IDC_GRP6, IDC_GRP7, IDC_GRP8},
         0x808203F9},
        {{IDC_SET_ALL}, 0x80820401},
        {{IDC_SET1, IDC_SET2, IDC_SET3, IDC_SET4, IDC_SET5, IDC_SET6, IDC_SET7, IDC_SET8},
         0x808203F0},
        {{IDC_PERCENT}, 0x8082041C},
        {{IDC_VALUE}, 0x8082041D},
    };
    std::vector<HelpIdPair> rows;
    for (const auto& [controls, topic] : families)
        for (int id : controls)
            rows.push_back({static_cast<std::uint32_t>(id), topic});
    return rows;
}

TEST_P(ConsoleHelpF1, ShowsTheTopicOfTheFocusedControl)
{
    F1On(static_cast<int>(GetParam().controlId));
    ASSERT_EQ(display.popups.size(), 1U);
    EXPECT_EQ(display.popups[0].first, static_cast<int>(GetParam().controlId));
    EXPECT_EQ(display.popups[0].second, TopicText(GetParam().contextId));
    EXPECT_TRUE(win.MessageBoxes().empty());
}

INSTANTIATE_TEST_SUITE_P(EveryControl, ConsoleHelpF1, ::testing::ValuesIn(ControlTopics()));

TEST_F(ConsoleHelp, ControlsWithoutARowAndMenusGetNothingButCountAsHandled)
{
    F1On(IDC_ABOUT);
    F1On(IDC_CHAN_LABEL1);
    HELPINFO onMenu;
    onMenu.iContextType = HELPINFO_MENUITEM;
    onMenu.iCtrlId = IDC_SET1;
    EXPECT_EQ(dlg.SendMessage(WM_HELP, 0, reinterpret_cast<std::intptr_t>(&onMenu)), 1);
    EXPECT_TRUE(display.popups.empty());
    EXPECT_TRUE(win.MessageBoxes().empty());
}

TEST_F(ConsoleHelp, RightClickOffersTheMenuThatLeadsToThePopup)
{
    win.RightClick(IDC_LEVEL4);
    EXPECT_THAT(display.menus, ElementsAre(IDC_LEVEL4));
    ASSERT_EQ(display.popups.size(), 1U);
    EXPECT_EQ(display.popups[0].second, TopicText(0x8082040A));

    display.chooseEntry = false;
    win.RightClick(IDC_BLACKOUT);
    EXPECT_EQ(display.popups.size(), 1U) << "the menu was dismissed";

    win.RightClick(kContextMenuNoWindow);
    win.RightClick(kContextMenuOnWindow);
    EXPECT_EQ(display.menus.size(), 2U) << "nothing to offer without a control";
}

TEST_F(ConsoleHelp, TheCaptionsHelpModeAsksForTheNextClickedControl)
{
    win.SystemCommand(SC_CONTEXTHELP);
    ASSERT_TRUE(win.InContextHelpMode());
    win.HelpModeClick(IDC_BLACKOUT);
    ASSERT_EQ(display.popups.size(), 1U);
    EXPECT_EQ(display.popups[0].second, TopicText(0x80820424));
    EXPECT_EQ(dlg.m_bDirty, 0) << "the click asked for help; it did not press Blackout";
}

TEST_F(ConsoleHelp, MissingHelpFileFailsSilentlyForPopups)
{
    app.m_strHelpFilePath = kHelpFile + ".missing";
    F1On(IDC_SLIDER1);
    win.RightClick(IDC_SLIDER1);
    EXPECT_TRUE(display.popups.empty());
    EXPECT_TRUE(win.MessageBoxes().empty());
}

TEST_F(ConsoleHelp, SystemMenuEndsWithASeparatorAndTheAboutEntry)
{
    EXPECT_THAT(win.SystemMenu(),
                ElementsAre(std::pair<unsigned, std::string>{0, ""},
                            std::pair<unsigned, std::string>{0x10, "&About Lumivane..."}));
}

TEST_F(ConsoleHelp, EverySystemCommandFrom0x10To0x1FOpensTheAboutBoxAndNoOtherDoes)
{
    for (unsigned id = 0x00; id <= 0x30; ++id)
        win.SystemCommand(id);
    win.SystemCommand(0xF000);
    win.SystemCommand(0xF120);
    EXPECT_EQ(windows.m_createdTemplates, std::vector<int>(16, IDD_ABOUT));
}

TEST_F(ConsoleHelp, AboutButtonShowsTheBoxWhileTheConsoleKeepsTransmitting)
{
    win.Click(IDC_ENA1);
    win.Click(IDC_SET1);
    std::string version;
    windows.m_modalScript = [&](CSubstituteWindow& about, int) {
        version = about.GetItemText(IDC_VERSION);
        EXPECT_EQ(about.GetCaption(), "About Lumivane");
        EXPECT_EQ(about.FocusedId(), IDOK) << "OK is the only tab stop";
        win.AdvanceClock(kTickMilliseconds); // the box's loop keeps the console's timer
        ASSERT_TRUE(worker.WaitFor(std::chrono::seconds(10)));
        about.PressEnter();
    };
    win.Click(IDC_ABOUT);
    EXPECT_EQ(windows.m_createdTemplates, std::vector<int>{IDD_ABOUT});
    EXPECT_EQ(version, "Lumivane Version 1.04");
    EXPECT_EQ(port->Written().size(), 6U);
}

TEST_F(ConsoleHelp, AboutBoxOpensCentredOverTheConsole)
{
    win.SetWindowRect({300, 200, 705, 511});
    ScreenRect opened;
    windows.m_modalScript = [&](CSubstituteWindow& about, int) {
        opened = about.GetWindowRect();
        about.PressEscape();
    };
    win.Click(IDC_ABOUT);
    EXPECT_EQ(opened, (ScreenRect{300, 200, 705, 511})) << "as large as the console here";
}

TEST_F(ConsoleHelp, F1InTheAboutBoxOpensItsTopicThroughTheApplication)
{
    windows.m_modalScript = [&](CSubstituteWindow& about, int) {
        about.PressF1();
        about.PressF1(true); // with Shift: default processing, nothing
        about.PressEscape();
    };
    win.Click(IDC_ABOUT);
    EXPECT_THAT(display.topics, ElementsAre("About Lumivane"));
    EXPECT_TRUE(display.popups.empty());

    app.m_strHelpFilePath = kHelpFile + ".missing";
    win.Click(IDC_ABOUT);
    ASSERT_EQ(win.MessageBoxes().size(), 1U);
    EXPECT_EQ(win.MessageBoxes()[0].text, "Failed to launch help.");
    EXPECT_EQ(win.MessageBoxes()[0].caption, app.m_strTitle);
}

TEST_F(ConsoleHelp, ClosingTheConsoleQuitsHelpWithoutAWord)
{
    win.Close();
    EXPECT_EQ(display.closes, 1);
    EXPECT_TRUE(win.MessageBoxes().empty());
    EXPECT_TRUE(AfxGetHelpEngine().WinHelp(0, kHelpFile + ".missing", HELP_QUIT, 0));
}

TEST(AboutBox, TemplateShowsNameVersionNoticeAndOk)
{
    CAboutBox about;
    CSubstituteWindow win(*about.GetTemplate());
    win.Open(about);
    EXPECT_EQ(win.GetCaption(), "About Lumivane");
    EXPECT_EQ(win.GetItemText(IDC_VERSION), "Lumivane Version 1.04");
    EXPECT_EQ(win.GetItemText(IDOK), "OK");
    EXPECT_EQ(win.FocusedId(), IDOK);
    EXPECT_THAT(win.TextAt(2), HasSubstr("Lumivane"));
    win.Close();
}

} // namespace
