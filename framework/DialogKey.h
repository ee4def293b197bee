// The keys the dialog manager answers, as every window backend reports them.
#pragma once

enum class DialogKey {
    Tab,
    BackTab,
    Enter,
    Escape,
    Up,
    Down,
    Left,
    Right,
    PageUp,
    PageDown,
    Home,
    End
};
