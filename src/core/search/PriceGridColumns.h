#pragma once

#include "core/search/PriceRow.h"

#include <QString>

// The fifteen columns of the price grid in their order: part number, name,
// input price, the three retail prices and the nine warehouses.
class PriceGridColumns
{
public:
    static constexpr int kCount = 15;

    static QString title(int column);
    // Amounts and stock are numbers (right-aligned); the rest is text.
    static bool isNumber(int column);
    // The width in pixels of the columns that have one fixed; 0 for the rest.
    static int fixedWidth(int column);
    // In characters "0", for the columns without a fixed width.
    static int displayWidth(int column);
    // The text a cell shows: amounts as "0.00" with the regional decimal
    // separator, stock as a whole number, nothing for an empty value.
    static QString text(const PriceRow& row, int column);
};
