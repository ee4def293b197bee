// Our help engine, in place of a platform one. It reads the help file named in each call,
// keyed by help context id, and shows what is asked through a display that the window system
// provides: a control's pop-up topic, the one-entry "What's This?" menu that leads to it, and
// a topic opened by number in a small help window, which HELP_QUIT closes.
//
// Threads: the window thread only.
#pragma once

#include <cstdint>
#include <string>

// One row of a help-id table: a control and the context id of its topic. {0, 0} ends a table.
struct HelpIdPair {
    std::uint32_t controlId;
    std::uint32_t contextId;
};

// Where help is shown. The program installs a Qt one; tests install a recording one.
class CHelpDisplay {
public:
    virtual ~CHelpDisplay() = default;
    // A small pop-up with the topic's text beside the control; it goes at the next click or key.
    virtual void ShowPopup(int controlId, const std::string& text) = 0;
    // The one-entry menu at the mouse; true when the operator chose its entry.
    virtual bool OfferWhatsThis(int controlId) = 0;
    // Shows a topic in the help window, opening it if needed; false when it cannot.
    virtual bool ShowTopic(const std::string& title, const std::string& text) = 0;
    virtual void CloseTopicWindow() = 0;
};

class CHelpEngine {
public:
    void SetDisplay(CHelpDisplay* display) { m_pDisplay = display; }

    // `controlId`: the control help is asked for. `data`: for HELP_WM_HELP and
    // HELP_CONTEXTMENU the address of a help-id table, for HELP_CONTEXT a context id, for
    // HELP_QUIT 0. False when the file or the topic is missing or nothing could be shown;
    // quitting always succeeds.
    bool WinHelp(int controlId, const std::string& helpFile, unsigned command, std::uintptr_t data);

private:
    CHelpDisplay* m_pDisplay = nullptr;
};

CHelpEngine& AfxGetHelpEngine();

// The context id that `table` gives `controlId`, or 0 when it has no row.
std::uint32_t LookUpHelpId(const HelpIdPair* table, int controlId);
