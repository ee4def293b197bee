// What a screen reader learns of a native control through MSAA: the system's own accessible
// object for it, with the name, description, role, value and checked state the dialog layer
// gives it. A control answers WM_GETOBJECT for its client object with this.
//
// The window system's annotation service (IAccPropServices) would do the same for names on
// Windows, but Wine does not implement it; answering WM_GETOBJECT works on both.
//
// Threads: the window's thread only.
#pragma once

#include "framework/TemplateControls.h"

#include <cstdint>
#include <optional>
#include <string>

struct HWND__;

// What the dialog layer says of one control, as MSAA speaks it.
struct AccessibleFacts {
    std::string name;        // "" leaves the system's own
    std::string description; // "" leaves the system's own
    long role = 0;           // an MSAA role
    std::optional<int> value;
    std::optional<bool> checked;
};

// The MSAA role of a control of `kind`.
long AccessibleRoleOf(ControlKind kind);

// The reply to WM_GETOBJECT for `control`'s client object (OBJID_CLIENT), `wParam` as the
// message carried it; `facts` is asked at each question, and answers nothing once the control
// is no longer one of ours. 0 when no object could be made (the caller then lets the system
// answer).
std::intptr_t AnswerAccessibleObject(HWND__* control, std::uintptr_t wParam,
                                     std::optional<AccessibleFacts> (*facts)(HWND__* control));
