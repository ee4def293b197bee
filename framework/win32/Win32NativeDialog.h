// CWin32NativeDialog: a dialog manager whose window is a native dialog, and the parts of that
// window which its messages change: the window, its controls in template order with their
// tooltips, the control last focused, the click-for-help mode and the caption's icons. The
// window procedures (Win32DialogProcs.h) keep these up to date and report what the window
// says to the dialog manager; CWin32DialogWindow, derived, realises the controls and the
// window for the dialog manager.
//
// Threads: the thread that created the window only.
#pragma once

#include "Win32HelpMode.h"
#include "Win32Icon.h"
#include "Win32ToolTips.h"
#include "framework/DialogManager.h"

#include <string>
#include <vector>

struct HWND__;

class CWin32NativeDialog : public CDialogManager {
public:
    using CDialogManager::CDialogManager;

protected:
    struct Item {
        HWND__* hwnd = nullptr; // a child of the window; destroyed with it
        std::string iconText;   // what an icon static was given, which it never shows
        CWin32Icon icon;        // what an icon static shows
        std::string toolTip;
    };

    int IndexOfHwnd(const HWND__* hwnd) const
    {
        for (std::size_t i = 0; hwnd != nullptr && i < m_items.size(); ++i)
            if (m_items[i].hwnd == hwnd)
                return static_cast<int>(i);
        return -1;
    }
    HWND__* HwndAt(int index) const { return m_items[static_cast<std::size_t>(index)].hwnd; }
    ControlKind KindAt(int index) const
    {
        return KindOf(Template().controls[static_cast<std::size_t>(index)]);
    }
    // Whether the control at `index` leaves the mouse to the dialog beneath it (a group box
    // answers WM_NCHITTEST with HTTRANSPARENT); its tooltip is then a tool of the dialog's over
    // its rectangle, which follows the control when it moves.
    bool LetsTheMouseThrough(int index) const { return KindAt(index) == ControlKind::GroupBox; }

    HWND__* m_hWnd = nullptr;
    std::vector<Item> m_items;
    CWin32ToolTips m_toolTips;
    // The control to focus: chosen while hidden, or the last one focused.
    int m_nFocus = -1;
    CWin32HelpMode m_helpMode;
    // The template asks for the caption's help button; Shift+F1 stands in for it.
    bool m_bContextHelpButton = false;
    CWin32CaptionIcons m_captionIcons;

private:
    // The window procedures, which keep the parts above and report to the dialog manager.
    friend struct CWin32DialogProcs;
};
