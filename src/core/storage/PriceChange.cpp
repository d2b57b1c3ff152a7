#include "PriceChange.h"

#include "core/text/Money.h"

#include <algorithm>
#include <cmath>

namespace {

double shown(std::optional<double> stored)
{
    return stored ? Money::rounded(Money::fromSingle(*stored)) : 0.0;
}

} // namespace

QString PriceChange::name(Kind kind)
{
    switch (kind) {
    case Kind::Up:
        return QStringLiteral("up");
    case Kind::Down:
        return QStringLiteral("down");
    case Kind::New:
        return QStringLiteral("new");
    case Kind::Removed:
        break;
    }
    return QStringLiteral("removed");
}

std::optional<PriceChange::Kind> PriceChange::fromName(QStringView text)
{
    for (Kind kind : {Kind::Up, Kind::Down, Kind::New, Kind::Removed})
        if (text == name(kind))
            return kind;
    return std::nullopt;
}

std::optional<PriceChange::Kind> PriceChange::compare(std::optional<double> oldPrice,
                                                      std::optional<double> newPrice)
{
    // Rounding moves a price by half a kopeck, and reading it as the single
    // it stands for by far less than a millionth: prices further apart show
    // apart, in the same order, without rounding them.
    if (!oldPrice || !newPrice)
        return std::nullopt;
    const double a = *oldPrice, b = *newPrice;
    if (std::fabs(b - a) > 0.02 + 1e-6 * std::max(std::fabs(a), std::fabs(b)))
        return b > a ? Kind::Up : Kind::Down;
    const double before = shown(oldPrice), after = shown(newPrice);
    if (after > before)
        return Kind::Up;
    if (after < before)
        return Kind::Down;
    return std::nullopt;
}

std::optional<double> PriceChange::percent(std::optional<double> oldPrice, std::optional<double> newPrice)
{
    if (!oldPrice || !newPrice)
        return std::nullopt;
    const double before = shown(oldPrice), after = shown(newPrice);
    if (before == 0)
        return std::nullopt;
    // Signed by the direction of the price even where the prices are negative.
    const double size = Money::rounded(std::fabs(after - before) / std::fabs(before) * 100, 1);
    return after < before ? -size : size;
}

QString PriceChange::percentText(Kind kind, std::optional<double> oldPrice, std::optional<double> newPrice,
                                 QChar separator)
{
    if (kind != Kind::Up && kind != Kind::Down)
        return QString();
    const std::optional<double> change = percent(oldPrice, newPrice);
    if (!change)
        return QString();
    return (kind == Kind::Up ? QLatin1Char('+') : QLatin1Char('-')) +
           Money::format(std::fabs(*change), separator, 1);
}
