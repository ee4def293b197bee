// CWnd: a window known to our dialog layer. Messages reach it through SendMessage and are
// routed by its message table (most derived class first); what no table takes gets the
// window's default processing.
//
// Threads: the window thread only.
#pragma once

#include "WinDefs.h"
#include "WindowPeer.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct Msg {
    std::uint32_t message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
};

constexpr std::uintptr_t MakeWParam(unsigned low, unsigned high)
{
    return (static_cast<std::uintptr_t>(high & 0xFFFFU) << 16) | (low & 0xFFFFU);
}
constexpr unsigned LowWord(std::uintptr_t value)
{
    return value & 0xFFFFU;
}
constexpr unsigned HighWord(std::uintptr_t value)
{
    return (value >> 16) & 0xFFFFU;
}

class CWnd;

// A help request (WM_HELP, lParam points at it).
struct HELPINFO {
    int iContextType = HELPINFO_WINDOW; // or HELPINFO_MENUITEM
    int iCtrlId = 0;                    // the control help is asked for; 0: the window itself
    bool bModifierHeld = false;         // Shift, Ctrl or Alt was down
};

// What WM_CONTEXTMENU's wParam names: a control id, the window itself, or no window at all.
constexpr std::uintptr_t kContextMenuOnWindow = 0;
constexpr std::uintptr_t kContextMenuNoWindow = 0xFFFFFFFF;

// One row of a message table: a message, or one notification (`code`) from the controls
// `firstId`..`lastId` when the message is WM_COMMAND; ids are ignored for other messages.
struct MessageMapEntry {
    std::uint32_t message = 0;
    std::uint32_t code = 0;
    int firstId = 0;
    int lastId = 0;
    std::function<std::intptr_t(CWnd&, const Msg&)> handler;
};

struct MessageMap {
    const MessageMap* base = nullptr;
    std::vector<MessageMapEntry> entries;
};

// Table rows for handlers of class T.
template <class T> MessageMapEntry OnCommandEntry(std::uint32_t code, int id, void (T::*handler)())
{
    return {WM_COMMAND, code, id, id, [handler](CWnd& wnd, const Msg&) -> std::intptr_t {
                (static_cast<T&>(wnd).*handler)();
                return 0;
            }};
}

template <class T>
MessageMapEntry OnMessageEntry(std::uint32_t message,
                               std::function<std::intptr_t(T&, const Msg&)> handler)
{
    return {message, 0, 0, 0,
            [handler](CWnd& wnd, const Msg& msg) { return handler(static_cast<T&>(wnd), msg); }};
}

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // Routes a message through the tables; returns the handler's result.
    std::intptr_t SendMessage(std::uint32_t message, std::uintptr_t wParam = 0,
                              std::intptr_t lParam = 0);

    CWindowPeer* GetPeer() const { return m_pPeer; }

    // Control operations on this window's controls.
    void SetDlgItemInt(int id, std::uint32_t value, bool bSigned);
    void SetDlgItemText(int id, const std::string& text);
    std::string GetDlgItemText(int id) const;
    void CheckDlgButton(int id, int state);
    int IsDlgButtonChecked(int id) const;
    void CheckRadioButton(int firstId, int lastId, int checkId);
    void SetWindowText(const std::string& text);
    unsigned SetTimer(unsigned id, unsigned milliseconds);
    bool KillTimer(unsigned id);
    // A message box owned by this window, captioned with the application title; an
    // exclamation icon when `flags` names none.
    int MessageBox(const std::string& text, unsigned flags = MB_OK);
    // Asks the help engine for `command` on this window with the application's help file,
    // after ending any mouse or menu mode; says "Failed to launch help." when it fails.
    void WinHelp(std::uintptr_t data, unsigned command = HELP_CONTEXT);

protected:
    virtual const MessageMap* GetMessageMap() const;
    // What a message that no table takes gets.
    virtual std::intptr_t DefWindowProc(const Msg& msg);
    // True while control notifications must be swallowed (a data exchange is running).
    virtual bool SuppressingNotifications() const { return false; }

    CWindowPeer* m_pPeer = nullptr;
};
