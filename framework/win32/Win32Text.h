// Text between our UTF-8 strings and the window system's UTF-16 ones.
//
// Threads: any.
#pragma once

#include "framework/WideText.h"

#include <string>

struct HWND__;

// A window's text, as UTF-8.
std::string WindowText(HWND__* window);
