// The operator's hands on native windows, for the window tests: keys, clicks and typing go in
// as messages to the control that would get them, and the thread's queue is then pumped
// through the dialogs' own message step until it is empty.
#pragma once

#include "framework/DialogManager.h"
#include "tests/ConsoleAccessibility.h"

#include <functional>
#include <string>

struct HWND__;

// A key pressed and released on `target` (the focused control).
void PressKey(HWND__* target, DialogKey key);
// F1 on `target`, with Shift held when `shift`.
void PressHelpKey(HWND__* target, bool shift);
// The left button pressed and released over the middle of `control`, delivered where the
// window system would: to the window holding the mouse capture, else to the control.
void ClickOver(HWND__* control);
// The left button pressed on a trackbar's thumb, moved some way toward the trackbar's bottom
// (or right) and released, straight to the trackbar.
void DragThumb(HWND__* trackbar);
// The mouse pressed and released on a button.
void ClickButton(HWND__* button);
// Replaces a box's text by typing: focus, select all, then one character per key.
void TypeText(HWND__* box, const char* text);
// The caption's close button.
void PressCloseButton(HWND__* window);
// Windows telling a top-level window that the session ends (`ending`) or goes on after all.
void EndSession(HWND__* window, bool ending);
// Where the mouse rests on a control: its middle, or a group box's caption (its top left).
enum class MouseSpot { Middle, Caption };
// The window that gets the mouse resting at `spot` on `control`.
HWND__* WindowUnder(HWND__* control, MouseSpot spot);
// The tooltip text that shows with the mouse resting at `spot` on `control` of `window`: asked
// of `window`'s tooltip control for the window that gets the mouse there, as the tooltip would
// ask; "" when none shows there.
std::string ToolTipOver(HWND__* window, HWND__* control, MouseSpot spot);
// Whether `window`'s tooltips draw an "&" as itself rather than as a mnemonic mark.
bool ToolTipsDrawAmpersands(HWND__* window);
// The control id of `control`, or 0.
int ControlId(HWND__* control);
bool AllTextSelected(HWND__* box);
// A message box standing over `owner`, or null.
HWND__* FindMessageBox(HWND__* owner);
// Presses a message box's OK button.
void PressOk(HWND__* box);

// What a screen reader learns of `control` itself through MSAA (AccessibleObjectFromWindow,
// then get_accName and the like).
struct MsaaReading {
    bool found = false;
    std::string name;
    std::string description;
    std::string value;
    long role = 0;
    bool checked = false;
};
MsaaReading ReadMsaa(HWND__* control);
// The MSAA role that stands for `role`.
long MsaaRole(AccessibleRole role);

// Calls `tick` every `milliseconds` from whichever message loop runs, until it returns true
// or this goes. One at a time.
class CPoll {
public:
    CPoll(unsigned milliseconds, std::function<bool()> tick);
    ~CPoll();
    CPoll(const CPoll&) = delete;
    CPoll& operator=(const CPoll&) = delete;

private:
    std::uintptr_t m_nTimer = 0;
};
