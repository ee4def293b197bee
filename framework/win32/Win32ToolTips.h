// CWin32ToolTips: a dialog's tooltip window and its tools, one a control. The tooltip asks
// for a tool's text each time it shows (TTN_GETDISPINFO), so that the dialog can bring the
// text up to date first. A control that leaves the mouse to the dialog beneath it (a group
// box) gets a tool of the dialog's over its rectangle, which follows the control when it
// moves; the controls inside it get the mouse, and show their own tips.
//
// Threads: the window thread only.
#pragma once

#include <string>

struct HFONT__;
struct HWND__;
struct tagNMHDR;
struct tagNMTTDISPINFOW;

class CWin32ToolTips {
public:
    CWin32ToolTips() = default;
    ~CWin32ToolTips();
    CWin32ToolTips(const CWin32ToolTips&) = delete;
    CWin32ToolTips& operator=(const CWin32ToolTips&) = delete;

    // Makes the tooltip window over `dialog`, in the font of the dialog's monitor; false if it
    // could not be made.
    bool Create(HWND__* dialog);
    bool IsCreated() const { return m_hWnd != nullptr; }
    // Lets the tooltip window go; before its dialog goes, which would take it along.
    void Destroy();
    // A tool for `control` of the dialog; `overRect`: the dialog's, over the control's rectangle.
    void AddTool(HWND__* control, bool overRect);
    // The tool of the dialog's over `control` follows the control's rectangle.
    void FollowRect(HWND__* control);
    // The system's tooltip font at the monitor's resolution `dpi`, and the tips' width.
    void ShowFont(unsigned dpi);
    // The control whose text the tooltip asks for with `header`, or null for any other
    // notification.
    HWND__* AskedFor(const tagNMHDR& header) const;
    // Answers the question with `text`, kept until the next one: the tooltip reads it after.
    void Answer(tagNMTTDISPINFOW& info, const std::string& text);

private:
    HWND__* m_hDialog = nullptr;
    HWND__* m_hWnd = nullptr;
    HFONT__* m_hFont = nullptr; // ours: the tooltip only uses it
    std::wstring m_shownTip;
};
