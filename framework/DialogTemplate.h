// A dialog template as data: the dialog's frame and its controls in template order. Template
// order is the tab order and the order in which a radio group is walked.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

enum class ControlClass { Edit, Button, Static, Trackbar };

// x, y, width, height in dialog units.
struct DialogRect {
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
};

struct ControlTemplate {
    int id = -1;
    ControlClass cls = ControlClass::Static;
    std::string_view text;
    DialogRect rect;
    std::uint32_t style = 0; // besides WS_CHILD | WS_VISIBLE, which every control has
    std::uint32_t helpId = 0;
};

struct DialogTemplate {
    int id = 0;
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    DialogRect rect;
    std::string_view caption;
    std::string_view fontName;
    int fontPoints = 8;
    std::vector<ControlTemplate> controls;

    // The control with `id`, or nullptr (ids of -1 are not unique and never found).
    const ControlTemplate* Find(int controlId) const
    {
        if (controlId == -1)
            return nullptr;
        for (const ControlTemplate& control : controls)
            if (control.id == controlId)
                return &control;
        return nullptr;
    }
    // The place of the control with `id` in template order, or -1 (never for an id of -1).
    int IndexOf(int controlId) const
    {
        const ControlTemplate* control = Find(controlId);
        return control != nullptr ? static_cast<int>(control - controls.data()) : -1;
    }
};
