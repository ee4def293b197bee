// Reading a data file the program looks for by path (its help file), where someone may have put
// something else: a FIFO, a device, a directory, a huge file. One implementation per platform.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

// The whole content of the regular file at `path` (a link to one counts), if it holds at most
// `maxBytes`; nothing for anything else or a failed read. It never waits for a writer or a
// device. Any thread may call.
std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t maxBytes);
