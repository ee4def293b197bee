// The program's dialog templates, IDD_CONSOLE and IDD_ABOUT, as data for the dialog layer.
// The templates are constant and live for the whole run; any thread may read them.
#pragma once

#include "framework/DialogTemplate.h"

// The template with dialog id `id`, or nullptr when the program has none.
const DialogTemplate* FindDialogTemplate(int id);

// Template index, in IDD_CONSOLE, of the group box around the COM radios. It has no id of its
// own (IDC_STATIC), so code that retitles it finds it by position.
constexpr int kPortGroupBoxIndex = 59;
// Template index, in IDD_CONSOLE, of the "Base Addr" label (IDC_STATIC), which names the base box.
constexpr int kBaseLabelIndex = 49;
