#pragma once

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
};
