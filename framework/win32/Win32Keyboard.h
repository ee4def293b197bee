// The keyboard as the dialog manager hears it on Windows: the virtual keys that are its own,
// by the names it gives them, and the modifier keys held while a message is handled.
//
// Threads: the window thread (the key state is the thread's).
#pragma once

#include "framework/DialogKey.h"

// Either Shift or either Ctrl is held; some keyboard mappings (Wine on a bare X server) report
// only the left or right key.
bool ShiftHeld();
bool ControlHeld();
// The dialog manager's name for `virtualKey` (Tab with Shift held is BackTab); false for any
// other key.
bool ToDialogKey(unsigned virtualKey, DialogKey& key);
// Whether the dialog manager answers `virtualKey`: its own keys and F1 for help.
bool IsDialogManagerKey(unsigned virtualKey);
