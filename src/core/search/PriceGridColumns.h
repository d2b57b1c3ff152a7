#pragma once

#include "core/storage/PriceRow.h"

#include <QString>

// The fifteen columns of the price grid in their order: part number, name,
// input price, the three retail prices and the nine warehouses; then the
// optional change of the retail price against the replaced list, which the
// tools that print the fifteen leave out.
class PriceGridColumns
{
public:
    // The nine warehouses follow FirstWarehouse.
    enum Column
    {
        PartNumber,
        PartName,
        Vhod,
        Price,
        PriceUsd,
        PriceEur,
        FirstWarehouse
    };
    static constexpr int kCount = FirstWarehouse + Tables::kWarehouseCount;
    static constexpr int kChange = kCount;
    static constexpr int kGridCount = kCount + 1;

    // The Russian title scripts read; shownTitle() is the clerk's, in the interface's language.
    static QString title(int column);
    static QString shownTitle(int column);
    // Amounts and stock are numbers (right-aligned); the rest is text.
    static bool isNumber(int column);
    // The text a cell shows: amounts as "0.00" with the regional decimal
    // separator, stock as a whole number, nothing for an empty value; the
    // change as "+12.5" or "-3.0", or "нов." for a part new in the list.
    static QString text(const PriceRow& row, int column);
    // The same with "нов." in the interface's language.
    static QString shownText(const PriceRow& row, int column);
    // A stock figure as a warehouse's cell shows it.
    static QString stockText(const std::optional<qint64>& stock);
};
