// What the controls of a template are to the dialog layer: each control's kind, and the
// WS_GROUP groups they form in template order.
#pragma once

#include "DialogTemplate.h"

#include <cstddef>

// The kind of a control, from its class and style.
enum class ControlKind { Edit, PushButton, CheckBox, Radio, GroupBox, Label, Icon, Trackbar };
ControlKind KindOf(const ControlTemplate& control);

// The WS_GROUP group of the control at `index`: from the nearest control at or before it
// that starts a group, up to the next control that starts one. The one walk of a group.
struct ControlGroup {
    std::size_t first = 0;
    std::size_t end = 0;
};
ControlGroup GroupOf(const DialogTemplate& tmpl, std::size_t index);
