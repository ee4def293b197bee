// CWin32HelpMode: a dialog's click-for-help mode, our own, the same from the caption's help
// button and from Shift+F1: the next click on a control asks for help on it instead of
// acting. Meanwhile the dialog holds the mouse and shows the help cursor; Esc, a click
// outside, or anything that takes the mouse away ends it.
//
// Threads: the window thread only.
#pragma once

#include <cstdint>
#include <optional>

struct HWND__;

class CWin32HelpMode {
public:
    bool IsActive() const { return m_hDialog != nullptr; }
    void Enter(HWND__* dialog);
    // Lets the mouse go; the mode has ended before the dialog hears of the capture it lost.
    void End();
    static void ShowCursor();
    // Ends the mode at a click on the dialog at `lParam` (its client coordinates, as the
    // message carries them): the window there, the dialog itself where no control is, or
    // nothing when the click fell outside the client area.
    std::optional<HWND__*> EndAtClick(std::intptr_t lParam);

private:
    HWND__* m_hDialog = nullptr;
};
