// A message box on Qt: the text as plain text, the icon its flags name, and OK. Its own loop
// keeps dispatching the thread's timers while it is open.
//
// Threads: the GUI thread only.
#pragma once

#include <string>

class QWidget;

// Shows the box over `owner` (may be null) until the operator closes it; returns IDOK.
int ShowQtMessageBox(QWidget* owner, const std::string& text, const std::string& caption,
                     unsigned flags);
