// The native windows at the screen's resolution (Windows' display scaling): the program is
// aware of each monitor's, its dialogs and their fonts grow with it, no text is cut off, and
// what the backend chooses itself (the caption's icons, the tooltips' font) follows a move to a
// monitor of another resolution. scripts/wine-window-tests runs these at 96 dpi, and CI again
// at 144 (150 %).
#include "Win32Measure.h"
#include "console/AboutBox.h"
#include "console/ConsoleDlg.h"
#include "framework/win32/Win32DialogWindow.h"
#include "framework/win32/Win32HelpDisplay.h"
#include "res/Resource.h"
#include "res/Templates.h"
#include "testing/RecordedTransmission.h"

#include <gtest/gtest.h>

#include <memory>
#include <string_view>

namespace {

constexpr int kDesignDpi = 96;
constexpr int kPointsPerInch = 72;
// The dialogs' font (res/Templates.cpp): MS Sans Serif 8.
constexpr int kDialogFontPoints = 8;
constexpr PixelSize kBaseUnitsAtDesignDpi{6, 13};

class Win32Dpi : public ::testing::Test {
protected:
    void Open(CDialog& dialog, const DialogTemplate& tmpl)
    {
        m_window = std::make_unique<CWin32DialogWindow>(dialog, tmpl, nullptr);
        ASSERT_TRUE(m_window->IsCreated());
        dialog.Attach(*m_window);
        m_window->Show();
    }
    void TearDown() override { m_window.reset(); }

    // Every text of the open dialog fits its control.
    void ExpectNoTextCutOff(const DialogTemplate& tmpl)
    {
        for (std::size_t i = 0; i < tmpl.controls.size(); ++i) {
            TextLayout layout{};
            switch (KindOf(tmpl.controls[i])) {
            case ControlKind::Label:
                layout = TextLayout::Wrapped;
                break;
            case ControlKind::CheckBox:
            case ControlKind::Radio:
                layout = TextLayout::BesideBox;
                break;
            case ControlKind::PushButton:
                layout = TextLayout::PushButton;
                break;
            default:
                continue;
            }
            const PixelSize shortfall =
                TextShortfall(m_window->ControlAt(static_cast<int>(i)), layout);
            const std::string_view text = tmpl.controls[i].text;
            EXPECT_LE(shortfall.cx, 0)
                << '"' << text << "\" lacks " << shortfall.cx << " px of width";
            EXPECT_LE(shortfall.cy, 0)
                << '"' << text << "\" lacks " << shortfall.cy << " px of height";
        }
    }

    CRecordedTransmission m_wire;
    CConsoleDlg m_console{m_wire.worker};
    std::unique_ptr<CWin32DialogWindow> m_window;
};

TEST_F(Win32Dpi, TheProgramIsAwareOfEachMonitorsResolution)
{
    // As Windows reads the manifest: 10 1703 and later, 8.1 to 10 1607.
    EXPECT_EQ(
        ManifestSetting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness"),
        "PerMonitorV2, PerMonitor");
    EXPECT_EQ(
        ManifestSetting(L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware"),
        "true/pm");
    Open(m_console, *FindDialogTemplate(IDD_CONSOLE));
    EXPECT_EQ(WindowDpi(m_window->Handle()), ScreenDpi())
        << "the console sees the screen as it is, not as a 96 dpi one that Windows stretches";
}

TEST_F(Win32Dpi, TheConsoleAndItsFontGrowWithTheResolution)
{
    const DialogTemplate& tmpl = *FindDialogTemplate(IDD_CONSOLE);
    Open(m_console, tmpl);
    const int dpi = ScreenDpi();
    EXPECT_EQ(FontHeight(m_window->Handle()),
              (dpi * kDialogFontPoints + kPointsPerInch / 2) / kPointsPerInch);
    // The window against the same template at 96 dpi, where MS Sans Serif 8 makes a dialog
    // unit 6 / 4 by 13 / 8 pixels: in proportion, give or take how the font's letters round.
    const PixelSize client = ClientSize(m_window->Handle());
    const double scale = static_cast<double>(dpi) / kDesignDpi;
    EXPECT_NEAR(client.cx / (tmpl.rect.cx * kBaseUnitsAtDesignDpi.cx / 4 * scale), 1.0, 0.1);
    EXPECT_NEAR(client.cy / (tmpl.rect.cy * kBaseUnitsAtDesignDpi.cy / 8 * scale), 1.0, 0.1);
}

TEST_F(Win32Dpi, NoTextOfTheConsoleIsCutOff)
{
    const DialogTemplate& tmpl = *FindDialogTemplate(IDD_CONSOLE);
    Open(m_console, tmpl);
    ExpectNoTextCutOff(tmpl);
}

TEST_F(Win32Dpi, NoTextOfTheAboutBoxIsCutOff)
{
    CAboutBox about;
    Open(about, *about.GetTemplate());
    ExpectNoTextCutOff(*about.GetTemplate());
}

TEST_F(Win32Dpi, IconsAndTooltipsFollowAMoveToAMonitorOfAnotherResolution)
{
    Open(m_console, *FindDialogTemplate(IDD_CONSOLE));
    HWND__* const console = m_window->Handle();
    HWND__* const tip = ToolTipOf(console);
    ASSERT_NE(tip, nullptr);

    MoveToMonitorAt(console, 2 * kDesignDpi, {100, 50, 900, 650});
    EXPECT_EQ(FrameOf(console), (ScreenRect{100, 50, 900, 650})) << "where Windows suggests";
    // Windows' icons are 32 and 16 pixels at 100 %.
    EXPECT_EQ(IconWidth(console, true), 64);
    EXPECT_EQ(IconWidth(console, false), 32);
    const int tipAt200 = FontHeight(tip);

    MoveToMonitorAt(console, kDesignDpi, {100, 50, 500, 350});
    EXPECT_EQ(IconWidth(console, true), 32);
    EXPECT_EQ(IconWidth(console, false), 16);
    const int tipAt100 = FontHeight(tip);
    EXPECT_GT(tipAt100, 0);
    EXPECT_NEAR(tipAt200, 2 * tipAt100, 1) << "the tooltips' letters twice as tall at 200 %";
}

TEST_F(Win32Dpi, TheHelpWindowGrowsWithTheResolution)
{
    Open(m_console, *FindDialogTemplate(IDD_CONSOLE));
    CWin32HelpDisplay help;
    ASSERT_TRUE(help.ShowTopic("About Lumivane", "A topic opened by its number."));
    const int dpi = ScreenDpi();
    // A column of 360 pixels between margins of 8 at 96 dpi.
    EXPECT_NEAR(ClientSize(help.TopicWindow()).cx, (360 + 2 * 8) * dpi / kDesignDpi, 1);
    HWND__* const text = ChildAt(help.TopicWindow(), 1); // after the title
    EXPECT_EQ(FontHeight(text), MessageFontHeightAt(dpi)) << "the system's message font";
    help.CloseTopicWindow();
}

} // namespace
