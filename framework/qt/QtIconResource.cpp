#include "QtIconResource.h"

#include "res/Resource.h"

#include <QString>

#include <charconv>

// Outside any namespace, as the resource macro requires.
static void RegisterIconResource()
{
    Q_INIT_RESOURCE(lumivane);
}

namespace {
constexpr char kOrdinalPrefix = '#';
constexpr auto kAppIconPath = ":/lumivane/lumivane.xpm";
} // namespace

QIcon LoadIconResource(int iconId)
{
    static const bool registered = (RegisterIconResource(), true);
    (void)registered;
    return iconId == IDI_APP_ICON ? QIcon(QString::fromLatin1(kAppIconPath)) : QIcon();
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
