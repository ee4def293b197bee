// CWin32HelpDisplay: shows what the help engine asks for with native windows: a control's
// pop-up topic in a small bordered window beside it, the one-entry "What's This?" menu at the
// mouse, and a small help window for topics opened by number.
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
    HWND__* m_hTopic = nullptr;
    HWND__* m_hTopicTitle = nullptr;
    HWND__* m_hTopicText = nullptr;
    HFONT__* m_hBold = nullptr;
};
