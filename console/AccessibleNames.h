// What a screen reader calls each of the console's controls: one table, control by control,
// with the texts from the string table. A channel's controls carry the channel they stand for,
// so their names follow the base address. Constant data; any thread may call.
#pragma once

#include <cstdint>
#include <string>

// The accessible name of control `controlId` while the block starts at channel `base`; ""
// for a control whose own text already names it (Percent, Blackout, the labels, ...).
std::string AccessibleName(int controlId, std::uint32_t base);
