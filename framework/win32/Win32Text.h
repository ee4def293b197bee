// Text between our UTF-8 strings and the window system's UTF-16 ones.
//
// Threads: any.
#pragma once

#include <string>
#include <string_view>

struct HWND__;

std::wstring Widen(std::string_view text);
std::string Narrow(std::wstring_view text);
// A window's text, as UTF-8.
std::string WindowText(HWND__* window);
