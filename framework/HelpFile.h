// Our help file: plain UTF-8 text, one topic after another. A topic starts with a header line
//     [0x808203E8] Faders
// (its help context id in hexadecimal or decimal, then its title) and runs until the next
// header. Blank lines around a topic's text are dropped; a blank line inside it separates
// paragraphs. Lines starting with '#' before the first topic are comments.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct HelpTopic {
    std::uint32_t id = 0;
    std::string title;
    std::string text;
};

class CHelpFile {
public:
    // Well above our own file; a bigger one is no help file of ours and would only hold up the
    // window while it is read.
    static constexpr std::size_t kMaxSize = std::size_t{1} << 20;

    // Reads and parses the file; nothing when it cannot be read, is no regular file (a link to
    // one counts) or is bigger than kMaxSize. Never waits on a FIFO or a device.
    static std::optional<CHelpFile> Load(const std::string& path);
    // Malformed headers are skipped with their text; later duplicates of an id are ignored.
    static CHelpFile Parse(std::string_view text);

    const HelpTopic* Find(std::uint32_t id) const;
    const std::vector<HelpTopic>& Topics() const { return m_topics; }

private:
    std::vector<HelpTopic> m_topics;
};
