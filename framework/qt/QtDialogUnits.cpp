#include "QtDialogUnits.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>

#include <algorithm>

namespace {

constexpr int kUnitsPerBaseX = 4;
constexpr int kUnitsPerBaseY = 8;
constexpr std::string_view kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr int kDefaultFontPoints = 8;

// Windows' MulDiv: value * numerator / denominator, rounded half away from zero.
int MulDiv(int value, int numerator, int denominator)
{
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : (product - half) / denominator);
}

} // namespace

QRect BaseUnits::Map(const DialogRect& r) const
{
    return {MulDiv(r.x, x, kUnitsPerBaseX), MulDiv(r.y, y, kUnitsPerBaseY),
            MulDiv(r.cx, x, kUnitsPerBaseX), MulDiv(r.cy, y, kUnitsPerBaseY)};
}

BaseUnits MeasureBaseUnits(const QFont& font)
{
    const QFontMetrics metrics(font);
    const int letters = static_cast<int>(kLetters.size());
    const int total = metrics.horizontalAdvance(QLatin1String(kLetters.data(), letters));
    return {std::max(1, (total + letters / 2) / letters), std::max(1, metrics.height())};
}

QString ToQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QFont DialogFont(const DialogTemplate& tmpl)
{
    QFont font;
    const QString family = ToQString(tmpl.fontName);
    if (!family.isEmpty() && QFontDatabase::families().contains(family, Qt::CaseInsensitive)) {
        font.setFamily(family);
    } else {
        font.setFamily(QStringLiteral("Sans Serif"));
        font.setStyleHint(QFont::SansSerif);
    }
    font.setPointSize(tmpl.fontPoints > 0 ? tmpl.fontPoints : kDefaultFontPoints);
    return font;
}
