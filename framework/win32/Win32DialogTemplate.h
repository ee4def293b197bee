// Our dialog templates as the window system's own in-memory template (the extended form,
// which carries each control's help context id): the same dialog units, the template's font,
// the controls in template order with their ids, classes and styles.
//
// Threads: any.
#pragma once

#include "framework/DialogTemplate.h"

#include <cstdint>
#include <string_view>
#include <vector>

// The template, DWORD-aligned from its first word; pass data() to CreateDialogIndirectParam.
std::vector<std::uint16_t> BuildDialogTemplate(const DialogTemplate& tmpl);

// "#128" -> 128: how a template names a resource by number; anything else -> 0.
int ResourceOrdinal(std::string_view name);
