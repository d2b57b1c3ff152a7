#pragma once

#include "core/db/PriceChange.h"

#include <QString>

#include <array>
#include <optional>

// One row of the price list query: the PRICE columns and the three computed
// ones; a null value of the table or of the computation is left empty.
struct PriceRow
{
    QString groupCode;
    QString partNumber;
    QString shortPartNumber;
    QString partName;
    QString crossNumber;
    std::optional<double> price;
    std::array<std::optional<qint64>, 9> stock; // WH0 ... WH8
    std::optional<double> priceUsd;
    std::optional<double> priceEur;
    std::optional<double> vhod;
    // Against the list the last update replaced: up, down or new; nothing
    // when unchanged or when there is nothing to compare.
    std::optional<PriceChange::Kind> change;
    std::optional<double> oldPrice; // as stored, for up and down
};
