#include "HelpFile.h"

#include "RegularFile.h"

#include <charconv>

namespace {

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// "[id] title" -> id and title; nothing when the line is not a header.
std::optional<HelpTopic> ParseHeader(std::string_view line)
{
    line = Trim(line);
    if (line.empty() || line.front() != '[')
        return std::nullopt;
    const auto close = line.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    std::string_view number = Trim(line.substr(1, close - 1));
    int base = 10;
    if (number.size() > 2 && number[0] == '0' && (number[1] == 'x' || number[1] == 'X')) {
        number.remove_prefix(2);
        base = 16;
    }
    std::uint32_t id = 0;
    const auto [end, error] =
        std::from_chars(number.data(), number.data() + number.size(), id, base);
    if (number.empty() || error != std::errc() || end != number.data() + number.size())
        return std::nullopt;
    HelpTopic topic;
    topic.id = id;
    topic.title = std::string(Trim(line.substr(close + 1)));
    return topic;
}

void Finish(std::vector<HelpTopic>& topics, std::optional<HelpTopic>& current,
            std::vector<std::string>& lines)
{
    if (!current)
        return;
    while (!lines.empty() && lines.back().empty())
        lines.pop_back();
    std::size_t first = 0;
    while (first < lines.size() && lines[first].empty())
        ++first;
    for (std::size_t i = first; i < lines.size(); ++i) {
        if (i > first)
            current->text += '\n';
        current->text += lines[i];
    }
    bool duplicate = false;
    for (const HelpTopic& t : topics)
        duplicate = duplicate || t.id == current->id;
    if (!duplicate)
        topics.push_back(std::move(*current));
    current.reset();
    lines.clear();
}

} // namespace

std::optional<CHelpFile> CHelpFile::Load(const std::string& path)
{
    const auto text = ReadRegularFile(path, kMaxSize);
    if (!text)
        return std::nullopt;
    return Parse(*text);
}

CHelpFile CHelpFile::Parse(std::string_view text)
{
    CHelpFile file;
    std::optional<HelpTopic> current;
    std::vector<std::string> lines;
    bool skipping = true; // before the first header, or under a malformed one
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);

        if (Trim(line).substr(0, 1) == "[") {
            Finish(file.m_topics, current, lines);
            current = ParseHeader(line);
            skipping = !current;
            continue;
        }
        if (!skipping)
            lines.emplace_back(Trim(line));
    }
    Finish(file.m_topics, current, lines);
    return file;
}

const HelpTopic* CHelpFile::Find(std::uint32_t id) const
{
    for (const HelpTopic& topic : m_topics)
        if (topic.id == id)
            return &topic;
    return nullptr;
}
