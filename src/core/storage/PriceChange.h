#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

#include <optional>

// How a part's retail price moved from the replaced list to the new one,
// judged on the prices as the grid shows them ("0.00"). A price missing
// from either list (one the supplier's file could not give) is neither a
// rise nor a fall.
class PriceChange
{
public:
    // In the order the changes are listed.
    enum class Kind
    {
        Up,
        Down,
        New,
        Removed
    };

    // "up", "down", "new", "removed": as PRICE_CHANGES and the tools write them.
    static QString name(Kind kind);
    static std::optional<Kind> fromName(QStringView name);

    // Up or down for a part found in both lists; nothing when unchanged or
    // without a price on either side.
    // The prices are the stored ones, single precision.
    static std::optional<Kind> compare(std::optional<double> oldPrice, std::optional<double> newPrice);
    // The change in percent of the shown prices, its size rounded to one
    // decimal as amounts are; nothing from 0 or without a price.
    static std::optional<double> percent(std::optional<double> oldPrice, std::optional<double> newPrice);
    // "+12.5", "-3.0": signed by the kind, so a change too small to show is
    // "+0.0" or "-0.0"; empty from 0 and for the other kinds.
    static QString percentText(Kind kind, std::optional<double> oldPrice, std::optional<double> newPrice,
                               QChar separator);
};
