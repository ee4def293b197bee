// CWin32HelpDisplay: shows what the help engine asks for with native windows: a control's
// pop-up topic in a small bordered window beside it, the one-entry "What's This?" menu at the
// mouse, and a small help window for topics opened by number; each in the system's message
// font and sizes at the resolution of the window that asks.
//
// Threads: the window thread only.
#pragma once

#include "framework/HelpEngine.h"

struct HWND__;
struct HFONT__;

class CWin32HelpDisplay : public CHelpDisplay {
public:
    CWin32HelpDisplay();
    ~CWin32HelpDisplay() override;
    CWin32HelpDisplay(const CWin32HelpDisplay&) = delete;
    CWin32HelpDisplay& operator=(const CWin32HelpDisplay&) = delete;

    void ShowPopup(int controlId, const std::string& text) override;
    bool OfferWhatsThis(int controlId) override;
    bool ShowTopic(const std::string& title, const std::string& text) override;
    void CloseTopicWindow() override;

    // The pop-up and the help window while they are open, else null (tests).
    HWND__* Popup() const;
    HWND__* TopicWindow() const { return m_hTopic; }

private:
    // The fonts for windows that explain a window at `dpi`: made anew when it changes.
    void UseFontsAt(unsigned dpi);
    // Closes what shows and lets its fonts go.
    void ReleaseFonts();

    HWND__* m_hTopic = nullptr;
    HWND__* m_hTopicTitle = nullptr;
    HWND__* m_hTopicText = nullptr;
    HFONT__* m_hFont = nullptr; // ours, as are all three
    HFONT__* m_hBold = nullptr;
    unsigned m_nFontDpi = 0;
};
