// Text between our UTF-8 strings and Windows' UTF-16 ones (Windows builds only).
//
// Threads: any.
#pragma once

#include <string>
#include <string_view>

std::wstring Widen(std::string_view text);
std::string Narrow(std::wstring_view text);
