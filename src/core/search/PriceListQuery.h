#pragma once

#include "core/search/PriceRow.h"

#include <QString>

#include <SQLiteCpp/Database.h>

#include <vector>

// The price list of one cross number: every part of it whose group exists
// in GROUPS, with the retail price in dollars and euros and the input
// price after the group discount, cheapest input price first.
class PriceListQuery
{
public:
    // The cross number matches ignoring case as CaseFolding does, the group
    // codes as UnicodeCaseFolding does. The amounts are computed in double
    // from the price as the decimal its single-precision value stands for,
    // whatever type the engine stored; a rate of 0 leaves its column empty.
    // Rows of equal input price keep the order of the table.
    static std::vector<PriceRow> open(SQLite::Database& db, const QString& cross, double rateUsd,
                                      double rateEur);
};
