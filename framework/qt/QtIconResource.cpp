#include "QtIconResource.h"

#include <charconv>
#include <map>

namespace {

constexpr char kOrdinalPrefix = '#';

std::map<int, QString>& IconPaths()
{
    static std::map<int, QString> paths;
    return paths;
}

} // namespace

void AddIconResource(int iconId, const QString& path)
{
    IconPaths()[iconId] = path;
}

QIcon LoadIconResource(int iconId)
{
    const auto found = IconPaths().find(iconId);
    return found != IconPaths().end() ? QIcon(found->second) : QIcon();
}

int OrdinalOf(std::string_view name)
{
    int id = 0;
    if (name.size() < 2 || name.front() != kOrdinalPrefix)
        return 0;
    const char* last = name.data() + name.size();
    const auto [end, error] = std::from_chars(name.data() + 1, last, id);
    return error == std::errc() && end == last ? id : 0;
}
