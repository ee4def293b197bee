// The program's string table: the texts of the system menu, the captions, the About box's
// notice and the validation and help messages, keyed by the IDS_* ids of Resource.h.
// The table is constant data; any thread may read it.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

// The text of string `id`, or "" when the table has none.
std::string LoadResString(unsigned id);

// The same text as a view into the constant table, valid for the whole run; for data that
// must outlive any std::string, such as dialog templates. "" when the table has none.
std::string_view FindResString(unsigned id);

// String `id` as a printf pattern, filled with `args`; "" when the table has none.
template <class... Args> std::string FormatResString(unsigned id, Args... args)
{
    const std::string pattern = LoadResString(id);
    const int length = std::snprintf(nullptr, 0, pattern.c_str(), args...);
    if (length <= 0)
        return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), pattern.c_str(), args...);
    text.pop_back();
    return text;
}
