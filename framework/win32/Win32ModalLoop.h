// The modal loop of our native dialogs, in two pieces: the owner of a dialog run modally
// takes no input while the run lasts (CWin32DisabledOwner), and the loop dispatches every
// message of the thread, timers included, until the run ends (RunMessagesUntil). Runs nest:
// an inner dialog's loop runs inside an outer one's handler.
//
// Threads: the window thread only.
#pragma once

struct HWND__;
struct tagMSG;

// Disables `owner` (may be null) for as long as this lives, if it took input before, and
// then gives the input back.
class CWin32DisabledOwner {
public:
    explicit CWin32DisabledOwner(HWND__* owner);
    ~CWin32DisabledOwner();
    CWin32DisabledOwner(const CWin32DisabledOwner&) = delete;
    CWin32DisabledOwner& operator=(const CWin32DisabledOwner&) = delete;

private:
    HWND__* m_hOwner = nullptr; // null: nothing to give back
};

// Hands the thread's messages to `dispatch` until `ended` holds. A request to quit the
// program (WM_QUIT) ends the run too, and is posted again for the loops outside it.
void RunMessagesUntil(const bool& ended, void (*dispatch)(tagMSG& msg));
