#pragma once

#include "core/search/PriceRow.h"

#include <QString>

// The fifteen columns of the price grid in their order: part number, name,
// input price, the three retail prices and the nine warehouses.
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
    static constexpr int kWarehouses = 9;
    static constexpr int kCount = FirstWarehouse + kWarehouses;

    static QString title(int column);
    // Amounts and stock are numbers (right-aligned); the rest is text.
    static bool isNumber(int column);
    // The text a cell shows: amounts as "0.00" with the regional decimal
    // separator, stock as a whole number, nothing for an empty value.
    static QString text(const PriceRow& row, int column);
};
