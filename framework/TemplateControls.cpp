#include "TemplateControls.h"

#include "WinDefs.h"

namespace {

bool StartsGroup(const ControlTemplate& control)
{
    return (control.style & WS_GROUP) != 0;
}

} // namespace

ControlKind KindOf(const ControlTemplate& control)
{
    switch (control.cls) {
    case ControlClass::Edit:
        return ControlKind::Edit;
    case ControlClass::Trackbar:
        return ControlKind::Trackbar;
    case ControlClass::Static:
        return (control.style & SS_TYPEMASK) == SS_ICON ? ControlKind::Icon : ControlKind::Label;
    case ControlClass::Button:
        break;
    }
    switch (control.style & BS_TYPEMASK) {
    case BS_AUTOCHECKBOX:
        return ControlKind::CheckBox;
    case BS_AUTORADIOBUTTON:
        return ControlKind::Radio;
    case BS_GROUPBOX:
        return ControlKind::GroupBox;
    default:
        return ControlKind::PushButton;
    }
}

ControlGroup GroupOf(const DialogTemplate& tmpl, std::size_t index)
{
    const auto& controls = tmpl.controls;
    if (index >= controls.size())
        return {index, index};
    std::size_t first = index;
    while (first > 0 && !StartsGroup(controls[first]))
        --first;
    std::size_t end = index + 1;
    while (end < controls.size() && !StartsGroup(controls[end]))
        ++end;
    return {first, end};
}
